#include "projector/api/system_family.h"

#include <gtest/gtest.h>

#include "common/net/base64.h"
#include "projector/api/system_values.h"
#include "tests/projector/api/fake_system.h"

namespace kestrel {
namespace {

class SystemFamilyTest : public ::testing::Test {
  protected:
    std::string Answer(std::string_view method, std::vector<std::string_view> args = {}) {
        return family.Call(method, ApiArguments(args.data(), args.size())).value_or("(none)");
    }
    test::FakeSystem system;
    SystemFamily family{system};
};

TEST_F(SystemFamilyTest, FixedAnswersAndMethodsWithoutEffect) {
    const std::pair<const char*, const char*> cases[] = {
        {"isWindows", "<true/>"},
        {"isMacintosh", "<false/>"},
        {"isLinux", "<false/>"},
        {"setScreenDepth", "<false/>"},
        {"getOutputSoundBalance", "(none)"},
        {"setOutputSoundBalance", "(none)"},
        {"nothing", "(none)"},
        {"getscreenwidth", "(none)"},
        {"getScreenWidth ", "(none)"},
    };
    for (const auto& [method, answer] : cases) EXPECT_EQ(Answer(method, {"8"}), answer) << method;
}

TEST_F(SystemFamilyTest, ScreenAndCdTray) {
    EXPECT_EQ(Answer("getScreenSize"),
              "<object><property id='w'><number>1024</number></property>"
              "<property id='h'><number>768</number></property></object>");
    EXPECT_EQ(Answer("getScreenWidth"), "<number>1024</number>");
    EXPECT_EQ(Answer("getScreenHeight"), "<number>768</number>");
    EXPECT_EQ(Answer("getScreenDepth"), "<number>32</number>");
    EXPECT_EQ(Answer("openCDTray"), "<true/>");
    system.commandsSucceed = false;
    EXPECT_EQ(Answer("closeCDTray"), "<false/>");
    EXPECT_EQ(system.commands,
              (std::vector<std::string>{"set cdaudio door open", "set cdaudio door closed"}));
}

TEST_F(SystemFamilyTest, MemoryIsReadInFullAndKilobytesAreKilobytes) {
    EXPECT_EQ(Answer("getRAMSizeMBytes"), "<number>512</number>");
    EXPECT_EQ(Answer("getRAMSizeGBytes"), "<number>0.50</number>");
    EXPECT_EQ(Answer("getRAMSizeKBytes"), "<number>524288</number>");
    EXPECT_EQ(Answer("getRAMSizeBytes"), "<number>536870912</number>");
    // 24 GiB does not fit 32 bits: every figure still answers the whole size.
    system.memory = 24ull << 30;
    EXPECT_EQ(Answer("getRAMSizeBytes"), "<number>25769803776</number>");
    EXPECT_EQ(Answer("getRAMSizeKBytes"), "<number>25165824</number>");
    EXPECT_EQ(Answer("getRAMSizeMBytes"), "<number>24576</number>");
    EXPECT_EQ(Answer("getRAMSizeGBytes"), "<number>24.00</number>");
}

TEST_F(SystemFamilyTest, VolumeSetThenGetAnswersTheSamePercentage) {
    for (int percent = 0; percent <= 100; ++percent) {
        const std::string text = std::to_string(percent);
        ASSERT_EQ(Answer("setOutputSoundVolume", {text}), "<true/>");
        ASSERT_EQ(Answer("getOutputSoundVolume"), "<number>" + text + "</number>") << percent;
    }
    EXPECT_EQ(VolumeControlValue(100), 65535u);
    EXPECT_EQ(VolumeControlValue(50), 32768u);
    EXPECT_EQ(VolumeControlValue(0), 0u);
}

TEST_F(SystemFamilyTest, VolumeOutsideTheRangeIsClamped) {
    Answer("setOutputSoundVolume", {"250"});
    Answer("setOutputSoundVolume", {"-7"});
    EXPECT_EQ(system.volumeSets, (std::vector<std::uint32_t>{65535, 0}));
    system.volume = std::nullopt;  // no mixer
    EXPECT_EQ(Answer("setOutputSoundVolume", {"20"}), "<false/>");
    EXPECT_EQ(Answer("getOutputSoundVolume"), "<number>0</number>");
}

TEST(OsNameTest, EveryKnownVersionHasItsName) {
    using P = OsPlatform;
    struct Case {
        OsVersion version;
        const char* name;
    } cases[] = {
        {{P::Win32s, 3, 10, 0, false, ""}, "Microsoft Win32s"},
        {{P::Windows9x, 4, 0, 950, false, ""}, "Microsoft Windows 95"},
        {{P::Windows9x, 4, 10, 2222, false, " A "}, "Microsoft Windows 98SE"},
        {{P::Windows9x, 4, 10, 1998, false, ""}, "Microsoft Windows 98"},
        {{P::Windows9x, 4, 90, 3000, false, ""}, "Microsoft Windows Millennium Edition"},
        {{P::Windows9x, 5, 0, 0, false, ""}, ""},
        {{P::WindowsNT, 3, 51, 1057, false, ""}, "Microsoft Windows NT"},
        {{P::WindowsNT, 4, 0, 1381, false, ""}, "Microsoft Windows NT"},
        {{P::WindowsNT, 5, 0, 2195, false, ""}, "Microsoft Windows 2000"},
        {{P::WindowsNT, 5, 1, 2600, false, ""}, "Microsoft Windows XP"},
        {{P::WindowsNT, 5, 2, 3790, true, ""}, "Microsoft Windows Server 2003"},
        {{P::WindowsNT, 6, 0, 6002, false, ""}, "Microsoft Windows Vista"},
        {{P::WindowsNT, 6, 0, 6002, true, ""}, "Microsoft Windows Server 2008"},
        {{P::WindowsNT, 6, 1, 7601, false, ""}, "Microsoft Windows 7"},
        {{P::WindowsNT, 6, 2, 9200, false, ""}, "Microsoft Windows 8"},
        {{P::WindowsNT, 6, 3, 9600, false, ""}, "Microsoft Windows 8.1"},
        {{P::WindowsNT, 10, 0, 19045, false, ""}, "Microsoft Windows 10"},
        {{P::WindowsNT, 10, 0, 21999, false, ""}, "Microsoft Windows 10"},
        {{P::WindowsNT, 10, 0, 22000, false, ""}, "Microsoft Windows 11"},
        {{P::WindowsNT, 10, 0, 26100, false, ""}, "Microsoft Windows 11"},
        {{P::WindowsNT, 12, 0, 0, false, ""}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OsName(c.version), c.name) << c.version.major << "." << c.version.minor;
    EXPECT_EQ(OsName(std::nullopt), "Unknown");
}

TEST_F(SystemFamilyTest, VersionNumberAndNameFromTheTrueVersion) {
    system.version = OsVersion{OsPlatform::WindowsNT, 6, 0, 6000, false, ""};
    EXPECT_EQ(Answer("getOSVersionNumber"), "<number>393216</number>");
    system.version = OsVersion{OsPlatform::WindowsNT, 10, 0, 22631, false, ""};
    EXPECT_EQ(Answer("getOSVersionNumber"), "<number>655360</number>");
    EXPECT_EQ(Answer("getOSVersionString"),
              "<string>" + Base64Encode("Microsoft Windows 11") + "</string>");
    system.version = std::nullopt;
    EXPECT_EQ(Answer("getOSVersionNumber"), "<number>0</number>");
    EXPECT_EQ(Answer("getOSVersionString"), "<string>" + Base64Encode("Unknown") + "</string>");
}

TEST_F(SystemFamilyTest, ProcessorAndNames) {
    EXPECT_EQ(Answer("getCPUSpeedMhz"), "<number>2394</number>");
    EXPECT_EQ(Answer("getCPUSpeedGhz"), "<number>2.39</number>");
    system.mhz = std::nullopt;
    EXPECT_EQ(Answer("getCPUSpeedMhz"), "<number>0</number>");
    EXPECT_EQ(Answer("getUserName"), "<string>" + Base64Encode("ann") + "</string>");
    EXPECT_EQ(Answer("getComputerName"), "<string>" + Base64Encode("DESK") + "</string>");
    system.user.clear();
    EXPECT_EQ(Answer("getUserName"), "<string></string>");
}

TEST_F(SystemFamilyTest, SessionRequestsGoThroughTheInterfaceAndAnswerNothing) {
    EXPECT_EQ(Answer("restart"), "(none)");
    EXPECT_EQ(Answer("shutdown"), "(none)");
    EXPECT_EQ(Answer("logOff"), "(none)");
    EXPECT_EQ(Answer("sleep"), "(none)");
    EXPECT_EQ(system.powerRequests,
              (std::vector<PowerRequest>{PowerRequest::Restart, PowerRequest::Shutdown,
                                         PowerRequest::LogOff, PowerRequest::Sleep}));
    // Forced exits force only programs that hang (EWX_FORCEIFHUNG, 0x10).
    EXPECT_EQ(ExitFlagsFor(PowerRequest::Restart), 0x12u);
    EXPECT_EQ(ExitFlagsFor(PowerRequest::Shutdown), 0x11u);
    EXPECT_EQ(ExitFlagsFor(PowerRequest::LogOff), 0x10u);
}

TEST_F(SystemFamilyTest, LaunchSucceedsOnlyAboveThirtyTwo) {
    const std::string relative = Base64Encode("tools\\helper.exe");
    system.shellResult = 33;
    EXPECT_EQ(Answer("launchApplication", {relative}), "<true/>");
    system.shellResult = 32;
    EXPECT_EQ(Answer("launchDocument", {Base64Encode("D:\\readme.txt")}), "<false/>");
    system.shellResult = 2;  // file not found
    EXPECT_EQ(Answer("launchApplication", {relative}), "<false/>");
    EXPECT_EQ(Answer("launchApplication", {""}), "<false/>");
    EXPECT_EQ(system.opened,
              (std::vector<std::string>{"C:\\Apps\\Show\\tools\\helper.exe", "D:\\readme.txt",
                                        "C:\\Apps\\Show\\tools\\helper.exe"}));
}

TEST_F(SystemFamilyTest, DriveSpaceInEveryUnitAndNullMeansTheCurrentDrive) {
    system.spaces["D:\\"] = {5ull << 30, 1536ull << 20};
    system.spaces[""] = {2048, 1024};
    const std::string d = Base64Encode("D:\\");
    const std::pair<const char*, const char*> cases[] = {
        {"getTotalSpaceBytes", "<number>5368709120</number>"},
        {"getTotalSpaceKBytes", "<number>5242880</number>"},
        {"getTotalSpaceMBytes", "<number>5120.00</number>"},
        {"getTotalSpaceGBytes", "<number>5.00</number>"},
        {"getFreeSpaceBytes", "<number>1610612736</number>"},
        {"getFreeSpaceKBytes", "<number>1572864</number>"},
        {"getFreeSpaceMBytes", "<number>1536.00</number>"},
        {"getFreeSpaceGBytes", "<number>1.50</number>"},
    };
    for (const auto& [method, answer] : cases) EXPECT_EQ(Answer(method, {d}), answer) << method;
    EXPECT_EQ(Answer("getTotalSpaceKBytes", {Base64Encode("null")}), "<number>2</number>");
    EXPECT_EQ(Answer("getFreeSpaceBytes", {}), "<number>1024</number>");
    EXPECT_EQ(system.spaceQueries.back(), "");
    EXPECT_EQ(Answer("getFreeSpaceGBytes", {Base64Encode("Q:\\")}), "<number>0.00</number>");
}

TEST_F(SystemFamilyTest, VolumesAndLabels) {
    EXPECT_EQ(Answer("getNumberOfVolumes"), "<number>3</number>");
    EXPECT_EQ(Answer("getVolumes"),
              "<array><property id='0'><number>0</number></property>"
              "<property id='1'><number>2</number></property>"
              "<property id='2'><number>3</number></property></array>");
    system.drives = 0xFFFFFFFFu;
    EXPECT_EQ(Answer("getNumberOfVolumes"), "<number>32</number>");

    system.labels["C:\\"] = "SYSTEM";
    system.labels["Z:\\"] = "";
    EXPECT_EQ(Answer("getVolumeName", {"2"}), "<string>" + Base64Encode("SYSTEM") + "</string>");
    EXPECT_EQ(Answer("getVolumeName", {"25"}), "<null/>");  // no label
    EXPECT_EQ(Answer("getVolumeName", {"3"}), "<null/>");   // query failed
    // Outside A to Z there is no drive to ask about.
    EXPECT_EQ(Answer("getVolumeName", {"26"}), "<null/>");
    EXPECT_EQ(Answer("getVolumeName", {"-1"}), "<null/>");
    EXPECT_EQ(system.labelQueries, (std::vector<std::string>{"C:\\", "Z:\\", "D:\\"}));
}

TEST_F(SystemFamilyTest, MethodNamesListTheTableInOrder) {
    std::vector<std::string> names = SystemFamily::MethodNames();
    ASSERT_EQ(names.size(), 41u);
    EXPECT_EQ(names.front(), "openCDTray");
    EXPECT_EQ(names.back(), "getVolumeName");
}

}  // namespace
}  // namespace kestrel
