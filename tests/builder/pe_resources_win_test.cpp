// The resource writer's output as Windows itself reads it: icons by size
// through LoadImage, names through EnumResourceNames, the plug-in through
// FindResource; and the same changes made by UpdateResource give the same
// resources.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <set>

#include "builder/export/stub_resource_win.h"
#include "builder/pe/icon_file.h"
#include "builder/pe/pe_image.h"
#include "common/win_handles.h"
#include "tests/builder/data_module_win.h"
#include "tests/builder/pe_test_image.h"
#include "tests/common/test_folder.h"

namespace kestrel::pe {
namespace {

using kestrel::test::ReadBytes;
using kestrel::test::TestFolder;
using kestrel::test::WriteBytes;

using kestrel::test::DataModule;
using kestrel::test::LoadAsData;

constexpr WORD kStubIconGroup = 107;  // the projector's window icon
const int kSides[] = {16, 32, 48};

COLORREF SideColor(int side) {
    return RGB(side * 5, 255 - side * 4, side);
}

// A 32-bit DIB icon image of one colour, fully opaque.
std::vector<uint8_t> DibIcon(int side) {
    std::vector<uint8_t> image(sizeof(BITMAPINFOHEADER), 0);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = side;
    header.biHeight = side * 2;  // colour and mask
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::memcpy(image.data(), &header, sizeof header);
    COLORREF color = SideColor(side);
    for (int i = 0; i < side * side; ++i) {
        image.insert(image.end(), {GetBValue(color), GetGValue(color), GetRValue(color), 0xFF});
    }
    image.resize(image.size() + static_cast<size_t>(((side + 31) / 32) * 4 * side), 0);
    return image;
}

std::vector<uint8_t> IconFileOfAllSides() {
    std::vector<uint8_t> file;
    Append16(file, 0);
    Append16(file, kIconType);
    Append16(file, static_cast<uint16_t>(std::size(kSides)));
    uint32_t offset = static_cast<uint32_t>(kIconDirSize + std::size(kSides) * kIconDirEntrySize);
    std::vector<uint8_t> images;
    for (int side : kSides) {
        std::vector<uint8_t> image = DibIcon(side);
        file.insert(file.end(), {static_cast<uint8_t>(side), static_cast<uint8_t>(side), 0, 0});
        Append16(file, 1);
        Append16(file, 32);
        Append32(file, static_cast<uint32_t>(image.size()));
        Append32(file, offset);
        offset += static_cast<uint32_t>(image.size());
        images.insert(images.end(), image.begin(), image.end());
    }
    file.insert(file.end(), images.begin(), images.end());
    return file;
}

// The colour of the centre pixel of the icon image LoadImage picks for `side`.
COLORREF IconColorAt(HMODULE module, int side, int* loadedSide) {
    kestrel::OwnedIcon icon = kestrel::test::LoadGroupIcon(module, kStubIconGroup, side);
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon.get(), &info)) return CLR_INVALID;
    GdiObject<HBITMAP> color(info.hbmColor);
    GdiObject<HBITMAP> mask(info.hbmMask);
    BITMAP bitmap = {};
    if (!color || !GetObjectA(color.get(), sizeof bitmap, &bitmap)) return CLR_INVALID;
    *loadedSide = bitmap.bmWidth;
    MemoryDC dc(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(dc.get(), color.get());
    COLORREF pixel = GetPixel(dc.get(), bitmap.bmWidth / 2, bitmap.bmHeight / 2);
    SelectObject(dc.get(), old);
    return pixel;
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    auto* names = reinterpret_cast<std::set<uintptr_t>*>(param);
    if (IS_INTRESOURCE(name)) names->insert(reinterpret_cast<uintptr_t>(name));
    return TRUE;
}

std::set<uintptr_t> IconNames(HMODULE module) {
    std::set<uintptr_t> names;
    EnumResourceNamesA(module, MAKEINTRESOURCEA(3), CollectName,
                       reinterpret_cast<LONG_PTR>(&names));
    return names;
}

std::vector<uint8_t> FindPlugin(HMODULE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(130), "NPFP");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const uint8_t* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(module, found));
}

std::vector<uint8_t> NewPlugin() {
    std::vector<uint8_t> plugin(300000);
    for (size_t i = 0; i < plugin.size(); ++i) plugin[i] = static_cast<uint8_t>(i * 7);
    return plugin;
}

TEST(PeResourcesUnderWine, TheRewrittenStubGivesEveryIconSizeAndTheNewPlugin) {
    TestFolder folder;
    PeImage image;
    ASSERT_EQ(image.Open(ReadBytes(SKYLET_EXE)), PeError::None);
    std::vector<IconImage> icons;
    ASSERT_EQ(ReadIconFile(IconFileOfAllSides(), &icons), PeError::None);
    ASSERT_EQ(ReplaceIcon(&image, icons), PeError::None);
    image.SetResource(ResourceName::Text("NPFP"), ResourceName::Id(130), 1033, NewPlugin());
    std::vector<uint8_t> saved;
    ASSERT_EQ(image.Save(&saved), PeError::None);
    const std::string path = folder / "rewritten.exe";
    WriteBytes(path, saved);

    DataModule module = LoadAsData(path);
    ASSERT_TRUE(module) << GetLastError();
    for (int side : kSides) {
        int loaded = 0;
        EXPECT_EQ(IconColorAt(module.get(), side, &loaded), SideColor(side)) << side;
        EXPECT_EQ(loaded, side);
    }
    EXPECT_EQ(IconNames(module.get()), (std::set<uintptr_t>{1, 2, 3}));
    EXPECT_EQ(FindPlugin(module.get()), NewPlugin());
    EXPECT_NE(FindResourceA(module.get(), MAKEINTRESOURCEA(109), MAKEINTRESOURCEA(4)),
              nullptr);  // the menu
}

// The same changes through the system's own resource update.
void UpdateThroughWindows(const std::string& path, const std::vector<IconImage>& icons,
                          const std::vector<uint8_t>& group) {
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    for (size_t i = 0; i < icons.size(); ++i) {
        ASSERT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(i + 1), 1033,
                                    const_cast<uint8_t*>(icons[i].data.data()),
                                    static_cast<DWORD>(icons[i].data.size())));
    }
    ASSERT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(kStubIconGroup),
                                1033, const_cast<uint8_t*>(group.data()),
                                static_cast<DWORD>(group.size())));
    std::vector<uint8_t> plugin = NewPlugin();
    ASSERT_TRUE(UpdateResourceA(update, "NPFP", MAKEINTRESOURCEA(130), 1033, plugin.data(),
                                static_cast<DWORD>(plugin.size())));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE)) << GetLastError();
}

TEST(PeResourcesUnderWine, UpdateResourceMakesTheSameResources) {
    TestFolder folder;
    const std::vector<uint8_t> stub = ReadBytes(SKYLET_EXE);
    PeImage ours;
    ASSERT_EQ(ours.Open(stub), PeError::None);
    std::vector<IconImage> icons;
    ASSERT_EQ(ReadIconFile(IconFileOfAllSides(), &icons), PeError::None);
    ASSERT_EQ(ReplaceIcon(&ours, icons), PeError::None);
    ours.SetResource(ResourceName::Text("NPFP"), ResourceName::Id(130), 1033, NewPlugin());

    const std::string theirsPath = folder / "theirs.exe";
    WriteBytes(theirsPath, stub);
    UpdateThroughWindows(theirsPath, icons,
                         ours.Find(ResourceName::Id(14), ResourceName::Id(kStubIconGroup))->data);
    PeImage theirs;
    ASSERT_EQ(theirs.Open(ReadBytes(theirsPath)), PeError::None);

    const ResourceList& a = ours.resources();
    const ResourceList& b = theirs.resources();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].type, b[i].type) << i;
        EXPECT_EQ(a[i].name, b[i].name) << i;
        EXPECT_EQ(a[i].language, b[i].language) << i;
        EXPECT_EQ(a[i].data, b[i].data) << a[i].type.ToString() << " " << a[i].name.ToString();
    }
    // And the system reads what it wrote from ours as from its own.
    std::vector<uint8_t> saved;
    ASSERT_EQ(ours.Save(&saved), PeError::None);
    const std::string oursPath = folder / "ours.exe";
    WriteBytes(oursPath, saved);
    DataModule oursModule = LoadAsData(oursPath);
    DataModule theirsModule = LoadAsData(theirsPath);
    ASSERT_TRUE(oursModule && theirsModule);
    EXPECT_EQ(IconNames(oursModule.get()), IconNames(theirsModule.get()));
    EXPECT_EQ(FindPlugin(oursModule.get()), FindPlugin(theirsModule.get()));
}

TEST(PeResourcesUnderWine, A64BitImageRewrittenHereLoadsAsData) {
    TestFolder folder;
    test::TestImageOptions options;
    options.is64Bit = true;
    PeImage image;
    ASSERT_EQ(image.Open(test::MakeTestImage({}, options)), PeError::None);
    image.SetResource(ResourceName::Text("NPFP"), ResourceName::Id(130), 1033, NewPlugin());
    std::vector<uint8_t> saved;
    ASSERT_EQ(image.Save(&saved), PeError::None);
    const std::string path = folder / "wide.dll";
    WriteBytes(path, saved);
    DataModule module = LoadAsData(path);
    ASSERT_TRUE(module) << GetLastError();
    EXPECT_EQ(FindPlugin(module.get()), NewPlugin());
}

TEST(PeResourcesUnderWine, TheBuilderFindsTheStubItCarries) {
    TestFolder folder;
    PeImage builder;
    ASSERT_EQ(builder.Open(ReadBytes(SKYLET_EXE)), PeError::None);
    std::vector<uint8_t> stub = NewPlugin();
    builder.SetResource(ResourceName::Text(kStubResourceType), ResourceName::Id(kStubResourceId),
                        kStubResourceLanguage, stub);
    std::vector<uint8_t> saved;
    ASSERT_EQ(builder.Save(&saved), PeError::None);
    const std::string path = folder / "builder.exe";
    WriteBytes(path, saved);
    DataModule module = LoadAsData(path);
    ASSERT_TRUE(module);
    std::vector<uint8_t> found;
    ASSERT_TRUE(LoadStubResource(module.get(), &found));
    EXPECT_EQ(found, stub);
    DataModule plain = LoadAsData(SKYLET_EXE);
    EXPECT_FALSE(LoadStubResource(plain.get(), &found));
}

}  // namespace
}  // namespace kestrel::pe
