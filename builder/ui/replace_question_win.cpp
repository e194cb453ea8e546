#include "builder/ui/controls.h"
#include "builder/ui/dialog.h"
#include "builder/ui/replace_question.h"
#include "builder/ui/text_format.h"

namespace kestrel {
namespace {

constexpr int kWidth = 390;
constexpr int kHeight = 131;

class ReplaceQuestion : public Dialog {
  public:
    ReplaceQuestion(std::string text, bool severalItems)
        : text_(std::move(text)), severalItems_(severalItems) {}

  protected:
    bool OnInit() override {
        Add(question_, -1, {20, 20, 370, 59}, text_.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT);
        if (severalItems_) {
            Add(applyToAll_, kReplaceApplyToAllId, {20, 95, 104, 109}, "Apply To All",
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX);
            Add(dontReplace_, kReplaceDontReplaceId, {123, 94, 222, 111}, "Don't Replace",
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
            Add(stop_, kReplaceStopId, {245, 94, 293, 111}, "Stop",
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
        } else {
            Add(dontReplace_, kReplaceDontReplaceId, {194, 94, 293, 111}, "Don't Replace",
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
        }
        Add(replace_, kReplaceReplaceId, {307, 94, 370, 111}, "Replace",
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
        SetFocus(replace_.Handle());
        return false;
    }

    bool OnCommand(int id, int code, HWND control) override {
        const bool all = severalItems_ && applyToAll_.Checked();
        switch (id) {
            case kReplaceReplaceId:
                EndModal(
                    static_cast<INT_PTR>(all ? ReplaceAnswer::ReplaceAll : ReplaceAnswer::Replace));
                return true;
            case kReplaceDontReplaceId:
                EndModal(static_cast<INT_PTR>(all ? ReplaceAnswer::DontReplaceAll
                                                  : ReplaceAnswer::DontReplace));
                return true;
            case kReplaceStopId:
            case IDCANCEL:  // Escape and the close box stop, as nothing is built then
                EndModal(static_cast<INT_PTR>(ReplaceAnswer::Stop));
                return true;
            default:
                return false;
        }
    }

  private:
    void Add(Control& control, int id, RECT rect, const char* text, DWORD style) {
        ControlCreateArgs args;
        args.parent = Handle();
        args.id = id;
        args.rect = rect;
        args.text = text;
        args.style = style;
        control.Create(args);
        SendMessageA(control.Handle(), WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }

    std::string text_;
    bool severalItems_;
    StaticText question_;
    CheckBox applyToAll_;
    PushButton dontReplace_;
    PushButton stop_;
    PushButton replace_;
};

}  // namespace

ReplaceAnswer AskReplace(HWND owner, const std::string& fileName, const std::string& folder,
                         bool severalItems) {
    ReplaceQuestion question(FormatText("The item \"%s\" in %s already exists. Replace it?",
                                        fileName.c_str(), folder.c_str()),
                             severalItems);
    const INT_PTR answer = question.RunModalFromTemplate(
        owner, "Kestrel", kWidth, kHeight,
        WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SYSMODAL);
    switch (answer) {
        case static_cast<INT_PTR>(ReplaceAnswer::Replace):
        case static_cast<INT_PTR>(ReplaceAnswer::ReplaceAll):
        case static_cast<INT_PTR>(ReplaceAnswer::DontReplace):
        case static_cast<INT_PTR>(ReplaceAnswer::DontReplaceAll):
            return static_cast<ReplaceAnswer>(answer);
        default:
            return ReplaceAnswer::Stop;  // also when the question could not be shown
    }
}

}  // namespace kestrel
