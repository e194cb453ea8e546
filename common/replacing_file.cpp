#include "common/replacing_file.h"

#include "common/file_system.h"

namespace kestrel {

ReplacingFile::~ReplacingFile() {
    if (temporary_.empty() || committed_) return;
    file_.close();
    RemoveFile(temporary_);
}

bool ReplacingFile::Open(const std::string& target) {
    target_ = target;
    temporary_ = target + ".partial";
    if (PathExists(temporary_)) RemoveFile(temporary_);
    failed_ = !file_.open(temporary_, BinaryFile::Mode::WriteTruncate);
    if (failed_) temporary_.clear();  // nothing of ours to remove
    return !failed_;
}

bool ReplacingFile::Write(const void* data, size_t size) {
    if (failed_ || !file_.isOpen()) return false;
    if (size > writeLimit_ - written_) {
        // The simulated full disk takes what fits, then fails.
        file_.write(data, static_cast<size_t>(writeLimit_ - written_));
        failed_ = true;
        return false;
    }
    failed_ = !file_.write(data, size);
    written_ += size;
    return !failed_;
}

ReplacingFile::Result ReplacingFile::Commit() {
    if (temporary_.empty()) return Result::CannotCreate;
    if (failed_ || !file_.flushToDisk() || !file_.close()) return Result::CannotWrite;
    if (!MoveFileReplacing(temporary_, target_)) return Result::CannotReplace;
    committed_ = true;
    return Result::Done;
}

}  // namespace kestrel
