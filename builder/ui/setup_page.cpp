#include "builder/ui/setup_page.h"

#include <algorithm>

#include "builder/ui/message_box.h"
#include "builder/ui/page_ids.h"
#include "builder/ui/page_texts.h"
#include "builder/ui/resource_ids.h"

namespace kestrel {

bool SetupPage::OnInit() {
    HWND page = Handle();
    movie_.Bind(page, IDC_SETUP_SWF);
    movieBrowse_.Bind(page, IDC_SETUP_SWF_BROWSE);
    width_.Bind(page, IDC_SETUP_WIDTH);
    height_.Bind(page, IDC_SETUP_HEIGHT);
    version_.Bind(page, IDC_SETUP_VERSION);
    frameRate_.Bind(page, IDC_SETUP_FRAME_RATE);
    files_.Bind(page, IDC_SETUP_FILES);
    addFile_.Bind(page, IDC_SETUP_ADD_FILE);
    addFolder_.Bind(page, IDC_SETUP_ADD_FOLDER);
    remove_.Bind(page, IDC_SETUP_REMOVE);
    removeAll_.Bind(page, IDC_SETUP_REMOVE_ALL);
    ListView_SetExtendedListViewStyle(files_.Handle(), LVS_EX_FULLROWSELECT);
    files_.AddColumn(200, "Name");
    files_.AddColumn(160, "Type");
    AddTooltip(movie_, 252);
    AddTooltip(width_, 253);
    AddTooltip(height_, 254);
    AddTooltip(version_, 255);
    AddTooltip(frameRate_, 256);
    AddTooltip(movieBrowse_, 257);
    AddTooltip(files_, 258);
    AddTooltip(addFile_, 259);
    AddTooltip(addFolder_, 260);
    AddTooltip(remove_, 261);
    AddTooltip(removeAll_, 262);
    return false;
}

void SetupPage::Load() {
    loading_ = true;
    WindowData* window = CurrentWindow();
    std::optional<MovieFacts> facts = window ? MovieFactsOf(window->Settings().swf) : std::nullopt;
    auto fact = [&facts](std::string MovieFacts::*field) {
        return facts ? std::optional<std::string>((*facts).*field) : std::nullopt;
    };
    ShowOrNotAvailable(movie_, fact(&MovieFacts::path));
    ShowOrNotAvailable(width_, fact(&MovieFacts::width));
    ShowOrNotAvailable(height_, fact(&MovieFacts::height));
    ShowOrNotAvailable(version_, fact(&MovieFacts::version));
    ShowOrNotAvailable(frameRate_, fact(&MovieFacts::frameRate));

    // The selection stays while the list shows the same window's files.
    int selected = window == listed_ ? files_.SelectedIndex() : -1;
    listed_ = window;
    files_.Clear();
    if (window) {
        for (size_t i = 0; i < window->ExtraFiles().size(); ++i) {
            ExtraFileRow row = ExtraFileRowOf(window->ExtraFiles()[i]);
            int item = files_.AddItem(row.name, static_cast<LPARAM>(i));
            files_.SetItemText(item, 1, row.type);
        }
        if (selected >= files_.Count()) selected = files_.Count() - 1;
        if (selected >= 0) files_.Select(selected);
    }
    Control* controls[] = {&movie_,     &movieBrowse_, &width_,   &height_,   &version_,
                           &frameRate_, &files_,       &addFile_, &addFolder_};
    for (Control* control : controls) control->Enable(window != nullptr);
    loading_ = false;
    UpdateButtons();
}

void SetupPage::UpdateButtons() {
    bool window = CurrentWindow() != nullptr;
    remove_.Enable(window && files_.SelectedIndex() >= 0);
    removeAll_.Enable(window && files_.Count() > 0);
}

bool SetupPage::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED || loading_) return false;
    switch (id) {
        case IDC_SETUP_SWF_BROWSE:
            ChooseMovie();
            return true;
        case IDC_SETUP_ADD_FILE:
            AddFiles();
            return true;
        case IDC_SETUP_ADD_FOLDER:
            AddFolder();
            return true;
        case IDC_SETUP_REMOVE:
            RemoveSelected();
            return true;
        case IDC_SETUP_REMOVE_ALL:
            EditCurrentWindow([](WindowData& w) { w.ClearExtraFiles(); });
            return true;
        default:
            return false;
    }
}

bool SetupPage::OnNotify(int id, NMHDR* header, LRESULT*) {
    if (id != IDC_SETUP_FILES || header->code != LVN_ITEMCHANGED || loading_) return false;
    UpdateButtons();
    return true;
}

void SetupPage::ChooseMovie() {
    WindowData* window = CurrentWindow();
    if (!window) return;
    FileDialogArgs args;
    args.owner = OwnerWindow();
    args.filter = FileFilter({"*.swf"}, true);
    std::string path;
    if (!Host().Dialogs().OpenFile(args, &path)) return;
    bool read = false;
    Host().PerformEdit([&](Project&) { read = window->SetMovie(path); });
    // A movie that cannot be read changes nothing and says nothing.
    if (!read) return;
    Host().AddRecentMovie(path);
    // The Windows list shows the movie, the Window page its size.
    Host().RefreshAllPages();
}

void SetupPage::AddFiles() {
    if (!CurrentWindow()) return;
    FileDialogArgs args;
    args.owner = OwnerWindow();
    std::vector<std::string> paths;
    bool tooMany = false;
    if (!Host().Dialogs().OpenFiles(args, &paths, &tooMany)) {
        if (tooMany) ShowResourceError(OwnerWindow(), IDS_ERROR, IDS_SELECTION_TOO_LONG);
        return;
    }
    EditCurrentWindow([&paths](WindowData& w) { AddExtraFilesSorted(w, paths); });
}

void SetupPage::AddFolder() {
    if (!CurrentWindow()) return;
    std::string folder;
    if (!Host().Dialogs().ChooseFolder(OwnerWindow(), "Add Folder", &folder)) return;
    EditCurrentWindow([&folder](WindowData& w) { w.AddExtraFile(folder); });
}

void SetupPage::RemoveSelected() {
    int selected = files_.SelectedIndex();
    if (selected < 0) return;
    EditCurrentWindow(
        [selected](WindowData& w) { w.RemoveExtraFile(static_cast<size_t>(selected)); });
    // The entry above takes the selection (the first when the first went).
    loading_ = true;
    int next = std::min(std::max(selected - 1, 0), files_.Count() - 1);
    if (next >= 0) files_.Select(next);
    loading_ = false;
    UpdateButtons();
}

}  // namespace kestrel
