#include "builder/pe/resource_tree.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "builder/pe/byte_view.h"
#include "builder/pe/pe_format.h"

namespace kestrel::pe {

namespace {

// Limits on what one directory may describe: its tables may share
// subdirectories, so a small damaged file could otherwise list the same
// data millions of times.
constexpr size_t kMaxResources = 65536;
constexpr uint64_t kMaxTotalData = 512u << 20;

char16_t UpperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

struct DirectoryReader {
    ByteView view;
    uint64_t root;
    const std::function<bool(uint32_t, uint32_t, uint64_t*)>& rvaToOffset;
    ResourceList* out;
    uint64_t totalData = 0;

    bool ReadName(uint32_t field, ResourceName* name) {
        if (!(field & kResourceHighBit)) {
            if (field > 0xFFFF) return false;
            *name = ResourceName::Id(static_cast<uint16_t>(field));
            return true;
        }
        uint64_t at = root + (field & ~kResourceHighBit);
        uint16_t length = view.U16(at);
        if (!view.ok() || !view.Has(at + 2, uint64_t{length} * 2)) return false;
        name->isText = true;
        name->id = 0;
        name->text.resize(length);
        for (uint16_t i = 0; i < length; ++i)
            name->text[i] = static_cast<char16_t>(view.U16(at + 2 + i * 2u));
        return true;
    }

    // Reads the table at `offset` (relative to the root) on `level`
    // (0 type, 1 name, 2 language) with the names chosen above it.
    bool ReadTable(uint64_t offset, int level, ResourceEntry* path) {
        uint64_t at = root + offset;
        uint32_t count =
            uint32_t{view.U16(at + kResourceDirNamedCount)} + view.U16(at + kResourceDirIdCount);
        if (!view.ok() ||
            !view.Has(at + kResourceDirectorySize, uint64_t{count} * kResourceEntrySize)) {
            return false;
        }
        for (uint32_t i = 0; i < count; ++i) {
            uint64_t entry = at + kResourceDirectorySize + uint64_t{i} * kResourceEntrySize;
            uint32_t nameField = view.U32(entry);
            uint32_t target = view.U32(entry + 4);
            ResourceName name;
            if (!ReadName(nameField, &name)) return false;
            bool isTable = (target & kResourceHighBit) != 0;
            if (level < kResourceLevels - 1) {
                // Types and names lead to tables; anything else is damage.
                if (!isTable) return false;
                (level == 0 ? path->type : path->name) = name;
                if (!ReadTable(target & ~kResourceHighBit, level + 1, path)) return false;
                continue;
            }
            if (isTable || name.isText) return false;
            path->language = name.id;
            if (!ReadData(target, path)) return false;
        }
        return true;
    }

    bool ReadData(uint32_t entryOffset, const ResourceEntry* path) {
        uint64_t at = root + entryOffset;
        uint32_t rva = view.U32(at);
        uint32_t size = view.U32(at + 4);
        uint32_t codePage = view.U32(at + 8);
        uint64_t fileOffset = 0;
        if (!view.ok() || out->size() >= kMaxResources) return false;
        totalData += size;
        if (totalData > kMaxTotalData || !rvaToOffset(rva, size, &fileOffset) ||
            !view.Has(fileOffset, size)) {
            return false;
        }
        ResourceEntry entry;
        entry.type = path->type;
        entry.name = path->name;
        entry.language = path->language;
        entry.codePage = codePage;
        entry.data.assign(view.data() + fileOffset, view.data() + fileOffset + size);
        out->push_back(std::move(entry));
        return true;
    }
};

// Names in the order they are written, each table's entries grouped.
struct Layout {
    // type -> name -> language -> index into the resource list
    std::map<ResourceName, std::map<ResourceName, std::map<uint16_t, size_t>>> tree;
};

void AppendDirectoryHeader(std::vector<uint8_t>& out, size_t at, uint16_t named, uint16_t ids) {
    Store16(out, at + kResourceDirNamedCount, named);
    Store16(out, at + kResourceDirIdCount, ids);
}

template <typename Map>
std::pair<uint16_t, uint16_t> CountNames(const Map& map) {
    uint16_t named = 0;
    for (const auto& item : map) named += item.first.isText ? 1 : 0;
    return {named, static_cast<uint16_t>(map.size() - named)};
}

}  // namespace

ResourceName ResourceName::Text(const std::string& ascii) {
    ResourceName name;
    name.isText = true;
    for (char c : ascii) name.text.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return name;
}

bool ResourceName::operator<(const ResourceName& other) const {
    if (isText != other.isText) return isText;
    if (!isText) return id < other.id;
    size_t common = std::min(text.size(), other.text.size());
    for (size_t i = 0; i < common; ++i) {
        char16_t a = UpperAscii(text[i]);
        char16_t b = UpperAscii(other.text[i]);
        if (a != b) return a < b;
    }
    if (text.size() != other.text.size()) return text.size() < other.text.size();
    return text < other.text;
}

std::string ResourceName::ToString() const {
    if (!isText) return "#" + std::to_string(id);
    std::string ascii;
    for (char16_t c : text) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return ascii;
}

PeError ReadResourceDirectory(const std::vector<uint8_t>& image, uint64_t directoryOffset,
                              const std::function<bool(uint32_t, uint32_t, uint64_t*)>& rvaToOffset,
                              ResourceList* resources) {
    resources->clear();
    DirectoryReader reader{ByteView(image), directoryOffset, rvaToOffset, resources};
    ResourceEntry path;
    if (!reader.ReadTable(0, 0, &path)) {
        resources->clear();
        return PeError::DamagedResources;
    }
    SortResources(resources);
    // One resource per type, name and language: a directory listing one
    // twice is damaged (which copy would the loader take?).
    for (size_t i = 1; i < resources->size(); ++i) {
        const ResourceEntry& a = (*resources)[i - 1];
        const ResourceEntry& b = (*resources)[i];
        if (a.type == b.type && a.name == b.name && a.language == b.language) {
            resources->clear();
            return PeError::DamagedResources;
        }
    }
    return PeError::None;
}

void SortResources(ResourceList* resources) {
    std::stable_sort(resources->begin(), resources->end(),
                     [](const ResourceEntry& a, const ResourceEntry& b) {
                         if (a.type != b.type) return a.type < b.type;
                         if (a.name != b.name) return a.name < b.name;
                         return a.language < b.language;
                     });
}

std::vector<uint8_t> BuildResourceSection(const ResourceList& resources, uint32_t sectionRva) {
    Layout layout;
    for (size_t i = 0; i < resources.size(); ++i) {
        const ResourceEntry& r = resources[i];
        layout.tree[r.type][r.name][r.language] = i;
    }
    // Sizes of the four regions: tables, data entries, name texts, data.
    size_t tables = kResourceDirectorySize + layout.tree.size() * kResourceEntrySize;
    size_t dataEntries = 0;
    size_t texts = 0;
    auto textSize = [](const ResourceName& n) { return n.isText ? 2 + n.text.size() * 2 : 0; };
    for (const auto& [type, names] : layout.tree) {
        texts += textSize(type);
        tables += kResourceDirectorySize + names.size() * kResourceEntrySize;
        for (const auto& [name, languages] : names) {
            texts += textSize(name);
            tables += kResourceDirectorySize + languages.size() * kResourceEntrySize;
            dataEntries += languages.size() * kResourceDataEntrySize;
        }
    }
    const size_t entriesStart = tables;
    const size_t textsStart = entriesStart + dataEntries;
    size_t dataStart = static_cast<size_t>(AlignUp(textsStart + texts, 8));

    std::vector<uint8_t> out(dataStart, 0);
    size_t nextTable = kResourceDirectorySize + layout.tree.size() * kResourceEntrySize;
    size_t nextEntry = entriesStart;
    size_t nextText = textsStart;
    auto writeName = [&](const ResourceName& name, size_t entryAt) {
        if (!name.isText) {
            Store32(out, entryAt, name.id);
            return;
        }
        Store32(out, entryAt, kResourceHighBit | static_cast<uint32_t>(nextText));
        Store16(out, nextText, static_cast<uint16_t>(name.text.size()));
        for (size_t i = 0; i < name.text.size(); ++i)
            Store16(out, nextText + 2 + i * 2, name.text[i]);
        nextText += textSize(name);
    };

    auto [namedTypes, idTypes] = CountNames(layout.tree);
    AppendDirectoryHeader(out, 0, namedTypes, idTypes);
    size_t typeEntry = kResourceDirectorySize;
    for (const auto& [type, names] : layout.tree) {
        size_t nameTable = nextTable;
        nextTable += kResourceDirectorySize + names.size() * kResourceEntrySize;
        writeName(type, typeEntry);
        Store32(out, typeEntry + 4, kResourceHighBit | static_cast<uint32_t>(nameTable));
        typeEntry += kResourceEntrySize;
        auto [namedNames, idNames] = CountNames(names);
        AppendDirectoryHeader(out, nameTable, namedNames, idNames);
        size_t nameEntry = nameTable + kResourceDirectorySize;
        for (const auto& [name, languages] : names) {
            size_t languageTable = nextTable;
            nextTable += kResourceDirectorySize + languages.size() * kResourceEntrySize;
            writeName(name, nameEntry);
            Store32(out, nameEntry + 4, kResourceHighBit | static_cast<uint32_t>(languageTable));
            nameEntry += kResourceEntrySize;
            AppendDirectoryHeader(out, languageTable, 0, static_cast<uint16_t>(languages.size()));
            size_t languageEntry = languageTable + kResourceDirectorySize;
            for (const auto& [language, index] : languages) {
                const ResourceEntry& resource = resources[index];
                Store32(out, languageEntry, language);
                Store32(out, languageEntry + 4, static_cast<uint32_t>(nextEntry));
                languageEntry += kResourceEntrySize;
                // Data aligned to 8 bytes, as the system's own writer does.
                size_t dataAt = out.size();
                out.insert(out.end(), resource.data.begin(), resource.data.end());
                out.resize(static_cast<size_t>(AlignUp(out.size(), 8)), 0);
                Store32(out, nextEntry, sectionRva + static_cast<uint32_t>(dataAt));
                Store32(out, nextEntry + 4, static_cast<uint32_t>(resource.data.size()));
                Store32(out, nextEntry + 8, resource.codePage);
                nextEntry += kResourceDataEntrySize;
            }
        }
    }
    return out;
}

}  // namespace kestrel::pe
