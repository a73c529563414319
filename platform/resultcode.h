#pragma once

#include <cstdint>

// Result codes of the application frame, 32-bit values in the HRESULT convention: 0 success,
// negative failure; a system error e > 0 becomes 0x80070000 | (e & 0xFFFF).
using HRESULT = std::int32_t;

namespace platform {

inline constexpr HRESULT kOk = 0;                                          // S_OK
inline constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);         // E_FAIL
inline constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057);   // E_INVALIDARG
inline constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x8007000E);  // E_OUTOFMEMORY
inline constexpr HRESULT kNotEnoughMemory =
    static_cast<HRESULT>(0x80070008);  // ERROR_NOT_ENOUGH_MEMORY

// A system error number as a result code; 0 or less is passed on unchanged.
constexpr HRESULT resultFromSystemError(int64_t error) {
    return error > 0 ? static_cast<HRESULT>(0x80070000u | (static_cast<uint32_t>(error) & 0xFFFFu))
                     : static_cast<HRESULT>(error);
}

constexpr bool succeeded(HRESULT result) {
    return result >= 0;
}

}  // namespace platform
