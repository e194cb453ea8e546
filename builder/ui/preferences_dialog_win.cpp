#include <algorithm>

#include "builder/ui/controls.h"
#include "builder/ui/dialog.h"
#include "builder/ui/preferences_dialog.h"
#include "builder/ui/resource_ids.h"
#include "builder/ui/update_prompt.h"

namespace kestrel {
namespace {

class GeneralPage : public Dialog {
  public:
    void Load(const Preferences& preferences) {
        Fill(projects_, IDC_PREFERENCES_RECENT_PROJECTS, preferences.recentProjects.Maximum());
        Fill(movies_, IDC_PREFERENCES_RECENT_SWFS, preferences.recentMovies.Maximum());
        fullPath_.Bind(Handle(), IDC_PREFERENCES_FULL_PATH);
        fullPath_.SetChecked(preferences.displayFullPath);
    }

    void Store(Preferences& preferences) const {
        preferences.recentProjects.SetMaximum(std::max(projects_.Selection(), 0));
        preferences.recentMovies.SetMaximum(std::max(movies_.Selection(), 0));
        preferences.displayFullPath = fullPath_.Checked();
    }

  private:
    void Fill(ComboBox& box, int id, int value) {
        box.Bind(Handle(), id);
        box.Reset();
        for (int number = 0; number <= kRecentListMaximumLimit; ++number) {
            box.AddFromResource(IDS_NUMBER_0 + number);
        }
        box.SetSelection(std::clamp(value, 0, kRecentListMaximumLimit));
    }

    ComboBox projects_;
    ComboBox movies_;
    CheckBox fullPath_;
};

class UpdatesPage : public Dialog {
  public:
    explicit UpdatesPage(const std::string& preferencesKey) : preferencesKey_(preferencesKey) {}

    void Load(const Preferences& preferences) {
        automatic_.Bind(Handle(), IDC_PREFERENCES_AUTO_CHECK);
        automatic_.SetChecked(preferences.checkForUpdates);
    }

    void Store(Preferences& preferences) const {
        preferences.checkForUpdates = automatic_.Checked();
    }

  protected:
    bool OnCommand(int id, int code, HWND control) override {
        if (id != IDC_PREFERENCES_CHECK_NOW) return false;
        RunManualUpdateCheck(Handle(), preferencesKey_);
        return true;
    }

  private:
    const std::string& preferencesKey_;
    CheckBox automatic_;
};

class PreferencesDialog : public Dialog {
  public:
    PreferencesDialog(Preferences& preferences, const std::string& preferencesKey)
        : preferences_(preferences), updates_(preferencesKey) {}

  protected:
    bool OnInit() override {
        tabs_.Bind(Handle(), IDC_PREFERENCES_TABS);
        general_.CreateModeless(IDD_PREFERENCES_GENERAL, Handle(), ID_PAGE_PREFERENCES_GENERAL,
                                true);
        updates_.CreateModeless(IDD_PREFERENCES_UPDATES, Handle(), ID_PAGE_PREFERENCES_UPDATES,
                                true);
        general_.Load(preferences_);
        updates_.Load(preferences_);
        tabs_.AddPageFromResource(general_.Handle(), IDS_GENERAL_TAB);
        tabs_.AddPageFromResource(updates_.Handle(), IDS_UPDATES_TAB);
        tabs_.Select(0);
        return true;
    }

    bool OnNotify(int id, NMHDR* header, LRESULT* result) override {
        if (id != IDC_PREFERENCES_TABS || header->code != TCN_SELCHANGE) return false;
        tabs_.ShowSelectedPage();
        return true;
    }

    bool OnCommand(int id, int code, HWND control) override {
        if (id == IDOK) {
            general_.Store(preferences_);
            updates_.Store(preferences_);
            EndModal(IDOK);
            return true;
        }
        if (id == IDCANCEL) {
            EndModal(IDCANCEL);
            return true;
        }
        return false;
    }

  private:
    Preferences& preferences_;
    TabControl tabs_;
    GeneralPage general_;
    UpdatesPage updates_;
};

}  // namespace

bool RunPreferencesDialog(HWND owner, Preferences& preferences, const std::string& preferencesKey) {
    PreferencesDialog dialog(preferences, preferencesKey);
    return dialog.RunModal(IDD_PREFERENCES, owner) == IDOK;
}

}  // namespace kestrel
