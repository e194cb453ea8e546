// skylet.exe from start to end, run for real: failure boxes and exit codes,
// a good projector's window and picture, and a clean temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/payload_writer.h"
#include "common/projector_payload.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/support/ui_test_support.h"

namespace kestrel::skylet_test {
namespace {

using uitest::TestProcess;

// Wine starts slowly on a busy machine; these are upper bounds, not delays.
constexpr DWORD kWindowTimeoutMs = 60000;
constexpr DWORD kExitTimeoutMs = 30000;
constexpr uint32_t kFailureExitCode = 0xFFFFFFFF;  // -1

// Waits for a message box with this caption, checks its text, presses OK.
void ExpectMessageBox(const TestProcess& process, const char* caption, const std::string& text) {
    HWND box = uitest::WaitForMessageBox(process.id(), caption, kWindowTimeoutMs);
    ASSERT_NE(box, nullptr) << "no message box \"" << caption << "\"";
    EXPECT_EQ(uitest::MessageBoxText(box), text);
    EXPECT_EQ(uitest::ButtonTexts(box).size(), 1u);
    uitest::PressButton(box, IDOK);
    // The box must be gone before the next one is looked for.
    uitest::WaitUntil([&] { return !IsWindow(box); }, 10000);
}

void ExpectExitCode(TestProcess& process, uint32_t expected) {
    uint32_t code = 0;
    ASSERT_TRUE(process.waitForExit(kExitTimeoutMs, &code)) << "the program did not end";
    EXPECT_EQ(code, expected);
}

// The main window of the sample projector and what it carries.
ProjectorPayload GoodPayload(const std::string& moviePath, const std::string& title) {
    ProjectorPayload payload = ShownMainWindowPayload(title, 320, 240);
    PayloadWindowContent content;
    content.moviePath = moviePath;
    payload.windows.push_back(content);
    return payload;
}

TEST(SkyletStartup, BareStubReportsMissingPayloadAndLeavesNothing) {
    ProjectorFolder folder;
    const std::string program = folder.copyStub("bare.exe");
    TestProcess process;
    ASSERT_TRUE(folder.start(&process, program));
    ExpectMessageBox(process, "Error", "The program failed to initialize: 102");
    ExpectExitCode(process, kFailureExitCode);
    EXPECT_TRUE(folder.unpackFolders().empty());
}

TEST(SkyletStartup, DamagedSettingsShowTwoBoxes) {
    ProjectorFolder folder;
    const std::string program = folder.copyStub("damaged_settings.exe");
    {
        PayloadWriter writer(program);
        writer.writeStartMarker();
        writer.writeSettingsItem("this is <not an xml document");
        ASSERT_TRUE(writer.writeEndMark());
    }
    TestProcess process;
    ASSERT_TRUE(folder.start(&process, program));
    ExpectMessageBox(process, "error", "invalid settings: 1");
    ExpectMessageBox(process, "Error", "The program failed to initialize: 0");
    ExpectExitCode(process, kFailureExitCode);
    EXPECT_TRUE(folder.unpackFolders().empty());
}

BOOL CALLBACK NoteLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// Puts `bytes` in place of the plug-in library the stub carries.
bool ReplacePluginLibrary(const std::string& program, const std::vector<uint8_t>& bytes) {
    WORD language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    if (kestrel::LoadedModule stub{
            LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)})
        EnumResourceLanguagesA(stub.get(), "NPFP", MAKEINTRESOURCEA(130), NoteLanguage,
                               reinterpret_cast<LONG_PTR>(&language));
    HANDLE update = BeginUpdateResourceA(program.c_str(), FALSE);
    if (!update) return false;
    std::vector<uint8_t> copy = bytes;
    const bool replaced = UpdateResourceA(update, "NPFP", MAKEINTRESOURCEA(130), language,
                                          copy.data(), static_cast<DWORD>(copy.size()));
    return EndUpdateResourceA(update, !replaced) && replaced;
}

// The stand-in plug-in in place of the player; its instructions reach it
// through the environment the projector inherits.
class StandInPlugin {
  public:
    StandInPlugin(const std::string& logPath, const char* fault) {
        SetEnvironmentVariableA("KESTREL_STAND_IN_LOG", logPath.c_str());
        SetEnvironmentVariableA("KESTREL_STAND_IN_FAULT", fault);
    }
    ~StandInPlugin() {
        SetEnvironmentVariableA("KESTREL_STAND_IN_LOG", nullptr);
        SetEnvironmentVariableA("KESTREL_STAND_IN_FAULT", nullptr);
    }
    static std::vector<uint8_t> Library() {
        return ReadWholeFile(WindowsPath(STAND_IN_PLUGIN_DLL));
    }
};

std::vector<std::string> LogLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string line;
    for (uint8_t byte : ReadWholeFile(path)) {
        if (byte == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(byte);
        }
    }
    return lines;
}

struct PluginFault {
    const char* name;
    bool garbage;       // not a library at all; else the stand-in
    const char* fault;  // the stand-in's failing step
    const char* text;   // what the user sees
};

const PluginFault kPluginFaults[] = {
    {"not_a_library", true, nullptr, "Unable to load Flash player library"},
    {"function_table_refused", false, "entry points",
     "Unable to retrieve Flash player function table"},
    {"initialization_refused", false, "initialize", "Unable to initialize Flash player"},
};

class SkyletPluginFault : public testing::TestWithParam<PluginFault> {};

TEST_P(SkyletPluginFault, ShowsTheLoadersTextAndLeavesNothing) {
    const PluginFault& fault = GetParam();
    ProjectorFolder folder;
    const std::string movie = folder.writeFile("movie.swf", BackgroundMovie(320, 240, 10, 20, 30));
    const std::string program = folder.copyStub("broken_plugin.exe");
    const std::string garbage = "this is not a library";
    ASSERT_TRUE(ReplacePluginLibrary(
        program, fault.garbage ? std::vector<uint8_t>(garbage.begin(), garbage.end())
                               : StandInPlugin::Library()));
    ASSERT_EQ(WriteProjectorPayload(program, GoodPayload(movie, "Broken plug-in")),
              PayloadWriteError::None);

    StandInPlugin standIn(JoinPath(folder.work(), "plugin.log"), fault.fault);
    TestProcess process;
    ASSERT_TRUE(folder.start(&process, program));
    ExpectMessageBox(process, "Error", fault.text);
    ExpectExitCode(process, kFailureExitCode);
    EXPECT_TRUE(folder.unpackFolders().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SkyletPluginFault, testing::ValuesIn(kPluginFaults),
                         [](const testing::TestParamInfo<PluginFault>& info) {
                             return std::string(info.param.name);
                         });

// A projector in `folder` that carries the stand-in plug-in and plays a plain
// movie; its path, or empty when it could not be written.
std::string StandInProjector(ProjectorFolder& folder, const std::string& name,
                             const std::string& title) {
    const std::string movie = folder.writeFile("movie.swf", BackgroundMovie(320, 240, 10, 20, 30));
    const std::string program = folder.copyStub(name);
    if (!ReplacePluginLibrary(program, StandInPlugin::Library()) ||
        WriteProjectorPayload(program, GoodPayload(movie, title)) != PayloadWriteError::None)
        return std::string();
    return program;
}

// Waits until the stand-in plug-in logged the projector's call to
// apiInitFinished; `lines` gets what it logged.
bool WaitForApiInitFinished(const std::string& log, std::vector<std::string>& lines) {
    return uitest::WaitUntil(
        [&] {
            lines = LogLines(log);
            return std::find(lines.begin(), lines.end(), "invoke apiInitFinished") != lines.end();
        },
        kWindowTimeoutMs);
}

TEST(SkyletStartup, AnEntryThatThrowsFailsTheCallAndTheProjectorRunsOn) {
    ProjectorFolder folder;
    const std::string program = StandInProjector(folder, "throwing_entry.exe", "Throwing entry");
    ASSERT_FALSE(program.empty());

    const std::string log = JoinPath(folder.work(), "plugin.log");
    StandInPlugin standIn(log, "oversized request");
    TestProcess process;
    ASSERT_TRUE(folder.start(&process, program));
    HWND window = uitest::WaitForTopLevelWindow(process.id(), "LK_KestrelSKWindow", nullptr,
                                                kWindowTimeoutMs);
    ASSERT_NE(window, nullptr) << "the projector must get as far as its window";
    std::vector<std::string> lines;
    EXPECT_TRUE(WaitForApiInitFinished(log, lines));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "oversized request failed");
    EXPECT_TRUE(process.isRunning());
    uitest::CloseWindowPolitely(window);
    ExpectExitCode(process, 0);
}

TEST(SkyletStartup, RefusedMovieStreamIsStillFollowedByApiInitFinished) {
    ProjectorFolder folder;
    const std::string program = StandInProjector(folder, "refusing_plugin.exe", "Refused movie");
    ASSERT_FALSE(program.empty());

    const std::string log = JoinPath(folder.work(), "plugin.log");
    StandInPlugin standIn(log, nullptr);
    TestProcess process;
    ASSERT_TRUE(folder.start(&process, program));
    HWND window = uitest::WaitForTopLevelWindow(process.id(), "LK_KestrelSKWindow", nullptr,
                                                kWindowTimeoutMs);
    ASSERT_NE(window, nullptr) << "the window stays open without its movie";
    std::vector<std::string> lines;
    EXPECT_TRUE(WaitForApiInitFinished(log, lines));
    uitest::CloseWindowPolitely(window);
    ExpectExitCode(process, 0);

    lines = LogLines(log);
    ASSERT_GE(lines.size(), 4u) << testing::PrintToString(lines);
    EXPECT_EQ(lines[0], "new");
    EXPECT_EQ(lines[1], "refused stream application/x-shockwave-flash");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "invoke apiInitFinished"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "destroystream"), 0)
        << "a refused stream was never open";
    EXPECT_EQ(lines.back(), "destroy");
}

// Damage applied to the bytes of a good projector behind its stub.
struct Damage {
    const char* name;
    int expectedCode;
    // Edits `payload` (the bytes after the stub) in place.
    void (*apply)(std::vector<uint8_t>* payload);
};

void PutWord(std::vector<uint8_t>* bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

const Damage kDamages[] = {
    // Cutting the end mark short: no payload is recognised at all.
    {"last byte cut", 102, [](std::vector<uint8_t>* p) { p->pop_back(); }},
    {"end mark half cut", 102, [](std::vector<uint8_t>* p) { p->resize(p->size() - 2); }},
    {"cut in the middle", 102, [](std::vector<uint8_t>* p) { p->resize(p->size() / 2); }},
    {"cut after the start marker", 102, [](std::vector<uint8_t>* p) { p->resize(8); }},
    // The settings item is last: its trailer sits before the end mark, its
    // blob length before the trailer. A length beyond the file is damage.
    {"settings length beyond the file", 103,
     [](std::vector<uint8_t>* p) { PutWord(p, p->size() - 4 - 8 - 4, 0x7FFFFFF0); }},
    {"settings length just too long", 103,
     [](std::vector<uint8_t>* p) { PutWord(p, p->size() - 4 - 8 - 4, 0xFFFFFFFF); }},
    // An unknown item type ends the scan before any settings item was read.
    {"no settings before an unknown item", 4,
     [](std::vector<uint8_t>* p) {
         p->assign({0, 0, 0, 0, 99, 0, 0, 0, 0xFF, 0xEE, 0x4C, 0x4B});
     }},
};

class SkyletDamagedPayload : public testing::TestWithParam<Damage> {};

TEST_P(SkyletDamagedPayload, FailsWithItsCodeAndLeavesNothing) {
    const Damage& damage = GetParam();
    ProjectorFolder folder;
    const std::string movie = folder.writeFile("movie.swf", BackgroundMovie(320, 240, 10, 20, 30));
    const std::string program = folder.copyStub("damaged.exe");
    const size_t stubSize = ReadWholeFile(program).size();
    ASSERT_EQ(WriteProjectorPayload(program, GoodPayload(movie, "Damaged")),
              PayloadWriteError::None);

    std::vector<uint8_t> bytes = ReadWholeFile(program);
    std::vector<uint8_t> payload(bytes.begin() + static_cast<long>(stubSize), bytes.end());
    damage.apply(&payload);
    bytes.resize(stubSize);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    ASSERT_TRUE(WriteWholeFile(program, bytes));

    TestProcess process;
    ASSERT_TRUE(folder.start(&process, program));
    ExpectMessageBox(process, "Error",
                     "The program failed to initialize: " + std::to_string(damage.expectedCode));
    ExpectExitCode(process, kFailureExitCode);
    EXPECT_TRUE(folder.unpackFolders().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SkyletDamagedPayload, testing::ValuesIn(kDamages),
                         [](const testing::TestParamInfo<Damage>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// A good projector: window, title, picture, and a clean end.
struct GoodCase {
    const char* name;
    bool useFlashBackground;  // the window's own colour instead of the movie's
    uint32_t windowColor;     // Windows colour value
    COLORREF expectedPixel;
};

const GoodCase kGoodCases[] = {
    {"movie background", false, 0, RGB(0x33, 0x66, 0xCC)},
    {"window background overrides", true, RGB(0xFF, 0x80, 0x00), RGB(0xFF, 0x80, 0x00)},
};

class SkyletGoodProjector : public testing::TestWithParam<GoodCase> {};

TEST_P(SkyletGoodProjector, ShowsMovieAndCleansUpAfterClose) {
    const GoodCase& c = GetParam();
    ProjectorFolder folder;
    const std::string movie =
        folder.writeFile("movie.swf", BackgroundMovie(320, 240, 0x33, 0x66, 0xCC));
    const std::string program = folder.copyStub("good.exe");
    ProjectorPayload payload = GoodPayload(movie, "Kestrel \"Test\" & <Window>");
    payload.mainWindow.useBackgroundColor = c.useFlashBackground;
    payload.mainWindow.backgroundColor = c.windowColor;
    ASSERT_EQ(WriteProjectorPayload(program, payload), PayloadWriteError::None);

    TestProcess process;
    ASSERT_TRUE(folder.start(&process, program));
    HWND window = uitest::WaitForTopLevelWindow(process.id(), "LK_KestrelSKWindow", nullptr,
                                                kWindowTimeoutMs);
    ASSERT_NE(window, nullptr) << "no projector window";
    EXPECT_EQ(uitest::WindowText(window), "Kestrel \"Test\" & <Window>");
    EXPECT_TRUE(uitest::WaitUntil([&] { return uitest::IsWindowShown(window); }, 10000));

    // While it runs: one unpack folder holding the movie and the plug-in.
    const std::vector<std::string> unpacked = folder.unpackFolders();
    ASSERT_EQ(unpacked.size(), 1u);
    const std::string unpackFolder = JoinPath(folder.temp(), unpacked[0]);
    EXPECT_TRUE(PathExists(JoinPath(unpackFolder, "movie.swf")));
    EXPECT_TRUE(PathExists(JoinPath(unpackFolder, "npfp.dll")));
    EXPECT_FALSE(PathExists(JoinPath(unpackFolder, "sk.dat")))
        << "settings must be deleted once read";

    const RECT client = uitest::ClientRectangle(window);
    const int x = (client.right - client.left) / 2, y = (client.bottom - client.top) / 2;
    COLORREF pixel = CLR_INVALID;
    EXPECT_TRUE(uitest::WaitUntil(
        [&] { return (pixel = uitest::ReadClientPixel(window, x, y)) == c.expectedPixel; }, 10000))
        << std::hex << "pixel " << pixel << " expected " << c.expectedPixel;

    uitest::CloseWindowPolitely(window);
    ExpectExitCode(process, 0);
    EXPECT_TRUE(folder.unpackFolders().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SkyletGoodProjector, testing::ValuesIn(kGoodCases),
                         [](const testing::TestParamInfo<GoodCase>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace kestrel::skylet_test
