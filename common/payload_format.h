// Byte layout of the payload that a projector carries behind its stub.
//
// The payload is read from the end of the file towards its start, so every
// variable field is stored as its bytes followed by a 32-bit little-endian
// length, and every item as its fields followed by a trailer of two words:
// size, then type. The file ends with the 4-byte end mark.
//
//   stub | start marker | mask items | file and folder items | settings item | end mark
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel {

// Item types, the last word of every item.
enum class PayloadItemType : uint32_t {
    StartMarker = 0,  // no fields; also closes a folder item's contents
    Settings = 1,     // blob: the settings document
    File = 5,         // blob: content; name: file name
    Mask = 7,         // blob: region data; name: mask image name; integer: window index
    Folder = 8,       // start marker; file items; name: folder name
};

// The last four bytes of every projector that carries a payload.
inline constexpr uint8_t kPayloadEndMark[4] = {0xFF, 0xEE, 0x4C, 0x4B};
inline constexpr size_t kPayloadWordSize = 4;
inline constexpr size_t kPayloadTrailerSize = 8;
inline constexpr size_t kMaxItemNameLength = 255;

// The unpacked settings document's name in the unpack folder.
inline constexpr const char kSettingsFileName[] = "sk.dat";

// True when `name` may become a file or folder directly inside the unpack
// folder: 1..255 bytes, no "\", "/", ":" or NUL, not "." or "..", no trailing
// dot or space (Windows strips them, so ".. " would mean ".."), and not a DOS
// device name such as "CON" or "com1.txt" (those open devices, not files).
// The writer refuses other names and the reader never writes them.
bool IsSafeItemName(const std::string& name);

}  // namespace kestrel
