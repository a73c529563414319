#pragma once
// The inside of the transport's JobDocument and JobNode handles: a request built element by
// element, its encoding, and the parsed response with its walk. Nothing here touches the
// network. Every operation reports failure by its return value and never throws past the
// exported slots, which catch everything.

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "device/protocol/httpxmltable.h"

struct JobNode {
    pugi::xml_node element;
    int elementId = -1;
};

// Responses larger than this are refused; the device's answers are a few kilobytes.
inline constexpr size_t kMaxResponseBytes = 4u << 20;
// Element names longer than this, and tables with more names, are refused by NewJob.
inline constexpr size_t kMaxElementNameLength = 64;
inline constexpr size_t kMaxElementNames = 1024;

struct JobDocument {
    // Takes the element table; false when it is null, empty or holds an unusable name.
    bool setElementNames(const char* const* names);

    void clear();

    // Building the request.
    bool setAttribute(std::string_view name, std::string_view value);
    bool openElement(int id);
    bool closeElement();
    bool addTextElement(int id, std::string_view text);

    // Encodes the request (declaration, root element with the attributes, raw layout) into
    // encoded; false when there is no root element.
    bool encode();

    // Parses a response into the document, replacing the request. False for more than
    // kMaxResponseBytes, malformed XML or a body without exactly one root element; the
    // document then holds no response.
    bool decodeResponse(const char* bytes, size_t length);

    JobNode* firstNode(int filter);
    JobNode* nextNode(int filter);

    // Query of the document attributes ("name=value&..."), percent-encoded, in the order set.
    std::string attributeQuery() const;

    std::vector<std::string> names;
    std::unordered_map<std::string, int> idsByName;
    std::vector<std::pair<std::string, std::string>> attributes;
    pugi::xml_document tree;
    std::vector<pugi::xml_node> openElements;
    std::string encoded;
    std::vector<JobNode> nodes;  // the parsed response's elements in pre-order
    size_t cursor = 0;
    std::uint32_t commandCode = 0;
    bool holdsResponse = false;  // the tree is a parsed response, not a request

  private:
    pugi::xml_node appendElement(int id);
    JobNode* advance(size_t from, int filter);
};

// Whether the text is an XML name our documents may use (ASCII letters, digits, "_", "-", ".",
// starting with a letter or "_").
bool isXmlName(std::string_view name);

// Decimal numbers with optional blanks around them. False for anything else or out of range.
bool parseSigned32(std::string_view text, std::int32_t* value);
bool parseUnsigned32(std::string_view text, std::uint32_t* value);
