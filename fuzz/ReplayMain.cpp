// Runs a fuzz target once over each file it is given, for compilers without libFuzzer: the regression run of
// the corpora. Arguments are files or folders (read recursively, in path order). A folder that holds no file
// fails the run, so that a corpus that went missing is not taken for one that passed.
// The readers' own messages are dropped (set CORVEX_FUZZ_VERBOSE to keep them); sanitizer reports are not.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"

// Present only in sanitizer builds: reports then go to the saved stderr, and a report names the input.
extern "C" void __sanitizer_set_report_fd(void* fd) __attribute__((weak));
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

namespace fs = std::filesystem;

FILE* output = stderr;
std::string current;

void nameCurrentInput() { std::fprintf(output, "while replaying %s\n", current.c_str()); }

// The readers report each refused file on stderr, and refusing files is what a corpus makes them do.
void silenceStderr() {
    if (std::getenv("CORVEX_FUZZ_VERBOSE") != nullptr) return;
    const int saved = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (saved < 0 || null < 0) return;
    std::fflush(stderr);
    dup2(null, STDERR_FILENO);
    close(null);
    if (FILE* kept = fdopen(saved, "w")) {
        setvbuf(kept, nullptr, _IONBF, 0);
        output = kept;
    }
    if (__sanitizer_set_report_fd != nullptr)
        __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<intptr_t>(saved)));
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
    silenceStderr();
    if (__sanitizer_set_death_callback != nullptr) __sanitizer_set_death_callback(nameCurrentInput);

    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in.eof() && in.fail()) {
            std::fprintf(output, "cannot read %s\n", file.c_str());
            return 1;
        }
        current = file.string();
        // A copy of exactly the file's size, as libFuzzer hands an input: a read past its end is caught.
        std::unique_ptr<uint8_t[]> input(new uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), input.get());
        LLVMFuzzerTestOneInput(input.get(), bytes.size());
    }
    std::fprintf(output, "%s: %zu inputs replayed\n", fs::path(argv[0]).filename().c_str(), files.size());
    return 0;
}
