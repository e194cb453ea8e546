// The in-memory form of one "window" element of the settings document.
// The projector creates its windows from it; the builder fills one to write
// the settings document. Numbers of the enumerations are part of the file
// format and the API.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

enum class WindowType : int32_t { Standard = 0, Mask = 1, Transparent = 2 };
enum class WindowStyle : int32_t { Normal = 0, Modal = 1, Tool = 2, NoBorder = 3 };
enum class WindowSizeMode : int32_t { Custom = 0, SwfSize = 1, ScreenPercent = 2 };
enum class WindowPositionMode : int32_t { Custom = 0, Center = 1 };
enum class MouseAction : int32_t { Drag = 0, Flash = 1, Ignore = 2, CustomMenu = 3 };
enum class FlashQuality : int32_t {
    Low = 0,
    AutoLow = 1,
    AutoHigh = 2,
    Medium = 3,
    High = 4,
    Best = 5
};
enum class FlashScale : int32_t { ShowAll = 0, NoBorder = 1, ExactFit = 2 };

// Every field holds the value a definition has when its attribute is absent.
struct WindowDefinition {
    std::string moviePath;  // "swf": unpack folder + movie name (the name alone when writing)
    std::string name;       // "window_name": how the API addresses the window
    std::string title = "Window";  // "window_title"
    std::string maskPath;  // "mask": unpack folder + mask name (the name alone when writing)

    WindowType type = WindowType::Standard;
    WindowStyle style = WindowStyle::Normal;
    WindowSizeMode sizeMode = WindowSizeMode::SwfSize;
    WindowPositionMode positionMode = WindowPositionMode::Custom;

    int32_t x = 20;
    int32_t y = 60;
    int32_t width = 320;
    int32_t height = 240;
    int32_t widthPercent = 100;
    int32_t heightPercent = 100;

    bool hasMaximize = true;
    bool hasMinimize = true;
    bool hasClose = true;
    bool resizable = false;
    bool visible = false;
    bool hasMenu = false;
    bool fullScreen = false;
    bool exitOnEscape = true;
    bool useBackgroundColor = false;
    bool showFlashMenu = true;
    bool loopMovie = false;

    MouseAction leftMouseAction = MouseAction::Flash;
    MouseAction rightMouseAction = MouseAction::Flash;

    uint32_t backgroundColor = 0;  // Windows colour value: red in the low byte
    FlashQuality quality = FlashQuality::High;
    FlashScale scale = FlashScale::ShowAll;

    // Owned, in document order; window index i (1..n) is additionalWindows[i - 1].
    std::vector<WindowDefinition> additionalWindows;
};

// Word <-> number tables of the enumerated attributes. WordFor returns
// nullptr for a number that has no word; NumberFor returns false for a word
// that is not in the table (exact, case-sensitive match).
const char* WordFor(WindowType value);
const char* WordFor(WindowStyle value);
const char* WordFor(WindowSizeMode value);
const char* WordFor(WindowPositionMode value);
const char* WordFor(MouseAction value);
const char* WordFor(FlashQuality value);
const char* WordFor(FlashScale value);

bool ParseWord(const std::string& word, WindowType* value);
bool ParseWord(const std::string& word, WindowStyle* value);
bool ParseWord(const std::string& word, WindowSizeMode* value);
bool ParseWord(const std::string& word, WindowPositionMode* value);
bool ParseWord(const std::string& word, MouseAction* value);
bool ParseWord(const std::string& word, FlashQuality* value);
bool ParseWord(const std::string& word, FlashScale* value);

}  // namespace kestrel
