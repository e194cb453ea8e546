// The builder's picture (PNG resource "GFXX" 218) as a bitmap for a static
// control, and the three lines printed under it.
#pragma once

#include <windows.h>

#include "common/win_handles.h"

namespace kestrel {

// Null when the resource is missing or not a readable PNG.
GdiObject<HBITMAP> LoadArtwork();

// Fills the picture and the version, second and copyright lines of the
// splash or the About box; `artwork` must live as long as the dialog.
void ShowArtworkAndLines(HWND dialog, const GdiObject<HBITMAP>& artwork);

}  // namespace kestrel
