// Network, Clipboard, Application, AppleScript and DLL.
#include <gtest/gtest.h>

#include "common/net/base64.h"
#include "projector/api/applescript_family.h"
#include "projector/api/application_family.h"
#include "projector/api/clipboard_family.h"
#include "projector/api/dll_family.h"
#include "projector/api/network_family.h"

namespace kestrel {
namespace {

std::string Answer(ApiFamily& family, std::string_view method,
                   std::vector<std::string_view> args = {}) {
    return family.Call(method, ApiArguments(args.data(), args.size())).value_or("(none)");
}

class FakeNetwork : public NetworkServices {
  public:
    bool online = true, opens = true;
    int tests = 0;
    std::vector<std::string> opened;
    bool IsOnline() override { return ++tests, online; }
    bool OpenAddress(const std::string& address) override {
        opened.push_back(address);
        return opens;
    }
};

TEST(NetworkFamilyTest, ConnectionAndOpenUrlAnswerWhatHappened) {
    FakeNetwork network;
    NetworkFamily family(network);
    EXPECT_EQ(Answer(family, "checkConnection"), "<true/>");
    network.online = false;
    EXPECT_EQ(Answer(family, "checkConnection"), "<false/>");
    const std::string address = Base64Encode("http://example.org/a?b=c");
    EXPECT_EQ(Answer(family, "HTTP.openURL", {address}), "<true/>");
    network.opens = false;
    EXPECT_EQ(Answer(family, "HTTP.openURL", {address}), "<false/>");
    EXPECT_EQ(Answer(family, "HTTP.openURL", {""}), "<false/>");
    EXPECT_EQ(network.opened.size(), 2u);
    EXPECT_EQ(network.opened[0], "http://example.org/a?b=c");
    for (const char* none : {"FTP.checkConnection", "FTP.open", "HTTP.get", "HTTP.", "check"})
        EXPECT_EQ(Answer(family, none, {address}), "(none)") << none;
    EXPECT_EQ(network.tests, 2);
}

class FakeClipboard : public ClipboardServices {
  public:
    std::optional<std::string> text;
    int reads = 0;
    bool SetText(const std::string& value) override {
        text = value;
        return true;
    }
    std::optional<std::string> Text() override { return ++reads, text; }
};

TEST(ClipboardFamilyTest, CopyStringAndClearLeaveTextAndNothingIsAnswered) {
    FakeClipboard clipboard;
    ClipboardFamily family(clipboard);
    EXPECT_EQ(Answer(family, "copyString", {Base64Encode("abc")}), "(none)");
    EXPECT_EQ(clipboard.text, "abc");
    EXPECT_EQ(Answer(family, "paste"), "(none)");
    EXPECT_EQ(clipboard.reads, 1);
    EXPECT_EQ(Answer(family, "copy"), "(none)");
    EXPECT_EQ(Answer(family, "cut"), "(none)");
    EXPECT_EQ(clipboard.text, "abc");
    EXPECT_EQ(Answer(family, "clear"), "(none)");
    EXPECT_EQ(clipboard.text, "");  // the empty text, not an empty clipboard
}

class FakeApplication : public ApplicationServices {
  public:
    std::string path = "C:\\Apps\\Show\\movie.exe";
    int quits = 0;
    std::string ProgramPath() override { return path; }
    void Quit() override { ++quits; }
};

TEST(ApplicationFamilyTest, FolderPathAndQuit) {
    FakeApplication application;
    ApplicationFamily family(application);
    EXPECT_EQ(Answer(family, "getFolder"),
              "<string>" + Base64Encode("C:\\Apps\\Show") + "</string>");
    EXPECT_EQ(Answer(family, "getFullPath"),
              "<string>" + Base64Encode("C:\\Apps\\Show\\movie.exe") + "</string>");
    for (const std::string& method : ApplicationFamily::MethodNames()) {
        if (method == "getFolder" || method == "getFullPath") continue;
        EXPECT_EQ(Answer(family, method, {"true"}), "(none)") << method;
    }
    EXPECT_EQ(application.quits, 1);
}

TEST(AppleScriptAndDllTest, FixedAnswers) {
    AppleScriptFamily script;
    EXPECT_EQ(Answer(script, "runScript", {"x"}), "<false/>");
    EXPECT_EQ(Answer(script, "runFile"), "<false/>");
    EXPECT_EQ(Answer(script, "compile"), "(none)");
    DllFamily dll;
    EXPECT_EQ(Answer(dll, "open", {Base64Encode("user32.dll")}), "<number>0</number>");
    EXPECT_EQ(Answer(dll, "call", {"1", "MessageBoxA", "integer", "0"}), "<false/>");
    EXPECT_EQ(Answer(dll, "call"), "<false/>");
    EXPECT_EQ(Answer(dll, "close", {"1"}), "(none)");
    EXPECT_EQ(Answer(dll, "addParam", {"1"}), "(none)");
}

}  // namespace
}  // namespace kestrel
