#include "builder/undo_stack.h"

#include <utility>

#include "builder/project_file_reader.h"
#include "builder/project_file_writer.h"
#include "common/file_system.h"

namespace kestrel {

UndoEntry::UndoEntry(Project& project, std::string undoPath, std::string redoPath)
    : project_(project), undoPath_(std::move(undoPath)), redoPath_(std::move(redoPath)) {}

UndoEntry::~UndoEntry() {
    RemoveFile(undoPath_);
    RemoveFile(redoPath_);
}

bool UndoEntry::WriteUndoSnapshot() {
    return SaveSnapshotFile(project_, undoPath_) == ProjectFileError::None;
}

bool UndoEntry::WriteRedoSnapshot() {
    return SaveSnapshotFile(project_, redoPath_) == ProjectFileError::None;
}

bool UndoEntry::Undo() {
    return Reload(undoPath_);
}

bool UndoEntry::Redo() {
    return Reload(redoPath_);
}

bool UndoEntry::Reload(const std::string& path) {
    // Reading resets the project, which names it "Untitled".
    std::string name = project_.Settings().projectName;
    if (LoadSnapshotFile(project_, path) != ProjectFileError::None) return false;
    project_.SetProjectName(name);
    return true;
}

void UndoStack::Push(std::unique_ptr<UndoEntry> entry) {
    entries_.push_back(std::move(entry));
    while (entries_.size() > kLimit) entries_.erase(entries_.begin());
    position_ = entries_.size();
    saved_ = false;
}

bool UndoStack::Undo() {
    if (!CanUndo()) return false;
    // A snapshot that cannot be read changes nothing, not even the position.
    if (!entries_[position_ - 1]->Undo()) return false;
    --position_;
    return true;
}

bool UndoStack::Redo() {
    if (!CanRedo()) return false;
    if (!entries_[position_]->Redo()) return false;
    ++position_;
    return true;
}

void UndoStack::Clear() {
    entries_.clear();
    position_ = 0;
    saved_ = false;
    changedWithoutEntry_ = false;
}

}  // namespace kestrel
