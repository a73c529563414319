#pragma once
// The transport library as the program binds it: tarvin.so from the program folder, its table
// filled by GetHTTPXML.

#include <dlfcn.h>

#include <string>

#include "device/protocol/elementnames.h"
#include "device/protocol/httpxmltable.h"

class TransportTable {
  public:
    TransportTable() {
        module_ = ::dlopen((std::string(VELNOR_PROGRAM_DIR) + "/tarvin.so").c_str(), RTLD_NOW);
        if (module_ != nullptr) {
            getHttpXml = reinterpret_cast<GetHTTPXMLFn>(::dlsym(module_, "GetHTTPXML"));
        }
        if (getHttpXml != nullptr) {
            bound_ = getHttpXml(&table, kHttpXmlTableBytes) != 0;
        }
    }
    ~TransportTable() {
        if (module_ != nullptr) {
            ::dlclose(module_);
        }
    }
    TransportTable(const TransportTable&) = delete;
    TransportTable& operator=(const TransportTable&) = delete;

    bool bound() const { return bound_; }
    const HttpXmlTable* operator->() const { return &table; }

    HttpXmlTable table{};
    GetHTTPXMLFn getHttpXml = nullptr;

  private:
    void* module_ = nullptr;
    bool bound_ = false;
};

// A job document that is freed with the test.
class ScopedJob {
  public:
    explicit ScopedJob(const TransportTable& transport)
        : transport_(transport), document_(transport->newJob(ElementNames)) {
        if (document_ != nullptr) {
            transport_->clearJob(document_);
        }
    }
    ~ScopedJob() { transport_->freeJob(document_); }
    ScopedJob(const ScopedJob&) = delete;
    ScopedJob& operator=(const ScopedJob&) = delete;

    JobDocument* get() const { return document_; }

  private:
    const TransportTable& transport_;
    JobDocument* document_;
};
