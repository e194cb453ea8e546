#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "builder/change_counter.h"
#include "builder/project.h"
#include "builder/ui/combo_lists.h"
#include "builder/ui/page_texts.h"
#include "builder/ui/window_fields.h"
#include "common/payload_writer.h"
#include "tests/builder/builder_test_support.h"

namespace kestrel {
namespace {

using test::TestFolder;

std::vector<int> Strings(PageCombo combo) {
    ComboItems items = ItemsOf(combo);
    return std::vector<int>(items.strings, items.strings + items.count);
}

TEST(PageComboTest, ListsShowTheirItemsInModelValueOrder) {
    EXPECT_EQ(Strings(PageCombo::WindowType), (std::vector<int>{184, 185, 186}));
    EXPECT_EQ(Strings(PageCombo::WindowStyle), (std::vector<int>{184, 202, 203, 204}));
    EXPECT_EQ(Strings(PageCombo::WindowSize), (std::vector<int>{187, 188, 189}));
    EXPECT_EQ(Strings(PageCombo::WindowPosition), (std::vector<int>{190, 191}));
    // "Send to Flash" (194) is value 1, before "Ignore" (193).
    EXPECT_EQ(Strings(PageCombo::LeftMouse), (std::vector<int>{192, 194, 193}));
    EXPECT_EQ(Strings(PageCombo::RightMouse), (std::vector<int>{192, 194, 193, 201}));
    EXPECT_EQ(Strings(PageCombo::FlashQuality), (std::vector<int>{195, 196, 197, 198, 199, 200}));
    EXPECT_EQ(Strings(PageCombo::FlashScale), (std::vector<int>{217, 218, 219}));
}

TEST(PageComboTest, EveryIndexSetsItsValueAndReadsBack) {
    const PageCombo combos[] = {PageCombo::WindowType,   PageCombo::WindowStyle,
                                PageCombo::WindowSize,   PageCombo::WindowPosition,
                                PageCombo::LeftMouse,    PageCombo::RightMouse,
                                PageCombo::FlashQuality, PageCombo::FlashScale};
    for (PageCombo combo : combos) {
        WindowData window;
        for (int index = 0; index < static_cast<int>(ItemsOf(combo).count); ++index) {
            EXPECT_TRUE(ApplyComboIndex(combo, index, window));
            EXPECT_EQ(ComboIndexFor(combo, window.Settings()), index);
        }
        ChangeCounter::Reset();
        EXPECT_FALSE(ApplyComboIndex(combo, -1, window));
        EXPECT_FALSE(ApplyComboIndex(combo, static_cast<int>(ItemsOf(combo).count), window));
        EXPECT_EQ(ChangeCounter::Read(), 0);
    }
}

TEST(PageComboTest, MouseListsMapToTheActions) {
    WindowData window;
    ApplyComboIndex(PageCombo::LeftMouse, 1, window);
    EXPECT_EQ(window.Settings().leftMouseAction, MouseAction::Flash);
    ApplyComboIndex(PageCombo::LeftMouse, 2, window);
    EXPECT_EQ(window.Settings().leftMouseAction, MouseAction::Ignore);
    ApplyComboIndex(PageCombo::RightMouse, 3, window);
    EXPECT_EQ(window.Settings().rightMouseAction, MouseAction::CustomMenu);
}

TEST(PageComboTest, ValueTheListDoesNotHoldSelectsNothing) {
    WindowData window;
    // A project file may give the left button the custom menu, which its list lacks.
    window.SetLeftMouseAction(MouseAction::CustomMenu);
    EXPECT_EQ(ComboIndexFor(PageCombo::LeftMouse, window.Settings()), -1);
    window.SetFlashQuality(static_cast<FlashQuality>(9));
    EXPECT_EQ(ComboIndexFor(PageCombo::FlashQuality, window.Settings()), -1);
}

TEST(PageComboTest, ChoosingTheSelectedItemCountsNoChange) {
    WindowData window;
    ChangeCounter::Reset();
    ApplyComboIndex(PageCombo::WindowType, 0, window);
    EXPECT_EQ(ChangeCounter::Read(true), 0);
    ApplyComboIndex(PageCombo::WindowType, 1, window);
    EXPECT_EQ(ChangeCounter::Read(true), 1);
}

TEST(NumberTextTest, ParsesDecimalsAndGivesZeroOtherwise) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"640", 640},
        {"  -20 ", -20},
        {"+7", 7},
        {"007", 7},
        {"", 0},
        {"-", 0},
        {"abc", 0},
        {"12px", 0},
        {"1 2", 0},
        {"0x10", 0},
        {"2147483647", 2147483647},
        {"2147483648", std::numeric_limits<int32_t>::max()},
        {"99999999999999999999999", std::numeric_limits<int32_t>::max()},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"-2147483649", std::numeric_limits<int32_t>::min()},
        {"-99999999999999999999999", std::numeric_limits<int32_t>::min()},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseNumberText(c.text), c.value) << c.text;
}

TEST(WindowFieldsTest, SizeBoxesShowAndSetPercentagesInScreenPercentMode) {
    WindowData window;
    window.SetWindowSize(SizeMode::Custom);
    window.SetWindowWidth(640);
    window.SetWindowWidthPercent(50);
    window.SetWindowHeightPercent(75);
    EXPECT_EQ(ShownNumber(window.Settings(), WindowNumber::Width), 640);

    window.SetWindowSize(SizeMode::ScreenPercent);
    EXPECT_EQ(ShownNumber(window.Settings(), WindowNumber::Width), 50);
    EXPECT_EQ(ShownNumber(window.Settings(), WindowNumber::Height), 75);
    SetShownNumber(window, WindowNumber::Width, 80);
    SetShownNumber(window, WindowNumber::Height, 90);
    EXPECT_EQ(window.Settings().windowWidthPercent, 80);
    EXPECT_EQ(window.Settings().windowHeightPercent, 90);
    EXPECT_EQ(window.Settings().windowWidth, 640);  // pixels untouched

    window.SetWindowSize(SizeMode::Custom);
    SetShownNumber(window, WindowNumber::Height, 300);
    SetShownNumber(window, WindowNumber::X, -5);
    SetShownNumber(window, WindowNumber::Y, 7);
    EXPECT_EQ(window.Settings().windowHeight, 300);
    EXPECT_EQ(window.Settings().windowHeightPercent, 90);
    EXPECT_EQ(ShownNumber(window.Settings(), WindowNumber::X), -5);
    EXPECT_EQ(ShownNumber(window.Settings(), WindowNumber::Y), 7);
}

TEST(WindowFieldsTest, EveryFlagSetsItsOwnField) {
    const WindowFlag flags[] = {WindowFlag::HasMinimize,     WindowFlag::HasMaximize,
                                WindowFlag::HasClose,        WindowFlag::IsResizable,
                                WindowFlag::IsVisible,       WindowFlag::HasMenu,
                                WindowFlag::Fullscreen,      WindowFlag::ExitOnEscape,
                                WindowFlag::UseFlashBgcolor, WindowFlag::FlashShowMenu};
    for (WindowFlag flag : flags) {
        WindowData window;
        bool before = FlagOf(window.Settings(), flag);
        SetFlag(window, flag, !before);
        EXPECT_EQ(FlagOf(window.Settings(), flag), !before);
        // Every other flag kept its default.
        WindowData fresh;
        int differing = 0;
        for (WindowFlag other : flags)
            differing += FlagOf(window.Settings(), other) != FlagOf(fresh.Settings(), other);
        EXPECT_EQ(differing, 1);
    }
}

TEST(WindowPageStateTest, TypeStyleSizeAndPositionDecideWhatShows) {
    struct Case {
        WindowType type;
        WindowStyle style;
        SizeMode size;
        PositionMode position;
        WindowPageState expected;
    } cases[] = {
        {WindowType::Standard,
         WindowStyle::Normal,
         SizeMode::Custom,
         PositionMode::Custom,
         {false, true, true, true, false, true}},
        {WindowType::Mask,
         WindowStyle::Modal,
         SizeMode::SwfSize,
         PositionMode::Center,
         {true, false, false, false, false, false}},
        {WindowType::Transparent,
         WindowStyle::Tool,
         SizeMode::ScreenPercent,
         PositionMode::Custom,
         {false, false, true, true, true, true}},
        {WindowType::Standard,
         WindowStyle::NoBorder,
         SizeMode::SwfSize,
         PositionMode::Custom,
         {false, true, true, false, false, true}},
    };
    for (const Case& c : cases) {
        WindowSettings settings;
        settings.windowType = c.type;
        settings.windowStyle = c.style;
        settings.windowSize = c.size;
        settings.windowPosition = c.position;
        WindowPageState state = WindowPageStateFor(settings);
        SCOPED_TRACE(static_cast<int>(c.type) * 100 + static_cast<int>(c.style) * 10 +
                     static_cast<int>(c.size));
        EXPECT_EQ(state.maskShown, c.expected.maskShown);
        EXPECT_EQ(state.windowButtonsShown, c.expected.windowButtonsShown);
        EXPECT_EQ(state.captionButtonsEnabled, c.expected.captionButtonsEnabled);
        EXPECT_EQ(state.sizeBoxesEnabled, c.expected.sizeBoxesEnabled);
        EXPECT_EQ(state.percentLabelsShown, c.expected.percentLabelsShown);
        EXPECT_EQ(state.positionBoxesShown, c.expected.positionBoxesShown);
    }
}

TEST(PageTextsTest, MovieFactsOfAReadableMovie) {
    TestFolder folder;
    std::string path = test::WriteMovie(folder, "intro.swf", 0, 11000, 0, 8000, true);
    std::optional<MovieFacts> facts = MovieFactsOf(path);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->path, path);
    EXPECT_EQ(facts->width, "550");
    EXPECT_EQ(facts->height, "400");
    EXPECT_EQ(facts->version, "8");
    EXPECT_EQ(facts->frameRate, "24.0 fps");
}

TEST(PageTextsTest, NoFactsWithoutAReadableMovie) {
    TestFolder folder;
    std::string junk = folder / "junk.swf";
    test::WriteBytes(junk, test::BytesOf("not a movie at all"));
    EXPECT_FALSE(MovieFactsOf(""));
    EXPECT_FALSE(MovieFactsOf(folder / "missing.swf"));
    EXPECT_FALSE(MovieFactsOf(junk));
    EXPECT_FALSE(MovieFactsOf(folder.path()));
}

TEST(PageTextsTest, WindowRowsListMainWindowThenSubWindowsWithMovieNames) {
    TestFolder folder;
    Project project;
    ASSERT_TRUE(
        project.MainWindow().SetMovie(test::WriteMovie(folder, "main.swf", 0, 2000, 0, 2000)));
    WindowData* sub = project.MainWindow().AddSubWindow();
    sub->SetWindowName("SubWindow");
    std::vector<WindowRow> rows = WindowRows(project);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "MainWindow");
    EXPECT_EQ(rows[0].movie, "main.swf");
    EXPECT_EQ(rows[1].name, "SubWindow");
    EXPECT_EQ(rows[1].movie, "");
}

TEST(PageTextsTest, ExtraFilesAreAddedSortedAndShownByName) {
    TestFolder folder;
    test::WriteBytes(folder / "b.txt", test::BytesOf("b"));
    WindowData window;
    AddExtraFilesSorted(window, {folder / "c.txt", folder / "a.txt", folder / "b.txt"});
    ASSERT_EQ(window.ExtraFiles().size(), 3u);
    EXPECT_EQ(window.ExtraFiles()[0], folder / "a.txt");
    EXPECT_EQ(window.ExtraFiles()[2], folder / "c.txt");

    ExtraFileRow file = ExtraFileRowOf(folder / "b.txt");
    EXPECT_EQ(file.name, "b.txt");
    EXPECT_STREQ(file.type, "File");
    ExtraFileRow dir = ExtraFileRowOf(folder.path());
    EXPECT_EQ(dir.name, PathLastComponent(folder.path()));
    EXPECT_STREQ(dir.type, "Folder");
    EXPECT_EQ(ExtraFileRowOf("C:\\data\\art\\").name, "art");
}

TEST(PageTextsTest, OutputTextsAndTheWindowsNameBox) {
    TestFolder folder;
    EXPECT_EQ(OutputFolderText(folder.path()), folder.path());
    EXPECT_FALSE(OutputFolderText(folder / "gone"));
    EXPECT_FALSE(OutputFolderText(""));
    EXPECT_EQ(ChosenFileText("C:\\icons\\app.ico"), "app.ico");
    EXPECT_FALSE(ChosenFileText(""));

    ProjectSettings settings;
    settings.outputWin = true;
    settings.outputDefaultFilenames = true;
    EXPECT_FALSE(WindowsFileNameEditable(settings));
    settings.outputDefaultFilenames = false;
    EXPECT_TRUE(WindowsFileNameEditable(settings));
    settings.outputWin = false;
    EXPECT_FALSE(WindowsFileNameEditable(settings));
}

}  // namespace
}  // namespace kestrel
