#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "builder/project_editor.h"
#include "common/file_system.h"
#include "tests/builder/builder_test_support.h"

namespace kestrel {
namespace {

using test::TestFolder;

class UndoStackTest : public ::testing::Test {
  protected:
    int Title() const { return std::stoi(project.MainWindow().Settings().windowTitle); }
    EditResult SetTitle(int n) {
        return editor.Edit([n](Project& p) { p.MainWindow().SetWindowTitle(std::to_string(n)); });
    }

    TestFolder folder;
    Project project;
    ProjectEditor editor{project, folder.path(), 4242};
};

TEST_F(UndoStackTest, KeepsFiveEntriesAndUndoesBackToTheFirstKeptEdit) {
    for (int n = 1; n <= 6; ++n) ASSERT_EQ(SetTitle(n), EditResult::Undoable);
    EXPECT_EQ(editor.History().Count(), 5u);
    for (int undone = 0; undone < 5; ++undone) ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(Title(), 1);
    EXPECT_FALSE(editor.History().CanUndo());
    EXPECT_FALSE(editor.Undo());
    for (int n = 2; n <= 6; ++n) {
        ASSERT_TRUE(editor.Redo());
        EXPECT_EQ(Title(), n);
    }
    EXPECT_FALSE(editor.Redo());
    // The dropped entry's snapshots are gone; the kept ones are there.
    EXPECT_EQ(ListFiles(folder.path()).size(), 10u);
}

TEST_F(UndoStackTest, AnEditThatChangesNothingPushesNothingAndKeepsTheSavedFlag) {
    ASSERT_EQ(SetTitle(1), EditResult::Undoable);
    ASSERT_EQ(editor.SaveProject(folder / "show.kstl"), ProjectFileError::None);
    EXPECT_EQ(SetTitle(1), EditResult::Unchanged);
    EXPECT_EQ(editor.History().Count(), 1u);
    EXPECT_FALSE(editor.History().HasUnsavedChanges());
    // The project file and the first entry's pair: the unused entry took
    // its snapshot with it.
    EXPECT_EQ(ListFiles(folder.path()).size(), 3u);
}

TEST_F(UndoStackTest, ANewEditAfterUndoComesAfterTheUndoneEntry) {
    SetTitle(1);
    SetTitle(2);
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(Title(), 1);
    SetTitle(3);
    EXPECT_EQ(editor.History().Count(), 3u);
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(Title(), 1);
    // Passing back through the undone entry restores the same state again.
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(Title(), 1);
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(project.MainWindow().Settings().windowTitle, "Window");
}

TEST_F(UndoStackTest, SaveThenUndoLeavesNoUnsavedChanges) {
    SetTitle(1);
    EXPECT_TRUE(editor.History().HasUnsavedChanges());
    ASSERT_EQ(editor.SaveProject(folder / "show.kstl"), ProjectFileError::None);
    EXPECT_FALSE(editor.History().HasUnsavedChanges());
    ASSERT_TRUE(editor.Undo());
    EXPECT_FALSE(editor.History().HasUnsavedChanges());
    ASSERT_TRUE(editor.Redo());
    SetTitle(2);
    EXPECT_TRUE(editor.History().HasUnsavedChanges());
}

TEST_F(UndoStackTest, SnapshotNamesCarryTheProcessIdAndACounter) {
    SetTitle(1);
    SetTitle(2);
    std::vector<std::string> names = ListFiles(folder.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"_redo4242_1", "_redo4242_2", "_undo4242_1",
                                               "_undo4242_2"}));
    // A second builder in the same folder never touches the first one's files.
    Project other;
    ProjectEditor second(other, folder.path(), 4343);
    second.Edit([](Project& p) { p.MainWindow().SetWindowTitle("other"); });
    EXPECT_EQ(ListFiles(folder.path()).size(), 6u);
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(Title(), 1);
}

TEST_F(UndoStackTest, OpenAndNewClearTheHistoryAndItsFiles) {
    SetTitle(1);
    std::string path = folder / "show.kstl";
    ASSERT_EQ(editor.SaveProject(path), ProjectFileError::None);
    SetTitle(2);
    ASSERT_EQ(editor.OpenProject(path), ProjectFileError::None);
    EXPECT_EQ(editor.History().Count(), 0u);
    EXPECT_FALSE(editor.Undo());
    EXPECT_EQ(Title(), 1);
    EXPECT_EQ(ListFiles(folder.path()).size(), 1u);
    // A failed open keeps the history.
    SetTitle(3);
    EXPECT_NE(editor.OpenProject(folder / "missing.kstl"), ProjectFileError::None);
    EXPECT_TRUE(editor.History().CanUndo());
    editor.NewProject();
    EXPECT_EQ(editor.History().Count(), 0u);
    EXPECT_EQ(project.MainWindow().Settings().windowTitle, "Window");
}

TEST_F(UndoStackTest, ReloadingASnapshotKeepsTheProjectName) {
    SetTitle(1);
    ASSERT_EQ(editor.SaveProject(folder / "Show.kstl"), ProjectFileError::None);
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(project.Settings().projectName, "Show");
    EXPECT_EQ(project.OutputFileName(ExportTarget::Windows), "Show.exe");
    ASSERT_TRUE(editor.Redo());
    EXPECT_EQ(project.Settings().projectName, "Show");
}

TEST_F(UndoStackTest, AnUnreadableSnapshotChangesNothing) {
    SetTitle(1);
    ASSERT_TRUE(RemoveFile(folder / "_undo4242_1"));
    EXPECT_FALSE(editor.Undo());
    EXPECT_EQ(Title(), 1);
    EXPECT_EQ(editor.History().Position(), 1u);
}

TEST_F(UndoStackTest, AnEditWhoseSnapshotCannotBeWrittenIsAppliedAndStillNeedsSaving) {
    SetTitle(1);
    ASSERT_EQ(editor.SaveProject(folder / "show.kstl"), ProjectFileError::None);
    ProjectEditor stranded(project, JoinPath(folder / "missing", "folder"), 1);
    EXPECT_EQ(stranded.Edit([](Project& p) { p.MainWindow().SetWindowTitle("2"); }),
              EditResult::NotUndoable);
    EXPECT_EQ(Title(), 2);
    EXPECT_EQ(stranded.History().Count(), 0u);
    EXPECT_TRUE(stranded.History().HasUnsavedChanges());
    ASSERT_EQ(stranded.SaveProject(folder / "show.kstl"), ProjectFileError::None);
    EXPECT_FALSE(stranded.History().HasUnsavedChanges());
}

TEST_F(UndoStackTest, WindowOperationsAreUndoable) {
    EditResult result{};
    WindowData* added = editor.AddWindow(&result);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(result, EditResult::Undoable);
    EXPECT_EQ(added->Settings().windowName, "SubWindow");
    EXPECT_EQ(project.CurrentWindow(), added);

    EXPECT_EQ(editor.RenameWindow(added, "Help"), EditResult::Undoable);
    EXPECT_EQ(editor.RenameWindow(added, "Help"), EditResult::Unchanged);
    editor.AddWindow();
    EXPECT_FALSE(editor.RemoveWindow(&project.MainWindow()));
    EXPECT_FALSE(editor.RemoveWindow(nullptr));
    ASSERT_TRUE(editor.RemoveWindow(project.WindowAt(1), &result));
    EXPECT_EQ(result, EditResult::Undoable);
    EXPECT_EQ(project.MainWindow().SubWindows().size(), 1u);
    EXPECT_EQ(editor.RemoveAllWindows(), EditResult::Undoable);
    EXPECT_EQ(editor.RemoveAllWindows(), EditResult::Unchanged);

    // Back through remove-all, remove, add and rename; pointers are stale
    // after a reload, so windows are looked up again.
    ASSERT_TRUE(editor.Undo());
    ASSERT_EQ(project.MainWindow().SubWindows().size(), 1u);
    ASSERT_TRUE(editor.Undo());
    ASSERT_EQ(project.MainWindow().SubWindows().size(), 2u);
    EXPECT_EQ(project.WindowAt(1)->Settings().windowName, "Help");
    ASSERT_TRUE(editor.Undo());
    ASSERT_EQ(project.MainWindow().SubWindows().size(), 1u);
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(project.WindowAt(1)->Settings().windowName, "SubWindow");
    ASSERT_TRUE(editor.Undo());
    EXPECT_TRUE(project.MainWindow().SubWindows().empty());
}

}  // namespace
}  // namespace kestrel
