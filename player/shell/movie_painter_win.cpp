#include "player/shell/movie_painter_win.h"

#include "player/shell/gdi_renderer_win.h"

namespace kestrel::shell {

void PaintMovie(HDC dc, int width, int height, const ShellMovie& movie) {
    player::RenderList list;
    player::DisplayOptions options;
    if (movie.buildRenderList(list, options)) {
        RenderFrame(dc, width, height, list, options);
        return;
    }
    const RgbColor color = movie.background();
    HBRUSH brush = CreateSolidBrush(RGB(color.red, color.green, color.blue));
    if (!brush) return;
    const RECT area{0, 0, width, height};
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

}  // namespace kestrel::shell
