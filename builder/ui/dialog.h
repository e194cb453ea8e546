// The base of every window of the builder: one shared dialog procedure finds
// the object through the window's user data (stored at WM_INITDIALOG) and
// cracks messages into virtual handlers. Modal and modeless dialogs differ
// only in how they are started and ended.
#pragma once

#include <windows.h>

#include <vector>

namespace kestrel {

class Dialog {
  public:
    Dialog() = default;
    // Destroys a modeless window that still exists.
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // A modeless dialog from a resource template, owned by `owner`; a child
    // page (template with WS_CHILD) is created inside `owner` and registers
    // it for dialog navigation. False with the system's last error set.
    bool CreateModeless(int templateId, HWND owner, int id = 0, bool childPage = false);
    // Disables the top-level windows of the owner's thread that are enabled,
    // runs the dialog and enables exactly those again. Answers the result
    // given to EndModal, or -1 when the dialog could not be created.
    INT_PTR RunModal(int templateId, HWND owner);
    // The same from a template built in memory: a pixel rectangle (converted
    // to dialog units), a style and no controls; OnInit creates them. With
    // DS_SYSMODAL every top-level window of the thread is disabled, without it
    // only the windows owned by `owner`; without an owner none.
    INT_PTR RunModalFromTemplate(HWND owner, const char* caption, int width, int height,
                                 DWORD style);
    void EndModal(INT_PTR result);
    // Destroys the window (modeless); a modal dialog ends with IDCANCEL.
    void Destroy();

    HWND Handle() const { return window_; }
    HWND Owner() const { return owner_; }
    int Id() const { return id_; }
    bool IsModal() const { return modal_; }
    bool IsChildPage() const { return childPage_; }
    HWND Item(int controlId) const { return GetDlgItem(window_, controlId); }

    // Client-relative rectangle of a control.
    RECT ItemRect(int controlId) const;

  protected:
    // Sees every message first; true ends its handling with `*result`.
    virtual bool PreFilter(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
        return false;
    }
    // Answers what WM_INITDIALOG answers (true: let the system set the focus).
    virtual bool OnInit() { return true; }
    // Default: a modal dialog ends with IDCANCEL, a modeless one is left alone.
    virtual bool OnClose();
    virtual bool OnPaint() { return false; }
    // `code` is the notification code, `control` the sender (null for menus
    // and accelerators).
    virtual bool OnCommand(int id, int code, HWND control) { return false; }
    virtual bool OnActivate(bool active) { return false; }
    virtual bool OnFocus(bool gained) { return false; }
    virtual bool OnSize(int width, int height) { return false; }
    virtual bool OnSizing(int edge, RECT* rect) { return false; }
    virtual bool OnMove(int x, int y) { return false; }
    virtual bool OnScroll(bool vertical, int code, HWND control) { return false; }
    virtual bool OnShow(bool shown) { return false; }
    // `*result` is what the notification answers (DWLP_MSGRESULT).
    virtual bool OnNotify(int id, NMHDR* header, LRESULT* result) { return false; }
    virtual bool OnLeftButtonDown(int x, int y) { return false; }
    virtual bool OnLeftButtonUp(int x, int y) { return false; }
    virtual bool OnRightButtonDown(int x, int y) { return false; }
    virtual bool OnRightButtonUp(int x, int y) { return false; }
    virtual bool OnMouseMove(int x, int y) { return false; }
    virtual bool OnMouseWheel(int delta) { return false; }
    virtual bool OnKeyDown(int key) { return false; }
    // An edit box lost the focus (EN_KILLFOCUS, also WM_USER + 1): the place
    // where typed text is applied.
    virtual bool OnEditFocusLost(HWND focused, HWND edit) { return false; }
    virtual void OnDestroy() {}

  private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;  // owned while modeless: destroyed with the object
    HWND owner_ = nullptr;   // not owned
    int id_ = 0;
    bool childPage_ = false;
    bool modal_ = false;
};

// Message sent to a dialog to make it apply an edit box's text as if the box
// had lost the focus (wParam: focused window, lParam: the edit box).
inline constexpr UINT kApplyEditMessage = WM_USER + 1;

// The top-level windows of the thread that are enabled and visible are
// disabled for one scope and exactly those enabled again.
class DisabledThreadWindows {
  public:
    // `ownedBy` null: every top-level window of the current thread; else only
    // the windows whose owner is `ownedBy`, plus `ownedBy` itself.
    explicit DisabledThreadWindows(HWND ownedBy = nullptr, bool onlyOwned = false);
    ~DisabledThreadWindows();
    DisabledThreadWindows(const DisabledThreadWindows&) = delete;
    DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;

  private:
    std::vector<HWND> disabled_;  // not owned
};

}  // namespace kestrel
