#pragma once

#include <cstdint>

// The edition of the running system as the library binding reads it. Bits of the code: 0x100
// the 9x family, 0x200 the NT family, 0x400 a server edition, 0x800 a 32-bit process on a
// 64-bit system; the low byte one bit per release.
struct OsVersion {
    std::uint32_t code = 0;
    std::uint32_t architecture = 0;  // 1 native; under a 32-on-64 layer 2 (x64), 3 (IA64), 0
};

// A workstation of the current release running natively (code 0x210, architecture 1): the
// only edition this platform has, so the still-image library is always bound.
OsVersion GetOsVersionCode();

// True when the still-image library is left unbound for this code: a server edition of the
// current release, whether or not the process runs under a 32-on-64 layer.
bool SkipsStillImageLibrary(std::uint32_t osVersionCode);
