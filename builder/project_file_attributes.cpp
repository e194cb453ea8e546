#include "builder/project_file_attributes.h"

#include "builder/project_paths.h"
#include "common/settings_reader.h"

namespace kestrel {

namespace {

template <typename S, std::string S::*Field>
AttributeRule<S> Text(const char* name) {
    return {name, true, [](const S& s) { return s.*Field; },
            [](S& s, const std::string& value) { s.*Field = value; }};
}

// Written in absolute form and stored in absolute form.
template <typename S, std::string S::*Field>
AttributeRule<S> Path(const char* name) {
    return {name, true, [](const S& s) { return AbsoluteForm(s.*Field); },
            [](S& s, const std::string& value) { s.*Field = AbsoluteForm(value); }};
}

// Written in absolute form, stored as written.
template <typename S, std::string S::*Field>
AttributeRule<S> PathAsWritten(const char* name) {
    return {name, true, [](const S& s) { return AbsoluteForm(s.*Field); },
            [](S& s, const std::string& value) { s.*Field = value; }};
}

template <typename S, bool S::*Field>
AttributeRule<S> Flag(const char* name) {
    return {name, false, [](const S& s) { return std::string(s.*Field ? "true" : "false"); },
            [](S& s, const std::string& value) { s.*Field = ParseFlag(value); }};
}

template <typename S, int32_t S::*Field>
AttributeRule<S> Int(const char* name) {
    return {name, false, [](const S& s) { return std::to_string(s.*Field); },
            [](S& s, const std::string& value) { s.*Field = ParseDecimalInt(value); }};
}

template <typename S, uint32_t S::*Field>
AttributeRule<S> UInt(const char* name) {
    return {name, false, [](const S& s) { return std::to_string(s.*Field); },
            [](S& s, const std::string& value) { s.*Field = ParseDecimalUInt(value); }};
}

// A value outside the enumeration writes an empty value.
template <typename S, typename E, E S::*Field>
AttributeRule<S> Word(const char* name) {
    return {name, false,
            [](const S& s) {
                const char* word = WordFor(s.*Field);
                return std::string(word ? word : "");
            },
            [](S& s, const std::string& value) { ParseWord(value, &(s.*Field)); }};
}

using W = WindowSettings;
using P = ProjectSettings;

}  // namespace

const std::vector<AttributeRule<WindowSettings>>& WindowAttributes() {
    static const std::vector<AttributeRule<W>> kRules = {
        Path<W, &W::swf>("swf"),
        Text<W, &W::windowName>("window_name"),
        Text<W, &W::windowTitle>("window_title"),
        Path<W, &W::windowMask>("window_mask"),
        Word<W, WindowType, &W::windowType>("window_type"),
        Word<W, WindowStyle, &W::windowStyle>("window_style"),
        Flag<W, &W::windowHasMaximize>("window_has_maximize"),
        Flag<W, &W::windowHasMinimize>("window_has_minimize"),
        Flag<W, &W::windowHasClose>("window_has_close"),
        Flag<W, &W::windowIsResizable>("window_is_resizable"),
        Flag<W, &W::windowIsVisible>("window_is_visible"),
        Flag<W, &W::windowHasMenu>("window_has_menu"),
        Word<W, SizeMode, &W::windowSize>("window_size"),
        Word<W, PositionMode, &W::windowPosition>("window_position"),
        Int<W, &W::windowX>("window_x"),
        Int<W, &W::windowY>("window_y"),
        Int<W, &W::windowWidth>("window_width"),
        Int<W, &W::windowHeight>("window_height"),
        Int<W, &W::windowWidthPercent>("window_width_percent"),
        Int<W, &W::windowHeightPercent>("window_height_percent"),
        Flag<W, &W::windowFullscreen>("window_fullscreen"),
        Word<W, MouseAction, &W::leftMouseAction>("left_mouse_action"),
        Word<W, MouseAction, &W::rightMouseAction>("right_mouse_action"),
        Flag<W, &W::exitOnEscape>("exit_on_escape"),
        Flag<W, &W::useFlashBgcolor>("use_flash_bgcolor"),
        UInt<W, &W::flashBgcolor>("flash_bgcolor"),
        Word<W, FlashQuality, &W::flashQuality>("flash_quality"),
        Word<W, FlashScale, &W::flashScale>("flash_scale"),
        Flag<W, &W::flashShowMenu>("flash_show_menu"),
        Flag<W, &W::flashLoopMovie>("flash_loop_movie"),
    };
    return kRules;
}

const std::vector<AttributeRule<ProjectSettings>>& DataListAttributes() {
    static const std::vector<AttributeRule<P>> kRules = {
        PathAsWritten<P, &P::outputFolder>("output_folder"),
        Flag<P, &P::outputMacppc>("output_macppc"),
        Text<P, &P::outputMacppcFilename>("output_macppc_filename"),
        Flag<P, &P::outputMacintel>("output_macintel"),
        Text<P, &P::outputMacintelFilename>("output_macintel_filename"),
        Flag<P, &P::outputMacuniversal>("output_macuniversal"),
        Text<P, &P::outputMacuniversalFilename>("output_macuniversal_filename"),
        Flag<P, &P::outputMacAppicon>("output_mac_appicon"),
        Path<P, &P::outputMacAppiconPath>("output_mac_appicon_path"),
        Flag<P, &P::outputWin>("output_win"),
        Text<P, &P::outputWinFilename>("output_win_filename"),
        Flag<P, &P::outputWinAppicon>("output_win_appicon"),
        Path<P, &P::outputWinAppiconPath>("output_win_appicon_path"),
        Flag<P, &P::outputLinux>("output_linux"),
        Text<P, &P::outputLinuxFilename>("output_linux_filename"),
        Flag<P, &P::outputLinuxAppicon>("output_linux_appicon"),
        Path<P, &P::outputLinuxAppiconPath>("output_linux_appicon_path"),
        Flag<P, &P::outputDefaultFilenames>("output_default_filenames"),
    };
    return kRules;
}

}  // namespace kestrel
