#include "builder/export/output_files.h"

#include <atomic>
#include <chrono>
#include <random>
#include <vector>

#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/payload_writer.h"

namespace kestrel {

namespace {

constexpr size_t kCopyChunkSize = 1 << 20;
constexpr int kWorkFolderAttempts = 100;

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
    BinaryFile file;
    int64_t size = file.open(path, BinaryFile::Mode::Read) ? file.size() : -1;
    if (size < 0 || !file.seek(0)) return false;
    bytes->resize(static_cast<size_t>(size));
    return bytes->empty() || file.readExactly(bytes->data(), bytes->size());
}

std::string MakeWorkFolder(const std::string& parent) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < kWorkFolderAttempts; ++attempt) {
        unsigned tag =
            random() ^
            static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
            (counter++ << 20);
        std::string path = JoinPath(parent, ".kestrel-" + std::to_string(tag));
        MakeDirectoryResult result = MakeDirectory(path);
        if (result == MakeDirectoryResult::Created) return path;
        if (result == MakeDirectoryResult::Failed) return std::string();
    }
    return std::string();
}

bool CopyFileChecked(const std::string& from, const std::string& to) {
    BinaryFile in;
    BinaryFile out;
    int64_t size = in.open(from, BinaryFile::Mode::Read) ? in.size() : -1;
    if (size < 0 || !in.seek(0) || !out.open(to, BinaryFile::Mode::WriteTruncate)) return false;
    std::vector<char> chunk(kCopyChunkSize);
    bool ok = true;
    while (ok && size > 0) {
        size_t want =
            static_cast<size_t>(std::min<int64_t>(size, static_cast<int64_t>(chunk.size())));
        ok = in.readExactly(chunk.data(), want) && out.write(chunk.data(), want);
        size -= static_cast<int64_t>(want);
    }
    ok = out.close() && ok;
    if (!ok) RemoveFile(to);
    return ok;
}

bool CopyIntoFolder(const std::string& source, const std::string& folder, std::string* failedPath) {
    const std::string target = JoinPath(folder, PathLastComponent(source));
    if (!IsDirectory(source)) {
        if (CopyFileChecked(source, target)) return true;
        *failedPath = source;
        return false;
    }
    if (MakeDirectory(target) != MakeDirectoryResult::Created) {
        *failedPath = source;
        return false;
    }
    for (const std::string& file : ListFiles(source)) {
        if (!CopyIntoFolder(JoinPath(source, file), target, failedPath)) return false;
    }
    for (const std::string& sub : ListFolders(source)) {
        if (!CopyIntoFolder(JoinPath(source, sub), target, failedPath)) return false;
    }
    return true;
}

bool WriteFileChecked(const std::string& path, const std::string& bytes) {
    BinaryFile out;
    if (!out.open(path, BinaryFile::Mode::WriteTruncate)) return false;
    bool ok = out.write(bytes.data(), bytes.size());
    ok = out.close() && ok;
    if (!ok) RemoveFile(path);
    return ok;
}

bool RemovePath(const std::string& path) {
    if (IsDirectory(path)) return RemoveDirectoryTree(path);
    return !PathExists(path) || RemoveFile(path);
}

namespace {

bool Rename(const std::string& from, const std::string& to) {
    return IsDirectory(from) ? RenameFolder(from, to) : MoveFileReplacing(from, to);
}

}  // namespace

bool PutInPlace(const std::string& built, const std::string& target,
                const std::string& workFolder) {
    std::string aside;
    if (PathExists(target)) {
        aside = JoinPath(workFolder, "replaced");
        if (!Rename(target, aside)) return false;
    }
    if (Rename(built, target)) return true;
    if (!aside.empty()) Rename(aside, target);
    return false;
}

}  // namespace kestrel
