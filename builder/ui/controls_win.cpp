#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "builder/ui/controls.h"

namespace kestrel {

void InitialiseCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                     ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

std::string LoadResourceString(int stringId) {
    // The resource holds the string's length first: ask for a pointer to it
    // rather than copying into a buffer of a guessed size.
    HRSRC block = FindResourceA(nullptr, MAKEINTRESOURCEA(stringId / 16 + 1), RT_STRING);
    if (!block) return {};
    HGLOBAL loaded = LoadResource(nullptr, block);
    const auto* words = static_cast<const WORD*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = SizeofResource(nullptr, block);
    if (!words) return {};
    // Sixteen counted UTF-16 strings per block; skip to ours, checking sizes.
    size_t at = 0;
    const size_t total = size / sizeof(WORD);
    for (int index = 0; index < stringId % 16; ++index) {
        if (at >= total) return {};
        at += 1 + words[at];
    }
    if (at >= total || at + 1 + words[at] > total) return {};
    const int length = words[at];
    if (length == 0) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(words + at + 1);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, length, result.data(), bytes, nullptr, nullptr);
    return result;
}

bool Control::Bind(HWND dialog, int id) {
    owned_.reset();
    parent_ = dialog;
    id_ = id;
    window_ = GetDlgItem(dialog, id);
    return window_ != nullptr;
}

bool Control::Create(const ControlCreateArgs& args) {
    owned_.reset(CreateWindowExA(args.exStyle, ClassName(), args.text ? args.text : "", args.style,
                                 args.rect.left, args.rect.top, args.rect.right - args.rect.left,
                                 args.rect.bottom - args.rect.top, args.parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)),
                                 GetModuleHandle(nullptr), nullptr));
    window_ = owned_.get();
    parent_ = args.parent;
    id_ = args.id;
    if (window_ && args.parent) {
        // The dialog's font rather than the system font.
        const LRESULT font = SendMessageA(args.parent, WM_GETFONT, 0, 0);
        SendMessageA(window_, WM_SETFONT,
                     font ? static_cast<WPARAM>(font)
                          : reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     FALSE);
    }
    return window_ != nullptr;
}

RECT Control::Rect() const {
    RECT rect{};
    if (!window_) return rect;
    GetWindowRect(window_, &rect);
    MapWindowPoints(nullptr, parent_ ? parent_ : GetParent(window_),
                    reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Control::MoveTo(int x, int y) {
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::Resize(int width, int height) {
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetRect(const RECT& rect) {
    SetWindowPos(window_, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

int Control::Width() const {
    const RECT rect = Rect();
    return rect.right - rect.left;
}

int Control::Height() const {
    const RECT rect = Rect();
    return rect.bottom - rect.top;
}

void Control::Enable(bool enabled) {
    EnableWindow(window_, enabled ? TRUE : FALSE);
}
bool Control::IsEnabled() const {
    return window_ && IsWindowEnabled(window_);
}
void Control::Show(bool shown) {
    ShowWindow(window_, shown ? SW_SHOW : SW_HIDE);
}
bool Control::IsShown() const {
    return window_ && IsWindowVisible(window_);
}

std::string Control::Text() const {
    if (!window_) return {};
    const int length = GetWindowTextLengthA(window_);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window_, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void Control::SetText(const std::string& text) {
    SetWindowTextA(window_, text.c_str());
}

bool CheckBox::Checked() const {
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int EditBox::Integer() const {
    const std::string text = Text();
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str()) return 0;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

void EditBox::SetInteger(int value) {
    SetText(std::to_string(value));
}

void EditBox::SelectAll() {
    SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

bool StaticText::SetTextFromResource(int stringId) {
    const std::string text = LoadResourceString(stringId);
    if (text.empty()) return false;
    SetText(text);
    return true;
}

void ComboBox::Reset() {
    SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
}

int ComboBox::Add(const std::string& text) {
    return static_cast<int>(
        SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ComboBox::AddFromResource(int stringId) {
    return Add(LoadResourceString(stringId));
}

int ComboBox::Selection() const {
    const LRESULT index = SendMessageA(Handle(), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ComboBox::SetSelection(int index) {
    SendMessageA(Handle(), CB_SETCURSEL, index, 0);
}

int ComboBox::Count() const {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

void ListView::AddColumn(int width, const std::string& title) {
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = width;
    column.pszText = const_cast<char*>(title.c_str());
    const int count = Header_GetItemCount(ListView_GetHeader(Handle()));
    ListView_InsertColumn(Handle(), count < 0 ? 0 : count, &column);
}

int ListView::AddItem(const std::string& text, LPARAM value) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = Count();
    item.pszText = const_cast<char*>(text.c_str());
    item.lParam = value;
    return static_cast<int>(ListView_InsertItem(Handle(), &item));
}

void ListView::SetItemText(int index, int column, const std::string& text) {
    ListView_SetItemText(Handle(), index, column, const_cast<char*>(text.c_str()));
}

void ListView::Clear() {
    ListView_DeleteAllItems(Handle());
}

int ListView::Count() const {
    return ListView_GetItemCount(Handle());
}

int ListView::SelectedIndex() const {
    return ListView_GetNextItem(Handle(), -1, LVNI_SELECTED);
}

void ListView::Select(int index) {
    ListView_SetItemState(Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (index >= 0) {
        ListView_SetItemState(Handle(), index, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
}

LPARAM ListView::ItemValue(int index) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!ListView_GetItem(Handle(), &item)) return 0;
    return item.lParam;
}

std::string ListView::ItemText(int index, int column) const {
    // Grow until the text fits: the control gives no length.
    for (size_t size = 256; size <= 65536; size *= 2) {
        std::vector<char> buffer(size, '\0');
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const LRESULT length =
            SendMessageA(Handle(), LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
        if (length < static_cast<LRESULT>(size) - 1) {
            return std::string(buffer.data(), static_cast<size_t>(length));
        }
    }
    return {};
}

int TabControl::AddPage(HWND page, const std::string& title) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(title.c_str());
    const int index = TabCtrl_InsertItem(Handle(), Count(), &item);
    if (index < 0) return -1;
    pages_.push_back(page);
    PlacePages();
    ShowSelectedPage();
    return index;
}

int TabControl::AddPageFromResource(HWND page, int stringId) {
    return AddPage(page, LoadResourceString(stringId));
}

int TabControl::Selection() const {
    return TabCtrl_GetCurSel(Handle());
}

void TabControl::Select(int index) {
    if (index < 0 || index >= Count()) return;
    TabCtrl_SetCurSel(Handle(), index);
    ShowSelectedPage();
}

void TabControl::ShowSelectedPage() {
    const int selected = Selection();
    for (int index = 0; index < Count(); ++index) {
        if (index != selected) ShowWindow(pages_[static_cast<size_t>(index)], SW_HIDE);
    }
    if (selected >= 0 && selected < Count()) {
        ShowWindow(pages_[static_cast<size_t>(selected)], SW_SHOW);
    }
}

void TabControl::PlacePages() {
    RECT area{};
    GetClientRect(Handle(), &area);
    TabCtrl_AdjustRect(Handle(), FALSE, &area);
    for (HWND page : pages_) {
        // Pages are children of the tab control's parent: map the area there.
        RECT placed = area;
        HWND pageParent = GetParent(page);
        MapWindowPoints(Handle(), pageParent, reinterpret_cast<POINT*>(&placed), 2);
        SetWindowPos(page, HWND_TOP, placed.left, placed.top, placed.right - placed.left,
                     placed.bottom - placed.top, SWP_NOACTIVATE);
    }
}

HWND TabControl::Page(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return pages_[static_cast<size_t>(index)];
}

bool Toolbar::CreateWithButtons(HWND parent, int id, int bitmapId, int imageCount,
                                const std::vector<ToolbarButton>& buttons) {
    ControlCreateArgs args;
    args.parent = parent;
    args.id = id;
    args.style = WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP;
    if (!Create(args)) return false;
    SendMessageA(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(Handle(), TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    TBADDBITMAP bitmap{};
    bitmap.hInst = GetModuleHandle(nullptr);
    bitmap.nID = static_cast<UINT_PTR>(bitmapId);
    if (SendMessageA(Handle(), TB_ADDBITMAP, imageCount, reinterpret_cast<LPARAM>(&bitmap)) < 0) {
        return false;
    }
    std::vector<TBBUTTON> items;
    for (const ToolbarButton& button : buttons) {
        TBBUTTON item{};
        item.iBitmap = button.command ? button.image : 0;
        item.idCommand = button.command;
        item.fsState = TBSTATE_ENABLED;
        item.fsStyle = button.command ? BTNS_BUTTON : BTNS_SEP;
        items.push_back(item);
    }
    SendMessageA(Handle(), TB_ADDBUTTONSA, items.size(), reinterpret_cast<LPARAM>(items.data()));
    SendMessageA(Handle(), TB_AUTOSIZE, 0, 0);
    return true;
}

void Toolbar::EnableButton(int command, bool enabled) {
    SendMessageA(Handle(), TB_ENABLEBUTTON, command, MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

int Toolbar::ButtonCount() const {
    return static_cast<int>(SendMessageA(Handle(), TB_BUTTONCOUNT, 0, 0));
}

bool Tooltips::Create(HWND owner) {
    owner_ = owner;
    window_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                  WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                  GetModuleHandle(nullptr), nullptr));
    if (window_) SendMessageA(window_.get(), TTM_SETMAXTIPWIDTH, 0, 400);
    return static_cast<bool>(window_);
}

bool Tooltips::AddTool(HWND control, int stringId) {
    return AddTool(control, LoadResourceString(stringId));
}

bool Tooltips::AddTool(HWND control, const std::string& text) {
    if (!window_ || !control) return false;
    TOOLINFOA tool{};
    // The version 6 size is refused by older common controls.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text.c_str());
    return SendMessageA(window_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

}  // namespace kestrel
