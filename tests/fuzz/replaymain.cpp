// Replays kept fuzz inputs through a fuzz target without libFuzzer: every regular file below
// the folders named on the command line is handed to LLVMFuzzerTestOneInput once. A fault
// shows as a crash (or a sanitizer report in a sanitizer build); otherwise the exit code is 0.
// A folder that does not exist counts as empty, so a target without kept crashes still runs.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        if (!fs::is_directory(argv[i], error)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(argv[i], error)) {
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
                inputs.push_back(entry.path());
            }
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>()};
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 2;
        }
        std::fprintf(stderr, "replay %s (%zu bytes)\n", input.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    return 0;
}
