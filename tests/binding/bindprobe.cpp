// Runs the binding step of start-up in whatever folder it is copied to, as the program does,
// and prints what each loader holds, then frees them in the exit order and prints that too.
//
//   bindprobe [os-version-code]
//
// Output lines: "result 0x%08X", one "<loader> <0|1 loaded> <name>" per loader, "specifyport
// <0|1>", "table <0|1 filled>", then after Free "freed <0|1 all empty>".

#include <QString>

#include <cstdio>
#include <cstdlib>

#include "app/binding/applicationlibraries.h"
#include "app/binding/osversion.h"
#include "platform/textconv.h"

namespace {

void Print(const char* key, const CAutoLibrary& loader) {
    std::printf("%s %d %s\n", key, loader.isLoaded() ? 1 : 0,
                platform::toUtf8(loader.name()).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint32_t code = argc > 1
                                   ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 0))
                                   : GetOsVersionCode().code;
    ApplicationLibraries libraries;
    const HRESULT result = Libraries().Bind(QStringLiteral("Library failure"),
                                            QStringLiteral("Cannot load %s."), code);
    std::printf("result 0x%08X\n", static_cast<unsigned>(result));
    Print("httpxml", libraries.httpXml);
    Print("search", libraries.searchAgent);
    Print("ostrel", libraries.ostrel);
    Print("quilmar", libraries.quilmar);
    Print("codec", libraries.codec);
    Print("sti", libraries.stillImage);
    std::printf("specifyport %d\n",
                libraries.searchAgent.SSAGetDetectedMFPAddrSpecifyPortW() != nullptr ? 1 : 0);
    std::printf("table %d\n", libraries.httpXml.table().newJob != nullptr ? 1 : 0);
    libraries.Free();
    const bool empty = !libraries.httpXml.isLoaded() && !libraries.searchAgent.isLoaded() &&
                       !libraries.ostrel.isLoaded() && !libraries.quilmar.isLoaded() &&
                       !libraries.codec.isLoaded() && !libraries.stillImage.isLoaded() &&
                       libraries.httpXml.table().newJob == nullptr &&
                       libraries.searchAgent.SSAGetDetectedMFPAddrW() == nullptr &&
                       libraries.httpXml.name().empty();
    std::printf("freed %d\n", empty ? 1 : 0);
    return 0;
}
