// Wrappers for the builder's controls. Bound to a dialog item they do not own
// the window; created by Create they destroy it with themselves.
#pragma once

#include <windows.h>
// Needs the types of <windows.h>.
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/win_handles.h"

namespace kestrel {

struct ControlCreateArgs {
    HWND parent = nullptr;
    int id = 0;
    RECT rect{};  // client pixels of the parent
    const char* text = "";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
};

class Control {
  public:
    Control() = default;
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Binds to an existing dialog item (not owned); false when there is none.
    bool Bind(HWND dialog, int id);
    // Creates the control with this kind's window class (owned).
    bool Create(const ControlCreateArgs& args);
    void DestroyWindow() {
        owned_.reset();
        window_ = nullptr;
    }

    HWND Handle() const { return window_; }
    HWND Parent() const { return parent_; }
    int Id() const { return id_; }

    // Rectangle in the parent's client coordinates.
    RECT Rect() const;
    void MoveTo(int x, int y);
    void Resize(int width, int height);
    void SetRect(const RECT& rect);
    int Width() const;
    int Height() const;
    void Enable(bool enabled);
    bool IsEnabled() const;
    void Show(bool shown);
    void Hide() { Show(false); }
    bool IsShown() const;
    // Full-length window text (never cut at a fixed buffer size).
    std::string Text() const;
    void SetText(const std::string& text);

  protected:
    virtual const char* ClassName() const = 0;

  private:
    HWND window_ = nullptr;  // owned only through owned_
    HWND parent_ = nullptr;  // not owned
    int id_ = 0;
    OwnedWindow owned_;
};

class CheckBox : public Control {
  public:
    bool Checked() const;
    void SetChecked(bool checked);

  protected:
    const char* ClassName() const override { return "BUTTON"; }
};

class RadioButton : public CheckBox {};

class PushButton : public Control {
  protected:
    const char* ClassName() const override { return "BUTTON"; }
};

class EditBox : public Control {
  public:
    // Decimal text; text that is no number gives 0, numbers beyond the int
    // range saturate.
    int Integer() const;
    void SetInteger(int value);
    void SelectAll();

  protected:
    const char* ClassName() const override { return "EDIT"; }
};

class StaticText : public Control {
  public:
    // Text from the string table of the program; false when there is none.
    bool SetTextFromResource(int stringId);

  protected:
    const char* ClassName() const override { return "STATIC"; }
};

class ComboBox : public Control {
  public:
    void Reset();
    int Add(const std::string& text);
    int AddFromResource(int stringId);
    // -1 when nothing is selected.
    int Selection() const;
    void SetSelection(int index);
    int Count() const;

  protected:
    const char* ClassName() const override { return WC_COMBOBOXA; }
};

class ListView : public Control {
  public:
    void AddColumn(int width, const std::string& title);
    // Appends a row; answers its index.
    int AddItem(const std::string& text, LPARAM value = 0);
    void SetItemText(int index, int column, const std::string& text);
    void Clear();
    int Count() const;
    // -1 when no row is selected.
    int SelectedIndex() const;
    void Select(int index);
    LPARAM ItemValue(int index) const;
    std::string ItemText(int index, int column = 0) const;

  protected:
    const char* ClassName() const override { return WC_LISTVIEWA; }
};

// A tab control whose tabs each show one page window, moved into the
// control's display area; selecting a tab shows its page and hides the rest.
class TabControl : public Control {
  public:
    // `page` is not owned. Answers the tab's index.
    int AddPage(HWND page, const std::string& title);
    int AddPageFromResource(HWND page, int stringId);
    int Selection() const;
    // Selects the tab and shows its page (also without a notification).
    void Select(int index);
    // Shows the page of the current selection: call on TCN_SELCHANGE.
    void ShowSelectedPage();
    // Moves every page into the display area (after the control was resized).
    void PlacePages();
    int Count() const { return static_cast<int>(pages_.size()); }
    HWND Page(int index) const;

  protected:
    const char* ClassName() const override { return WC_TABCONTROLA; }

  private:
    std::vector<HWND> pages_;  // not owned
};

struct ToolbarButton {
    int command = 0;  // 0: a separator
    int image = 0;
};

class Toolbar : public Control {
  public:
    // A toolbar along the parent's top edge with 16 x 16 images from
    // `bitmapId` (of this program) and these buttons in order.
    bool CreateWithButtons(HWND parent, int id, int bitmapId, int imageCount,
                           const std::vector<ToolbarButton>& buttons);
    void EnableButton(int command, bool enabled);
    int ButtonCount() const;

  protected:
    const char* ClassName() const override { return TOOLBARCLASSNAMEA; }
};

// One tooltip window per page; each tool is a control with its text.
class Tooltips {
  public:
    Tooltips() = default;
    Tooltips(const Tooltips&) = delete;
    Tooltips& operator=(const Tooltips&) = delete;

    bool Create(HWND owner);
    bool AddTool(HWND control, int stringId);
    bool AddTool(HWND control, const std::string& text);
    HWND Handle() const { return window_.get(); }

  private:
    HWND owner_ = nullptr;  // not owned
    OwnedWindow window_;
};

// Registers the common control classes the builder uses (bars, tabs, list
// views); once per process.
void InitialiseCommonControls();

// Loads a string of this program's string table; empty when there is none.
std::string LoadResourceString(int stringId);

}  // namespace kestrel
