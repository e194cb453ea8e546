// The base of the builder's settings pages: a child dialog that edits the
// project through the main window (PageHost), reloads itself from the model
// and keeps the tooltips of its controls.
#pragma once

#include <functional>

#include "builder/ui/combo_lists.h"
#include "builder/ui/controls.h"
#include "builder/ui/dialog.h"
#include "builder/ui/page_host.h"

namespace kestrel {

class SettingsPage : public Dialog {
  public:
    explicit SettingsPage(PageHost& host) : host_(host) {}

    // Creates the page from its template as a child of `parent`.
    bool Create(int templateId, HWND parent, int id);
    // Fills every control from the model; makes no edit.
    virtual void Load() = 0;
    // Applies text typed into a box that has not lost the focus yet.
    virtual void ApplyPendingEdits() {}

  protected:
    PageHost& Host() { return host_; }
    Project& CurrentProject() { return host_.CurrentProject(); }
    // Asked each time: undo and redo reload the project, so a pointer kept
    // from before would be stale.
    WindowData* CurrentWindow() { return host_.CurrentProject().CurrentWindow(); }

    // One undoable edit of the current window (none: nothing happens), then
    // the page shows the result.
    void EditCurrentWindow(const std::function<void(WindowData&)>& change);
    // One undoable edit of the project, then the page shows the result.
    void EditProject(const std::function<void(Project&)>& change);

    // True once when the user typed into the box since the page last set its
    // text. Only typed text is applied: a box the user did not touch may be
    // older than the model (it changed elsewhere) and must not write it back.
    static bool TakeTyped(const EditBox& box);

    // The top-level window the page sits in: owner of its dialogs and boxes.
    HWND OwnerWindow() const { return GetAncestor(Handle(), GA_ROOT); }

    void AddTooltip(const Control& control, int stringId);
    // Fills the combo box with its items and selects the current window's value.
    static void FillCombo(ComboBox& box, PageCombo combo);
    void ShowCombo(ComboBox& box, PageCombo combo);
    // Shows `text`, or string 140 "N/A" when there is none.
    static void ShowOrNotAvailable(StaticText& field, const std::optional<std::string>& text);

    // Loading changes controls, whose notifications must not turn into edits.
    bool loading_ = false;

  private:
    PageHost& host_;  // not owned: the main window outlives its pages
    Tooltips tooltips_;
};

}  // namespace kestrel
