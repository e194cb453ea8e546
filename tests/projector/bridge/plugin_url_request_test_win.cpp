// The plug-in's notifying URL requests, answered by the host with a fake
// plug-in on the other side: javascript: at once, files from the unpack
// folder and http(s) through the URL fetcher (against a loopback server), all
// completed from the main loop after the request call has returned.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "projector/api/api_object.h"
#include "projector/app/host_surface_win.h"
#include "projector/app/main_loop_win.h"
#include "projector/app/plugin_instance_win.h"
#include "projector/app/plugin_stream_win.h"
#include "projector/app/plugin_url_request_win.h"
#include "projector/bridge/script_bridge.h"
#include "projector/bridge/url_loader.h"
#include "tests/projector/api/fake_windows.h"
#include "tests/support/loopback_http_server.h"

namespace kestrel::projector {
namespace {

// What the fake plug-in saw, in order.
std::vector<std::string> g_events;
std::string g_received;
bool g_refuseStreams = false;

NPError NP_TABLE_CALL FakeNewStream(NPP, NPMIMEType type, NPStream* stream, NPBool,
                                    uint16_t* streamType) {
    g_events.push_back(std::string("new ") + type + " " + stream->url);
    *streamType = NP_NORMAL;
    return g_refuseStreams ? NPERR_GENERIC_ERROR : NPERR_NO_ERROR;
}
int32_t NP_TABLE_CALL FakeWriteReady(NPP, NPStream*) {
    return 300000;
}
int32_t NP_TABLE_CALL FakeWrite(NPP, NPStream* stream, int32_t offset, int32_t length,
                                void* buffer) {
    if (offset != static_cast<int32_t>(g_received.size())) g_events.push_back("bad offset");
    g_received.append(static_cast<const char*>(buffer), static_cast<size_t>(length));
    return length;
}
void NP_TABLE_CALL FakeUrlNotify(NPP, const char* url, NPReason reason, void*) {
    g_events.push_back(std::string("notify ") + url + " " + std::to_string(reason));
}
NPError NP_TABLE_CALL FakeDestroyStream(NPP, NPStream*, NPReason reason) {
    g_events.push_back("destroy " + std::to_string(reason));
    return NPERR_NO_ERROR;
}

NPPluginFuncs FakePluginFunctions() {
    NPPluginFuncs functions{};
    functions.size = sizeof functions;
    functions.newstream = FakeNewStream;
    functions.writeready = FakeWriteReady;
    functions.write = FakeWrite;
    functions.urlnotify = FakeUrlNotify;
    functions.destroystream = FakeDestroyStream;
    return functions;
}

// The window side: the real API object with the real URL loader.
class TestHost : public ScriptHost {
  public:
    explicit TestHost(const std::string& unpackFolder)
        : loader_(unpackFolder, MakeSystemHttpFetch()), api_(windows_, movie_, loader_) {}
    std::optional<std::string> CallHost(std::string_view name, const std::string_view* arguments,
                                        std::size_t count) override {
        return api_.HostCall(name, arguments, count);
    }
    std::string MovieLocation() const override { return "empty"; }

  private:
    test::FakeRegistry windows_;
    test::FakeMovie movie_;
    HostUrlLoader loader_;
    ApiObject api_;
};

void WriteFile(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

class PluginUrlRequestTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_events.clear();
        g_received.clear();
        g_refuseStreams = false;
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        unpackFolder =
            std::string(temp) + "kestrel_url_request_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(unpackFolder.c_str(), nullptr);
        CreateDirectoryA((unpackFolder + "\\data").c_str(), nullptr);
        WriteFile(unpackFolder + "\\data\\a.xml", "<a>1</a>");
        window.reset(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr));
        surface = std::make_unique<OpaqueSurface>(window.get(), 10, 10);
        instance = std::make_unique<PluginInstance>(functions, *surface);
        host = std::make_unique<TestHost>(unpackFolder);
        instance->setScriptHost(host.get());
        SetMainThread();
    }
    void TearDown() override {
        instance.reset();
        surface.reset();
        window.reset();
        DeleteFileA((unpackFolder + "\\data\\a.xml").c_str());
        RemoveDirectoryA((unpackFolder + "\\data").c_str());
        RemoveDirectoryA(unpackFolder.c_str());
    }
    // Runs the main loop until the posted completions have run.
    void RunPendingCompletions() {
        QuitMainLoop();
        RunMainLoop();
    }

    NPPluginFuncs functions = FakePluginFunctions();
    std::string unpackFolder;
    OwnedWindow window;
    std::unique_ptr<HostSurface> surface;
    std::unique_ptr<PluginInstance> instance;
    std::unique_ptr<TestHost> host;
    int notifyData = 0;
};

TEST_F(PluginUrlRequestTest, JavascriptAddressesAnswerTheUniqueNameAtOnce) {
    ASSERT_EQ(StartUrlRequest(instance->npp(), "javascript:x()", nullptr, 0, &notifyData),
              NPERR_NO_ERROR);
    char expected[64];
    std::snprintf(expected, sizeof expected, "file://%llX__flashplugin_unique__",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(instance.get())));
    EXPECT_EQ(g_received, expected);
    EXPECT_EQ(g_events, (std::vector<std::string>{"new text/hxml javascript:x()",
                                                  "notify javascript:x() 0", "destroy 0"}));
}

TEST_F(PluginUrlRequestTest, RelativeFilesComeFromTheUnpackFolderAfterTheCallReturns) {
    for (const char* url : {"data/a.xml", "data\\a.xml"}) {
        g_events.clear();
        g_received.clear();
        StartUrlRequest(instance->npp(), url, nullptr, 0, &notifyData);
        EXPECT_EQ(g_events.size(), 1u);  // only the stream so far
        RunPendingCompletions();
        EXPECT_EQ(g_received, "<a>1</a>") << url;
        EXPECT_EQ(g_events,
                  (std::vector<std::string>{std::string("new text/hxml ") + url,
                                            std::string("notify ") + url + " 0", "destroy 0"}));
    }
}

TEST_F(PluginUrlRequestTest, MissingFilesAndRefusedStreamsCompleteWithANetworkError) {
    StartUrlRequest(instance->npp(), "data/missing.xml", nullptr, 0, &notifyData);
    RunPendingCompletions();
    EXPECT_EQ(g_events, (std::vector<std::string>{"new text/hxml data/missing.xml",
                                                  "notify data/missing.xml 1", "destroy 0"}));
    g_events.clear();
    g_refuseStreams = true;
    StartUrlRequest(instance->npp(), "data/a.xml", nullptr, 0, &notifyData);
    RunPendingCompletions();
    EXPECT_EQ(g_events,
              (std::vector<std::string>{"new text/hxml data/a.xml", "notify data/a.xml 1"}));
    EXPECT_TRUE(g_received.empty());
}

TEST_F(PluginUrlRequestTest, HttpGetAndPostGoThroughTheFetcher) {
    test::LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    std::string big(1024000 + 4321, 'k');
    big[777777] = 'x';
    server.SetResponse("/big", big);
    server.SetResponse("/form", "thanks");

    StartUrlRequest(instance->npp(), server.Url("/big").c_str(), nullptr, 0, &notifyData);
    RunPendingCompletions();
    EXPECT_TRUE(g_received == big) << g_received.size();

    g_received.clear();
    const std::string post =
        "Content-Type: application/x-www-form-urlencoded\r\nX-Test: yes\r\n\r\na=1&b=2";
    StartUrlRequest(instance->npp(), server.Url("/form").c_str(), post.data(),
                    static_cast<uint32_t>(post.size()), &notifyData);
    RunPendingCompletions();
    EXPECT_EQ(g_received, "thanks");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_EQ(requests[1].body, "a=1&b=2");
    EXPECT_EQ(requests[1].headers["x-test"], "yes");
    EXPECT_EQ(requests[1].headers["content-type"], "application/x-www-form-urlencoded");
}

TEST_F(PluginUrlRequestTest, NothingIsCalledForAnInstanceThatEndedBeforeCompletion) {
    StartUrlRequest(instance->npp(), "data/a.xml", nullptr, 0, &notifyData);
    StartUrlRequest(instance->npp(), "data/missing.xml", nullptr, 0, &notifyData);
    EXPECT_EQ(PluginStream::LiveCount(), 2);
    instance.reset();
    RunPendingCompletions();
    EXPECT_EQ(g_events, (std::vector<std::string>{"new text/hxml data/a.xml",
                                                  "new text/hxml data/missing.xml"}));
    EXPECT_EQ(PluginStream::LiveCount(), 0) << "the requests' streams must be freed all the same";
}

TEST_F(PluginUrlRequestTest, EveryCompletedRequestFreesItsStream) {
    g_refuseStreams = true;
    StartUrlRequest(instance->npp(), "data/a.xml", nullptr, 0, &notifyData);
    g_refuseStreams = false;
    StartUrlRequest(instance->npp(), "data/a.xml", nullptr, 0, &notifyData);
    StartUrlRequest(instance->npp(), "data/missing.xml", nullptr, 0, &notifyData);
    StartUrlRequest(instance->npp(), "javascript:x()", nullptr, 0, &notifyData);
    RunPendingCompletions();
    EXPECT_EQ(PluginStream::LiveCount(), 0);
}

TEST_F(PluginUrlRequestTest, ForeignInstancesAreRefused) {
    NPP_t stranger{};
    EXPECT_EQ(StartUrlRequest(&stranger, "data/a.xml", nullptr, 0, nullptr),
              NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_TRUE(g_events.empty());
}

}  // namespace
}  // namespace kestrel::projector
