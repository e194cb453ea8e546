#include "builder/ui/windows_page.h"

#include <algorithm>

#include "builder/ui/message_box.h"
#include "builder/ui/page_ids.h"
#include "builder/ui/page_texts.h"

namespace kestrel {

bool WindowsPage::OnInit() {
    name_.Bind(Handle(), IDC_WINDOW_NAME);
    list_.Bind(Handle(), IDC_WINDOW_LIST);
    add_.Bind(Handle(), IDC_ADD_WINDOW);
    remove_.Bind(Handle(), IDC_REMOVE_WINDOW);
    removeAll_.Bind(Handle(), IDC_REMOVE_ALL_WINDOWS);
    ListView_SetExtendedListViewStyle(list_.Handle(), LVS_EX_FULLROWSELECT);
    list_.AddColumn(200, "Name");
    list_.AddColumn(200, "SWF");
    AddTooltip(name_, 225);
    AddTooltip(add_, 226);
    AddTooltip(remove_, 227);
    AddTooltip(removeAll_, 228);
    AddTooltip(list_, 229);

    RECT client{};
    GetClientRect(Handle(), &client);
    initialSize_ = {client.right, client.bottom};
    initialName_ = name_.Rect();
    initialList_ = list_.Rect();
    initialAdd_ = add_.Rect();
    initialRemove_ = remove_.Rect();
    initialRemoveAll_ = removeAll_.Rect();
    return false;
}

void WindowsPage::Load() {
    loading_ = true;
    Project& project = CurrentProject();
    WindowData* current = project.CurrentWindow();
    name_.SetText(current ? current->Settings().windowName : std::string());
    name_.Enable(current != nullptr);
    remove_.Enable(current != nullptr);

    // Rows are rebuilt only when they differ: this also runs while the list
    // reports a click, and deleting its rows then would pull them from under it.
    std::vector<WindowRow> rows = WindowRows(project);
    bool same = list_.Count() == static_cast<int>(rows.size());
    for (size_t i = 0; same && i < rows.size(); ++i) {
        same = list_.ItemText(static_cast<int>(i), 0) == rows[i].name &&
               list_.ItemText(static_cast<int>(i), 1) == rows[i].movie;
    }
    if (!same) {
        list_.Clear();
        for (size_t i = 0; i < rows.size(); ++i) {
            int row = list_.AddItem(rows[i].name, static_cast<LPARAM>(i));
            list_.SetItemText(row, 1, rows[i].movie);
        }
    }
    int selected = project.WindowIndexOf(current);
    if (selected >= 0) {
        list_.Select(selected);
        ListView_EnsureVisible(list_.Handle(), selected, FALSE);
    } else {
        ListView_SetItemState(list_.Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    loading_ = false;
}

void WindowsPage::ApplyPendingEdits() {
    WindowData* current = CurrentWindow();
    if (!current || !TakeTyped(name_)) return;
    std::string name = name_.Text();
    if (name == current->Settings().windowName) return;
    Host().EditDone(Host().Editor().RenameWindow(current, name));
    Load();
}

bool WindowsPage::OnEditFocusLost(HWND, HWND edit) {
    if (edit != name_.Handle() || loading_) return false;
    ApplyPendingEdits();
    return true;
}

bool WindowsPage::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_ADD_WINDOW:
            AddWindow();
            return true;
        case IDC_REMOVE_WINDOW:
            RemoveWindow();
            return true;
        case IDC_REMOVE_ALL_WINDOWS:
            RemoveAllWindows();
            return true;
        default:
            return false;
    }
}

bool WindowsPage::OnNotify(int id, NMHDR* header, LRESULT*) {
    if (id != IDC_WINDOW_LIST || header->code != LVN_ITEMCHANGED || loading_) return false;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    bool nowSelected = (change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                       !(change->uOldState & LVIS_SELECTED);
    if (!nowSelected || change->iItem < 0) return false;
    SelectRow(change->iItem);
    return true;
}

void WindowsPage::SelectRow(int row) {
    Project& project = CurrentProject();
    WindowData* chosen = project.WindowAt(row);
    if (!chosen || chosen == project.CurrentWindow()) return;
    // The name typed for the window being left belongs to that window.
    ApplyPendingEdits();
    Host().SetCurrentWindow(project.WindowAt(row));
}

void WindowsPage::AddWindow() {
    ApplyPendingEdits();
    EditResult result = EditResult::Unchanged;
    WindowData* added = Host().Editor().AddWindow(&result);
    Host().EditDone(result);
    Host().SetCurrentWindow(added);
}

void WindowsPage::RemoveWindow() {
    Project& project = CurrentProject();
    WindowData* current = project.CurrentWindow();
    if (!current) return;
    if (current == &project.MainWindow()) {
        ShowError(OwnerWindow(), "err", "main");
        return;
    }
    ApplyPendingEdits();
    int row = project.WindowIndexOf(current);
    EditResult result = EditResult::Unchanged;
    Host().Editor().RemoveWindow(current, &result);
    Host().EditDone(result);
    Host().SetCurrentWindow(project.WindowAt(std::max(row - 1, 0)));
}

void WindowsPage::RemoveAllWindows() {
    ApplyPendingEdits();
    Host().EditDone(Host().Editor().RemoveAllWindows());
    Host().SetCurrentWindow(&CurrentProject().MainWindow());
}

bool WindowsPage::OnSize(int width, int height) {
    if (!list_.Handle()) return false;
    LayOut(std::max(0, width - static_cast<int>(initialSize_.cx)),
           std::max(0, height - static_cast<int>(initialSize_.cy)));
    return true;
}

void WindowsPage::LayOut(int deltaWidth, int deltaHeight) {
    auto moved = [deltaWidth](RECT rect) {
        OffsetRect(&rect, deltaWidth, 0);
        return rect;
    };
    RECT name = initialName_;
    name.right += deltaWidth;
    RECT list = initialList_;
    list.right += deltaWidth;
    list.bottom += deltaHeight;
    name_.SetRect(name);
    list_.SetRect(list);
    add_.SetRect(moved(initialAdd_));
    remove_.SetRect(moved(initialRemove_));
    removeAll_.SetRect(moved(initialRemoveAll_));
}

}  // namespace kestrel
