#include "device/devicelibraries.h"

#include <atomic>

#include "app/binding/applicationlibraries.h"

namespace {

std::atomic<const HttpXmlTable*> installedTable{nullptr};
std::atomic<StiCreateInstanceWFunction> installedSti{nullptr};

}  // namespace

const HttpXmlTable* TransportTable() {
    if (const HttpXmlTable* table = installedTable.load()) {
        return table;
    }
    const CHttpXMLLibrary& transport = Libraries().httpXml;
    return transport.isLoaded() ? &transport.table() : nullptr;
}

StiCreateInstanceWFunction StiCreateInstanceEntry() {
    if (StiCreateInstanceWFunction entry = installedSti.load()) {
        return entry;
    }
    return Libraries().stillImage.StiCreateInstanceW();
}

void UseDeviceLibraries(const HttpXmlTable* table, StiCreateInstanceWFunction stiCreateInstance) {
    installedTable.store(table);
    installedSti.store(stiCreateInstance);
}
