// Every window kind and style opened from a payload by the real projector,
// checked as the system sees it: style bits, owner, sizes, place, the mask
// region, the modal dialog's own loop and full screen at start.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/projector_payload.h"
#include "tests/player/shell/movie_script_text.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/support/ui_test_support.h"
#include "tools/swfwriter/description.h"

namespace kestrel::skylet_test {
namespace {

using uitest::TestProcess;

constexpr DWORD kWindowTimeoutMs = 60000;
constexpr int kScreenWidth = 1024;  // the Xvfb screen the tests run on
constexpr int kScreenHeight = 768;
// Added by the system whatever the program asks for.
constexpr DWORD kSystemStyleBits = WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kSystemExStyleBits = WS_EX_WINDOWEDGE;

std::vector<uint8_t> RegionData(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<uint8_t> bytes(size);
    if (size == 0 || GetRegionData(region, size, reinterpret_cast<RGNDATA*>(bytes.data())) != size)
        bytes.clear();
    return bytes;
}

// A 100 x 100 square with a 50 x 50 hole in the middle, as the builder would
// store a ring-shaped mask.
std::vector<uint8_t> RingRegionFile() {
    kestrel::Region outer(CreateRectRgn(0, 0, 100, 100));
    kestrel::Region hole(CreateRectRgn(25, 25, 75, 75));
    CombineRgn(outer.get(), outer.get(), hole.get(), RGN_DIFF);
    return RegionData(outer.get());
}

struct KindCase {
    const char* title;  // also how the test finds the window
    WindowType type;
    WindowStyle style;
    WindowSizeMode sizeMode;
    WindowPositionMode positionMode;
    int x, y, width, height;
    bool boxesAndFrame;  // maximise and minimise boxes and a sizing border
    DWORD style_;        // expected, without the bits the system adds
    DWORD exStyle;       // expected, likewise
    bool hasMenu;
    int outerWidth, outerHeight;  // expected; 0: not checked
    int clientWidth, clientHeight;
};

using WT = WindowType;
using WS = WindowStyle;
using SM = WindowSizeMode;
using PM = WindowPositionMode;

// The first is the main window; the others are its additional windows, all
// shown at start. Screen percent windows are 50% by 50%.
const KindCase kKinds[] = {
    {"Normal", WT::Standard, WS::Normal, SM::Custom, PM::Custom, 10, 20, 300, 200, true, 0x00CF0000,
     0, true, 0, 0, 300, 200},
    {"Tool", WT::Standard, WS::Tool, SM::Custom, PM::Custom, 400, 20, 200, 100, false, 0x00C80000,
     WS_EX_TOOLWINDOW, true, 0, 0, 200, 100},
    {"NoBorder", WT::Standard, WS::NoBorder, SM::SwfSize, PM::Custom, 650, 20, 150, 120, false,
     0x80000000, 0, true, 0, 0, 150, 120},
    {"Centred", WT::Standard, WS::Normal, SM::Custom, PM::Center, 0, 0, 241, 161, false, 0x00C80000,
     0, true, 0, 0, 241, 161},
    {"Percent", WT::Standard, WS::Normal, SM::ScreenPercent, PM::Custom, 20, 300, 100, 100, false,
     0x00C80000, 0, true, 512, 384, 0, 0},
    {"Mask", WT::Mask, WS::Normal, SM::Custom, PM::Custom, 600, 300, 200, 150, true, 0x80000000, 0,
     false, 200, 150, 200, 150},
    {"Unshaped", WT::Mask, WS::Tool, SM::Custom, PM::Custom, 850, 600, 120, 90, false, 0x80000000,
     0, false, 120, 90, 120, 90},
    {"Transparent", WT::Transparent, WS::Normal, SM::Custom, PM::Custom, 300, 600, 100, 100, true,
     0x80080000, WS_EX_LAYERED, false, 100, 100, 100, 100},
};

WindowDefinition DefinitionFor(const KindCase& kind, const std::string& moviePath) {
    WindowDefinition definition;
    definition.moviePath = moviePath;
    definition.name = kind.title;
    definition.title = kind.title;
    definition.type = kind.type;
    definition.style = kind.style;
    definition.sizeMode = kind.sizeMode;
    definition.positionMode = kind.positionMode;
    definition.x = kind.x;
    definition.y = kind.y;
    definition.width = kind.width;
    definition.height = kind.height;
    definition.widthPercent = 50;
    definition.heightPercent = 50;
    definition.hasMaximize = definition.hasMinimize = definition.resizable = kind.boxesAndFrame;
    definition.visible = true;
    definition.exitOnEscape = false;
    return definition;
}

// A projector made of `payload` (window 0 gets `movie`), run in its own folder.
class RunningProjector {
  public:
    RunningProjector(ProjectorPayload payload, const std::vector<uint8_t>& movie) {
        payload.windows.resize(std::max<size_t>(payload.windows.size(), 1));
        payload.windows[0].moviePath = folder.writeFile("movie.swf", movie);
        program_ = folder.copyStub("kinds.exe");
        tracePath = JoinPath(folder.work(), "trace.txt");
        const std::string temp = folder.temp() + "\\";
        started_ = WriteProjectorPayload(program_, payload) == PayloadWriteError::None &&
                   process.start({program_,
                                  folder.work(),
                                  {{"TMP", temp}, {"TEMP", temp}, {"NPFP_TRACE_FILE", tracePath}}});
    }
    ~RunningProjector() {
        for (HWND window : uitest::FindTopLevelWindows(process.id(), "LK_KestrelSKWindow", nullptr))
            uitest::CloseWindowPolitely(window);
        uint32_t code = 0;
        if (!process.waitForExit(30000, &code)) process.kill();
    }
    bool started() const { return started_; }
    HWND waitFor(const char* className, const char* title) const {
        return uitest::WaitForTopLevelWindow(process.id(), className, title, kWindowTimeoutMs);
    }
    std::string trace() const {
        const std::vector<uint8_t> bytes = ReadWholeFile(tracePath);
        return std::string(bytes.begin(), bytes.end());
    }

    ProjectorFolder folder;
    TestProcess process;
    std::string tracePath;

  private:
    std::string program_;
    bool started_ = false;
};

TEST(SkyletWindowKinds, EveryKindAndStyleAsTheSystemSeesIt) {
    ProjectorPayload payload;
    payload.mainWindow = DefinitionFor(kKinds[0], "movie.swf");
    for (size_t i = 1; i < std::size(kKinds); ++i)
        payload.mainWindow.additionalWindows.push_back(DefinitionFor(kKinds[i], "movie.swf"));
    payload.windows.resize(std::size(kKinds));
    const std::vector<uint8_t> ring = RingRegionFile();
    ASSERT_FALSE(ring.empty());
    payload.mainWindow.additionalWindows[4].maskPath = "ring.rgn";
    payload.windows[5].maskName = "ring.rgn";
    payload.windows[5].maskRegion = ring;
    payload.mainWindow.additionalWindows[5].maskPath = "missing.rgn";  // no such item

    RunningProjector projector(payload, BackgroundMovie(200, 150, 0xCC, 0x33, 0x33));
    ASSERT_TRUE(projector.started());
    HWND main = projector.waitFor("LK_KestrelSKWindow", kKinds[0].title);
    ASSERT_NE(main, nullptr);

    for (const KindCase& kind : kKinds) {
        SCOPED_TRACE(kind.title);
        HWND window = projector.waitFor("LK_KestrelSKWindow", kind.title);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(uitest::WaitUntil([&] { return uitest::IsWindowShown(window); }, 10000));
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
        EXPECT_EQ(style & ~kSystemStyleBits, kind.style_) << std::hex << style;
        EXPECT_EQ(exStyle & ~kSystemExStyleBits, kind.exStyle) << std::hex << exStyle;
        EXPECT_EQ(GetMenu(window) != nullptr, kind.hasMenu);
        EXPECT_EQ(GetWindow(window, GW_OWNER), window == main ? nullptr : main);

        const RECT outer = uitest::WindowRectangle(window);
        const RECT client = uitest::ClientRectangle(window);
        const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
        if (kind.outerWidth) {
            EXPECT_EQ(outerWidth, kind.outerWidth);
            EXPECT_EQ(outerHeight, kind.outerHeight);
        }
        if (kind.clientWidth) {
            EXPECT_EQ(client.right, kind.clientWidth);
            EXPECT_EQ(client.bottom, kind.clientHeight);
        }
        if (kind.positionMode == PM::Center) {
            EXPECT_EQ(outer.left, kScreenWidth / 2 - outerWidth / 2);
            EXPECT_EQ(outer.top, kScreenHeight / 2 - outerHeight / 2);
        } else {
            EXPECT_EQ(outer.left, kind.x);
            EXPECT_EQ(outer.top, kind.y);
        }
    }

    // The ring, stretched from 100 x 100 to the window's 200 x 150.
    HWND mask = projector.waitFor("LK_KestrelSKWindow", "Mask");
    kestrel::Region shown(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(mask, shown.get()), ERROR);
    const XFORM stretch{2.0f, 0, 0, 1.5f, 0, 0};
    kestrel::Region expected(ExtCreateRegion(&stretch, static_cast<DWORD>(ring.size()),
                                             reinterpret_cast<const RGNDATA*>(ring.data())));
    EXPECT_TRUE(EqualRgn(shown.get(), expected.get()));
    RECT box{};
    GetRgnBox(shown.get(), &box);
    EXPECT_EQ(box.right, 200);
    EXPECT_EQ(box.bottom, 150);
    EXPECT_EQ(RegionData(shown.get()).size(), RegionData(expected.get()).size());

    // Without its region file: unshaped.
    HWND unshaped = projector.waitFor("LK_KestrelSKWindow", "Unshaped");
    kestrel::Region none(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(unshaped, none.get()), ERROR);

    Sleep(1500);  // let the movies paint
    EXPECT_TRUE(uitest::SaveScreenshot(ScreenshotPath("window_kinds.bmp")));
}

// The dialog's movie (window 1) is a plain colour; the main movie opens it and
// traces the answer, which comes only once the dialog has ended.
class SkyletModalOpener : public testing::Test {
  protected:
    void SetUp() override {
        ProjectorPayload payload;
        payload.mainWindow = DefinitionFor(kKinds[0], "movie.swf");
        payload.mainWindow.name = "main";
        WindowDefinition dialog = DefinitionFor(kKinds[0], "dialog.swf");
        dialog.name = "dialog";
        dialog.title = "Dialog";
        dialog.style = WS::Modal;
        dialog.visible = false;
        dialog.width = 220;
        dialog.height = 130;
        dialog.x = 60;
        dialog.y = 90;
        dialog.hasMaximize = dialog.hasMinimize = dialog.resizable = false;
        payload.mainWindow.additionalWindows.push_back(dialog);
        payload.windows.resize(2);
        payload.windows[1].moviePath =
            movies.writeFile("dialog.swf", BackgroundMovie(220, 130, 0x22, 0x88, 0x22));

        const std::string opener = shell_test::CallOut("r", "Window.open", {"\"dialog\""}) +
                                   "push \"opened:\"\npush \"r\"\ngetVariable\nadd2\ntrace\n";
        std::string error;
        // Half a second in, so the owner is on the screen by then; stopped
        // first, so the timeline does not come round to open it again.
        auto movie = swf::CompileDescription(
            shell_test::MovieWithFrameOne(
                "", "showframe 5\naction\nstop\n" + opener + "end\nshowframe\n"),
            error);
        ASSERT_TRUE(movie) << error;

        projector = std::make_unique<RunningProjector>(payload, *movie);
        ASSERT_TRUE(projector->started());
        main = projector->waitFor("LK_KestrelSKWindow", "Normal");
        ASSERT_NE(main, nullptr);
        box = projector->waitFor("#32770", "Dialog");
        ASSERT_NE(box, nullptr) << "no modal window";
        ASSERT_TRUE(uitest::WaitUntil([&] { return uitest::IsWindowShown(box); }, 10000));
    }

    ProjectorFolder movies;
    std::unique_ptr<RunningProjector> projector;
    HWND main = nullptr;
    HWND box = nullptr;
};

TEST_F(SkyletModalOpener, DialogRunsItsOwnLoopInsideTheOpenCall) {
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(box, GWL_STYLE));
    // The dialog manager adds the 3-D look to every dialog.
    EXPECT_EQ(style & ~(kSystemStyleBits | DS_3DLOOK), 0x00C80002u) << std::hex << style;
    EXPECT_EQ(GetWindow(box, GW_OWNER), main);
    EXPECT_EQ(GetMenu(box), nullptr);
    const RECT client = uitest::ClientRectangle(box), outer = uitest::WindowRectangle(box);
    EXPECT_EQ(client.right, 220);
    EXPECT_EQ(client.bottom, 130);
    EXPECT_EQ(outer.left, 60);
    EXPECT_EQ(outer.top, 90);
    // The dialog's loop holds the opener: no answer yet, and the owner is disabled.
    Sleep(1500);
    EXPECT_EQ(projector->trace().find("opened:"), std::string::npos) << projector->trace();
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_TRUE(uitest::SaveScreenshot(ScreenshotPath("modal_window.bmp")));

    uitest::CloseWindowPolitely(box);
    EXPECT_TRUE(uitest::WaitUntil(
        [&] { return projector->trace().find("opened:true") != std::string::npos; }, 15000))
        << projector->trace();
    EXPECT_FALSE(IsWindow(box));
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(projector->process.isRunning());
}

// The opener's movie is still inside its call when its window goes.
TEST_F(SkyletModalOpener, ClosingTheOpenerMeanwhileEndsTheProgramCleanly) {
    uitest::CloseWindowPolitely(main);
    uint32_t code = 1;
    ASSERT_TRUE(projector->process.waitForExit(15000, &code)) << "still running";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(projector->folder.unpackFolders().empty());
}

struct ModalMainCase {
    const char* name;
    WindowType type;
    DWORD style;       // expected, without the bits the system adds
    bool pressEscape;  // else closed
};

class SkyletModalMain : public testing::TestWithParam<ModalMainCase> {};

// A modal main window runs its dialog during start-up; its end ends the program.
TEST_P(SkyletModalMain, EndsTheProgramWhenItEnds) {
    const ModalMainCase& c = GetParam();
    ProjectorPayload payload;
    payload.mainWindow = DefinitionFor(kKinds[0], "movie.swf");
    payload.mainWindow.type = c.type;
    payload.mainWindow.style = WS::Modal;
    payload.mainWindow.width = 203;  // odd sizes: dialog units would round them
    payload.mainWindow.height = 117;
    payload.mainWindow.exitOnEscape = true;
    RunningProjector projector(payload, BackgroundMovie(203, 117, 0x33, 0x99, 0x99));
    ASSERT_TRUE(projector.started());
    HWND box = projector.waitFor("#32770", "Normal");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(uitest::WaitUntil([&] { return uitest::IsWindowShown(box); }, 10000));
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(box, GWL_STYLE));
    EXPECT_EQ(style & ~(kSystemStyleBits | DS_3DLOOK), c.style) << std::hex << style;
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    const RECT client = uitest::ClientRectangle(box);
    EXPECT_EQ(client.right, 203);
    EXPECT_EQ(client.bottom, 117);

    if (c.pressEscape) {
        SetForegroundWindow(box);
        uitest::WaitUntil([&] { return GetForegroundWindow() == box; }, 5000);
        keybd_event(VK_ESCAPE, 0, 0, 0);
        keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    } else {
        uitest::CloseWindowPolitely(box);
    }
    uint32_t code = 1;
    ASSERT_TRUE(projector.process.waitForExit(15000, &code))
        << "the program outlived its modal main window";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(projector.folder.unpackFolders().empty());
}

const ModalMainCase kModalMainCases[] = {
    {"closed", WT::Standard, 0x00CF0002, false},
    {"escape", WT::Standard, 0x00CF0002, true},
    {"transparent_closed", WT::Transparent, 0x80080000, false},
};
INSTANTIATE_TEST_SUITE_P(Cases, SkyletModalMain, testing::ValuesIn(kModalMainCases),
                         [](const testing::TestParamInfo<ModalMainCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(SkyletWindowKinds, FullScreenFromTheStart) {
    ProjectorPayload payload;
    payload.mainWindow = DefinitionFor(kKinds[0], "movie.swf");
    payload.mainWindow.fullScreen = true;
    RunningProjector projector(payload, BackgroundMovie(300, 200, 0x33, 0x33, 0xCC));
    ASSERT_TRUE(projector.started());
    HWND main = projector.waitFor("LK_KestrelSKWindow", "Normal");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(uitest::WaitUntil([&] { return uitest::IsWindowShown(main); }, 10000));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(main, GWL_STYLE)) & ~WS_CLIPSIBLINGS,
              0x10080000u);
    EXPECT_TRUE(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    const RECT outer = uitest::WindowRectangle(main);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right, kScreenWidth);
    EXPECT_EQ(outer.bottom, kScreenHeight);
}

}  // namespace
}  // namespace kestrel::skylet_test
