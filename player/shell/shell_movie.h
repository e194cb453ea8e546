// Where the movie lives inside the plug-in. The NPAPI side feeds it the bytes
// of its stream and asks it to draw; what "draw" means (only the background
// for now, a full renderer later) stays behind this interface.
// Portable: no Win32 types here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/display_options.h"
#include "core/render_list.h"

namespace kestrel::shell {

struct RgbColor {
    uint8_t red = 0, green = 0, blue = 0;
};

class ShellMovie {
public:
    virtual ~ShellMovie() = default;

    // The movie's stream: bytes in order, then the end (complete = every byte
    // arrived). May be called again for a later stream of the same instance.
    virtual void receive(const uint8_t* data, size_t size) = 0;
    virtual void finish(bool complete) = 0;

    // The colour the whole stage is cleared to before anything else is drawn.
    virtual RgbColor background() const = 0;

    // Stage size from the movie's header, in pixels; none before the header arrived.
    virtual std::optional<std::pair<int, int>> stageSize() const = 0;

    // One timer tick of the host's keep-alive; returns true when the picture changed.
    virtual bool tick() { return false; }

    // The current frame for the GDI renderer, and how to show it. False while the
    // movie has nothing to draw; the painter then shows only the background.
    virtual bool buildRenderList(player::RenderList& list, player::DisplayOptions& options) const {
        return false;
    }
};

// Instance parameters that the movie cares about (from NPP_New's lists).
struct ShellParameters {
    std::optional<RgbColor> backgroundOverride;  // "bgcolor" = "#rrggbb"
};

ShellParameters ParseShellParameters(const std::vector<std::pair<std::string, std::string>>& params);

// Parses "#rrggbb" (also without "#"); no value for anything else.
std::optional<RgbColor> ParseHtmlColor(const std::string& text);

// The movie used until the player core takes over: it shows the background.
std::unique_ptr<ShellMovie> CreateShellMovie(const ShellParameters& parameters);

}  // namespace kestrel::shell
