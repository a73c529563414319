#include "tools/mfpsim/requestlog.h"

#include <fcntl.h>
#include <unistd.h>

RequestLog::RequestLog(std::filesystem::path path) : path_(std::move(path)) {}

std::string escapeLogField(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string unescapeLogField(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
    return out;
}

void RequestLog::record(const std::string& channel, const std::string& method,
                        const std::string& target, const std::string& command,
                        const std::string& body) {
    const std::string line = escapeLogField(channel) + '\t' + escapeLogField(method) + '\t' +
                             escapeLogField(target) + '\t' + escapeLogField(command) + '\t' +
                             escapeLogField(body) + '\n';
    std::lock_guard lock(mutex_);
    // One write per line on an append-only descriptor: a reader never sees half a line.
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}
