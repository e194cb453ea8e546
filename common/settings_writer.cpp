#include "common/settings_writer.h"

#include <string>

#include "common/xml_text_writer.h"

namespace kestrel {

namespace {

template <typename Enum>
std::string Word(Enum value) {
    const char* word = WordFor(value);
    return word ? word : "";
}

const char* Flag(bool value) {
    return value ? "true" : "false";
}

// Every attribute, always, in this order.
void WriteWindow(XmlTextWriter& xml, const WindowDefinition& window) {
    xml.beginStartTag("window");
    xml.attribute("swf", window.moviePath);
    xml.attribute("window_name", window.name);
    xml.attribute("window_title", window.title);
    xml.attributeRaw("window_type", Word(window.type));
    xml.attribute("mask", window.maskPath);
    xml.attributeRaw("window_style", Word(window.style));
    xml.attributeRaw("window_has_maximize", Flag(window.hasMaximize));
    xml.attributeRaw("window_has_minimize", Flag(window.hasMinimize));
    xml.attributeRaw("window_has_close", Flag(window.hasClose));
    xml.attributeRaw("window_is_resizable", Flag(window.resizable));
    xml.attributeRaw("window_is_visible", Flag(window.visible));
    xml.attributeRaw("window_has_menu", Flag(window.hasMenu));
    xml.attributeRaw("window_size", Word(window.sizeMode));
    xml.attributeRaw("window_position", Word(window.positionMode));
    xml.attributeRaw("window_x", std::to_string(window.x));
    xml.attributeRaw("window_y", std::to_string(window.y));
    xml.attributeRaw("window_width", std::to_string(window.width));
    xml.attributeRaw("window_height", std::to_string(window.height));
    xml.attributeRaw("window_width_percent", std::to_string(window.widthPercent));
    xml.attributeRaw("window_height_percent", std::to_string(window.heightPercent));
    xml.attributeRaw("window_fullscreen", Flag(window.fullScreen));
    xml.attributeRaw("left_mouse_action", Word(window.leftMouseAction));
    xml.attributeRaw("right_mouse_action", Word(window.rightMouseAction));
    xml.attributeRaw("exit_on_escape", Flag(window.exitOnEscape));
    xml.attributeRaw("use_flash_bgcolor", Flag(window.useBackgroundColor));
    xml.attributeRaw("flash_bgcolor", std::to_string(window.backgroundColor));
    xml.attributeRaw("flash_quality", Word(window.quality));
    xml.attributeRaw("flash_scale", Word(window.scale));
    xml.attributeRaw("flash_show_menu", Flag(window.showFlashMenu));
    xml.attributeRaw("flash_loop_movie", Flag(window.loopMovie));
    xml.endStartTag(" >");
    xml.lineEnd();

    xml.raw("<sub_data>");
    xml.lineEnd();
    for (const WindowDefinition& child : window.additionalWindows) WriteWindow(xml, child);
    xml.endTag("sub_data");
    xml.lineEnd();
    xml.endTag("window");
    xml.lineEnd();
}

}  // namespace

std::string WriteSettingsDocument(const WindowDefinition& mainWindow) {
    XmlTextWriter xml("\n");
    xml.raw("<xml version=\"1.0\">");
    xml.lineEnd();
    xml.raw("<windows>");
    xml.lineEnd();
    WriteWindow(xml, mainWindow);
    xml.endTag("windows");
    xml.lineEnd();
    xml.lineEnd();
    xml.endTag("xml");
    xml.lineEnd();
    return xml.result();
}

}  // namespace kestrel
