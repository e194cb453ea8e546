// Byte layout of the parts of a PE file (32- and 64-bit) that the resource
// writer reads and rewrites: headers, section table and resource directory.
// Offsets are from the start of the structure they belong to.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel::pe {

inline constexpr uint16_t kDosMagic = 0x5A4D;        // "MZ"
inline constexpr size_t kDosNewHeaderOffset = 0x3C;  // 32-bit file offset of "PE\0\0"
inline constexpr uint32_t kPeSignature = 0x00004550;

// COFF file header, right after the signature.
inline constexpr size_t kCoffHeaderSize = 20;
inline constexpr size_t kCoffNumberOfSections = 2;
inline constexpr size_t kCoffSizeOfOptionalHeader = 16;

// Optional header.
inline constexpr uint16_t kPe32Magic = 0x10B;
inline constexpr uint16_t kPe32PlusMagic = 0x20B;
inline constexpr size_t kOptSizeOfInitializedData = 8;
inline constexpr size_t kOptSectionAlignment = 32;
inline constexpr size_t kOptFileAlignment = 36;
inline constexpr size_t kOptSizeOfImage = 56;
inline constexpr size_t kOptSizeOfHeaders = 60;
inline constexpr size_t kOptCheckSum = 64;
inline constexpr size_t kOptNumberOfRvaAndSizes32 = 92;
inline constexpr size_t kOptNumberOfRvaAndSizes64 = 108;
inline constexpr size_t kDataDirectoryEntrySize = 8;  // RVA, size

enum DataDirectory : size_t {
    kDirExport = 0,
    kDirImport = 1,
    kDirResource = 2,
    kDirSecurity = 4,  // a file offset, not an RVA
    kDirBaseRelocation = 5,
};

// Section header.
inline constexpr size_t kSectionHeaderSize = 40;
inline constexpr size_t kSectionVirtualSize = 8;
inline constexpr size_t kSectionVirtualAddress = 12;
inline constexpr size_t kSectionSizeOfRawData = 16;
inline constexpr size_t kSectionPointerToRawData = 20;
inline constexpr size_t kSectionCharacteristics = 36;
inline constexpr uint32_t kSectionInitializedData = 0x00000040;
inline constexpr uint32_t kSectionMemoryRead = 0x40000000;

// Resource directory: a table header, then its entries (named ones first,
// sorted by name, then numbered ones by number).
inline constexpr size_t kResourceDirectorySize = 16;
inline constexpr size_t kResourceDirNamedCount = 12;
inline constexpr size_t kResourceDirIdCount = 14;
inline constexpr size_t kResourceEntrySize = 8;           // name or id, offset
inline constexpr uint32_t kResourceHighBit = 0x80000000;  // named entry / subdirectory
inline constexpr size_t kResourceDataEntrySize = 16;      // RVA, size, code page, reserved
// Type, name and language: the three levels of every resource.
inline constexpr int kResourceLevels = 3;

// Standard resource types.
inline constexpr uint16_t kResourceTypeIcon = 3;
inline constexpr uint16_t kResourceTypeGroupIcon = 14;

// Icon file (.ico) and icon group resource.
inline constexpr size_t kIconDirSize = 6;          // reserved, type (1), count
inline constexpr size_t kIconDirEntrySize = 16;    // in a .ico file: ends in the image offset
inline constexpr size_t kGroupIconEntrySize = 14;  // in a resource: ends in the icon id
inline constexpr uint16_t kIconType = 1;

}  // namespace kestrel::pe
