// Runs a fuzz target once over each file it is given, for compilers without libFuzzer: the regression run of
// the corpora. Arguments are files or folders (read recursively, in path order). A folder that holds no file
// fails the run, so that a corpus that went missing is not taken for one that passed.
// The readers' own messages are dropped (CORVEX_FUZZ_VERBOSE keeps them); sanitizer reports are not.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"

// Present only in ASan builds: an ASan report then names the input. (GCC's UBSan runtime has its own, which
// this does not reach: CORVEX_FUZZ_VERBOSE names each input before it runs.)
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

namespace fs = std::filesystem;

FILE* output = stderr;
std::string current;

void nameCurrentInput() { std::fprintf(output, "while replaying %s\n", current.c_str()); }

// The readers report each refused file on std::cerr or C's stderr, and refusing files is what a corpus makes
// them do. Both go to /dev/null; file descriptor 2 stays, so sanitizer reports, written there directly, do not.
void silenceReaders() {
    static std::ofstream null("/dev/null");
    std::cerr.rdbuf(null.rdbuf());
    if (FILE* discard = std::fopen("/dev/null", "w")) stderr = discard;
}

bool collect(const fs::path& path, std::vector<fs::path>& files) {
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
        files.push_back(path);
        return true;
    }
    if (!fs::is_directory(path, error)) return false;
    const size_t before = files.size();
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path, error))
        if (entry.is_regular_file()) files.push_back(entry.path());
    return files.size() > before;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        if (!collect(argv[i], files)) {
            std::fprintf(stderr, "%s: no input in %s\n", argv[0], argv[i]);
            return 1;
        }
    }
    std::sort(files.begin(), files.end());
    const bool verbose = std::getenv("CORVEX_FUZZ_VERBOSE") != nullptr;
    if (!verbose) silenceReaders();
    if (__sanitizer_set_death_callback != nullptr) __sanitizer_set_death_callback(nameCurrentInput);

    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in.eof() && in.fail()) {
            std::fprintf(output, "cannot read %s\n", file.c_str());
            return 1;
        }
        current = file.string();
        if (verbose) std::fprintf(output, "replaying %s\n", current.c_str());
        // A copy of exactly the file's size, as libFuzzer hands an input: a read past its end is caught.
        std::unique_ptr<uint8_t[]> input(new uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), input.get());
        LLVMFuzzerTestOneInput(input.get(), bytes.size());
    }
    std::fprintf(output, "%s: %zu inputs replayed\n", fs::path(argv[0]).filename().c_str(), files.size());
    return 0;
}
