#include "corpus_movie.h"

#include <zlib.h>

namespace kestrel::avm1::test {

namespace {

struct TagWalker {
    const std::vector<uint8_t>& data;
    size_t pos;
    size_t end;

    bool next(int& code, size_t& bodyStart, size_t& bodyLength) {
        if (pos + 2 > end) return false;
        unsigned header = data[pos] | (data[pos + 1] << 8);
        pos += 2;
        code = static_cast<int>(header >> 6);
        size_t length = header & 0x3F;
        if (length == 0x3F) {
            if (pos + 4 > end) return false;
            length = data[pos] | (data[pos + 1] << 8) | (data[pos + 2] << 16) |
                     (static_cast<size_t>(data[pos + 3]) << 24);
            pos += 4;
        }
        if (length > end - pos) return false;
        bodyStart = pos;
        bodyLength = length;
        pos += length;
        return true;
    }
};

std::shared_ptr<const std::vector<uint8_t>> slice(const std::vector<uint8_t>& d, size_t start,
                                                  size_t length) {
    return std::make_shared<const std::vector<uint8_t>>(d.begin() + start,
                                                       d.begin() + start + length);
}

}  // namespace

std::optional<CorpusMovie> readCorpusMovie(const std::vector<uint8_t>& file) {
    if (file.size() < 8) return std::nullopt;
    std::vector<uint8_t> data;
    if (file[0] == 'F' && file[1] == 'W' && file[2] == 'S') {
        data = file;
    } else if (file[0] == 'C' && file[1] == 'W' && file[2] == 'S') {
        uLongf length = file[4] | (file[5] << 8) | (file[6] << 16) | (static_cast<uLongf>(file[7]) << 24);
        if (length < 8 || length > (64u << 20)) return std::nullopt;
        data.assign(file.begin(), file.begin() + 8);
        data.resize(length);
        uLongf out = length - 8;
        int r = uncompress(data.data() + 8, &out, file.data() + 8, static_cast<uLong>(file.size() - 8));
        if (r != Z_OK && r != Z_BUF_ERROR) return std::nullopt;
        data.resize(8 + out);
    } else {
        return std::nullopt;
    }
    CorpusMovie movie;
    movie.version = data[3];
    if (data.size() < 9) return std::nullopt;
    size_t rectBits = 5 + 4 * (data[8] >> 3);
    size_t pos = 8 + (rectBits + 7) / 8 + 4;
    if (pos > data.size()) return std::nullopt;
    TagWalker walker{data, pos, data.size()};
    CorpusFrame frame;
    int code;
    size_t start, length;
    while (walker.next(code, start, length)) {
        if (code == 0) break;
        if (code == 1) {
            movie.frames.push_back(std::move(frame));
            frame = {};
        } else if (code == 12) {
            frame.actions.push_back(slice(data, start, length));
        } else if (code == 59 && length >= 2) {
            frame.initActions.push_back(slice(data, start + 2, length - 2));
        }
    }
    if (!frame.actions.empty() || !frame.initActions.empty()) movie.frames.push_back(std::move(frame));
    return movie;
}

}  // namespace kestrel::avm1::test
