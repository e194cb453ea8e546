#include "builder/project.h"

#include "builder/change_counter.h"
#include "builder/project_paths.h"
#include "common/file_system.h"

namespace kestrel {

namespace {

struct TargetFields {
    bool ProjectSettings::*enabled;
    std::string ProjectSettings::*fileName;
    const char* defaultSuffix;  // appended to the project name
};

const TargetFields& FieldsOf(ExportTarget target) {
    static const TargetFields kFields[] = {
        {&ProjectSettings::outputMacppc, &ProjectSettings::outputMacppcFilename, "PPC.app"},
        {&ProjectSettings::outputMacintel, &ProjectSettings::outputMacintelFilename, "Intel.app"},
        {&ProjectSettings::outputMacuniversal, &ProjectSettings::outputMacuniversalFilename,
         ".app"},
        {&ProjectSettings::outputWin, &ProjectSettings::outputWinFilename, ".exe"},
        {&ProjectSettings::outputLinux, &ProjectSettings::outputLinuxFilename, "rh"},
    };
    return kFields[static_cast<int>(target)];
}

template <typename T>
void Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    ChangeCounter::Count();
}

void StorePath(std::string& field, const std::string& path) {
    if (SamePath(field, path)) return;
    field = path;
    ChangeCounter::Count();
}

}  // namespace

void Project::Reset() {
    mainWindow_.ResetToDefaults();
    mainWindow_.SetWindowName("MainWindow");
    mainWindow_.settings_.windowIsVisible = true;
    currentWindow_ = nullptr;
    settings_ = ProjectSettings{};
    settings_.outputFolder = DesktopFolder();
    DeriveDefaultFileNames();
    for (bool& permission : exportPermissions_) permission = false;
}

void Project::DeriveDefaultFileNames() {
    if (!settings_.outputDefaultFilenames) return;
    const std::string& name = settings_.projectName.empty() ? "Untitled" : settings_.projectName;
    for (ExportTarget target : kExportTargets) {
        const TargetFields& fields = FieldsOf(target);
        settings_.*fields.fileName = name + fields.defaultSuffix;
    }
}

void Project::SetOutputFolder(const std::string& path) {
    StorePath(settings_.outputFolder, path);
}
void Project::SetMacIconPath(const std::string& path) {
    StorePath(settings_.outputMacAppiconPath, path);
}
void Project::SetWindowsIconPath(const std::string& path) {
    StorePath(settings_.outputWinAppiconPath, path);
}
void Project::SetUseMacIcon(bool value) {
    Store(settings_.outputMacAppicon, value);
}
void Project::SetUseWindowsIcon(bool value) {
    Store(settings_.outputWinAppicon, value);
}
void Project::SetUseLinuxIcon(bool value) {
    Store(settings_.outputLinuxAppicon, value);
}

void Project::SetOutputEnabled(ExportTarget target, bool value) {
    Store(settings_.*FieldsOf(target).enabled, value);
}

void Project::SetOutputFileName(ExportTarget target, const std::string& name) {
    Store(settings_.*FieldsOf(target).fileName, name);
}

void Project::SetDefaultFileNames(bool value) {
    Store(settings_.outputDefaultFilenames, value);
    DeriveDefaultFileNames();
}

void Project::SetProjectName(const std::string& name) {
    settings_.projectName = name;
    DeriveDefaultFileNames();
}

bool Project::OutputEnabled(ExportTarget target) const {
    return settings_.*FieldsOf(target).enabled;
}

const std::string& Project::OutputFileName(ExportTarget target) const {
    return settings_.*FieldsOf(target).fileName;
}

std::string Project::OutputPath(ExportTarget target) const {
    return JoinPath(AbsoluteForm(settings_.outputFolder), OutputFileName(target));
}

void Project::SetExportPermission(ExportTarget target, bool allowed) {
    exportPermissions_[static_cast<int>(target)] = allowed;
}

bool Project::ExportPermission(ExportTarget target) const {
    return exportPermissions_[static_cast<int>(target)];
}

int Project::WindowIndexOf(const WindowData* window) const {
    if (!window) return -1;
    if (window == &mainWindow_) return 0;
    const auto& subWindows = mainWindow_.SubWindows();
    for (size_t i = 0; i < subWindows.size(); ++i) {
        if (subWindows[i].get() == window) return static_cast<int>(i + 1);
    }
    return -1;
}

WindowData* Project::WindowAt(int index) const {
    if (index == 0) return const_cast<WindowData*>(&mainWindow_);
    const auto& subWindows = mainWindow_.SubWindows();
    if (index < 1 || static_cast<size_t>(index) > subWindows.size()) return nullptr;
    return subWindows[static_cast<size_t>(index - 1)].get();
}

bool Project::SelectWindow(WindowData* window) {
    currentWindow_ = WindowIndexOf(window) >= 0 ? window : nullptr;
    return currentWindow_ != nullptr;
}

bool Project::SelectWindowByIndex(int index) {
    currentWindow_ = WindowAt(index);
    return currentWindow_ != nullptr;
}

bool Project::RemoveSubWindow(WindowData* window) {
    if (!window || window == &mainWindow_) return false;
    if (mainWindow_.RemoveSubWindow(window)) currentWindow_ = nullptr;
    return true;
}

void Project::RemoveAllSubWindows() {
    mainWindow_.RemoveAllSubWindows();
    currentWindow_ = nullptr;
}

}  // namespace kestrel
