// Reads arbitrary bytes as an .ico file and, when they are accepted, puts
// them into a stub's icon group. Besides the sanitizers' checks, it aborts
// when the rewritten stub does not read back with exactly those images.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "builder/pe/byte_view.h"
#include "builder/pe/icon_file.h"
#include "builder/pe/pe_format.h"
#include "builder/pe/pe_image.h"
#include "tests/builder/pe_test_image.h"

namespace {

using namespace kestrel::pe;

const std::vector<uint8_t>& Stub() {
    static const std::vector<uint8_t> stub = [] {
        std::vector<uint8_t> group;
        Append16(group, 0);
        Append16(group, kIconType);
        Append16(group, 1);
        group.insert(group.end(), {32, 32, 0, 0, 1, 0, 32, 0, 4, 0, 0, 0, 1, 0});
        ResourceList list = {
            test::Resource(ResourceName::Id(kResourceTypeIcon), ResourceName::Id(1), 1033, "icon"),
            test::Resource(ResourceName::Id(kResourceTypeGroupIcon), ResourceName::Id(107), 1033,
                           "")};
        list[1].data = group;
        SortResources(&list);
        return test::MakeTestImage(list);
    }();
    return stub;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<IconImage> icons;
    if (ReadIconFile(std::vector<uint8_t>(data, data + size), &icons) != PeError::None) return 0;
    PeImage image;
    if (image.Open(Stub()) != PeError::None || ReplaceIcon(&image, icons) != PeError::None)
        std::abort();
    std::vector<uint8_t> saved;
    if (image.Save(&saved) != PeError::None) std::abort();
    PeImage reopened;
    if (reopened.Open(saved) != PeError::None) std::abort();
    ResourceEntry* group =
        reopened.Find(ResourceName::Id(kResourceTypeGroupIcon), ResourceName::Id(107));
    if (!group) std::abort();
    ByteView view(group->data);
    if (view.U16(4) != icons.size()) std::abort();
    for (size_t i = 0; i < icons.size(); ++i) {
        uint16_t id = view.U16(kIconDirSize + i * kGroupIconEntrySize + 12);
        ResourceEntry* icon =
            reopened.Find(ResourceName::Id(kResourceTypeIcon), ResourceName::Id(id));
        if (!icon || icon->data != icons[i].data || icon->language != 1033) std::abort();
    }
    return 0;
}
