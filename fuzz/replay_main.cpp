// Runs a fuzz target once on every file of the given corpus folders, in name order, so the
// seeds and the regressions kept there are checked by every test run. A folder that is
// missing or holds no file fails: a seedless replay would pass without testing anything.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder...\n", argv[0]);
        return 2;
    }
    int replayed = 0;
    for (int a = 1; a < argc; ++a) {
        std::vector<std::filesystem::path> files;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(argv[a], error))
            if (entry.is_regular_file()) files.push_back(entry.path());
        if (error || files.empty()) {
            std::fprintf(stderr, "no corpus files in %s\n", argv[a]);
            return 1;
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            // Named first, so a crash report follows the name of the input that caused it.
            std::fprintf(stderr, "%s\n", file.c_str());
            std::ifstream in(file, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (in.bad()) {
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
                return 1;
            }
            // A buffer of exactly the file's size, so a read past its end is caught by the sanitizer.
            const auto data = std::make_unique<uint8_t[]>(bytes.size());
            std::copy(bytes.begin(), bytes.end(), data.get());
            LLVMFuzzerTestOneInput(data.get(), bytes.size());
            ++replayed;
        }
    }
    std::fprintf(stderr, "%d inputs replayed\n", replayed);
    return 0;
}
