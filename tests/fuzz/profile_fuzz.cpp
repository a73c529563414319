// Fuzz target: the profile reader and writer on an arbitrary existing profile file. Reads never
// fail; a write puts the value where the next read finds it and leaves other keys as they were.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/profile.h"
#include "platform/textconv.h"
#include "tests/fuzz/scratchfolder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path8 = fuzzing::ScratchFolder() + "/Velnor.ini";
    fuzzing::WriteWholeFile(path8, data, size);
    const std::u16string path = platform::toUtf16(path8);

    const std::u16string machine =
        platform::readProfileString(path, u"MFPInfo", u"machineName", u"-");
    const std::u16string address =
        platform::readProfileString(path, u"mfpinfo", u"IPv4Address", u"");
    platform::readProfileInt(path, u"SettingInfo", u"ColorFormat", 0);
    platform::readProfileInt(path, u"MFPInfo", u"httpPortNumber", 80);
    platform::readProfileString(path, u"PasswordInfo", u"password", u"");

    const platform::ProfileWriteResult written =
        platform::writeProfileString(path, u"SettingInfo", u"DeleteFile", u"1");
    if (!written.ok()) {
        std::abort();  // a regular file of this size is always rewritable here
    }
    if (platform::readProfileString(path, u"SettingInfo", u"DeleteFile", u"") != u"1" ||
        platform::readProfileInt(path, u"SettingInfo", u"DeleteFile", 7) != 1 ||
        platform::readProfileString(path, u"MFPInfo", u"machineName", u"-") != machine ||
        platform::readProfileString(path, u"mfpinfo", u"IPv4Address", u"") != address) {
        std::abort();
    }
    return 0;
}
