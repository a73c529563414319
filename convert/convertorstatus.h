#pragma once

#include "platform/resultcode.h"

// Status codes of the convertors, in the HRESULT convention of the frame: 0 success, negative
// failure; a system error e is reported as 0x80070000 | (e & 0xFFFF).
namespace convert {

using platform::kFail;                                                        // E_FAIL
using platform::kInvalidArg;                                                  // E_INVALIDARG
using platform::kOk;                                                          // S_OK
inline constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001);  // E_NOTIMPL
inline constexpr HRESULT kPointer = static_cast<HRESULT>(0x80004003);         // E_POINTER

// A system error number as a status code; 0 or less is passed on unchanged.
constexpr HRESULT StatusFromSystemError(int error) {
    return platform::resultFromSystemError(error);
}

}  // namespace convert
