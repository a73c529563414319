#include "family/tarvin/jobdocument.h"

#include <sstream>

namespace {

std::string_view trimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Digits only, at most 10 of them, into a 64-bit value.
bool parseDigits(std::string_view text, std::uint64_t* value) {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    std::uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        result = result * 10 + static_cast<std::uint64_t>(c - '0');
    }
    *value = result;
    return true;
}

void appendPercentEncoded(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    for (unsigned char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
}

}  // namespace

bool isXmlName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!letter && (i == 0 || !other)) {
            return false;
        }
    }
    return true;
}

bool parseSigned32(std::string_view text, std::int32_t* value) {
    text = trimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    if (!parseDigits(text, &magnitude) || magnitude > (negative ? 2147483648ull : 2147483647ull)) {
        return false;
    }
    *value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                      : static_cast<std::int32_t>(magnitude);
    return true;
}

bool parseUnsigned32(std::string_view text, std::uint32_t* value) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    std::uint64_t result = 0;
    if (!parseDigits(text, &result) || result > 0xFFFFFFFFull) {
        return false;
    }
    *value = static_cast<std::uint32_t>(result);
    return true;
}

bool JobDocument::setElementNames(const char* const* table) {
    if (table == nullptr) {
        return false;
    }
    names.clear();
    idsByName.clear();
    for (size_t i = 0; table[i] != nullptr; ++i) {
        const std::string_view name(table[i]);
        if (i >= kMaxElementNames || name.size() > kMaxElementNameLength || !isXmlName(name)) {
            return false;
        }
        names.emplace_back(name);
        idsByName.emplace(names.back(), static_cast<int>(i));  // the first of equal names wins
    }
    return !names.empty();
}

void JobDocument::clear() {
    attributes.clear();
    tree.reset();
    openElements.clear();
    encoded.clear();
    nodes.clear();
    cursor = 0;
    commandCode = 0;
    holdsResponse = false;
}

bool JobDocument::setAttribute(std::string_view name, std::string_view value) {
    if (!isXmlName(name)) {
        return false;
    }
    for (auto& [existing, text] : attributes) {
        if (existing == name) {
            text = value;
            return true;
        }
    }
    attributes.emplace_back(name, value);
    return true;
}

pugi::xml_node JobDocument::appendElement(int id) {
    if (id < 0 || static_cast<size_t>(id) >= names.size()) {
        return {};
    }
    if (!openElements.empty()) {
        return openElements.back().append_child(names[static_cast<size_t>(id)].c_str());
    }
    if (tree.document_element()) {
        return {};  // a second root
    }
    nodes.clear();  // building a request ends any walk of an earlier response
    cursor = 0;
    return tree.append_child(names[static_cast<size_t>(id)].c_str());
}

bool JobDocument::openElement(int id) {
    const pugi::xml_node element = appendElement(id);
    if (!element) {
        return false;
    }
    openElements.push_back(element);
    return true;
}

bool JobDocument::closeElement() {
    if (openElements.empty()) {
        return false;
    }
    openElements.pop_back();
    return true;
}

bool JobDocument::addTextElement(int id, std::string_view text) {
    pugi::xml_node element = appendElement(id);
    if (!element) {
        return false;
    }
    if (!text.empty()) {
        // pugixml copies the text; its length, not a terminator, bounds it.
        element.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
    }
    return true;
}

bool JobDocument::encode() {
    encoded.clear();
    const pugi::xml_node root = tree.document_element();
    if (!root || holdsResponse) {  // a response is never sent back as a request
        return false;
    }
    pugi::xml_document out;
    pugi::xml_node declaration = out.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node copy = out.append_copy(root);
    // Attributes go first on the root, in the order they were set.
    pugi::xml_attribute last;
    for (const auto& [name, value] : attributes) {
        pugi::xml_attribute attribute = last ? copy.insert_attribute_after(name.c_str(), last)
                                             : copy.prepend_attribute(name.c_str());
        attribute.set_value(value.c_str());
        last = attribute;
    }
    std::ostringstream stream;
    out.save(stream, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    encoded = stream.str();
    return true;
}

bool JobDocument::decodeResponse(const char* bytes, size_t length) {
    holdsResponse = false;
    tree.reset();
    openElements.clear();
    encoded.clear();
    nodes.clear();
    cursor = 0;
    if ((bytes == nullptr && length != 0) || length > kMaxResponseBytes) {
        return false;
    }
    const pugi::xml_parse_result parsed =
        tree.load_buffer(bytes, length, pugi::parse_default, pugi::encoding_utf8);
    size_t roots = 0;
    for (pugi::xml_node child = tree.first_child(); child; child = child.next_sibling()) {
        roots += child.type() == pugi::node_element ? 1 : 0;
    }
    if (!parsed || roots != 1) {
        tree.reset();
        return false;
    }
    holdsResponse = true;
    // Every element in document order of its start tag: a pre-order walk.
    struct Collector : pugi::xml_tree_walker {
        JobDocument* document = nullptr;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() == pugi::node_element) {
                const auto it = document->idsByName.find(node.name());
                document->nodes.push_back(
                    {node, it == document->idsByName.end() ? -1 : it->second});
            }
            return true;
        }
    } collector;
    collector.document = this;
    tree.traverse(collector);
    return true;
}

JobNode* JobDocument::advance(size_t from, int filter) {
    for (cursor = from; cursor < nodes.size(); ++cursor) {
        if (filter < 0 || nodes[cursor].elementId == filter) {
            return &nodes[cursor];
        }
    }
    return nullptr;
}

JobNode* JobDocument::firstNode(int filter) {
    return advance(0, filter);
}

JobNode* JobDocument::nextNode(int filter) {
    return cursor < nodes.size() ? advance(cursor + 1, filter) : nullptr;
}

std::string JobDocument::attributeQuery() const {
    std::string query;
    for (const auto& [name, value] : attributes) {
        if (!query.empty()) {
            query += '&';
        }
        appendPercentEncoded(query, name);
        query += '=';
        appendPercentEncoded(query, value);
    }
    return query;
}
