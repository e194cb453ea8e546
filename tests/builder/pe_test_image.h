// Small but complete PE files for the resource writer's tests: a code
// section, a resource section built from a list, an optional relocation
// section behind it and optional bytes behind the image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "builder/pe/byte_view.h"
#include "builder/pe/pe_format.h"
#include "builder/pe/resource_tree.h"

namespace kestrel::pe::test {

struct TestImageOptions {
    bool is64Bit = false;
    bool withResources = true;
    bool withRelocations = true;
    bool withChecksum = true;
    std::vector<uint8_t> overlay;
    bool isDll = false;
    std::vector<std::string> exports;  // function names, exported from the code section
};

constexpr uint32_t kTestFileAlignment = 0x200;
constexpr uint32_t kTestSectionAlignment = 0x1000;
constexpr uint32_t kTestCodeRva = 0x1000;
constexpr uint32_t kTestResourceRva = 0x2000;

inline std::vector<uint8_t> Pad(std::vector<uint8_t> bytes) {
    bytes.resize(static_cast<size_t>(AlignUp(bytes.size(), kTestFileAlignment)), 0);
    return bytes;
}

inline std::vector<uint8_t> MakeTestImage(const ResourceList& resources,
                                          const TestImageOptions& options = {}) {
    const size_t peOffset = 0x80;
    const size_t optionalSize = options.is64Bit ? 240 : 224;
    const size_t sectionTable = peOffset + 4 + kCoffHeaderSize + optionalSize;
    std::vector<uint8_t> code(0x200, 0xC3);  // ret
    // An export directory in the second half of the code section.
    const uint32_t exportOffset = 0x100;
    if (!options.exports.empty()) {
        const uint32_t count = static_cast<uint32_t>(options.exports.size());
        const uint32_t base = kTestCodeRva + exportOffset;
        const uint32_t namePointers = base + 40;
        const uint32_t ordinals = namePointers + 4 * count;
        const uint32_t functions = ordinals + 2 * count;
        uint32_t strings = functions + 4 * count;
        Store32(code, exportOffset + 20, count);  // functions
        Store32(code, exportOffset + 24, count);  // names
        Store32(code, exportOffset + 28, functions);
        Store32(code, exportOffset + 32, namePointers);
        Store32(code, exportOffset + 36, ordinals);
        for (uint32_t i = 0; i < count; ++i) {
            Store32(code, namePointers - kTestCodeRva + 4 * i, strings);
            Store16(code, ordinals - kTestCodeRva + 2 * i, static_cast<uint16_t>(i));
            Store32(code, functions - kTestCodeRva + 4 * i, kTestCodeRva);
            const std::string& name = options.exports[i];
            std::copy(name.begin(), name.end(), code.begin() + (strings - kTestCodeRva));
            code[strings - kTestCodeRva + name.size()] = 0;
            strings += static_cast<uint32_t>(name.size() + 1);
        }
    }
    std::vector<uint8_t> rsrc = options.withResources
                                    ? Pad(BuildResourceSection(resources, kTestResourceRva))
                                    : std::vector<uint8_t>();
    const uint32_t relocRva = static_cast<uint32_t>(AlignUp(
        uint64_t{kTestResourceRva} + (rsrc.empty() ? 0 : rsrc.size()), kTestSectionAlignment));
    std::vector<uint8_t> reloc;
    if (options.withRelocations) {
        // One block for the code page with one entry.
        Append32(reloc, kTestCodeRva);
        Append32(reloc, 12);
        Append16(reloc, 0x3000);
        Append16(reloc, 0);
        reloc = Pad(reloc);
    }
    struct Section {
        const char* name;
        uint32_t rva;
        const std::vector<uint8_t>* data;
        uint32_t flags;
    };
    std::vector<Section> sections = {{".text", kTestCodeRva, &code, 0x60000020}};
    if (options.withResources) sections.push_back({".rsrc", kTestResourceRva, &rsrc, 0x40000040});
    if (options.withRelocations) sections.push_back({".reloc", relocRva, &reloc, 0x42000040});

    std::vector<uint8_t> file(kTestFileAlignment, 0);  // headers, with room for more sections
    Store16(file, 0, kDosMagic);
    Store32(file, kDosNewHeaderOffset, static_cast<uint32_t>(peOffset));
    Store32(file, peOffset, kPeSignature);
    const size_t coff = peOffset + 4;
    Store16(file, coff, options.is64Bit ? 0x8664 : 0x14C);
    Store16(file, coff + kCoffNumberOfSections, static_cast<uint16_t>(sections.size()));
    Store16(file, coff + kCoffSizeOfOptionalHeader, static_cast<uint16_t>(optionalSize));
    Store16(file, coff + 18, options.isDll ? 0x2102 : 0x0102);
    const size_t opt = coff + kCoffHeaderSize;
    Store16(file, opt, options.is64Bit ? kPe32PlusMagic : kPe32Magic);
    Store32(file, opt + kOptSectionAlignment, kTestSectionAlignment);
    Store32(file, opt + kOptFileAlignment, kTestFileAlignment);
    Store32(file, opt + kOptSizeOfHeaders, kTestFileAlignment);
    Store16(file, opt + 40, 4);  // operating system version
    Store16(file, opt + 48, 4);  // subsystem version
    Store16(file, opt + 68, 2);  // GUI subsystem
    const size_t directories =
        opt + (options.is64Bit ? kOptNumberOfRvaAndSizes64 : kOptNumberOfRvaAndSizes32);
    Store32(file, directories, 16);
    if (options.is64Bit) {
        Store32(file, opt + 24, 0x40000000);  // image base, low word
        Store32(file, opt + 72, 0x100000);    // stack reserve
    } else {
        Store32(file, opt + 28, 0x400000);
        Store32(file, opt + 72, 0x100000);
    }
    uint32_t imageEnd = 0;
    for (size_t i = 0; i < sections.size(); ++i) {
        const Section& s = sections[i];
        size_t header = sectionTable + i * kSectionHeaderSize;
        for (size_t c = 0; s.name[c]; ++c) file[header + c] = static_cast<uint8_t>(s.name[c]);
        Store32(file, header + kSectionVirtualSize, static_cast<uint32_t>(s.data->size()));
        Store32(file, header + kSectionVirtualAddress, s.rva);
        Store32(file, header + kSectionSizeOfRawData, static_cast<uint32_t>(s.data->size()));
        Store32(file, header + kSectionPointerToRawData, static_cast<uint32_t>(file.size()));
        Store32(file, header + kSectionCharacteristics, s.flags);
        file.insert(file.end(), s.data->begin(), s.data->end());
        imageEnd = static_cast<uint32_t>(AlignUp(s.rva + s.data->size(), kTestSectionAlignment));
    }
    Store32(file, opt + kOptSizeOfImage, imageEnd);
    Store32(file, opt + 16, kTestCodeRva);  // entry point
    if (!options.exports.empty()) {
        Store32(file, directories + 4 + kDirExport * 8, kTestCodeRva + exportOffset);
        Store32(file, directories + 4 + kDirExport * 8 + 4, 0x100);
    }
    if (options.withResources) {
        Store32(file, directories + 4 + kDirResource * 8, kTestResourceRva);
        Store32(file, directories + 4 + kDirResource * 8 + 4, static_cast<uint32_t>(rsrc.size()));
    }
    if (options.withRelocations) {
        Store32(file, directories + 4 + kDirBaseRelocation * 8, relocRva);
        Store32(file, directories + 4 + kDirBaseRelocation * 8 + 4, 12);
    }
    file.insert(file.end(), options.overlay.begin(), options.overlay.end());
    if (options.withChecksum) Store32(file, opt + kOptCheckSum, 1);
    return file;
}

inline ResourceEntry Resource(ResourceName type, ResourceName name, uint16_t language,
                              std::string data) {
    ResourceEntry entry;
    entry.type = std::move(type);
    entry.name = std::move(name);
    entry.language = language;
    entry.data.assign(data.begin(), data.end());
    return entry;
}

// An .ico file holding `count` images of made-up bytes, sizes 16, 32, 48...
inline std::vector<uint8_t> MakeIconFile(uint16_t count) {
    std::vector<uint8_t> file;
    Append16(file, 0);
    Append16(file, kIconType);
    Append16(file, count);
    std::vector<std::vector<uint8_t>> images;
    uint32_t offset = static_cast<uint32_t>(kIconDirSize + count * kIconDirEntrySize);
    for (uint16_t i = 0; i < count; ++i) {
        images.emplace_back(40 + i * 8, static_cast<uint8_t>(0xA0 + i));
        uint8_t side = static_cast<uint8_t>(16 * (i + 1));
        file.push_back(side);
        file.push_back(side);
        file.push_back(0);
        file.push_back(0);
        Append16(file, 1);
        Append16(file, 32);
        Append32(file, static_cast<uint32_t>(images.back().size()));
        Append32(file, offset);
        offset += static_cast<uint32_t>(images.back().size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    return file;
}

}  // namespace kestrel::pe::test
