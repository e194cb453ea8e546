// Makes the user's edits of the project undoable. Every panel change goes
// through Edit: the project is snapshotted before and after, and the pair is
// pushed when the change counted at least one real change. The window
// operations and opening, saving and starting a project go through here too,
// so the history and the saved flag follow them.
#pragma once

#include <functional>
#include <string>

#include "builder/process_id.h"
#include "builder/project.h"
#include "builder/project_file_error.h"
#include "builder/undo_stack.h"

namespace kestrel {

enum class EditResult {
    Unchanged,    // nothing changed: no entry
    Undoable,     // changed, and an entry was pushed
    NotUndoable,  // changed, but a snapshot could not be written
};

class ProjectEditor {
  public:
    // Snapshots of the n-th edit go to `folder` as "_undo<process id>_<n>"
    // and "_redo<process id>_<n>": the counter keeps two edits in one clock
    // tick apart, the process id two builders sharing one folder.
    ProjectEditor(Project& project, std::string folder, int processId = CurrentProcessId());

    EditResult Edit(const std::function<void(Project&)>& change);

    // The window operations of the Windows panel. Adding, removing and
    // renaming count a change themselves, because the model's own
    // operations do not.
    // Adds a sub-window named "SubWindow" to the main window and makes it current.
    WindowData* AddWindow(EditResult* result = nullptr);
    // Refused (false) for none and for the main window.
    bool RemoveWindow(WindowData* window, EditResult* result = nullptr);
    EditResult RemoveAllWindows();
    EditResult RenameWindow(WindowData* window, const std::string& name);

    // New and Open start a fresh history: entries of the old project must
    // not be reloaded under the new one's path.
    void NewProject();
    ProjectFileError OpenProject(const std::string& path);
    // Marks the history saved on success.
    ProjectFileError SaveProject(const std::string& path);

    // Both reload the whole project: window pointers taken before are stale.
    bool Undo() { return stack_.Undo(); }
    bool Redo() { return stack_.Redo(); }
    const UndoStack& History() const { return stack_; }
    UndoStack& History() { return stack_; }

  private:
    std::string SnapshotPath(const char* kind, unsigned number) const;

    Project& project_;  // not owned: the main window owns both
    UndoStack stack_;
    std::string folder_;
    int processId_;
    unsigned counter_ = 0;
};

}  // namespace kestrel
