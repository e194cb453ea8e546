// The builder's undo history: each entry holds two whole-project snapshots,
// the project before and after one edit, kept as files in the builder's
// temporary folder. Undo and redo reload one of them into the project.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "builder/project.h"

namespace kestrel {

class UndoEntry {
  public:
    UndoEntry(Project& project, std::string undoPath, std::string redoPath);
    // Deletes both snapshot files.
    ~UndoEntry();
    UndoEntry(const UndoEntry&) = delete;
    UndoEntry& operator=(const UndoEntry&) = delete;

    bool WriteUndoSnapshot();
    bool WriteRedoSnapshot();
    // Reload the project from one snapshot. A snapshot that cannot be read
    // leaves the project as it was. The project keeps its name: it belongs
    // to the file the project was last opened or saved as, not to the edit.
    bool Undo();
    bool Redo();

    const std::string& UndoPath() const { return undoPath_; }
    const std::string& RedoPath() const { return redoPath_; }

  private:
    bool Reload(const std::string& path);

    Project& project_;  // not owned: the main window's project outlives the history
    std::string undoPath_;
    std::string redoPath_;
};

class UndoStack {
  public:
    static constexpr std::size_t kLimit = 5;

    // Appends after every entry, also after undone ones, drops the oldest
    // beyond the limit, and clears the saved flag.
    void Push(std::unique_ptr<UndoEntry> entry);
    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < entries_.size(); }
    // Neither changes the saved flag.
    bool Undo();
    bool Redo();
    // Destroys every entry (deleting its files) and clears the saved flag.
    void Clear();
    void MarkSaved() {
        saved_ = true;
        changedWithoutEntry_ = false;
    }
    // An edit changed the project but could not be recorded (a snapshot
    // could not be written): it still needs saving.
    void MarkChangedWithoutEntry() { changedWithoutEntry_ = true; }
    // At least one applied entry and no save since the last push, or a
    // change that has no entry.
    bool HasUnsavedChanges() const { return changedWithoutEntry_ || (position_ > 0 && !saved_); }

    std::size_t Count() const { return entries_.size(); }
    // The number of entries currently applied.
    std::size_t Position() const { return position_; }

  private:
    std::vector<std::unique_ptr<UndoEntry>> entries_;  // oldest first
    std::size_t position_ = 0;
    bool saved_ = false;
    bool changedWithoutEntry_ = false;
};

}  // namespace kestrel
