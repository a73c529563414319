#pragma once

// The datagrams of the MFP search, shared by the search agent and the devices that answer it.
//
// The agent sends the query text below, alone, to the search port. A device answers the
// sender with one datagram of UTF-8 lines:
//
//     VELNOR-MFP/1
//     name=<the device's name>
//     address=<dotted IPv4 address of its HTTP port; empty: the address it answered from>
//
// Lines end with "\n"; unknown lines are ignored; a datagram that does not start with the
// first line is no answer.

#include <optional>
#include <string>
#include <string_view>

namespace search {

inline constexpr std::string_view kQuery = "VELNOR-SEARCH/1\n";
inline constexpr std::string_view kAnswerHeader = "VELNOR-MFP/1";
// No datagram of the search is longer.
inline constexpr std::size_t kMaxDatagram = 1024;

struct Answer {
    std::string name;
    std::string address;
};

inline std::string FormatAnswer(const Answer& answer) {
    std::string text(kAnswerHeader);
    text += "\nname=" + answer.name + "\naddress=" + answer.address + "\n";
    if (text.size() > kMaxDatagram) {
        text.resize(kMaxDatagram);
    }
    return text;
}

inline std::optional<Answer> ParseAnswer(std::string_view datagram) {
    const auto nextLine = [&datagram]() {
        const std::size_t end = datagram.find('\n');
        std::string_view line = datagram.substr(0, end);
        datagram.remove_prefix(end == std::string_view::npos ? datagram.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    };
    if (nextLine() != kAnswerHeader) {
        return std::nullopt;
    }
    Answer answer;
    while (!datagram.empty()) {
        const std::string_view line = nextLine();
        if (line.starts_with("name=")) {
            answer.name = line.substr(5);
        } else if (line.starts_with("address=")) {
            answer.address = line.substr(8);
        }
    }
    return answer;
}

}  // namespace search
