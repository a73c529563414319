#pragma once
// The simulator's record of every request it received, one line each, appended to a file in the
// store folder so that tests can prove what was sent (or that nothing was). Line format, fields
// separated by tabs:
//
//   <channel>\t<method>\t<target>\t<command>\t<body>
//
// channel is "http" or "usb"; target the request path with its query; command the job's COMMAND
// text (empty for a page download); body the request body with "\\", tab, CR and LF written as
// "\\\\", "\\t", "\\r" and "\\n". Safe to call from several threads.

#include <filesystem>
#include <mutex>
#include <string>

class RequestLog {
  public:
    explicit RequestLog(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // Appends one line and flushes it at once. Failures to write are ignored: the log never
    // stops the simulator from answering.
    void record(const std::string& channel, const std::string& method, const std::string& target,
                const std::string& command, const std::string& body);

  private:
    std::filesystem::path path_;
    std::mutex mutex_;
};

// The escaping of a log field, and its reverse.
std::string escapeLogField(const std::string& text);
std::string unescapeLogField(const std::string& text);
