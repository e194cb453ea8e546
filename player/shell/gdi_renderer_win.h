// Paints a frame's render list into a device context with plain GDI.
//
// What GDI cannot do is approximated: no anti-aliasing; gradients and bitmaps come
// as flat colours from the core; semi-transparent shapes are drawn solid into a
// copy of the area and blended back with one constant alpha (AlphaBlend); text is
// a device font, unrotated, in the field's transformed box; masks clip to the
// mask shapes' fill area (hard edges, no alpha).
#pragma once

#include <windows.h>

#include <optional>

#include "player/core/display_options.h"
#include "player/core/render_list.h"
#include "player/core/stage_mapping.h"

namespace kestrel::shell {

using RenderOptions = player::DisplayOptions;

// The mapping a window of width x height gives the list's stage.
player::StageMapping MappingFor(const player::RenderList& list, int width, int height,
                                const RenderOptions& options);

// Draws into (0, 0, width, height) of `dc`. The DC's state is restored afterwards.
void RenderFrame(HDC dc, int width, int height, const player::RenderList& list,
                 const RenderOptions& options);

}  // namespace kestrel::shell
