#include "common/binary_file.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kestrel {

namespace {

int SeekTo(std::FILE* file, int64_t position, int origin) {
#ifdef _WIN32
    return _fseeki64(file, position, origin);
#else
    return fseeko(file, static_cast<off_t>(position), origin);
#endif
}

int64_t Tell(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return static_cast<int64_t>(ftello(file));
#endif
}

const char* ModeText(BinaryFile::Mode mode) {
    switch (mode) {
        case BinaryFile::Mode::Read:
            return "rb";
        case BinaryFile::Mode::WriteTruncate:
            return "wb";
        case BinaryFile::Mode::Append:
            return "ab";
    }
    return "rb";
}

}  // namespace

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
    if (this != &other) {
        close();
        file_ = other.file_;
        other.file_ = nullptr;
    }
    return *this;
}

bool BinaryFile::open(const std::string& path, Mode mode) {
    close();
    file_ = std::fopen(path.c_str(), ModeText(mode));
    if (!file_) return false;
    // Callers move large chunks or a few words: the stdio buffer would only
    // add a copy of every byte.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    return true;
}

bool BinaryFile::close() {
    if (!file_) return true;
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
}

int64_t BinaryFile::size() {
    if (!file_ || SeekTo(file_, 0, SEEK_END) != 0) return -1;
    return Tell(file_);
}

bool BinaryFile::seek(int64_t position) {
    return file_ && position >= 0 && SeekTo(file_, position, SEEK_SET) == 0;
}

bool BinaryFile::readExactly(void* data, size_t size) {
    if (!file_) return false;
    return size == 0 || std::fread(data, 1, size, file_) == size;
}

bool BinaryFile::write(const void* data, size_t size) {
    if (!file_) return false;
    return size == 0 || std::fwrite(data, 1, size, file_) == size;
}

bool BinaryFile::flushToDisk() {
    if (!file_ || std::fflush(file_) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(file_)) == 0;
#else
    return fsync(fileno(file_)) == 0;
#endif
}

}  // namespace kestrel
