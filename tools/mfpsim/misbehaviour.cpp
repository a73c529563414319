#include "tools/mfpsim/misbehaviour.h"

#include <cstdlib>

namespace {

std::optional<int> parseNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    return std::atoi(text.c_str());
}

}  // namespace

std::optional<MisbehaviourRule> parseMisbehaviourRule(const std::string& text) {
    MisbehaviourRule rule;
    std::string body = text;
    if (const auto at = body.find('@'); at != std::string::npos) {
        const auto skip = parseNumber(body.substr(at + 1));
        if (!skip) {
            return std::nullopt;
        }
        rule.skip = *skip;
        body.resize(at);
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const auto colon = body.find(':', start);
        parts.push_back(body.substr(start, colon - start));
        if (colon == std::string::npos) {
            break;
        }
        start = colon + 1;
    }
    if (parts.size() < 2 || parts.size() > 3 || parts[1].empty()) {
        return std::nullopt;
    }
    const std::string& kind = parts[0];
    if (kind == "refuse") {
        rule.kind = MisbehaviourKind::Refuse;
    } else if (kind == "status") {
        rule.kind = MisbehaviourKind::Status;
    } else if (kind == "stall") {
        rule.kind = MisbehaviourKind::Stall;
        rule.value = 120;
    } else if (kind == "drop") {
        rule.kind = MisbehaviourKind::Drop;
    } else if (kind == "malformed") {
        rule.kind = MisbehaviourKind::Malformed;
    } else if (kind == "unsized") {
        rule.kind = MisbehaviourKind::Unsized;
    } else {
        return std::nullopt;
    }
    rule.target = parts[1];
    const bool needsValue =
        rule.kind == MisbehaviourKind::Refuse || rule.kind == MisbehaviourKind::Status;
    if (parts.size() == 3) {
        const auto value = parseNumber(parts[2]);
        if (!value) {
            return std::nullopt;
        }
        rule.value = *value;
    } else if (needsValue) {
        return std::nullopt;
    }
    return rule;
}

bool Misbehaviour::setRules(const std::vector<std::string>& texts) {
    std::vector<ActiveRule> parsed;
    for (const auto& text : texts) {
        const auto rule = parseMisbehaviourRule(text);
        if (!rule) {
            return false;
        }
        parsed.push_back({*rule, 0});
    }
    std::lock_guard lock(mutex_);
    rules_ = std::move(parsed);
    return true;
}

void Misbehaviour::clear() {
    std::lock_guard lock(mutex_);
    rules_.clear();
}

MisbehaviourDecision Misbehaviour::decide(const std::string& command, bool isPageDownload) {
    std::lock_guard lock(mutex_);
    for (auto& active : rules_) {
        const std::string& target = active.rule.target;
        const bool matches = target == "all" || (isPageDownload && target == "loadimg") ||
                             (!isPageDownload && (target == "scanbox" || target == command));
        if (!matches) {
            continue;
        }
        if (active.seen++ < active.rule.skip) {
            return {};
        }
        return {active.rule.kind, active.rule.value};
    }
    return {};
}
