// A fresh folder in the system temporary folder, removed with everything in
// it when the test ends, and small file helpers for the tests of common/.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/file_system.h"

namespace kestrel::test {

inline std::string SystemTempFolder() {
    for (const char* variable : {"TMPDIR", "TEMP", "TMP"}) {
        if (const char* value = std::getenv(variable); value && *value) return value;
    }
    return "/tmp";
}

class TestFolder {
  public:
    TestFolder() {
        std::random_device random;
        for (;;) {
            path_ = JoinPath(SystemTempFolder(), "kestrel_test_" + std::to_string(random()));
            if (MakeDirectory(path_) == MakeDirectoryResult::Created) break;
        }
    }
    ~TestFolder() { RemoveDirectoryTree(path_); }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return JoinPath(path_, name); }

  private:
    std::string path_;
};

using Bytes = std::vector<uint8_t>;

inline Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file and folder below `root`, as paths relative to it with "/".
inline std::set<std::string> ListTree(const std::string& root) {
    std::set<std::string> entries;
    namespace fs = std::filesystem;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        entries.insert(fs::relative(it->path(), root).generic_string() +
                       (it->is_directory() ? "/" : ""));
    }
    return entries;
}

}  // namespace kestrel::test
