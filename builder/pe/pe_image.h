// A PE executable or DLL (32- or 64-bit) held in memory, whose resources can
// be read, changed and written back. Code and data sections never move; the
// resource section is rebuilt in place and only the base relocation section
// may follow it (it moves behind the new resources). Bytes behind the last
// section (a projector's payload, for example) are kept behind it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "builder/pe/pe_error.h"
#include "builder/pe/resource_tree.h"

namespace kestrel::pe {

struct SectionHeader {
    size_t headerOffset = 0;  // where the 40-byte header sits in the file
    std::string name;
    uint32_t virtualSize = 0;
    uint32_t virtualAddress = 0;
    uint32_t sizeOfRawData = 0;
    uint32_t pointerToRawData = 0;
};

class PeImage {
  public:
    // Parses headers, sections and the resource directory of `bytes`.
    PeError Open(std::vector<uint8_t> bytes);

    bool is64Bit() const { return is64Bit_; }
    uint16_t machine() const { return machine_; }
    bool isDll() const { return (characteristics_ & 0x2000) != 0; }
    const std::vector<SectionHeader>& sections() const { return sections_; }

    // The resources, in directory order; change them freely before Save().
    ResourceList& resources() { return resources_; }
    const ResourceList& resources() const { return resources_; }

    // The first resource of that type and name (any language), or nullptr.
    ResourceEntry* Find(const ResourceName& type, const ResourceName& name);

    // Replaces the data of every language of `type`/`name`; adds it under
    // `language` when there is none.
    void SetResource(const ResourceName& type, const ResourceName& name, uint16_t language,
                     std::vector<uint8_t> data);

    // The file with the current resources.
    PeError Save(std::vector<uint8_t>* out) const;

    // Names of the functions the file exports (empty for none or damage).
    std::vector<std::string> ExportedNames() const;

    // Maps an RVA range to a file offset inside one section's raw data.
    bool RvaToOffset(uint32_t rva, uint32_t size, uint64_t* offset) const;

  private:
    uint32_t DataDirectoryRva(size_t index) const;
    size_t DataDirectoryOffset(size_t index) const;

    std::vector<uint8_t> bytes_;
    bool is64Bit_ = false;
    uint16_t machine_ = 0;
    uint16_t characteristics_ = 0;
    size_t optionalHeader_ = 0;
    size_t sectionTable_ = 0;
    uint32_t numberOfDirectories_ = 0;
    uint32_t sectionAlignment_ = 0;
    uint32_t fileAlignment_ = 0;
    uint32_t sizeOfHeaders_ = 0;
    std::vector<SectionHeader> sections_;  // in file order of their headers
    int resourceSection_ = -1;             // index into sections_, -1 for none
    ResourceList resources_;
};

// The PE checksum of `bytes` whose checksum field sits at `checksumOffset`.
uint32_t ComputePeChecksum(const std::vector<uint8_t>& bytes, size_t checksumOffset);

}  // namespace kestrel::pe
