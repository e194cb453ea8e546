#include "builder/ui/output_page.h"

#include "builder/ui/page_ids.h"
#include "builder/ui/page_texts.h"

namespace kestrel {

bool OutputPage::OnInit() {
    HWND page = Handle();
    folder_.Bind(page, IDC_OUTPUT_FOLDER);
    folderBrowse_.Bind(page, IDC_OUTPUT_FOLDER_BROWSE);
    defaultNames_.Bind(page, IDC_DEFAULT_FILENAMES);
    windows_.Bind(page, IDC_OUTPUT_WIN);
    windowsName_.Bind(page, IDC_OUTPUT_WIN_FILENAME);
    windowsIcon_.Bind(page, IDC_OUTPUT_WIN_APPICON);
    windowsIconName_.Bind(page, IDC_OUTPUT_WIN_APPICON_PATH);
    windowsIconBrowse_.Bind(page, IDC_OUTPUT_WIN_APPICON_BROWSE);
    macPpc_.Bind(page, IDC_OUTPUT_MACPPC);
    macPpcName_.Bind(page, IDC_OUTPUT_MACPPC_FILENAME);
    macIntel_.Bind(page, IDC_OUTPUT_MACINTEL);
    macIntelName_.Bind(page, IDC_OUTPUT_MACINTEL_FILENAME);
    macUniversal_.Bind(page, IDC_OUTPUT_MACUNIVERSAL);
    macUniversalName_.Bind(page, IDC_OUTPUT_MACUNIVERSAL_FILENAME);
    macIcon_.Bind(page, IDC_OUTPUT_MAC_APPICON);
    macIconName_.Bind(page, IDC_OUTPUT_MAC_APPICON_PATH);
    linux_.Bind(page, IDC_OUTPUT_LINUX);
    linuxName_.Bind(page, IDC_OUTPUT_LINUX_FILENAME);
    linuxIcon_.Bind(page, IDC_OUTPUT_LINUX_APPICON);
    linuxIconName_.Bind(page, IDC_OUTPUT_LINUX_APPICON_PATH);
    // Hidden whatever the template says: only the Windows output is offered.
    const int hidden[] = {IDC_MAC_GROUP,
                          IDC_OUTPUT_MACPPC,
                          IDC_OUTPUT_MACPPC_FILENAME,
                          IDC_OUTPUT_MACINTEL,
                          IDC_OUTPUT_MACINTEL_FILENAME,
                          IDC_OUTPUT_MACUNIVERSAL,
                          IDC_OUTPUT_MACUNIVERSAL_FILENAME,
                          IDC_OUTPUT_MAC_APPICON,
                          IDC_OUTPUT_MAC_APPICON_PATH,
                          IDC_OUTPUT_MAC_APPICON_BROWSE,
                          IDC_LINUX_GROUP,
                          IDC_OUTPUT_LINUX,
                          IDC_OUTPUT_LINUX_FILENAME,
                          IDC_OUTPUT_LINUX_APPICON,
                          IDC_OUTPUT_LINUX_APPICON_PATH,
                          IDC_OUTPUT_LINUX_APPICON_BROWSE};
    for (int id : hidden) ShowWindow(Item(id), SW_HIDE);

    AddTooltip(folder_, 230);
    AddTooltip(folderBrowse_, 231);
    AddTooltip(defaultNames_, 232);
    AddTooltip(windows_, 242);
    AddTooltip(windowsName_, 243);
    AddTooltip(windowsIcon_, 244);
    AddTooltip(windowsIconName_, 245);
    AddTooltip(windowsIconBrowse_, 246);
    return false;
}

void OutputPage::Load() {
    loading_ = true;
    const ProjectSettings& s = CurrentProject().Settings();
    ShowOrNotAvailable(folder_, OutputFolderText(s.outputFolder));
    defaultNames_.SetChecked(s.outputDefaultFilenames);
    windows_.SetChecked(s.outputWin);
    windowsName_.SetText(s.outputWinFilename);
    windowsName_.Enable(WindowsFileNameEditable(s));
    windowsIcon_.SetChecked(s.outputWinAppicon);
    ShowOrNotAvailable(windowsIconName_, ChosenFileText(s.outputWinAppiconPath));
    windowsIconBrowse_.Enable(s.outputWinAppicon);

    macPpc_.SetChecked(s.outputMacppc);
    macPpcName_.SetText(s.outputMacppcFilename);
    macIntel_.SetChecked(s.outputMacintel);
    macIntelName_.SetText(s.outputMacintelFilename);
    macUniversal_.SetChecked(s.outputMacuniversal);
    macUniversalName_.SetText(s.outputMacuniversalFilename);
    macIcon_.SetChecked(s.outputMacAppicon);
    ShowOrNotAvailable(macIconName_, ChosenFileText(s.outputMacAppiconPath));
    linux_.SetChecked(s.outputLinux);
    linuxName_.SetText(s.outputLinuxFilename);
    linuxIcon_.SetChecked(s.outputLinuxAppicon);
    ShowOrNotAvailable(linuxIconName_, ChosenFileText(s.outputLinuxAppiconPath));
    loading_ = false;
}

void OutputPage::ApplyPendingEdits() {
    // A disabled box holds the derived name, which is no edit of the user's.
    if (!windowsName_.IsEnabled() || !TakeTyped(windowsName_)) return;
    std::string name = windowsName_.Text();
    if (name == CurrentProject().OutputFileName(ExportTarget::Windows)) return;
    EditProject([&name](Project& p) { p.SetOutputFileName(ExportTarget::Windows, name); });
}

bool OutputPage::OnEditFocusLost(HWND, HWND edit) {
    if (edit != windowsName_.Handle() || loading_) return false;
    ApplyPendingEdits();
    return true;
}

bool OutputPage::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED || loading_) return false;
    switch (id) {
        case IDC_OUTPUT_FOLDER_BROWSE:
            ChooseFolder();
            return true;
        case IDC_DEFAULT_FILENAMES: {
            bool on = defaultNames_.Checked();
            EditProject([on](Project& p) { p.SetDefaultFileNames(on); });
            return true;
        }
        case IDC_OUTPUT_WIN: {
            bool on = windows_.Checked();
            EditProject([on](Project& p) { p.SetOutputEnabled(ExportTarget::Windows, on); });
            return true;
        }
        case IDC_OUTPUT_WIN_APPICON: {
            bool on = windowsIcon_.Checked();
            EditProject([on](Project& p) { p.SetUseWindowsIcon(on); });
            return true;
        }
        case IDC_OUTPUT_WIN_APPICON_BROWSE:
            ChooseIcon();
            return true;
        default:
            return false;
    }
}

void OutputPage::ChooseFolder() {
    std::string folder;
    if (!Host().Dialogs().ChooseFolder(OwnerWindow(), "Output to:", &folder)) return;
    EditProject([&folder](Project& p) { p.SetOutputFolder(folder); });
}

void OutputPage::ChooseIcon() {
    FileDialogArgs args;
    args.owner = OwnerWindow();
    args.filter = FileFilter({"*.ico"}, true);
    std::string path;
    if (!Host().Dialogs().OpenFile(args, &path)) return;
    EditProject([&path](Project& p) { p.SetWindowsIconPath(path); });
}

}  // namespace kestrel
