#include "tools/swfwriter/movie_builder.h"

#include <zlib.h>

#include <cmath>

#include "common/swf_format.h"

namespace swf {
namespace {

constexpr size_t kHeaderPrefixSize = 8;  // signature, version, file length

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

bool Deflate(const Bytes& in, Bytes& out, std::string* error) {
    uLongf size = compressBound(static_cast<uLong>(in.size()));
    out.resize(size);
    if (compress2(out.data(), &size, in.data(), static_cast<uLong>(in.size()), 9) != Z_OK) {
        return Fail(error, "zlib compression failed");
    }
    out.resize(size);
    return true;
}

}  // namespace

std::optional<uint16_t> EncodeFrameRate(double framesPerSecond) {
    if (!(framesPerSecond >= 0)) return std::nullopt;
    double fixed = std::round(framesPerSecond * 256.0);
    if (fixed > 65535.0) return std::nullopt;
    return static_cast<uint16_t>(fixed);
}

void MovieBuilder::SetStageSize(double widthPixels, double heightPixels) {
    header_.stage = Rect{0, Twips(widthPixels), 0, Twips(heightPixels)};
}

void MovieBuilder::SetBackgroundColor(Rgba color) {
    ByteWriter w;
    WriteRgb(w, color);
    root_.AddTag(kTagSetBackgroundColor, w.Take());
}

std::optional<Bytes> MovieBuilder::Build(std::string* error) const {
    std::optional<uint16_t> rate = EncodeFrameRate(header_.frameRate);
    if (!rate) {
        Fail(error, "frame rate must be between 0 and 255.99");
        return std::nullopt;
    }
    uint32_t frames = root_.FrameCount();
    if (frames > 0xFFFF && !header_.frameCountOverride) {
        Fail(error, "a movie holds at most 65535 frames");
        return std::nullopt;
    }

    ByteWriter body;  // everything after the 8-byte prefix
    WriteRect(body, header_.stage);
    body.U16(*rate);
    body.U16(header_.frameCountOverride ? *header_.frameCountOverride : frames);
    body.Append(root_.EncodeTags());

    uint64_t fileLength = kHeaderPrefixSize + body.Size();
    if (fileLength > 0xFFFFFFFFull) {
        Fail(error, "the movie is larger than 4 GB");
        return std::nullopt;
    }
    bool compressed = header_.compression == Compression::kZlib;
    ByteWriter file;
    file.U8(compressed ? 'C' : 'F');
    file.U8('W');
    file.U8('S');
    file.U8(header_.version);
    // The length field is the uncompressed size including this prefix, in both containers.
    file.U32(header_.fileLengthOverride ? *header_.fileLengthOverride
                                        : static_cast<uint32_t>(fileLength));
    if (compressed) {
        Bytes packed;
        if (!Deflate(body.Data(), packed, error)) return std::nullopt;
        file.Append(packed);
    } else {
        file.Append(body.Data());
    }
    Bytes result = file.Take();
    if (header_.truncateTo && *header_.truncateTo < result.size()) {
        result.resize(*header_.truncateTo);
    }
    return result;
}

}  // namespace swf
