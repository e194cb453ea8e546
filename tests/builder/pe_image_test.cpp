#include "builder/pe/pe_image.h"

#include <gtest/gtest.h>

#include "builder/pe/byte_view.h"
#include "builder/pe/icon_file.h"
#include "builder/pe/pe_format.h"
#include "tests/builder/pe_test_image.h"

namespace kestrel::pe {
namespace {

using test::MakeIconFile;
using test::MakeTestImage;
using test::Resource;
using test::TestImageOptions;

const ResourceName kIcon = ResourceName::Id(kResourceTypeIcon);
const ResourceName kGroup = ResourceName::Id(kResourceTypeGroupIcon);
const ResourceName kPlugin = ResourceName::Text("NPFP");

std::vector<uint8_t> GroupOf(std::vector<uint16_t> ids) {
    std::vector<uint8_t> group;
    Append16(group, 0);
    Append16(group, kIconType);
    Append16(group, static_cast<uint16_t>(ids.size()));
    for (uint16_t id : ids) {
        group.insert(group.end(), {32, 32, 0, 0});
        Append16(group, 1);
        Append16(group, 32);
        Append32(group, 8);
        Append16(group, id);
    }
    return group;
}

// A stub like the projector: icon group 107 in US English with two images,
// the plug-in library and a menu.
ResourceList StubResources() {
    ResourceList list = {Resource(kIcon, ResourceName::Id(1), 1033, "old icon 1"),
                         Resource(kIcon, ResourceName::Id(2), 1033, "old icon 2"),
                         Resource(kGroup, ResourceName::Id(107), 1033, ""),
                         Resource(kPlugin, ResourceName::Id(130), 1033, "old plug-in"),
                         Resource(ResourceName::Id(4), ResourceName::Id(109), 1033, "menu")};
    list[2].data = GroupOf({1, 2});
    SortResources(&list);
    return list;
}

const ResourceEntry* FindEntry(const ResourceList& list, const ResourceName& type,
                               const ResourceName& name) {
    for (const ResourceEntry& r : list) {
        if (r.type == type && r.name == name) return &r;
    }
    return nullptr;
}

PeImage Reopen(const PeImage& image) {
    std::vector<uint8_t> saved;
    EXPECT_EQ(image.Save(&saved), PeError::None);
    PeImage reopened;
    EXPECT_EQ(reopened.Open(saved), PeError::None);
    return reopened;
}

class PeImageBits : public ::testing::TestWithParam<bool> {};

TEST_P(PeImageBits, ReadsTheResourcesItWasBuiltWith) {
    TestImageOptions options;
    options.is64Bit = GetParam();
    PeImage image;
    ASSERT_EQ(image.Open(MakeTestImage(StubResources(), options)), PeError::None);
    EXPECT_EQ(image.is64Bit(), GetParam());
    ASSERT_EQ(image.resources().size(), StubResources().size());
    const ResourceEntry* plugin = image.Find(kPlugin, ResourceName::Id(130));
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(std::string(plugin->data.begin(), plugin->data.end()), "old plug-in");
}

TEST_P(PeImageBits, ReplacesTheIconUnderTheGroupsNameAndLanguageAndKeepsTheRest) {
    TestImageOptions options;
    options.is64Bit = GetParam();
    options.overlay = {'P', 'A', 'Y', 'L', 'O', 'A', 'D'};
    PeImage image;
    ASSERT_EQ(image.Open(MakeTestImage(StubResources(), options)), PeError::None);
    std::vector<IconImage> icons;
    ASSERT_EQ(ReadIconFile(MakeIconFile(3), &icons), PeError::None);
    ASSERT_EQ(ReplaceIcon(&image, icons), PeError::None);
    image.SetResource(kPlugin, ResourceName::Id(130), 1033, std::vector<uint8_t>(70000, 0x5A));

    std::vector<uint8_t> saved;
    ASSERT_EQ(image.Save(&saved), PeError::None);
    ASSERT_GE(saved.size(), options.overlay.size());
    EXPECT_TRUE(std::equal(options.overlay.rbegin(), options.overlay.rend(), saved.rbegin()));
    PeImage reopened;
    ASSERT_EQ(reopened.Open(saved), PeError::None);
    const ResourceList& list = reopened.resources();
    const ResourceEntry* group = FindEntry(list, kGroup, ResourceName::Id(107));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->language, 1033);
    ByteView groupView(group->data);
    ASSERT_EQ(groupView.U16(4), 3);
    size_t icons_found = 0;
    for (uint16_t i = 0; i < 3; ++i) {
        uint16_t id = groupView.U16(kIconDirSize + i * kGroupIconEntrySize + 12);
        EXPECT_EQ(groupView.U8(kIconDirSize + i * kGroupIconEntrySize), 16 * (i + 1));
        const ResourceEntry* icon = FindEntry(list, kIcon, ResourceName::Id(id));
        ASSERT_NE(icon, nullptr) << id;
        EXPECT_EQ(icon->language, 1033);
        EXPECT_EQ(icon->data, icons[i].data);
        ++icons_found;
    }
    // Exactly the new images: the old ones were reused or removed.
    size_t iconCount = 0;
    for (const ResourceEntry& r : list) iconCount += r.type == kIcon ? 1 : 0;
    EXPECT_EQ(iconCount, icons_found);
    EXPECT_EQ(reopened.Find(kPlugin, ResourceName::Id(130))->data.size(), 70000u);
    EXPECT_NE(reopened.Find(ResourceName::Id(4), ResourceName::Id(109)), nullptr);

    // The relocations moved behind the bigger resources, and the headers say so.
    ByteView view(saved);
    const SectionHeader* reloc = nullptr;
    const SectionHeader* rsrc = nullptr;
    for (const SectionHeader& s : reopened.sections()) {
        if (s.name == ".reloc") reloc = &s;
        if (s.name == ".rsrc") rsrc = &s;
    }
    ASSERT_TRUE(reloc && rsrc);
    EXPECT_GE(reloc->virtualAddress, rsrc->virtualAddress + rsrc->virtualSize);
    EXPECT_EQ(reloc->virtualAddress % test::kTestSectionAlignment, 0u);
    EXPECT_EQ(view.U32(reloc->pointerToRawData), test::kTestCodeRva);
    const size_t opt = view.U32(kDosNewHeaderOffset) + 4 + kCoffHeaderSize;
    const size_t directories =
        opt + (GetParam() ? kOptNumberOfRvaAndSizes64 : kOptNumberOfRvaAndSizes32) + 4;
    EXPECT_EQ(view.U32(directories + kDirBaseRelocation * 8), reloc->virtualAddress);
    EXPECT_EQ(view.U32(directories + kDirResource * 8), rsrc->virtualAddress);
    EXPECT_EQ(view.U32(opt + kOptSizeOfImage),
              AlignUp(reloc->virtualAddress + reloc->virtualSize, test::kTestSectionAlignment));
    EXPECT_EQ(view.U32(opt + kOptCheckSum), ComputePeChecksum(saved, opt + kOptCheckSum));
}

TEST_P(PeImageBits, AddsAResourceSectionToAFileWithoutOne) {
    TestImageOptions options;
    options.is64Bit = GetParam();
    options.withResources = false;
    PeImage image;
    ASSERT_EQ(image.Open(MakeTestImage({}, options)), PeError::None);
    EXPECT_TRUE(image.resources().empty());
    image.SetResource(kPlugin, ResourceName::Id(130), 1033, {1, 2, 3});
    PeImage reopened = Reopen(image);
    ASSERT_EQ(reopened.resources().size(), 1u);
    EXPECT_EQ(reopened.resources()[0].data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(reopened.sections().size(), 3u);
    // A file without an icon group keeps having none.
    std::vector<IconImage> icons;
    ASSERT_EQ(ReadIconFile(MakeIconFile(1), &icons), PeError::None);
    EXPECT_EQ(ReplaceIcon(&reopened, icons), PeError::NoIconGroup);
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, PeImageBits, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Pe32Plus" : "Pe32"; });

TEST(PeIcon, KeepsImagesThatAnotherGroupStillUses) {
    ResourceList list = StubResources();
    list.push_back(Resource(kGroup, ResourceName::Id(200), 1033, ""));
    list.back().data = GroupOf({2});
    SortResources(&list);
    PeImage image;
    ASSERT_EQ(image.Open(MakeTestImage(list)), PeError::None);
    std::vector<IconImage> icons;
    ASSERT_EQ(ReadIconFile(MakeIconFile(2), &icons), PeError::None);
    ASSERT_EQ(ReplaceIcon(&image, icons), PeError::None);
    const ResourceEntry* kept = image.Find(kIcon, ResourceName::Id(2));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(std::string(kept->data.begin(), kept->data.end()), "old icon 2");
    ByteView group(image.Find(kGroup, ResourceName::Id(107))->data);
    EXPECT_EQ(group.U16(kIconDirSize + 12), 1);                        // the old number reused
    EXPECT_EQ(group.U16(kIconDirSize + kGroupIconEntrySize + 12), 3);  // 2 is taken
}

TEST(PeIcon, ANamedNeutralGroupKeepsItsNameAndLanguage) {
    ResourceList list = {Resource(kGroup, ResourceName::Text("APPICON"), 0, ""),
                         Resource(kIcon, ResourceName::Id(5), 0, "old")};
    list[0].data = GroupOf({5});
    SortResources(&list);
    PeImage image;
    ASSERT_EQ(image.Open(MakeTestImage(list)), PeError::None);
    std::vector<IconImage> icons;
    ASSERT_EQ(ReadIconFile(MakeIconFile(1), &icons), PeError::None);
    ASSERT_EQ(ReplaceIcon(&image, icons), PeError::None);
    PeImage reopened = Reopen(image);
    ASSERT_EQ(reopened.resources().size(), 2u);
    EXPECT_EQ(reopened.resources()[0].name, ResourceName::Id(5));
    EXPECT_EQ(reopened.resources()[0].data, icons[0].data);
    EXPECT_EQ(reopened.resources()[1].name, ResourceName::Text("APPICON"));
    EXPECT_EQ(reopened.resources()[1].language, 0);
}

TEST(PeIcon, RefusesDamagedIconFiles) {
    struct Case {
        const char* what;
        size_t offset;  // where to poke; SIZE_MAX truncates instead
        uint32_t value;
        int width;  // bytes poked: 2 or 4
    };
    const size_t entry = kIconDirSize;
    const Case cases[] = {
        {"reserved word set", 0, 1, 2},
        {"cursor type", 2, 2, 2},
        {"no images", 4, 0, 2},
        {"more images than the directory holds", 4, 400, 2},
        {"image size zero", entry + 8, 0, 4},
        {"image beyond the end", entry + 8, 100000, 4},
        {"offset beyond the end", entry + 12, 100000, 4},
        {"offset and size overflow", entry + 12, 0xFFFFFFF0u, 4},
        {"image inside the directory", entry + 12, 2, 4},
        {"truncated directory", SIZE_MAX, 10, 0},
        {"truncated image", SIZE_MAX, 60, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file = MakeIconFile(2);
        if (c.offset == SIZE_MAX) {
            file.resize(c.value);
        } else if (c.width == 2) {
            Store16(file, c.offset, static_cast<uint16_t>(c.value));
        } else {
            Store32(file, c.offset, c.value);
        }
        std::vector<IconImage> images;
        EXPECT_EQ(ReadIconFile(file, &images), PeError::IconDamaged) << c.what;
        EXPECT_TRUE(images.empty()) << c.what;
    }
}

TEST(PeImageDamage, EveryTruncationOfTheHeadersIsAnErrorNotACrash) {
    const std::vector<uint8_t> whole = MakeTestImage(StubResources());
    for (size_t size = 0; size < whole.size(); size += size < 0x400 ? 1 : 97) {
        PeImage image;
        EXPECT_NE(image.Open(std::vector<uint8_t>(whole.begin(), whole.begin() + size)),
                  PeError::None)
            << size;
    }
}

TEST(PeImageDamage, ADirectoryThatPointsBackAtItselfIsRefused) {
    std::vector<uint8_t> file = MakeTestImage(StubResources());
    PeImage image;
    ASSERT_EQ(image.Open(file), PeError::None);
    const size_t root = image.sections()[1].pointerToRawData;
    // The first type's table is the root again: the names level finds
    // tables where data should be, three levels down.
    Store32(file, root + kResourceDirectorySize + 4, kResourceHighBit);
    EXPECT_EQ(image.Open(file), PeError::DamagedResources);
    file = MakeTestImage(StubResources());
    Store32(file, root + kResourceDirIdCount, 0xFFFF);
    EXPECT_EQ(image.Open(file), PeError::DamagedResources);
}

// Header faults the fuzzer found: each is refused before anything is
// rewritten.
TEST(PeImageDamage, RefusesHeadersThatWouldMakeTheRewriteOverlapOrBalloon) {
    struct Case {
        const char* what;
        size_t optionalOffset;  // into the optional header
        uint32_t value;
        bool opens;  // Open accepts it, Save refuses
    };
    const Case cases[] = {
        {"file alignment not a power of two", kOptFileAlignment, 0x300, false},
        {"file alignment beyond 64 KiB", kOptFileAlignment, 0x20000, false},
        {"section alignment zero", kOptSectionAlignment, 0, false},
        {"headers longer than the file", kOptSizeOfHeaders, 0x100000, false},
        {"no data directories", kOptNumberOfRvaAndSizes32, 0, true},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file =
            MakeTestImage({}, TestImageOptions{false, false, true, true, {}, false, {}});
        const size_t opt = ByteView(file).U32(kDosNewHeaderOffset) + 4 + kCoffHeaderSize;
        Store32(file, opt + c.optionalOffset, c.value);
        PeImage image;
        PeError opened = image.Open(file);
        if (!c.opens) {
            EXPECT_EQ(opened, PeError::DamagedHeaders) << c.what;
            continue;
        }
        ASSERT_EQ(opened, PeError::None) << c.what;
        image.SetResource(kPlugin, ResourceName::Id(130), 1033, {1});
        std::vector<uint8_t> saved;
        EXPECT_EQ(image.Save(&saved), PeError::DamagedHeaders) << c.what;
    }
}

TEST(PeImageDamage, AResourceListedTwiceIsDamage) {
    ResourceList list = StubResources();
    std::vector<uint8_t> file = MakeTestImage(list);
    PeImage image;
    ASSERT_EQ(image.Open(file), PeError::None);
    // Renumber the second icon (#2) as the first: two entries for #1, 1033.
    // Root entries: "NPFP" first (names sort first), then #3, the icons.
    const size_t root = image.sections()[1].pointerToRawData;
    ByteView view(file);
    const uint32_t iconTable =
        view.U32(root + kResourceDirectorySize + kResourceEntrySize + 4) & ~kResourceHighBit;
    Store32(file, root + iconTable + kResourceDirectorySize + kResourceEntrySize, 1);
    EXPECT_EQ(image.Open(file), PeError::DamagedResources);
}

TEST(PeImageDamage, RefusesWhatIsNotAnExecutable) {
    PeImage image;
    EXPECT_EQ(image.Open({'M', 'Z'}), PeError::NotPe);
    EXPECT_EQ(image.Open(std::vector<uint8_t>(4096, 0)), PeError::NotPe);
}

TEST(PeImageExports, ListsTheExportedNames) {
    PeImage image;
    ASSERT_EQ(image.Open(MakeTestImage(StubResources())), PeError::None);
    EXPECT_TRUE(image.ExportedNames().empty());
    EXPECT_FALSE(image.isDll());
    TestImageOptions options;
    options.isDll = true;
    options.exports = {"NP_GetEntryPoints", "NP_Initialize"};
    ASSERT_EQ(image.Open(MakeTestImage(StubResources(), options)), PeError::None);
    EXPECT_TRUE(image.isDll());
    EXPECT_EQ(image.ExportedNames(), options.exports);
}

}  // namespace
}  // namespace kestrel::pe
