// The portable parts of the builder's windows: filter lists and the known
// file types, menu shortcut texts, the title, the resize arithmetic and
// formatting that outgrows a fixed buffer.
#include <gtest/gtest.h>

#include <string>

#include "builder/ui/file_filter.h"
#include "builder/ui/main_window_text.h"
#include "builder/ui/menu_text.h"
#include "builder/ui/text_format.h"

namespace kestrel {
namespace {

TEST(KnownFileTypes, DescribeTheirPatternsExactly) {
    const struct {
        const char* pattern;
        const char* description;
    } cases[] = {
        {"*.swf", "Flash Animation (*.swf)"},
        {"*.kstl", "Kestrel Project (*.kstl)"},
        {"*.ico", "Windows Icon (*.ico)"},
        {"*.pct", "PICT (*.pict)"},
        {"*.psd", "Photoshop (*psd)"},
        {"*.wmv", "Windows Media Video (*.wmv)"},
        {"*.SWF", ""},  // compared exactly
        {"*.xyz", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KnownFileTypeDescription(c.pattern), c.description) << c.pattern;
    }
}

TEST(FileFilter, WithoutEntriesOffersAllFilesInItsOldSpelling) {
    const FileFilter empty;
    ASSERT_EQ(empty.Entries().size(), 1u);
    EXPECT_EQ(empty.Entries()[0].first, "All Files(*.*)");
    static const char kExpected[] = "All Files(*.*)\0*.*\0";
    EXPECT_EQ(empty.DialogString(), std::string(kExpected, sizeof kExpected));
}

TEST(FileFilter, ListsPatternsInOrderThenAllFiles) {
    const FileFilter filter({"*.swf", "*.unknown"}, true);
    // An unknown pattern describes itself: an empty text would end the list.
    static const char kExpected[] =
        "Flash Animation (*.swf)\0*.swf\0*.unknown\0*.unknown\0All Files (*.*)\0*.*\0";
    const std::string expected(kExpected, sizeof kExpected);
    EXPECT_EQ(filter.DialogString(), expected);
    EXPECT_EQ(filter.Entries().size(), 3u);
}

TEST(FileFilter, AZeroInsideADescriptionCannotEndTheListEarly) {
    FileFilter filter;
    filter.Add(std::string("Odd\0Name", 8), "*.odd");
    static const char kExpected[] = "Odd\0*.odd\0";
    EXPECT_EQ(filter.DialogString(), std::string(kExpected, sizeof kExpected));
}

TEST(MenuItemText, JoinsModifiersBeforeTheKey) {
    const struct {
        MenuShortcut shortcut;
        const char* expected;
    } cases[] = {
        {{}, "Save"},
        {{true, false, false, "S"}, "Save\tCtrl+S"},
        {{true, false, true, "S"}, "Save\tCtrl+Shift+S"},
        {{true, true, true, "F6"}, "Save\tCtrl+Alt+Shift+F6"},
        {{false, true, false, "Backspace"}, "Save\tAlt+Backspace"},
    };
    for (const auto& c : cases) EXPECT_EQ(MenuItemText("Save", c.shortcut), c.expected);
}

TEST(MainWindowTitle, ShowsTheFullPathOrTheFileName) {
    EXPECT_EQ(MainWindowTitle("", true), "Kestrel: Untitled");
    EXPECT_EQ(MainWindowTitle("", false), "Kestrel: Untitled");
    EXPECT_EQ(MainWindowTitle("C:\\work\\show.kstl", true), "Kestrel: C:\\work\\show.kstl");
    EXPECT_EQ(MainWindowTitle("C:\\work\\show.kstl", false), "Kestrel: show.kstl");
    EXPECT_EQ(MainWindowTitle("/tmp/a b/show.kstl", false), "Kestrel: show.kstl");
    EXPECT_EQ(MainWindowTitle("show.kstl", false), "Kestrel: show.kstl");
}

TEST(VersionLine, PrintsTheMinorWithThreeDigits) {
    EXPECT_EQ(VersionLine(1, 1), "Version 1.001");
    EXPECT_EQ(VersionLine(2, 120), "Version 2.120");
}

TEST(ResizeRule, NeverLaysOutSmallerThanTheInitialSize) {
    const struct {
        int width, height;
        LayoutDeltas expected;
    } cases[] = {
        {500, 400, {0, 0}},   {600, 450, {100, 50}}, {300, 200, {0, 0}},
        {650, 300, {150, 0}}, {400, 500, {0, 100}},
    };
    for (const auto& c : cases) {
        const LayoutDeltas deltas = GrowthBeyond(500, 400, c.width, c.height);
        EXPECT_EQ(deltas.width, c.expected.width) << c.width << "x" << c.height;
        EXPECT_EQ(deltas.height, c.expected.height) << c.width << "x" << c.height;
    }
}

TEST(ResizeRule, PlacesComeFromTheInitialRectangleSoTheyNeverDrift) {
    const LayoutRect tabs{4, 30, 504, 380};
    const LayoutRect status{4, 385, 504, 400};
    LayoutRect grown{};
    LayoutRect moved{};
    for (int step = 0; step < 10; ++step) {
        const LayoutDeltas deltas = GrowthBeyond(508, 404, 508 + step * 7, 404 + step * 3);
        grown = Grown(tabs, deltas);
        moved = MovedDown(status, deltas);
    }
    EXPECT_EQ(grown.left, 4);
    EXPECT_EQ(grown.top, 30);
    EXPECT_EQ(grown.right, 504 + 63);
    EXPECT_EQ(grown.bottom, 380 + 27);
    EXPECT_EQ(moved.left, 4);
    EXPECT_EQ(moved.right, 504);
    EXPECT_EQ(moved.top, 385 + 27);
    EXPECT_EQ(moved.bottom, 400 + 27);
}

TEST(FormatText, GrowsPastAFixedBufferAndKeepsUserTextLiteral) {
    const std::string longName(1000, 'x');
    const std::string text = FormatText("The item \"%s\" in %s already exists. Replace it?",
                                        longName.c_str(), "C:\\out");
    EXPECT_EQ(text, "The item \"" + longName + "\" in C:\\out already exists. Replace it?");
    // A per-cent sign in user text is an argument, never a format.
    EXPECT_EQ(FormatText("%s", "100%s %d"), "100%s %d");
    EXPECT_EQ(FormatText("Unable to create the temp folder: %d", 5),
              "Unable to create the temp folder: 5");
}

}  // namespace
}  // namespace kestrel
