#include "projector/app/mask_window_win.h"

#include "common/binary_file.h"
#include "projector/app/application_win.h"
#include "projector/app/mask_region.h"

namespace kestrel::projector {
namespace {

// Region files are window-sized masks: anything this large is not one.
constexpr int64_t kMaxRegionFileSize = 64 * 1024 * 1024;

}  // namespace

void MaskWindow::readRegion() {
    BinaryFile file;
    if (definition_.maskPath.empty() || !file.open(definition_.maskPath, BinaryFile::Mode::Read))
        return;
    const int64_t size = file.size();
    if (size <= 0 || size > kMaxRegionFileSize || !file.seek(0)) return;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!file.readExactly(bytes.data(), bytes.size())) return;

    MaskRegionData data;
    if (CheckMaskRegion(bytes.data(), bytes.size(), &data) != MaskRegionError::None) return;
    bytes.resize(data.usedSize);
    region_.reset(ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()),
                                  reinterpret_cast<const RGNDATA*>(bytes.data())));
    if (!region_ || GetRgnBox(region_.get(), &box_) == ERROR) {
        region_.reset();
        return;
    }
    regionBytes_ = std::move(bytes);
}

bool MaskWindow::create() {
    readRegion();
    // The mask's shape replaces frame, caption and menu bar: a bare popup.
    ProjectorWindow* main = application_.mainWindow();
    window_.reset(CreateWindowExA(0, kProjectorWindowClass, definition_.title.c_str(), WS_POPUP,
                                  CW_USEDEFAULT, 0, definition_.width, definition_.height,
                                  main ? main->handle() : nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr));
    if (!window_) return false;
    return attachMovie();
}

// Stretched to the size the window really got (a screen-percent size too),
// so the shape covers the whole movie.
void MaskWindow::shapeWindow(int width, int height) {
    if (!region_) return;
    float scaleX = 1, scaleY = 1;
    if (!MaskRegionScale(box_.right - box_.left, box_.bottom - box_.top, width, height, &scaleX,
                         &scaleY))
        return;
    const XFORM stretch{scaleX, 0, 0, scaleY, 0, 0};
    Region scaled(ExtCreateRegion(&stretch, static_cast<DWORD>(regionBytes_.size()),
                                  reinterpret_cast<const RGNDATA*>(regionBytes_.data())));
    if (!scaled) return;
    OffsetRgn(scaled.get(), 0, 0);
    // Once set, the region belongs to the system.
    if (SetWindowRgn(window_.get(), scaled.get(), TRUE)) scaled.release();
}

}  // namespace kestrel::projector
