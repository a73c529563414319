#include "device/devicejob.h"

int ResponseNode::id() const {
    return table_.nodeElementId != nullptr ? table_.nodeElementId(node_) : -1;
}

const char* ResponseNode::text() const {
    const char* value = table_.nodeText != nullptr ? table_.nodeText(node_) : nullptr;
    return value != nullptr ? value : "";
}

std::int32_t ResponseNode::number(std::int32_t fallback) const {
    std::int32_t value = fallback;
    if (table_.nodeNumber != nullptr) {
        table_.nodeNumber(node_, &value);
    }
    return value;
}

std::uint32_t ResponseNode::numberEx(std::uint32_t fallback) const {
    std::uint32_t value = fallback;
    if (table_.nodeNumberEx != nullptr) {
        table_.nodeNumberEx(node_, &value);
    }
    return value;
}

DeviceJob::DeviceJob(const HttpXmlTable* table) : table_(table) {
    if (table_ == nullptr || table_->newJob == nullptr || table_->freeJob == nullptr) {
        return;
    }
    document_ = table_->newJob(ElementNames);
    Clear();
}

DeviceJob::~DeviceJob() {
    Free();
}

void DeviceJob::Free() {
    if (document_ != nullptr) {
        table_->freeJob(document_);
        document_ = nullptr;
    }
}

bool DeviceJob::Clear() {
    return valid() && table_->clearJob != nullptr && table_->clearJob(document_) != 0;
}

bool DeviceJob::SetAttribute(const char* name, const char* value) {
    return valid() && table_->setJobAttribute != nullptr &&
           table_->setJobAttribute(document_, name, value) != 0;
}

bool DeviceJob::SetVersion() {
    return SetAttribute("version", "2");
}

bool DeviceJob::SetCommandCode(std::uint32_t code) {
    return valid() && table_->setCommandCode != nullptr &&
           table_->setCommandCode(document_, code) != 0;
}

std::uint16_t DeviceJob::CommandCode() const {
    if (!valid() || table_->getCommandCode == nullptr) {
        return 0;
    }
    return static_cast<std::uint16_t>(table_->getCommandCode(document_) & 0xFFFF);
}

bool DeviceJob::OpenElement(ElementId id) {
    return valid() && table_->openElement != nullptr && table_->openElement(document_, id) != 0;
}

void DeviceJob::CloseElement() {
    if (valid() && table_->closeElement != nullptr) {
        table_->closeElement(document_);
    }
}

void DeviceJob::AddText(ElementId id, const char* text) {
    if (valid() && table_->addTextElement != nullptr) {
        table_->addTextElement(document_, id, text);
    }
}

void DeviceJob::AddNumber(ElementId id, std::int32_t value) {
    if (valid() && table_->addNumberElement != nullptr) {
        table_->addNumberElement(document_, id, value);
    }
}

void DeviceJob::AddNumberEx(ElementId id, std::uint32_t value) {
    if (valid() && table_->addNumberElementEx != nullptr) {
        table_->addNumberElementEx(document_, id, value, kUnsignedNumberWidth);
    }
}

void DeviceJob::BuildStorageJob(const char* command, const std::function<void()>& fill) {
    if (!OpenElement(kElemJob)) {
        return;
    }
    AddText(kElemCommand, command);
    AddText(kElemType, kJobTypeStorage);
    if (OpenElement(kElemParam)) {
        if (OpenElement(kElemStorage)) {
            if (fill) {
                fill();
            }
            CloseElement();
        }
        CloseElement();
    }
    CloseElement();
}

bool DeviceJob::EncodeRequest(const char* path) {
    return valid() && table_->encodeJobRequest != nullptr &&
           table_->encodeJobRequest(document_, 0, path, 0) != 0;
}

std::uint32_t DeviceJob::EncodedSize() const {
    return valid() && table_->encodedJobSize != nullptr ? table_->encodedJobSize(document_) : 0;
}

bool DeviceJob::CopyEncoded(char* buffer, std::uint32_t size) const {
    if (!valid() || table_->copyEncodedJob == nullptr) {
        return false;
    }
    std::uint32_t written = 0;
    return table_->copyEncodedJob(document_, buffer, size, &written) != 0 && written == size;
}

bool DeviceJob::DecodeResponse(const char* bytes, std::uint32_t length) {
    return valid() && table_->decodeJobResponse != nullptr &&
           table_->decodeJobResponse(document_, bytes, length) != 0;
}

bool DeviceJob::Walk(const std::function<bool(const ResponseNode&)>& visit) {
    if (!valid() || table_->firstNode == nullptr || table_->nextNode == nullptr) {
        return false;
    }
    JobNode* node = table_->firstNode(document_, kAnyElement);
    if (node == nullptr) {
        return false;
    }
    while (node != nullptr) {
        if (!visit(ResponseNode(*table_, node))) {
            break;
        }
        node = table_->nextNode(document_, kAnyElement);
    }
    return true;
}
