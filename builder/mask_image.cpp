#include "builder/mask_image.h"

#include <cstring>

#include "builder/project_paths.h"
#include "common/binary_file.h"

namespace kestrel {

namespace {

// A mask file beyond this is not read into memory at all.
constexpr int64_t kMaxFileSize = 512 * 1024 * 1024;

MaskImage Failed(MaskImageError error) {
    MaskImage image;
    image.error = error;
    return image;
}

}  // namespace

const char* ToString(MaskImageError error) {
    switch (error) {
        case MaskImageError::None:
            return "no error";
        case MaskImageError::CannotOpen:
            return "the mask image cannot be read";
        case MaskImageError::UnknownFormat:
            return "the mask image is neither PNG nor BMP";
        case MaskImageError::Damaged:
            return "the mask image is damaged";
        case MaskImageError::Unsupported:
            return "the mask image uses a BMP compression or depth that is not supported";
        case MaskImageError::TooLarge:
            return "the mask image is too large";
    }
    return "unknown mask image error";
}

bool IsAcceptedMaskSize(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxMaskSide && height <= kMaxMaskSide &&
           width * height <= kMaxMaskPixels;
}

MaskImage DecodeMaskImage(const void* data, size_t size) {
    static const uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0)
        return DecodePng(data, size);
    if (size >= 2 && std::memcmp(data, "BM", 2) == 0) return DecodeBmp(data, size);
    return Failed(MaskImageError::UnknownFormat);
}

MaskImage LoadMaskImage(const std::string& path) {
    BinaryFile file;
    std::string absolute = AbsoluteForm(path);
    int64_t size =
        !absolute.empty() && file.open(absolute, BinaryFile::Mode::Read) ? file.size() : -1;
    if (size < 0 || !file.seek(0)) return Failed(MaskImageError::CannotOpen);
    if (size > kMaxFileSize) return Failed(MaskImageError::TooLarge);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!file.readExactly(bytes.data(), bytes.size())) return Failed(MaskImageError::CannotOpen);
    return DecodeMaskImage(bytes.data(), bytes.size());
}

}  // namespace kestrel
