// A stand-in library for the binding tests: which exports it has is chosen at build time, so
// that a test can place a library under any name with or without the entry points a loader
// needs.

#include <cstdint>

#define FIXTURE_EXPORT extern "C" __attribute__((visibility("default")))

#ifdef FIXTURE_GETHTTPXML
FIXTURE_EXPORT int GetHTTPXML(void* table, std::uint32_t size) {
    // The answer the test asks for; a successful one marks slot 0 so the table is seen filled.
    if (FIXTURE_GETHTTPXML != 0 && table != nullptr && size >= sizeof(void*)) {
        *static_cast<void**>(table) = reinterpret_cast<void*>(&GetHTTPXML);
    }
    return FIXTURE_GETHTTPXML;
}
#endif

#ifdef FIXTURE_SEARCH
FIXTURE_EXPORT void* SSAGetDetectedMFPAddrW(void*, std::uint32_t, std::uint32_t* count,
                                            std::uint32_t) {
    *count = 0;
    return nullptr;
}
FIXTURE_EXPORT void SSAFreeMFPAddrW(void*) {}
#endif

#ifdef FIXTURE_SEARCH_PORT
FIXTURE_EXPORT void* SSAGetDetectedMFPAddrSpecifyPortW(void*, std::uint32_t, std::uint32_t* count,
                                                       std::uint32_t, std::uint32_t) {
    *count = 0;
    return nullptr;
}
#endif

#ifdef FIXTURE_PDF
FIXTURE_EXPORT std::int32_t PDF_Encode() {
    return 0;
}
#endif

#ifdef FIXTURE_TIFF
FIXTURE_EXPORT bool MultiTiffEncode() {
    return true;
}
#endif

#ifdef FIXTURE_CODEC
FIXTURE_EXPORT int KroXMLEncode() {
    return 0;
}
FIXTURE_EXPORT int KroXMLDecode() {
    return 0;
}
FIXTURE_EXPORT void KroCodecFree() {}
#endif

#ifdef FIXTURE_STI
FIXTURE_EXPORT std::int32_t StiCreateInstanceW(void*, std::uint32_t, void** out, void*) {
    *out = nullptr;
    return static_cast<std::int32_t>(0x80004005);
}
#endif

// Every fixture exports this, so that even the one without entry points is a valid library.
FIXTURE_EXPORT int FixtureLibrary() {
    return 1;
}
