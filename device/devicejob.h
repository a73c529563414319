#pragma once
// One job document of the transport library, from NewJob to FreeJob: building the request
// tree, the USB encoding and decoding, and walking the parsed response. Every call checks that
// the transport table and the document exist, so a job without a bound transport simply fails.

#include <cstdint>
#include <functional>

#include "device/protocol/elementnames.h"
#include "device/protocol/httpxmltable.h"

// One element of a parsed response, valid while its job's response is.
class ResponseNode {
  public:
    ResponseNode(const HttpXmlTable& table, JobNode* node) : table_(table), node_(node) {}

    // The element id; -1 for an element outside the vocabulary.
    int id() const;
    // The element's 8-bit text; never null.
    const char* text() const;
    // The content as a signed number (NodeNumber); `fallback` when it is none.
    std::int32_t number(std::int32_t fallback) const;
    // The content as an unsigned number (NodeNumberEx); `fallback` when it is none.
    std::uint32_t numberEx(std::uint32_t fallback) const;

  private:
    const HttpXmlTable& table_;
    JobNode* node_;
};

class DeviceJob {
  public:
    // NewJob over ElementNames, then ClearJob. Without a table or when NewJob fails the job is
    // not valid and every operation below fails or does nothing.
    explicit DeviceJob(const HttpXmlTable* table);
    // FreeJob, unless Free ran already.
    ~DeviceJob();
    DeviceJob(const DeviceJob&) = delete;
    DeviceJob& operator=(const DeviceJob&) = delete;

    bool valid() const { return document_ != nullptr; }
    const HttpXmlTable* table() const { return table_; }
    JobDocument* document() const { return document_; }

    // Releases the document now (FreeJob); the job is no longer valid.
    void Free();

    bool Clear();
    bool SetAttribute(const char* name, const char* value);
    // Sets the "version" attribute to "2", which every job except the page download carries.
    bool SetVersion();
    bool SetCommandCode(std::uint32_t code);
    // The command code kept with the document, low 16 bits.
    std::uint16_t CommandCode() const;

    // Request tree. OpenElement reports whether the element was opened; only then may it be
    // filled and must it be closed.
    bool OpenElement(ElementId id);
    void CloseElement();
    void AddText(ElementId id, const char* text);
    void AddNumber(ElementId id, std::int32_t value);
    void AddNumberEx(ElementId id, std::uint32_t value);

    // Builds JOB ( COMMAND command, TYPE "STORAGE", PARAM ( STORAGE ( fill() ) ) ); each container
    // is filled only when it opened and closed once per successful open.
    void BuildStorageJob(const char* command, const std::function<void()>& fill = {});

    // USB encoding: the request for the path, its size (0 = failure) and a copy of it.
    bool EncodeRequest(const char* path);
    std::uint32_t EncodedSize() const;
    bool CopyEncoded(char* buffer, std::uint32_t size) const;
    // Parses an encoded response into the document.
    bool DecodeResponse(const char* bytes, std::uint32_t length);

    // Walks the parsed response in document order while `visit` returns true. Returns whether
    // the walk ran, that is whether the response had at least one node.
    bool Walk(const std::function<bool(const ResponseNode&)>& visit);

  private:
    const HttpXmlTable* table_;
    JobDocument* document_ = nullptr;
};
