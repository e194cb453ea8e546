// npfp.dll through its NPAPI entry points, with a small browser of our own that
// records what the player asks of it: frame 1 inside the stream's completion, the
// call-out script text and every answer form, calls in through "__flash__request"
// and "var __flash_temp", nested calls, URL requests with notification, and the
// host's keep-alive tick.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/npapi/npapi_abi.h"
#include "common/win_handles.h"
#include "tests/player/shell/movie_script_text.h"
#include "tools/swfwriter/description.h"

namespace kestrel::shell_test {
namespace {

constexpr uintptr_t kRequestIdentifier = 0x0FEEBBCD;
constexpr char kCallPrefix[] = "try { __flash__toXML(";
// After the call itself: the closing parenthesis of __flash__toXML and the catch.
constexpr char kCallSuffix[] = ") ; } catch (e) { \"<undefined/>\"; }";
constexpr char kReturnPrefix[] = "var __flash_temp = \"";

struct UrlCall {
    std::string url;
    bool post;
    std::string buffer;
    void* notifyData;
};

// --- the fake browser --------------------------------------------------------------

struct FakeBrowser {
    std::vector<std::string> evaluated;                // every script, in order
    std::vector<std::string> reports;                  // arguments of Report.v(...)
    std::map<std::string, std::string> answers;        // call name -> XML answer
    std::vector<std::vector<std::string>> requests;    // __flash__request argument texts
    std::vector<std::vector<std::string>> fsCommands;  // _DoFSCommand argument texts
    std::vector<UrlCall> urlCalls;
    std::vector<std::string> plainUrls;
    int invalidations = 0;
    std::function<void()> duringEvaluate;  // runs inside the next evaluate (nesting)
    std::deque<std::string> names{"__unused__"};
    NPObject window{nullptr, 1};
};

FakeBrowser* g_fake = nullptr;

std::string VariantText(const NPVariant& v) {
    switch (v.type) {
        case NPVariantType_String:
            return std::string(v.value.stringValue.UTF8Characters, v.value.stringValue.UTF8Length);
        case NPVariantType_Int32:
            return std::to_string(v.value.intValue);
        case NPVariantType_Double:
            return std::to_string(v.value.doubleValue);
        case NPVariantType_Bool:
            return v.value.boolValue ? "true" : "false";
        case NPVariantType_Null:
            return "null";
        default:
            return "";
    }
}

void SetString(NPVariant* result, const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    result->type = NPVariantType_String;
    result->value.stringValue.UTF8Characters = copy;
    result->value.stringValue.UTF8Length = static_cast<uint32_t>(text.size());
}

NPIdentifier GetStringIdentifier(const NPUTF8* name) {
    if (std::strcmp(name, "__flash__request") == 0)
        return reinterpret_cast<NPIdentifier>(kRequestIdentifier);
    for (size_t i = 0; i < g_fake->names.size(); ++i)
        if (g_fake->names[i] == name) return reinterpret_cast<NPIdentifier>(i);
    g_fake->names.push_back(name);
    return reinterpret_cast<NPIdentifier>(g_fake->names.size() - 1);
}

NPUTF8* UTF8FromIdentifier(NPIdentifier id) {
    const uintptr_t index = reinterpret_cast<uintptr_t>(id);
    if (index == 0 || index >= g_fake->names.size()) return nullptr;
    return _strdup(g_fake->names[index].c_str());
}

NPObject* CreateObject(NPP npp, NPClass* aClass) {
    NPObject* object = aClass->allocate ? aClass->allocate(npp, aClass)
                                        : static_cast<NPObject*>(std::malloc(sizeof(NPObject)));
    object->_class = aClass;
    object->referenceCount = 1;
    return object;
}
NPObject* RetainObject(NPObject* o) {
    ++o->referenceCount;
    return o;
}
void ReleaseObject(NPObject* o) {
    if (--o->referenceCount == 0 && o != &g_fake->window) {
        if (o->_class && o->_class->deallocate)
            o->_class->deallocate(o);
        else
            std::free(o);
    }
}
void ReleaseVariantValue(NPVariant* v) {
    if (v->type == NPVariantType_String)
        std::free(const_cast<NPUTF8*>(v->value.stringValue.UTF8Characters));
    if (v->type == NPVariantType_Object) ReleaseObject(v->value.objectValue);
    v->type = NPVariantType_Void;
}

NPError GetValue(NPP, NPNVariable variable, void* value) {
    if (variable != NPNVWindowNPObject) return NPERR_GENERIC_ERROR;
    *static_cast<NPObject**>(value) = RetainObject(&g_fake->window);
    return NPERR_NO_ERROR;
}

bool Evaluate(NPP, NPObject*, NPString* script, NPVariant* result) {
    const std::string text(script->UTF8Characters, script->UTF8Length);
    g_fake->evaluated.push_back(text);
    if (g_fake->duringEvaluate) {
        auto nested = std::move(g_fake->duringEvaluate);
        g_fake->duringEvaluate = nullptr;
        nested();
    }
    if (text.rfind(kReturnPrefix, 0) == 0) {
        // The movie's returned string: undo the quoting of \" and \\ only (enough here).
        std::string out;
        for (size_t i = std::strlen(kReturnPrefix); i < text.size() && text[i] != '"'; ++i) {
            if (text[i] == '\\' && i + 1 < text.size()) ++i;
            out += text[i];
        }
        SetString(result, out);
        return true;
    }
    if (text.rfind(kCallPrefix, 0) != 0) return false;
    const std::string call = text.substr(std::strlen(kCallPrefix));
    const std::string name = call.substr(0, call.find('('));
    if (name == "Report.v") {
        const size_t open = call.find("(\"") + 2, close = call.rfind("\")");
        g_fake->reports.push_back(call.substr(open, close - open));
        SetString(result, "<null/>");
        return true;
    }
    auto answer = g_fake->answers.find(name);
    if (answer == g_fake->answers.end()) return false;
    SetString(result, answer->second);
    return true;
}

bool Invoke(NPP, NPObject*, NPIdentifier method, const NPVariant* args, uint32_t count,
            NPVariant* result) {
    const uintptr_t index = reinterpret_cast<uintptr_t>(method);
    if (index < g_fake->names.size() && g_fake->names[index] == "_DoFSCommand") {
        std::vector<std::string> texts;
        for (uint32_t i = 0; i < count; ++i) texts.push_back(VariantText(args[i]));
        g_fake->fsCommands.push_back(texts);
        result->type = NPVariantType_Void;
        return true;
    }
    if (index != kRequestIdentifier || count == 0) return false;
    std::vector<std::string> texts;
    std::string xml = "<invoke name=\"" + VariantText(args[0]) + "\" returntype=\"javascript\">";
    std::string forms;
    for (uint32_t i = 0; i < count; ++i) texts.push_back(VariantText(args[i]));
    for (uint32_t i = 1; i < count; ++i) {
        if (args[i].type == NPVariantType_String)
            forms += "<string>" + VariantText(args[i]) + "</string>";
        if (args[i].type == NPVariantType_Int32)
            forms += "<number>" + VariantText(args[i]) + "</number>";
    }
    if (!forms.empty()) xml += "<arguments>" + forms + "</arguments>";
    g_fake->requests.push_back(texts);
    SetString(result, xml + "</invoke>");
    return true;
}

NPError GetURLNotify(NPP, const char* url, const char*, void* notifyData) {
    g_fake->urlCalls.push_back({url, false, "", notifyData});
    return NPERR_NO_ERROR;
}
NPError PostURLNotify(NPP, const char* url, const char*, uint32_t length, const char* buffer,
                      NPBool, void* notifyData) {
    g_fake->urlCalls.push_back({url, true, std::string(buffer, length), notifyData});
    return NPERR_NO_ERROR;
}
NPError GetURL(NPP, const char* url, const char*) {
    g_fake->plainUrls.push_back(url);
    return NPERR_NO_ERROR;
}
void InvalidateRect(NPP, NPRect*) {
    ++g_fake->invalidations;
}
void* MemAlloc(uint32_t size) {
    return std::malloc(size);
}
void MemFree(void* p) {
    std::free(p);
}

NPNetscapeFuncs BrowserTable() {
    NPNetscapeFuncs table{};
    table.size = sizeof table;
    table.version = 14;
    table.geturl = GetURL;
    table.geturlnotify = GetURLNotify;
    table.posturlnotify = PostURLNotify;
    table.memalloc = MemAlloc;
    table.memfree = MemFree;
    table.getvalue = GetValue;
    table.invalidaterect = InvalidateRect;
    table.getstringidentifier = GetStringIdentifier;
    table.utf8fromidentifier = UTF8FromIdentifier;
    table.createobject = CreateObject;
    table.retainobject = RetainObject;
    table.releaseobject = ReleaseObject;
    table.invoke = Invoke;
    table.evaluate = Evaluate;
    table.releasevariantvalue = ReleaseVariantValue;
    return table;
}

// --- the plug-in under test ----------------------------------------------------------

class PlayerLibrary {
  public:
    PlayerLibrary() {
        // Built on the Unix side: "/a/b" is "Z:\\a\\b" to Wine.
        std::string path = NPFP_DLL;
        for (char& c : path)
            if (c == '/') c = '\\';
        if (!path.empty() && path[0] == '\\') path = "Z:" + path;
        module_.reset(LoadLibraryA(path.c_str()));
        if (!module_) return;
        auto getEntryPoints = reinterpret_cast<NP_GetEntryPointsFunc>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), "NP_GetEntryPoints")));
        auto initialize = reinterpret_cast<NP_InitializeFunc>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), "NP_Initialize")));
        shutdown_ = reinterpret_cast<NP_ShutdownFunc>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), "NP_Shutdown")));
        plugin_.size = sizeof plugin_;
        browser_ = BrowserTable();
        ready_ = getEntryPoints && initialize && getEntryPoints(&plugin_) == NPERR_NO_ERROR &&
                 initialize(&browser_) == NPERR_NO_ERROR;
    }
    ~PlayerLibrary() {
        if (shutdown_) shutdown_();
    }
    bool ready() const { return ready_; }
    const NPPluginFuncs& plugin() const { return plugin_; }

  private:
    kestrel::LoadedModule module_;
    NP_ShutdownFunc shutdown_ = nullptr;
    NPPluginFuncs plugin_{};
    NPNetscapeFuncs browser_{};
    bool ready_ = false;
};

class NpfpProtocol : public testing::Test {
  protected:
    void SetUp() override {
        g_fake = &fake_;
        library_ = std::make_unique<PlayerLibrary>();
        ASSERT_TRUE(library_->ready());
    }
    void TearDown() override {
        if (started_) plugin().destroy(&npp_, nullptr);
        library_.reset();
        g_fake = nullptr;
    }
    const NPPluginFuncs& plugin() { return library_->plugin(); }

    // NPP_New, NPP_SetWindow and the movie's stream, as a host does it.
    void Start(const std::string& description,
               std::vector<std::pair<const char*, const char*>> parameters = {}) {
        std::string error;
        std::optional<std::vector<uint8_t>> movie = swf::CompileDescription(description, error);
        ASSERT_TRUE(movie) << error;
        std::vector<char*> names, values;
        for (auto& p : parameters) {
            names.push_back(const_cast<char*>(p.first));
            values.push_back(const_cast<char*>(p.second));
        }
        char type[] = "application/x-shockwave-flash";
        ASSERT_EQ(plugin().newp(type, &npp_, NP_EMBED, static_cast<int16_t>(names.size()),
                                names.data(), values.data(), nullptr),
                  NPERR_NO_ERROR);
        started_ = true;
        window_.type = NPWindowTypeDrawable;
        window_.width = 200;
        window_.height = 100;
        ASSERT_EQ(plugin().setwindow(&npp_, &window_), NPERR_NO_ERROR);
        ASSERT_TRUE(Deliver("movie.swf", nullptr, *movie));
    }

    // One stream from NPP_NewStream to NPP_DestroyStream (and the notification).
    bool Deliver(const std::string& url, void* notifyData, const std::vector<uint8_t>& bytes,
                 bool notify = false) {
        NPStream stream{};
        stream.url = url.c_str();
        stream.end = static_cast<uint32_t>(bytes.size());
        stream.notifyData = notifyData;
        uint16_t type = NP_NORMAL;
        char mime[] = "text/hxml";
        if (plugin().newstream(&npp_, mime, &stream, false, &type) != NPERR_NO_ERROR) return false;
        size_t offset = 0;
        while (offset < bytes.size()) {
            const int32_t ready = plugin().writeready(&npp_, &stream);
            if (ready <= 0) return false;
            const int32_t count =
                static_cast<int32_t>(std::min<size_t>(ready, bytes.size() - offset));
            const int32_t taken =
                plugin().write(&npp_, &stream, static_cast<int32_t>(offset), count,
                               const_cast<uint8_t*>(bytes.data() + offset));
            if (taken <= 0) return false;
            offset += static_cast<size_t>(taken);
        }
        if (notify) plugin().urlnotify(&npp_, url.c_str(), NPRES_DONE, notifyData);
        return plugin().destroystream(&npp_, &stream, NPRES_DONE) == NPERR_NO_ERROR;
    }

    NPObject* Scriptable() {
        NPObject* object = nullptr;
        if (plugin().getvalue(&npp_, NPPVpluginScriptableNPObject, &object) != NPERR_NO_ERROR)
            return nullptr;
        return object;
    }

    // The host's way of calling the movie: the object's class invoke, directly.
    bool CallMovie(const char* name, std::vector<NPVariant> args, NPVariant* result) {
        NPObject* object = Scriptable();
        if (!object) return false;
        const bool ok = object->_class->invoke(object, GetStringIdentifier(name), args.data(),
                                               static_cast<uint32_t>(args.size()), result);
        ReleaseObject(object);
        return ok;
    }

    // Lets queued work (timers, deferred completions) run.
    void PumpMessages(DWORD forMs) {
        const DWORD start = GetTickCount();
        do {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            Sleep(5);
        } while (GetTickCount() - start < forMs);
    }

    FakeBrowser fake_;
    std::unique_ptr<PlayerLibrary> library_;
    NPP_t npp_{};
    NPWindow window_{};
    bool started_ = false;
};

NPVariant StringArg(const char* text) {
    NPVariant v;
    v.type = NPVariantType_String;
    v.value.stringValue.UTF8Characters = text;
    v.value.stringValue.UTF8Length = static_cast<uint32_t>(std::strlen(text));
    return v;
}

NPVariant IntArg(int32_t value) {
    NPVariant v;
    v.type = NPVariantType_Int32;
    v.value.intValue = value;
    return v;
}

std::string Report(const std::string& label, const std::string& variable) {
    return "push \"" + label + ":\"\n" + PushDescription(variable) + "add2\n" +
           ReportTop("Report.v");
}

TEST_F(NpfpProtocol, FrameOneRunsInsideTheStreamCompletionAndRegistersCallbacks) {
    Start(MovieWithFrameOne(CallOut("", "Probe.ready") +
                            AddCallback("ping", "", "push \"pong\"\nreturn\n")));
    // The call out happened inside NPP_DestroyStream, and the callback is there right after.
    ASSERT_EQ(fake_.evaluated.size(), 1u);
    EXPECT_EQ(fake_.evaluated[0], std::string(kCallPrefix) + "Probe.ready()" + kCallSuffix);
    NPVariant result;
    ASSERT_TRUE(CallMovie("ping", {}, &result));
    ASSERT_EQ(result.type, NPVariantType_String);
    EXPECT_EQ(VariantText(result), "pong");
    ReleaseVariantValue(&result);
}

TEST_F(NpfpProtocol, CallOutSendsArgumentsAsScriptLiterals) {
    Start(MovieWithFrameOne(CallOut("", "Window.center") +
                            CallOut("", "File.write", {"\"a\\\"b\"", "5", "true"}) +
                            CallOut("", "File.one", {"\"x\""})));
    ASSERT_EQ(fake_.evaluated.size(), 3u);
    EXPECT_EQ(fake_.evaluated[0], std::string(kCallPrefix) + "Window.center()" + kCallSuffix);
    EXPECT_EQ(fake_.evaluated[1],
              std::string(kCallPrefix) + "File.write(\"a\\\"b\",5,true)" + kCallSuffix);
    EXPECT_EQ(fake_.evaluated[2], std::string(kCallPrefix) + "File.one(\"x\")" + kCallSuffix);
}

TEST_F(NpfpProtocol, EveryAnswerFormBecomesTheMoviesValue) {
    struct Form {
        const char* name;
        const char* xml;
        const char* seen;
    };
    const Form forms[] = {
        {"null", "<null/>", "null|null|undefined|undefined"},
        {"true", "<true/>", "boolean|true|undefined|undefined"},
        {"false", "<false/>", "boolean|false|undefined|undefined"},
        {"number", "<number>42.5</number>", "number|42.5|undefined|undefined"},
        {"string", "<string>aGk=</string>", "string|aGk=|undefined|4"},
        {"object",
         "<object><property id='x'><number>10</number></property><property "
         "id='y'><number>20</number></property></object>",
         "object|[object Object]|10|undefined"},
        {"array",
         "<array><property id='0'><string>a</string></property><property "
         "id='1'><number>7</number></property></array>",
         "object|a,7|undefined|2"},
        {"none", nullptr, "undefined|undefined|undefined|undefined"},
    };
    std::string actions;
    for (const Form& form : forms) {
        if (form.xml) fake_.answers[std::string("Get.") + form.name] = form.xml;
        actions += CallOut("r", std::string("Get.") + form.name) + Report(form.name, "r");
    }
    Start(MovieWithFrameOne(actions));
    ASSERT_EQ(fake_.reports.size(), std::size(forms));
    for (size_t i = 0; i < std::size(forms); ++i)
        EXPECT_EQ(fake_.reports[i], std::string(forms[i].name) + ":" + forms[i].seen);
}

TEST_F(NpfpProtocol, CallsInGoThroughFlashRequestAndReturnStringsThroughFlashTemp) {
    const std::string joinArgs =
        "push \"a\"\ngetVariable\npush \"/\"\nadd2\npush \"b\"\ngetVariable\nadd2\nreturn\n";
    Start(MovieWithFrameOne(AddCallback("echo", "\"a\", \"b\"", joinArgs) +
                            AddCallback("num", "", "push 42\nreturn\n") +
                            AddCallback("nothing", "", "")));
    NPVariant result;
    ASSERT_TRUE(CallMovie("echo", {StringArg("x\"q"), IntArg(7)}, &result));
    ASSERT_EQ(fake_.requests.size(), 1u);
    EXPECT_EQ(fake_.requests[0], (std::vector<std::string>{"echo", "x\"q", "7"}));
    ASSERT_EQ(result.type, NPVariantType_String);
    EXPECT_EQ(VariantText(result), "x\"q/7");
    EXPECT_EQ(fake_.evaluated.back(), std::string(kReturnPrefix) + "x\\\"q/7\";");
    ReleaseVariantValue(&result);

    ASSERT_TRUE(CallMovie("num", {}, &result));
    ASSERT_EQ(result.type, NPVariantType_Double);
    EXPECT_EQ(result.value.doubleValue, 42.0);
    ASSERT_TRUE(CallMovie("nothing", {}, &result));
    EXPECT_EQ(result.type, NPVariantType_Void);
    EXPECT_FALSE(CallMovie("notRegistered", {}, &result));
}

TEST_F(NpfpProtocol, CallsNestBothWays) {
    // "init" calls out; while the page answers that call it calls "add" in the movie,
    // as the projector's onInit does from inside the movie's apiInitFinished handler.
    const std::string add =
        "push \"seen\"\npush \"seen\"\ngetVariable\npush \"a\"\ngetVariable\nadd2\nsetVariable\n";
    const std::string init = CallOut("", "Api.onInit") + "push \"seen\"\ngetVariable\nreturn\n";
    Start(MovieWithFrameOne("push \"seen\", \"\"\nsetVariable\n" +
                            AddCallback("add", "\"a\"", add) + AddCallback("init", "", init)));
    fake_.answers["Api.onInit"] = "<null/>";
    fake_.duringEvaluate = [this] {
        NPVariant inner;
        EXPECT_TRUE(CallMovie("add", {StringArg("main")}, &inner));
        EXPECT_TRUE(CallMovie("add", {StringArg("+extra")}, &inner));
    };
    NPVariant result;
    ASSERT_TRUE(CallMovie("init", {}, &result));
    ASSERT_EQ(result.type, NPVariantType_String);
    EXPECT_EQ(VariantText(result), "main+extra");
    ReleaseVariantValue(&result);
}

TEST_F(NpfpProtocol, UrlRequestsUseNotificationAndDeliverTheirData) {
    // lv.load(get), out.sendAndLoad(post) into lv2, each reporting what arrived.
    const std::string onLoad =
        "push \"got:\"\npush \"this\"\ngetVariable\npush \"v\"\ngetMember\nadd2\n" +
        ReportTop("Report.v");
    const std::string actions =
        "push \"lv\", 0, \"LoadVars\"\nnewObject\nsetVariable\n"
        "push \"lv\"\ngetVariable\npush \"onLoad\"\nfunction \"\" (\"ok\")\n" +
        onLoad +
        "end\nsetMember\n"
        "push \"data/a.txt\", 1, \"lv\"\ngetVariable\npush \"load\"\ncallMethod\npop\n"
        "push \"out\", 0, \"LoadVars\"\nnewObject\nsetVariable\n"
        "push \"out\"\ngetVariable\npush \"name\", \"k\"\nsetMember\n"
        "push \"POST\", \"lv\"\ngetVariable\npush \"http://127.0.0.1/p\", 3, \"out\"\ngetVariable\n"
        "push \"sendAndLoad\"\ncallMethod\npop\n";
    Start(MovieWithFrameOne(actions));
    ASSERT_EQ(fake_.urlCalls.size(), 2u);
    EXPECT_EQ(fake_.urlCalls[0].url, "data/a.txt");
    EXPECT_FALSE(fake_.urlCalls[0].post);
    EXPECT_NE(fake_.urlCalls[0].notifyData, nullptr);
    EXPECT_TRUE(fake_.urlCalls[1].post);
    EXPECT_EQ(fake_.urlCalls[1].buffer,
              "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 6\r\n\r\nname=k");

    const std::string first = "v=one", second = "v=two";
    ASSERT_TRUE(
        Deliver("data/a.txt", fake_.urlCalls[0].notifyData, {first.begin(), first.end()}, true));
    ASSERT_TRUE(Deliver("http://127.0.0.1/p", fake_.urlCalls[1].notifyData,
                        {second.begin(), second.end()}, true));
    // Data reaches the movie from the message loop, after the browser's call returned.
    EXPECT_TRUE(fake_.reports.empty());
    PumpMessages(300);
    EXPECT_EQ(fake_.reports, (std::vector<std::string>{"got:one", "got:two"}));
}

TEST_F(NpfpProtocol, HostTimerTickAdvancesFrames) {
    // Frame 2 reports; at 10 frames per second one tick after 150 ms reaches it.
    Start(MovieWithFrameOne("", "action\n" + CallOut("", "Frame.two") + "stop\nend\nshowframe\n",
                            10));
    fake_.answers["Frame.two"] = "<null/>";
    ASSERT_EQ(fake_.evaluated.size(), 0u);
    Sleep(150);
    NPEvent tick{WM_TIMER, 1, 0};
    plugin().event(&npp_, &tick);
    ASSERT_EQ(fake_.evaluated.size(), 1u);
    EXPECT_EQ(fake_.evaluated[0], std::string(kCallPrefix) + "Frame.two()" + kCallSuffix);
    EXPECT_GT(fake_.invalidations, 0);
}

TEST_F(NpfpProtocol, QuitAsksThePageOnceThroughFsCommand) {
    // Frame 2 quits; nothing plays after it, and the page hears of it once.
    Start(MovieWithFrameOne(CallOut("", "Frame.one"),
                            "action\n" + CallOut("", "Frame.two") +
                                "getURL \"FSCommand:quit\" \"\"\n"
                                "end\nshowframe\nshowframe\n",
                            10));
    fake_.answers["Frame.one"] = fake_.answers["Frame.two"] = "<null/>";
    EXPECT_TRUE(fake_.fsCommands.empty());
    NPEvent tick{WM_TIMER, 1, 0};
    for (int i = 0; i < 3; ++i) {
        Sleep(150);
        plugin().event(&npp_, &tick);
    }
    EXPECT_EQ(fake_.fsCommands, (std::vector<std::vector<std::string>>{{"quit", ""}}));
    EXPECT_EQ(fake_.evaluated.size(), 2u);
}

TEST_F(NpfpProtocol, TabKeyMovesTheFocusThroughInputFieldsFromTheTop) {
    // The upper field comes second in the display list: position decides the order.
    Start(
        "version 8\nstage 200 100\nfont 1 \"_sans\"\nedittext 2 0 0 80 20 font=1\n"
        "place 2 depth=1 y=60 name=\"lower\"\nplace 2 depth=2 y=10 name=\"upper\"\n"
        "action\n" +
        AddCallback("focus", "",
                    "push 0, \"Selection\"\ngetVariable\npush \"getFocus\"\n"
                    "callMethod\nreturn\n") +
        "end\nshowframe\n");
    auto key = [this](UINT message, WPARAM code) {
        NPEvent event{static_cast<uint16_t>(message), code, 0};
        plugin().event(&npp_, &event);
    };
    auto focus = [this]() {
        NPVariant result;
        if (!CallMovie("focus", {}, &result)) return std::string("<no call>");
        std::string text =
            result.type == NPVariantType_String ? VariantText(result) : std::string("<none>");
        ReleaseVariantValue(&result);
        return text;
    };
    EXPECT_EQ(focus(), "<none>");
    key(WM_KEYDOWN, VK_TAB);
    key(WM_KEYUP, VK_TAB);
    EXPECT_EQ(focus(), "_level0.upper");
    key(WM_KEYDOWN, VK_TAB);
    key(WM_KEYUP, VK_TAB);
    EXPECT_EQ(focus(), "_level0.lower");
    key(WM_KEYDOWN, VK_SHIFT);  // Shift+Tab goes back
    key(WM_KEYDOWN, VK_TAB);
    key(WM_KEYUP, VK_TAB);
    key(WM_KEYUP, VK_SHIFT);
    EXPECT_EQ(focus(), "_level0.upper");
}

// EnumThreadWindows callback: stops at the first placeholder window.
BOOL CALLBACK FindPlaceholder(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "SWFlash_PlaceholderX") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

TEST_F(NpfpProtocol, PlaceholderWindowBeatsInTheHostsThread) {
    Start(MovieWithFrameOne(""));
    HWND placeholder = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPlaceholder,
                      reinterpret_cast<LPARAM>(&placeholder));
    ASSERT_NE(placeholder, nullptr);
    EXPECT_FALSE(IsWindowVisible(placeholder));
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, placeholder, 0x401, 0x401, PM_NOREMOVE))
        << "no heartbeat posted";
}

}  // namespace
}  // namespace kestrel::shell_test
