// Draws a movie's current picture into a device context. The GDI renderer of
// the player replaces what is drawn here; the instance only calls PaintMovie.
#pragma once

#include <windows.h>

#include "player/shell/shell_movie.h"

namespace kestrel::shell {

// Paints the area (0, 0, width, height) of `dc`; the host has already clipped
// `dc` to the part it needs.
void PaintMovie(HDC dc, int width, int height, const ShellMovie& movie);

}  // namespace kestrel::shell
