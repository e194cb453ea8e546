#include "builder/pe/pe_image.h"

#include <algorithm>
#include <limits>

#include "builder/pe/byte_view.h"
#include "builder/pe/pe_format.h"

namespace kestrel::pe {

namespace {

constexpr uint16_t kMaxSections = 96;  // the loader's own limit
constexpr uint32_t kMaxFileAlignment = 0x10000;
constexpr uint32_t kSectionDiscardable = 0x02000000;
constexpr size_t kCoffPointerToSymbolTable = 8;
constexpr size_t kCoffCharacteristics = 18;
constexpr size_t kMaxExportedNames = 65536;
constexpr size_t kMaxExportNameLength = 512;

uint64_t RawEnd(const SectionHeader& s) {
    return uint64_t{s.pointerToRawData} + s.sizeOfRawData;
}
uint64_t VirtualEnd(const SectionHeader& s) {
    return uint64_t{s.virtualAddress} + std::max(s.virtualSize, s.sizeOfRawData);
}

}  // namespace

const char* ToString(PeError error) {
    switch (error) {
        case PeError::None:
            return "no error";
        case PeError::NotPe:
            return "not a Windows executable";
        case PeError::DamagedHeaders:
            return "the executable's headers are damaged";
        case PeError::DamagedResources:
            return "the executable's resources are damaged";
        case PeError::ResourceSectionNotLast:
            return "the executable's resources cannot be rewritten (sections follow them)";
        case PeError::NoRoomForSection:
            return "the executable has no room for a resource section";
        case PeError::TooLarge:
            return "the executable would become too large";
        case PeError::IconDamaged:
            return "not a valid icon file";
        case PeError::NoIconGroup:
            return "the executable carries no icon";
        case PeError::TooManyIcons:
            return "too many icon images";
    }
    return "unknown error";
}

PeError PeImage::Open(std::vector<uint8_t> bytes) {
    *this = PeImage();
    bytes_ = std::move(bytes);
    ByteView view(bytes_);
    if (view.U16(0) != kDosMagic) return PeError::NotPe;
    uint32_t peOffset = view.U32(kDosNewHeaderOffset);
    if (!view.ok() || view.U32(peOffset) != kPeSignature || !view.ok()) return PeError::NotPe;
    size_t coff = size_t{peOffset} + 4;
    machine_ = view.U16(coff);
    uint16_t sectionCount = view.U16(coff + kCoffNumberOfSections);
    uint16_t optionalSize = view.U16(coff + kCoffSizeOfOptionalHeader);
    characteristics_ = view.U16(coff + kCoffCharacteristics);
    optionalHeader_ = coff + kCoffHeaderSize;
    uint16_t magic = view.U16(optionalHeader_);
    if (!view.ok()) return PeError::DamagedHeaders;
    if (magic != kPe32Magic && magic != kPe32PlusMagic) return PeError::NotPe;
    is64Bit_ = magic == kPe32PlusMagic;
    size_t directoriesAt = is64Bit_ ? kOptNumberOfRvaAndSizes64 : kOptNumberOfRvaAndSizes32;
    numberOfDirectories_ = view.U32(optionalHeader_ + directoriesAt);
    sectionAlignment_ = view.U32(optionalHeader_ + kOptSectionAlignment);
    fileAlignment_ = view.U32(optionalHeader_ + kOptFileAlignment);
    sizeOfHeaders_ = view.U32(optionalHeader_ + kOptSizeOfHeaders);
    if (!view.ok() || sectionCount > kMaxSections || fileAlignment_ == 0 ||
        sectionAlignment_ == 0 || numberOfDirectories_ > 16 ||
        uint64_t{directoriesAt} + 4 + uint64_t{numberOfDirectories_} * kDataDirectoryEntrySize >
            optionalSize) {
        return PeError::DamagedHeaders;
    }
    sectionTable_ = optionalHeader_ + optionalSize;
    // The headers, section table included, lie inside the file and before
    // every section's data; alignments are powers of two (the file's within
    // the loader's 64 KiB), so rewriting never overlaps or balloons.
    auto powerOfTwo = [](uint32_t value) { return value != 0 && (value & (value - 1)) == 0; };
    if (sizeOfHeaders_ > bytes_.size() ||
        uint64_t{sectionTable_} + uint64_t{sectionCount} * kSectionHeaderSize > sizeOfHeaders_ ||
        !powerOfTwo(fileAlignment_) || fileAlignment_ > kMaxFileAlignment ||
        !powerOfTwo(sectionAlignment_))
        return PeError::DamagedHeaders;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        SectionHeader s;
        s.headerOffset = sectionTable_ + size_t{i} * kSectionHeaderSize;
        const char* name = reinterpret_cast<const char*>(bytes_.data() + s.headerOffset);
        s.name.assign(name, std::find(name, name + 8, '\0'));
        s.virtualSize = view.U32(s.headerOffset + kSectionVirtualSize);
        s.virtualAddress = view.U32(s.headerOffset + kSectionVirtualAddress);
        s.sizeOfRawData = view.U32(s.headerOffset + kSectionSizeOfRawData);
        s.pointerToRawData = view.U32(s.headerOffset + kSectionPointerToRawData);
        if (s.sizeOfRawData &&
            (!view.Has(s.pointerToRawData, s.sizeOfRawData) || s.pointerToRawData < sizeOfHeaders_))
            return PeError::DamagedHeaders;
        sections_.push_back(s);
    }

    uint32_t resourceRva = DataDirectoryRva(kDirResource);
    if (resourceRva == 0) return PeError::None;
    for (size_t i = 0; i < sections_.size(); ++i) {
        const SectionHeader& s = sections_[i];
        if (resourceRva >= s.virtualAddress && resourceRva < VirtualEnd(s))
            resourceSection_ = static_cast<int>(i);
    }
    uint64_t directory = 0;
    if (resourceSection_ < 0 || !RvaToOffset(resourceRva, kResourceDirectorySize, &directory)) {
        return PeError::DamagedResources;
    }
    return ReadResourceDirectory(
        bytes_, directory,
        [this](uint32_t rva, uint32_t size, uint64_t* offset) {
            return RvaToOffset(rva, size, offset);
        },
        &resources_);
}

size_t PeImage::DataDirectoryOffset(size_t index) const {
    size_t directoriesAt = is64Bit_ ? kOptNumberOfRvaAndSizes64 : kOptNumberOfRvaAndSizes32;
    return optionalHeader_ + directoriesAt + 4 + index * kDataDirectoryEntrySize;
}

uint32_t PeImage::DataDirectoryRva(size_t index) const {
    if (index >= numberOfDirectories_) return 0;
    ByteView view(bytes_);
    return view.U32(DataDirectoryOffset(index));
}

bool PeImage::RvaToOffset(uint32_t rva, uint32_t size, uint64_t* offset) const {
    for (const SectionHeader& s : sections_) {
        if (rva < s.virtualAddress) continue;
        uint64_t inside = uint64_t{rva} - s.virtualAddress;
        if (inside + size <= s.sizeOfRawData && (inside < s.sizeOfRawData || size == 0)) {
            *offset = s.pointerToRawData + inside;
            return true;
        }
    }
    return false;
}

ResourceEntry* PeImage::Find(const ResourceName& type, const ResourceName& name) {
    for (ResourceEntry& r : resources_) {
        if (r.type == type && r.name == name) return &r;
    }
    return nullptr;
}

void PeImage::SetResource(const ResourceName& type, const ResourceName& name, uint16_t language,
                          std::vector<uint8_t> data) {
    bool found = false;
    for (ResourceEntry& r : resources_) {
        if (r.type == type && r.name == name) {
            r.data = data;
            found = true;
        }
    }
    if (found) return;
    ResourceEntry entry;
    entry.type = type;
    entry.name = name;
    entry.language = language;
    entry.data = std::move(data);
    resources_.push_back(std::move(entry));
    SortResources(&resources_);
}

PeError PeImage::Save(std::vector<uint8_t>* out) const {
    if (resources_.size() > 0xFFFF) return PeError::TooLarge;
    // Without a resource slot in the data directories there is nowhere to
    // point at the new resources.
    if (numberOfDirectories_ <= kDirResource) return PeError::DamagedHeaders;
    ByteView view(bytes_);
    uint64_t imageEnd = sizeOfHeaders_;
    uint64_t virtualEnd = 0;
    for (const SectionHeader& s : sections_) {
        if (s.sizeOfRawData) imageEnd = std::max(imageEnd, RawEnd(s));
        virtualEnd = std::max(virtualEnd, VirtualEnd(s));
    }

    // Where the new resources go, and which sections move behind them.
    std::vector<size_t> moved;
    uint32_t resourceRva = 0;
    uint64_t rawStart = 0;
    SectionHeader resourceHeader;
    if (resourceSection_ >= 0) {
        resourceHeader = sections_[resourceSection_];
        if (DataDirectoryRva(kDirResource) != resourceHeader.virtualAddress ||
            resourceHeader.sizeOfRawData == 0) {
            return PeError::ResourceSectionNotLast;
        }
        resourceRva = resourceHeader.virtualAddress;
        rawStart = resourceHeader.pointerToRawData;
        for (size_t i = 0; i < sections_.size(); ++i) {
            const SectionHeader& s = sections_[i];
            if (static_cast<int>(i) == resourceSection_) continue;
            if (s.virtualAddress > resourceRva) {
                // Only sections nothing in the code refers to may move:
                // relocations and debug data, which the loader discards.
                uint32_t flags = view.U32(s.headerOffset + kSectionCharacteristics);
                if (!(flags & kSectionDiscardable) ||
                    (s.sizeOfRawData && s.pointerToRawData < RawEnd(resourceHeader))) {
                    return PeError::ResourceSectionNotLast;
                }
                moved.push_back(i);
            } else if (s.sizeOfRawData && RawEnd(s) > rawStart) {
                return PeError::ResourceSectionNotLast;
            }
        }
        std::sort(moved.begin(), moved.end(), [&](size_t a, size_t b) {
            return sections_[a].virtualAddress < sections_[b].virtualAddress;
        });
    } else {
        size_t newHeaderEnd = sectionTable_ + (sections_.size() + 1) * kSectionHeaderSize;
        uint64_t firstRaw = sizeOfHeaders_;
        for (const SectionHeader& s : sections_) {
            if (s.sizeOfRawData) firstRaw = std::min<uint64_t>(firstRaw, s.pointerToRawData);
        }
        if (newHeaderEnd > firstRaw || sections_.size() >= kMaxSections)
            return PeError::NoRoomForSection;
        resourceRva = static_cast<uint32_t>(AlignUp(virtualEnd, sectionAlignment_));
        rawStart = AlignUp(imageEnd, fileAlignment_);
        resourceHeader.headerOffset = newHeaderEnd - kSectionHeaderSize;
        resourceHeader.name = ".rsrc";
    }
    if (resourceRva == 0 || rawStart > std::numeric_limits<uint32_t>::max())
        return PeError::TooLarge;

    std::vector<uint8_t> section = BuildResourceSection(resources_, resourceRva);
    std::vector<uint8_t>& file = *out;
    file.assign(bytes_.begin(),
                bytes_.begin() + static_cast<ptrdiff_t>(std::min<uint64_t>(rawStart, imageEnd)));
    file.resize(static_cast<size_t>(rawStart), 0);
    auto appendAligned = [&](const uint8_t* data, size_t size) {
        file.insert(file.end(), data, data + size);
        file.resize(static_cast<size_t>(AlignUp(file.size(), fileAlignment_)), 0);
    };
    appendAligned(section.data(), section.size());
    uint64_t newRawSize = file.size() - rawStart;
    uint64_t newVirtualEnd = std::max<uint64_t>(
        virtualEnd, resourceRva + std::max<uint64_t>(section.size(), newRawSize));

    // Every header field below is written into `file`.
    auto setHeader = [&](size_t headerOffset, uint32_t va, uint32_t virtualSize, uint32_t rawSize,
                         uint32_t rawPtr) {
        Store32(file, headerOffset + kSectionVirtualAddress, va);
        Store32(file, headerOffset + kSectionVirtualSize, virtualSize);
        Store32(file, headerOffset + kSectionSizeOfRawData, rawSize);
        Store32(file, headerOffset + kSectionPointerToRawData, rawPtr);
    };
    if (resourceSection_ < 0) {
        std::fill(
            file.begin() + static_cast<ptrdiff_t>(resourceHeader.headerOffset),
            file.begin() + static_cast<ptrdiff_t>(resourceHeader.headerOffset + kSectionHeaderSize),
            0);
        std::copy(resourceHeader.name.begin(), resourceHeader.name.end(),
                  file.begin() + static_cast<ptrdiff_t>(resourceHeader.headerOffset));
        Store32(file, resourceHeader.headerOffset + kSectionCharacteristics,
                kSectionInitializedData | kSectionMemoryRead);
        Store16(file, optionalHeader_ - kCoffHeaderSize + kCoffNumberOfSections,
                static_cast<uint16_t>(sections_.size() + 1));
    }
    setHeader(resourceHeader.headerOffset, resourceRva, static_cast<uint32_t>(section.size()),
              static_cast<uint32_t>(newRawSize), static_cast<uint32_t>(rawStart));

    // Sections behind the resources keep their order and move up.
    uint64_t nextVa = AlignUp(uint64_t{resourceRva} + section.size(), sectionAlignment_);
    if (!moved.empty()) newVirtualEnd = nextVa;
    for (size_t index : moved) {
        const SectionHeader& s = sections_[index];
        uint64_t rawPtr = s.sizeOfRawData ? file.size() : 0;
        if (s.sizeOfRawData) appendAligned(bytes_.data() + s.pointerToRawData, s.sizeOfRawData);
        if (nextVa > std::numeric_limits<uint32_t>::max() ||
            rawPtr > std::numeric_limits<uint32_t>::max()) {
            return PeError::TooLarge;
        }
        for (size_t d = 0; d < numberOfDirectories_; ++d) {
            uint32_t rva = DataDirectoryRva(d);
            if (d != kDirSecurity && rva >= s.virtualAddress && rva < VirtualEnd(s)) {
                Store32(file, DataDirectoryOffset(d),
                        static_cast<uint32_t>(nextVa + (rva - s.virtualAddress)));
            }
        }
        setHeader(s.headerOffset, static_cast<uint32_t>(nextVa), s.virtualSize, s.sizeOfRawData,
                  static_cast<uint32_t>(rawPtr));
        nextVa = AlignUp(nextVa + std::max(s.virtualSize, s.sizeOfRawData), sectionAlignment_);
        newVirtualEnd = nextVa;
    }

    // Whatever followed the sections (symbols, a payload) follows them again.
    uint64_t tailStart = file.size();
    if (imageEnd < bytes_.size())
        file.insert(file.end(), bytes_.begin() + static_cast<ptrdiff_t>(imageEnd), bytes_.end());
    if (file.size() > std::numeric_limits<uint32_t>::max() ||
        newVirtualEnd > std::numeric_limits<uint32_t>::max()) {
        return PeError::TooLarge;
    }
    size_t coff = optionalHeader_ - kCoffHeaderSize;
    uint32_t symbols = view.U32(coff + kCoffPointerToSymbolTable);
    if (symbols >= imageEnd) {
        Store32(file, coff + kCoffPointerToSymbolTable,
                static_cast<uint32_t>(symbols - imageEnd + tailStart));
    }
    Store32(file, DataDirectoryOffset(kDirResource), resourceRva);
    Store32(file, DataDirectoryOffset(kDirResource) + 4, static_cast<uint32_t>(section.size()));
    // A signature no longer matches the changed file.
    if (numberOfDirectories_ > kDirSecurity) {
        Store32(file, DataDirectoryOffset(kDirSecurity), 0);
        Store32(file, DataDirectoryOffset(kDirSecurity) + 4, 0);
    }
    Store32(file, optionalHeader_ + kOptSizeOfImage,
            static_cast<uint32_t>(AlignUp(newVirtualEnd, sectionAlignment_)));
    int64_t initialized = int64_t{view.U32(optionalHeader_ + kOptSizeOfInitializedData)} +
                          static_cast<int64_t>(newRawSize) -
                          int64_t{resourceSection_ >= 0 ? resourceHeader.sizeOfRawData : 0u};
    Store32(file, optionalHeader_ + kOptSizeOfInitializedData,
            static_cast<uint32_t>(
                std::clamp<int64_t>(initialized, 0, std::numeric_limits<uint32_t>::max())));
    if (view.U32(optionalHeader_ + kOptCheckSum) != 0) {
        Store32(file, optionalHeader_ + kOptCheckSum,
                ComputePeChecksum(file, optionalHeader_ + kOptCheckSum));
    }
    return PeError::None;
}

std::vector<std::string> PeImage::ExportedNames() const {
    std::vector<std::string> names;
    uint32_t exportRva = DataDirectoryRva(kDirExport);
    uint64_t directory = 0;
    if (exportRva == 0 || !RvaToOffset(exportRva, 40, &directory)) return names;
    ByteView view(bytes_);
    uint32_t count = view.U32(directory + 24);
    uint32_t namesRva = view.U32(directory + 32);
    uint64_t table = 0;
    if (!view.ok() || count > kMaxExportedNames || !RvaToOffset(namesRva, count * 4, &table))
        return names;
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t at = 0;
        if (!RvaToOffset(view.U32(table + i * 4u), 1, &at)) return {};
        std::string name;
        while (view.Has(at, 1) && bytes_[at] != 0 && name.size() < kMaxExportNameLength)
            name.push_back(static_cast<char>(bytes_[at++]));
        names.push_back(name);
    }
    return names;
}

uint32_t ComputePeChecksum(const std::vector<uint8_t>& bytes, size_t checksumOffset) {
    // The loader's algorithm: a 16-bit one's-complement style sum of the
    // file's words with the checksum field taken as zero, plus the length.
    uint64_t sum = 0;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        if (i >= checksumOffset && i < checksumOffset + 4) continue;
        uint32_t word = bytes[i] | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0);
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + bytes.size());
}

}  // namespace kestrel::pe
