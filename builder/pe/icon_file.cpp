#include "builder/pe/icon_file.h"

#include <algorithm>
#include <set>

#include "builder/pe/byte_view.h"
#include "builder/pe/pe_format.h"

namespace kestrel::pe {

namespace {

// Icon numbers a group lists, or none when the group data is damaged.
std::vector<uint16_t> GroupIconIds(const std::vector<uint8_t>& group) {
    ByteView view(group);
    uint16_t count = view.U16(4);
    std::vector<uint16_t> ids;
    if (!view.ok() || !view.Has(kIconDirSize, uint64_t{count} * kGroupIconEntrySize)) return ids;
    for (uint16_t i = 0; i < count; ++i)
        ids.push_back(view.U16(kIconDirSize + i * kGroupIconEntrySize + 12));
    return ids;
}

}  // namespace

PeError ReadIconFile(const std::vector<uint8_t>& file, std::vector<IconImage>* images) {
    images->clear();
    ByteView view(file);
    uint16_t reserved = view.U16(0);
    uint16_t type = view.U16(2);
    uint16_t count = view.U16(4);
    const uint64_t directoryEnd = kIconDirSize + uint64_t{count} * kIconDirEntrySize;
    if (!view.ok() || reserved != 0 || type != kIconType || count == 0 ||
        !view.Has(0, directoryEnd)) {
        return PeError::IconDamaged;
    }
    for (uint16_t i = 0; i < count; ++i) {
        size_t entry = kIconDirSize + size_t{i} * kIconDirEntrySize;
        IconImage image;
        image.width = view.U8(entry);
        image.height = view.U8(entry + 1);
        image.colorCount = view.U8(entry + 2);
        image.planes = view.U16(entry + 4);
        image.bitCount = view.U16(entry + 6);
        uint32_t size = view.U32(entry + 8);
        uint32_t offset = view.U32(entry + 12);
        // An image must lie behind the directory and inside the file.
        if (size == 0 || offset < directoryEnd || !view.Has(offset, size)) {
            images->clear();
            return PeError::IconDamaged;
        }
        image.data.assign(file.begin() + offset, file.begin() + offset + size);
        images->push_back(std::move(image));
    }
    return PeError::None;
}

PeError ReplaceIcon(PeImage* image, const std::vector<IconImage>& images) {
    if (images.empty()) return PeError::IconDamaged;
    ResourceList& resources = image->resources();
    const ResourceName groupType = ResourceName::Id(kResourceTypeGroupIcon);
    const ResourceName iconType = ResourceName::Id(kResourceTypeIcon);
    auto group = std::find_if(resources.begin(), resources.end(),
                              [&](const ResourceEntry& r) { return r.type == groupType; });
    if (group == resources.end()) return PeError::NoIconGroup;
    const ResourceName groupName = group->name;
    const uint16_t language = group->language;
    std::vector<uint16_t> oldIds = GroupIconIds(group->data);

    // Images that other groups still list stay.
    std::set<uint16_t> keep;
    for (const ResourceEntry& r : resources) {
        if (r.type == groupType && !(r.name == groupName && r.language == language)) {
            for (uint16_t id : GroupIconIds(r.data)) keep.insert(id);
        }
    }
    resources.erase(std::remove_if(resources.begin(), resources.end(),
                                   [&](const ResourceEntry& r) {
                                       return r.type == iconType && !r.name.isText &&
                                              r.language == language && !keep.count(r.name.id) &&
                                              std::find(oldIds.begin(), oldIds.end(), r.name.id) !=
                                                  oldIds.end();
                                   }),
                    resources.end());
    std::set<uint16_t> used(keep);
    for (const ResourceEntry& r : resources) {
        if (r.type == iconType && !r.name.isText) used.insert(r.name.id);
    }

    // The old numbers first, then the lowest free ones.
    std::vector<uint16_t> ids;
    for (uint16_t id : oldIds) {
        if (ids.size() < images.size() && id != 0 && !used.count(id)) {
            ids.push_back(id);
            used.insert(id);
        }
    }
    for (uint32_t id = 1; ids.size() < images.size() && id <= 0xFFFF; ++id) {
        if (!used.count(static_cast<uint16_t>(id))) {
            ids.push_back(static_cast<uint16_t>(id));
            used.insert(static_cast<uint16_t>(id));
        }
    }
    if (ids.size() < images.size()) return PeError::TooManyIcons;

    std::vector<uint8_t> groupData;
    Append16(groupData, 0);
    Append16(groupData, kIconType);
    Append16(groupData, static_cast<uint16_t>(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImage& icon = images[i];
        groupData.push_back(icon.width);
        groupData.push_back(icon.height);
        groupData.push_back(icon.colorCount);
        groupData.push_back(0);
        Append16(groupData, icon.planes);
        Append16(groupData, icon.bitCount);
        Append32(groupData, static_cast<uint32_t>(icon.data.size()));
        Append16(groupData, ids[i]);

        ResourceEntry entry;
        entry.type = iconType;
        entry.name = ResourceName::Id(ids[i]);
        entry.language = language;
        entry.data = icon.data;
        resources.push_back(std::move(entry));
    }
    for (ResourceEntry& r : resources) {
        if (r.type == groupType && r.name == groupName && r.language == language)
            r.data = groupData;
    }
    SortResources(&resources);
    return PeError::None;
}

}  // namespace kestrel::pe
