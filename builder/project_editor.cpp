#include "builder/project_editor.h"

#include <memory>
#include <utility>

#include "builder/change_counter.h"
#include "builder/project_file_reader.h"
#include "builder/project_file_writer.h"
#include "common/file_system.h"

namespace kestrel {

ProjectEditor::ProjectEditor(Project& project, std::string folder, int processId)
    : project_(project), folder_(std::move(folder)), processId_(processId) {}

std::string ProjectEditor::SnapshotPath(const char* kind, unsigned number) const {
    return JoinPath(folder_,
                    std::string(kind) + std::to_string(processId_) + "_" + std::to_string(number));
}

EditResult ProjectEditor::Edit(const std::function<void(Project&)>& change) {
    ChangeCounter::Reset();
    unsigned number = ++counter_;
    auto entry = std::make_unique<UndoEntry>(project_, SnapshotPath("_undo", number),
                                             SnapshotPath("_redo", number));
    bool snapshotted = entry->WriteUndoSnapshot();
    change(project_);
    if (ChangeCounter::Read(true) == 0) return EditResult::Unchanged;
    if (!snapshotted || !entry->WriteRedoSnapshot()) {
        stack_.MarkChangedWithoutEntry();
        return EditResult::NotUndoable;
    }
    stack_.Push(std::move(entry));
    return EditResult::Undoable;
}

WindowData* ProjectEditor::AddWindow(EditResult* result) {
    WindowData* added = nullptr;
    EditResult edited = Edit([&added](Project& project) {
        added = project.MainWindow().AddSubWindow();
        added->SetWindowName("SubWindow");
        project.SelectWindow(added);
        ChangeCounter::Count();
    });
    if (result) *result = edited;
    return added;
}

bool ProjectEditor::RemoveWindow(WindowData* window, EditResult* result) {
    if (!window || window == &project_.MainWindow()) return false;
    EditResult edited = Edit([window](Project& project) {
        if (project.WindowIndexOf(window) > 0) ChangeCounter::Count();
        project.RemoveSubWindow(window);
    });
    if (result) *result = edited;
    return true;
}

EditResult ProjectEditor::RemoveAllWindows() {
    return Edit([](Project& project) {
        if (!project.MainWindow().SubWindows().empty()) ChangeCounter::Count();
        project.RemoveAllSubWindows();
    });
}

EditResult ProjectEditor::RenameWindow(WindowData* window, const std::string& name) {
    if (!window) return EditResult::Unchanged;
    return Edit([window, &name](Project&) {
        if (window->Settings().windowName == name) return;
        window->SetWindowName(name);
        ChangeCounter::Count();
    });
}

void ProjectEditor::NewProject() {
    project_.Reset();
    stack_.Clear();
}

ProjectFileError ProjectEditor::OpenProject(const std::string& path) {
    ProjectFileError error = LoadProjectFile(project_, path);
    if (error == ProjectFileError::None) stack_.Clear();
    return error;
}

ProjectFileError ProjectEditor::SaveProject(const std::string& path) {
    ProjectFileError error = SaveProjectFile(project_, path);
    if (error == ProjectFileError::None) stack_.MarkSaved();
    return error;
}

}  // namespace kestrel
