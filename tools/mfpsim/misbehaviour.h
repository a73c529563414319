#pragma once
// Ways the simulator can be told to misbehave, for tests of failure handling. A rule is text:
//
//   <kind>:<target>[:<value>][@<skip>]
//
// kind   refuse     a job answers CODE <value>; a page download answers HTTP status <value>
//        status     the answer is the HTTP status <value> with an empty body
//        stall      nothing is answered for <value> seconds (default 120), then the connection
//                   is closed without an answer
//        drop       the full length is announced, half the body is sent, the connection closed
//        malformed  a job answers 200 with a body that is not well-formed XML
//        unsized    the whole body is sent without announcing its length; the connection is
//                   closed after it (the body's end cannot be told from a cut)
// target all, scanbox (every job), loadimg (page downloads), or a COMMAND text such as LIST,
//        DELETE, GETIMAGEINFO, GETFILE, GETDATA
// skip   the first <skip> matching requests are answered normally
//
// The first rule that matches a request decides. Rules come from "--misbehave" on the command
// line or from the admin endpoint and may be replaced while the simulator runs.

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

enum class MisbehaviourKind { None, Refuse, Status, Stall, Drop, Malformed, Unsized };

struct MisbehaviourRule {
    MisbehaviourKind kind = MisbehaviourKind::None;
    std::string target;
    int value = 0;
    int skip = 0;
};

// Parses one rule; nullopt when the text is no rule.
std::optional<MisbehaviourRule> parseMisbehaviourRule(const std::string& text);

// What a request is to get.
struct MisbehaviourDecision {
    MisbehaviourKind kind = MisbehaviourKind::None;
    int value = 0;
};

class Misbehaviour {
  public:
    // Replaces every rule. Returns false (rules unchanged) when a text is no rule.
    bool setRules(const std::vector<std::string>& texts);
    void clear();

    // The decision for a request: a job with its COMMAND text, or the page download
    // (command empty, isPageDownload true). Counts the request against the rules' skips.
    MisbehaviourDecision decide(const std::string& command, bool isPageDownload);

  private:
    struct ActiveRule {
        MisbehaviourRule rule;
        int seen = 0;
    };
    std::mutex mutex_;
    std::vector<ActiveRule> rules_;
};
