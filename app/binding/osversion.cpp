#include "app/binding/osversion.h"

namespace {

constexpr std::uint32_t kWorkstationCurrentRelease = 0x210;
constexpr std::uint32_t kServerCurrentRelease = 0x610;
constexpr std::uint32_t kThirtyTwoOnSixtyFour = 0x800;
constexpr std::uint32_t kNativeArchitecture = 1;

}  // namespace

OsVersion GetOsVersionCode() {
    return {kWorkstationCurrentRelease, kNativeArchitecture};
}

bool SkipsStillImageLibrary(std::uint32_t osVersionCode) {
    return (osVersionCode & ~kThirtyTwoOnSixtyFour) == kServerCurrentRelease;
}
