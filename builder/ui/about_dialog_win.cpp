#include "builder/ui/about_dialog.h"
#include "builder/ui/artwork.h"
#include "builder/ui/resource_ids.h"

namespace kestrel {
namespace {

class AboutBox : public Dialog {
  protected:
    bool OnInit() override {
        artwork_ = LoadArtwork();
        ShowArtworkAndLines(Handle(), artwork_);
        return true;
    }

    bool OnCommand(int id, int code, HWND control) override {
        if (id != IDOK && id != IDCANCEL) return false;
        EndModal(id);
        return true;
    }

  private:
    GdiObject<HBITMAP> artwork_;  // the picture control shows it: kept while the box is up
};

}  // namespace

void ShowAbout(HWND owner) {
    AboutBox box;
    box.RunModal(IDD_ABOUT, owner);
}

bool Splash::Open() {
    if (!CreateModeless(IDD_SPLASH, nullptr)) return false;
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(Handle());
    return true;
}

bool Splash::OnInit() {
    artwork_ = LoadArtwork();
    ShowArtworkAndLines(Handle(), artwork_);
    return false;
}

}  // namespace kestrel
