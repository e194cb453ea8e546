#include "projector/api/window_family.h"

#include "projector/bridge/xml_value.h"

namespace kestrel {
namespace {

// What a method gets: the registry, the named window (null when not open)
// and the arguments (index 0 is the window name).
struct WindowCall {
    WindowRegistry& windows;
    ProjectorWindowApi* window;
    const ApiArguments& arguments;
};

using WindowMethod = ApiResult (*)(const WindowCall&);

struct WindowMethodEntry {
    std::string_view name;
    WindowMethod run;
};

ApiResult Open(const WindowCall& call) {
    return XmlFlag(call.windows.OpenWindow(call.arguments.Raw(0)));
}

ApiResult GetPosition(const WindowCall& call) {
    if (!call.window) return XmlPoint(0, 0);
    WindowRect rect = call.window->OuterRect();
    return XmlPoint(rect.left, rect.top);
}

ApiResult Close(const WindowCall& call) {
    if (call.window) call.window->Close();
    return std::nullopt;
}

ApiResult Center(const WindowCall& call) {
    if (!call.window) return std::nullopt;
    WindowRect rect = call.window->OuterRect();
    int left = call.windows.PrimaryScreenWidth() / 2 - rect.width / 2;
    int top = call.windows.PrimaryScreenHeight() / 2 - rect.height / 2;
    call.window->MoveToAndRepaint(left, top);
    return std::nullopt;
}

ApiResult GetXPosition(const WindowCall& call) {
    return XmlInteger(call.window ? call.window->OuterRect().left : 0);
}

ApiResult GetYPosition(const WindowCall& call) {
    return XmlInteger(call.window ? call.window->OuterRect().top : 0);
}

ApiResult SetPosition(const WindowCall& call) {
    if (call.window) call.window->MoveTo(call.arguments.AsInteger(1), call.arguments.AsInteger(2));
    return std::nullopt;
}

ApiResult SetXPosition(const WindowCall& call) {
    if (call.window) call.window->MoveTo(call.arguments.AsInteger(1), call.window->OuterRect().top);
    return std::nullopt;
}

ApiResult SetYPosition(const WindowCall& call) {
    if (call.window)
        call.window->MoveTo(call.window->OuterRect().left, call.arguments.AsInteger(1));
    return std::nullopt;
}

ApiResult GetSize(const WindowCall& call) {
    if (!call.window) return XmlSize(0, 0);
    WindowRect rect = call.window->OuterRect();
    return XmlSize(rect.width, rect.height);
}

ApiResult GetWidth(const WindowCall& call) {
    return XmlInteger(call.window ? call.window->OuterRect().width : 0);
}

ApiResult GetHeight(const WindowCall& call) {
    return XmlInteger(call.window ? call.window->OuterRect().height : 0);
}

ApiResult SetSize(const WindowCall& call) {
    if (call.window)
        call.window->ResizeTo(call.arguments.AsInteger(1), call.arguments.AsInteger(2));
    return std::nullopt;
}

ApiResult SetWidth(const WindowCall& call) {
    if (call.window)
        call.window->ResizeTo(call.arguments.AsInteger(1), call.window->OuterRect().height);
    return std::nullopt;
}

ApiResult SetHeight(const WindowCall& call) {
    if (call.window)
        call.window->ResizeTo(call.window->OuterRect().width, call.arguments.AsInteger(1));
    return std::nullopt;
}

ApiResult ShowFullScreen(const WindowCall& call) {
    if (call.window) call.window->SetFullScreen(call.arguments.AsFlag(1));
    return std::nullopt;
}

ApiResult Maximize(const WindowCall& call) {
    if (call.window) call.window->Maximize();
    return std::nullopt;
}

ApiResult Minimize(const WindowCall& call) {
    if (call.window) call.window->Minimize();
    return std::nullopt;
}

ApiResult IsMaximized(const WindowCall& call) {
    return XmlFlag(call.window && call.window->IsMaximized());
}

ApiResult IsMinimized(const WindowCall& call) {
    return XmlFlag(call.window && call.window->IsMinimized());
}

ApiResult Restore(const WindowCall& call) {
    if (call.window) call.window->Restore();
    return std::nullopt;
}

ApiResult Show(const WindowCall& call) {
    if (call.window) call.window->Show(call.arguments.AsFlag(1));
    return std::nullopt;
}

ApiResult Hide(const WindowCall& call) {
    if (call.window) call.window->Show(false);
    return std::nullopt;
}

ApiResult IsVisible(const WindowCall& call) {
    return XmlFlag(call.window && call.window->IsVisible());
}

ApiResult BringToFront(const WindowCall& call) {
    if (call.window) call.window->BringToFront();
    return std::nullopt;
}

ApiResult SendToBack(const WindowCall& call) {
    if (call.window) call.window->SendToBack();
    return std::nullopt;
}

ApiResult GetTitle(const WindowCall& call) {
    if (!call.window) return std::nullopt;
    return XmlText(call.window->Title());
}

ApiResult SetTitle(const WindowCall& call) {
    if (call.window) call.window->SetTitle(call.arguments.AsText(1));
    return std::nullopt;
}

ApiResult StartDrag(const WindowCall& call) {
    if (call.window) call.window->SetDragFlag(true);
    return std::nullopt;
}

ApiResult StopDrag(const WindowCall& call) {
    if (call.window) call.window->SetDragFlag(false);
    return std::nullopt;
}

// Window transparency and masks cannot change at run time: these answer
// fixed values whether or not the window exists.
ApiResult GetAlpha(const WindowCall&) {
    return XmlReal2(1.0);
}
ApiResult AnswerFalse(const WindowCall&) {
    return XmlFlag(false);
}
ApiResult AddMask(const WindowCall&) {
    return XmlInteger(-1);
}

// Compared in this order, exactly.
constexpr WindowMethodEntry kWindowMethods[] = {
    {"open", Open},
    {"getPosition", GetPosition},
    {"close", Close},
    {"center", Center},
    {"getXPosition", GetXPosition},
    {"getYPosition", GetYPosition},
    {"setPosition", SetPosition},
    {"setXPosition", SetXPosition},
    {"setYPosition", SetYPosition},
    {"getSize", GetSize},
    {"getWidth", GetWidth},
    {"getHeight", GetHeight},
    {"setSize", SetSize},
    {"setWidth", SetWidth},
    {"setHeight", SetHeight},
    {"showFullScreen", ShowFullScreen},
    {"maximize", Maximize},
    {"minimize", Minimize},
    {"isMaximized", IsMaximized},
    {"isMinimized", IsMinimized},
    {"restore", Restore},
    {"show", Show},
    {"hide", Hide},
    {"isVisible", IsVisible},
    {"bringToFront", BringToFront},
    {"sendToBack", SendToBack},
    {"getTitle", GetTitle},
    {"setTitle", SetTitle},
    {"startDrag", StartDrag},
    {"stopDrag", StopDrag},
    {"getAlpha", GetAlpha},
    {"setAlpha", AnswerFalse},
    {"addMask", AddMask},
    {"removeMask", AnswerFalse},
    {"setMask", AnswerFalse},
    {"hideMask", AnswerFalse},
};

}  // namespace

std::vector<std::string> WindowFamily::MethodNames() {
    std::vector<std::string> names;
    for (const WindowMethodEntry& entry : kWindowMethods) names.emplace_back(entry.name);
    return names;
}

ApiResult WindowFamily::Call(std::string_view method, const ApiArguments& arguments) {
    for (const WindowMethodEntry& entry : kWindowMethods) {
        if (entry.name != method) continue;
        // "open" names a definition, not an open window.
        ProjectorWindowApi* window =
            entry.run == Open ? nullptr : windows_.FindOpenWindow(arguments.Raw(0));
        return entry.run(WindowCall{windows_, window, arguments});
    }
    return std::nullopt;
}

}  // namespace kestrel
