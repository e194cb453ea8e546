// Unpacks arbitrary bytes as a projector payload. Besides the sanitizers'
// checks, it aborts if anything appears next to the unpack folder: no payload
// may write outside it.
#include <dirent.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/payload_reader.h"

namespace {

using namespace kestrel;

const std::string& WorkFolder() {
    static const std::string folder = [] {
        const char* base = PathExists("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/kestrel_fuzz_payload_XXXXXX";
        if (!mkdtemp(&pattern[0])) std::abort();
        return pattern;
    }();
    static const bool removedAtExit = std::atexit([] { RemoveDirectoryTree(WorkFolder()); }) == 0;
    (void)removedAtExit;
    return folder;
}

// The work folder holds exactly the input and the unpack folder.
void CheckNothingOutside(const std::string& folder) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) std::abort();
    while (const dirent* entry = readdir(dir.get())) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") && std::strcmp(name, "..") && std::strcmp(name, "app.exe") &&
            std::strcmp(name, "unpack")) {
            std::fprintf(stderr, "written outside the unpack folder: %s\n", name);
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = WorkFolder();
    std::string exe = JoinPath(folder, "app.exe");
    std::string unpack = JoinPath(folder, "unpack");
    {
        BinaryFile file;
        if (!file.open(exe, BinaryFile::Mode::WriteTruncate) || !file.write(data, size)) return 0;
    }
    MakeDirectory(unpack);
    {
        PayloadReader reader(unpack);
        if (reader.open(exe) == PayloadError::None && reader.scan() == PayloadError::None) {
            std::string settings;
            reader.settingsPath(&settings);
        }
        reader.cleanUp();
    }
    CheckNothingOutside(folder);
    RemoveDirectoryTree(unpack);
    RemoveFile(exe);
    return 0;
}
