// The resources of a PE file as a flat list (type, name, language, bytes),
// read from and written to the layout of a resource section.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builder/pe/pe_error.h"

namespace kestrel::pe {

// A resource type or name: a 16-bit number or a UTF-16 text.
struct ResourceName {
    bool isText = false;
    uint16_t id = 0;
    std::u16string text;

    static ResourceName Id(uint16_t id) { return {false, id, {}}; }
    // An ASCII name such as "NPFP"; Windows looks names up upper-cased.
    static ResourceName Text(const std::string& ascii);

    bool operator==(const ResourceName& other) const {
        return isText == other.isText && (isText ? text == other.text : id == other.id);
    }
    bool operator!=(const ResourceName& other) const { return !(*this == other); }
    // Directory order: texts first (ignoring ASCII case, as the loader's
    // binary search compares them), then numbers ascending.
    bool operator<(const ResourceName& other) const;
    std::string ToString() const;  // "#130" or the text
};

struct ResourceEntry {
    ResourceName type;
    ResourceName name;
    uint16_t language = 0;
    uint32_t codePage = 0;
    std::vector<uint8_t> data;
};

// In directory order (type, name, language).
using ResourceList = std::vector<ResourceEntry>;

// Reads the resource directory found at `directoryOffset` in `image`.
// `rvaToOffset` turns a data entry's RVA into a file offset, or returns
// false when the RVA lies outside every section.
PeError ReadResourceDirectory(
    const std::vector<uint8_t>& image, uint64_t directoryOffset,
    const std::function<bool(uint32_t rva, uint32_t size, uint64_t* offset)>& rvaToOffset,
    ResourceList* resources);

// Sorts `resources` into directory order.
void SortResources(ResourceList* resources);

// The bytes of a resource section placed at `sectionRva` that holds the
// (sorted, unique) `resources`.
std::vector<uint8_t> BuildResourceSection(const ResourceList& resources, uint32_t sectionRva);

}  // namespace kestrel::pe
