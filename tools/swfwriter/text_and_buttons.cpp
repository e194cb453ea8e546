#include "tools/swfwriter/text_and_buttons.h"

namespace swf {

Bytes EncodeDefineEditText(uint16_t id, const EditText& t) {
    ByteWriter out;
    out.U16(id);
    WriteRect(out, t.bounds);
    uint8_t first = (t.initialText ? 0x80 : 0) | (t.wordWrap ? 0x40 : 0) |
                    (t.multiline ? 0x20 : 0) | (t.password ? 0x10 : 0) | (t.readOnly ? 0x08 : 0) |
                    (t.color ? 0x04 : 0) | (t.maxLength ? 0x02 : 0) | (t.fontId ? 0x01 : 0);
    uint8_t second = (t.autoSize ? 0x40 : 0) | (t.layout ? 0x20 : 0) | (t.noSelect ? 0x10 : 0) |
                     (t.border ? 0x08 : 0) | (t.wasStatic ? 0x04 : 0) | (t.html ? 0x02 : 0) |
                     (t.useOutlines ? 0x01 : 0);
    out.U8(first);
    out.U8(second);
    if (t.fontId) {
        out.U16(*t.fontId);
        out.U16(t.fontHeight);
    }
    if (t.color) WriteRgba(out, *t.color);
    if (t.maxLength) out.U16(*t.maxLength);
    if (t.layout) {
        out.U8(static_cast<uint8_t>(t.layout->align));
        out.U16(t.layout->leftMargin);
        out.U16(t.layout->rightMargin);
        out.U16(t.layout->indent);
        out.S16(t.layout->leading);
    }
    out.String(t.variableName);
    if (t.initialText) out.String(*t.initialText);
    return out.Take();
}

Bytes EncodeDeviceFont(uint16_t id, const std::string& name, bool bold, bool italic) {
    ByteWriter out;
    out.U16(id);
    out.U8((italic ? 0x02 : 0) | (bold ? 0x01 : 0));
    out.U8(0);  // language code
    std::string shortName = name.substr(0, 255);
    out.U8(static_cast<uint32_t>(shortName.size()));
    for (char c : shortName) out.U8(static_cast<uint8_t>(c));
    out.U16(0);  // no glyphs
    // The code table offset counts from the (empty) offset table, so it points just past itself.
    out.U16(2);
    return out.Take();
}

std::optional<uint16_t> ButtonConditionByName(const std::string& name) {
    static const struct {
        const char* name;
        uint16_t condition;
    } kConditions[] = {
        {"rollOver", kCondIdleToOverUp},
        {"rollOut", kCondOverUpToIdle},
        {"press", kCondOverUpToOverDown},
        {"release", kCondOverDownToOverUp},
        {"dragOut", kCondOverDownToOutDown},
        {"dragOver", kCondOutDownToOverDown},
        {"releaseOutside", kCondOutDownToIdle},
        {"idleToOverUp", kCondIdleToOverUp},
        {"overUpToIdle", kCondOverUpToIdle},
        {"overUpToOverDown", kCondOverUpToOverDown},
        {"overDownToOverUp", kCondOverDownToOverUp},
        {"overDownToOutDown", kCondOverDownToOutDown},
        {"outDownToOverDown", kCondOutDownToOverDown},
        {"outDownToIdle", kCondOutDownToIdle},
        {"idleToOverDown", kCondIdleToOverDown},
        {"overDownToIdle", kCondOverDownToIdle},
    };
    for (const auto& c : kConditions) {
        if (name == c.name) return c.condition;
    }
    return std::nullopt;
}

std::optional<Bytes> EncodeDefineButton2(uint16_t id, const Button& button, std::string* error) {
    ByteWriter out;
    out.U16(id);
    out.U8(button.trackAsMenu ? 1 : 0);
    size_t actionOffsetField = out.Size();
    out.U16(0);
    for (const ButtonRecord& r : button.records) {
        out.U8(r.states & 0x0F);
        out.U16(r.characterId);
        out.U16(r.depth);
        WriteMatrix(out, r.matrix);
        WriteColorTransform(out, r.colorTransform);
    }
    out.U8(0);  // end of records
    if (!button.actions.empty()) {
        out.PatchU16(actionOffsetField, static_cast<uint32_t>(out.Size() - actionOffsetField));
    }
    for (size_t i = 0; i < button.actions.size(); ++i) {
        const ButtonAction& a = button.actions[i];
        size_t recordSize = 4 + a.actions.size();
        bool last = i + 1 == button.actions.size();
        if (!last && recordSize > 0xFFFF) {
            if (error) *error = "a button action is longer than 65535 bytes";
            return std::nullopt;
        }
        out.U16(last ? 0 : static_cast<uint32_t>(recordSize));
        out.U16(a.conditions);
        out.Append(a.actions);
    }
    return out.Take();
}

}  // namespace swf
