// TextSnapshot: the characters of the static text a clip shows directly (not in its
// children) when the snapshot is made, in depth order, one line per text line.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "common/unicode_case.h"
#include "player/avm1/utf8.h"
#include "player/core/movie_clip.h"
#include "player/core/stage.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

struct SnapshotChar {
    char16_t code;
    bool startsLine;  // first of a text or of one of its lines
};

std::vector<SnapshotChar> CharactersOf(const player::MovieClip& clip) {
    std::vector<SnapshotChar> out;
    const player::MovieDefinition& movie = clip.stage().movie();
    for (const auto& [depth, child] : clip.children()) {
        if (child->kind() != player::DisplayObjectKind::Shape) continue;
        const player::ShapeDefinition* shape = movie.shape(child->characterId());
        if (!shape) continue;
        for (const std::u16string& line : shape->textLines)
            for (size_t i = 0; i < line.size(); ++i) out.push_back({line[i], i == 0});
    }
    return out;
}

// The text is taken when the snapshot is made: it outlives the clip, which a duplicate
// placed at its depth may replace.
struct SnapshotData : avm1::NativeData {
    explicit SnapshotData(std::vector<SnapshotChar> c) : chars(std::move(c)) {}
    std::vector<SnapshotChar> chars;
};

// Null when the snapshot was made of something other than a clip.
const std::vector<SnapshotChar>* CharsOf(NativeCall& call) {
    Object* self = call.thisObject();
    auto* data = self ? dynamic_cast<SnapshotData*>(self->nativeData()) : nullptr;
    return data ? &data->chars : nullptr;
}

void AppendCode(std::string& out, char16_t c) {
    avm1::appendUtf8(out, c);
}

// An index argument: a whole number, 0 when it is not a number.
double IndexArgument(Vm& vm, const Value& v) {
    double d = vm.toNumber(v);
    return std::isnan(d) ? 0 : std::trunc(d);
}

// getText(start, end[, lineEndings]): [start, end) clamped to the text, at least one
// character; lineEndings puts "\n" where a line starts inside the range.
Value GetText(NativeCall& call) {
    if (call.args.size() < 2 || call.args.size() > 3) return Value();
    const std::vector<SnapshotChar>* snapshot = CharsOf(call);
    if (!snapshot) return Value();
    const std::vector<SnapshotChar>& chars = *snapshot;
    if (chars.empty()) return Value("");
    double count = static_cast<double>(chars.size());
    double start = std::clamp(IndexArgument(call.vm, call.args[0]), 0.0, count - 1);
    double end = std::clamp(IndexArgument(call.vm, call.args[1]), 0.0, count);
    if (end <= start) end = start + 1;
    bool lineEndings = call.args.size() == 3 && call.vm.toBoolean(call.args[2]);
    std::string out;
    for (size_t i = static_cast<size_t>(start); i < static_cast<size_t>(end); ++i) {
        if (lineEndings && chars[i].startsLine && i > static_cast<size_t>(start)) out += '\n';
        AppendCode(out, chars[i].code);
    }
    return Value(out);
}

char32_t Folded(char32_t c, bool caseSensitive) {
    return caseSensitive ? c : UnicodeLower(c);
}

// findText(start, text, caseSensitive): the first index from start where the text
// appears, -1 when nowhere; lines do not join.
Value FindText(NativeCall& call) {
    if (call.args.size() != 3) return Value();
    const std::vector<SnapshotChar>* snapshot = CharsOf(call);
    if (!snapshot) return Value(-1);
    const std::vector<SnapshotChar>& chars = *snapshot;
    double start = IndexArgument(call.vm, call.args[0]);
    std::string needleText = call.vm.toString(call.args[1]);
    bool caseSensitive = call.vm.toBoolean(call.args[2]);
    std::u32string needle = avm1::decodeUtf8(needleText);
    if (start < 0 || needle.empty() || start >= static_cast<double>(chars.size())) return Value(-1);
    for (size_t at = static_cast<size_t>(start); at + needle.size() <= chars.size(); ++at) {
        bool match = true;
        for (size_t k = 0; k < needle.size() && match; ++k)
            match = Folded(chars[at + k].code, caseSensitive) == Folded(needle[k], caseSensitive);
        if (match) return Value(static_cast<double>(at));
    }
    return Value(-1);
}

}  // namespace

void installTextSnapshotClass(Vm& vm) {
    Object* proto = vm.newObject();
    makeClass(vm, "TextSnapshot", proto, [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        Object* clip = call.arg(0).asObject();
        player::MovieClip* shown = clip ? clipOfSelf(*clip) : nullptr;
        if (self && shown)
            self->setNativeData(std::make_unique<SnapshotData>(CharactersOf(*shown)));
        return Value();
    });
    // Listed by for..in, in this order, as the reference player does; the class is there in
    // version 5 movies, its methods only from version 6 on.
    auto method = [&](const char* name, avm1::NativeFunction fn) {
        proto->define(name, Value(vm.newNativeFunction(std::move(fn))), avm1::kFromVersion6);
    };
    method("getCount", [](NativeCall& call) -> Value {
        if (!call.args.empty()) return Value();
        const std::vector<SnapshotChar>* chars = CharsOf(call);
        return chars ? Value(static_cast<double>(chars->size())) : Value();
    });
    method("setSelected", [](NativeCall&) { return Value(); });
    method("getSelected", [](NativeCall&) { return Value(false); });
    method("getText", GetText);
    method("getSelectedText", [](NativeCall&) { return Value(""); });
    method("hitTestTextNearPos", [](NativeCall&) { return Value(-1); });
    method("findText", FindText);
    method("setSelectColor", [](NativeCall&) { return Value(); });
    method("getTextRunInfo", [](NativeCall&) { return Value(); });

    // Whatever _global.TextSnapshot is when it is called.
    if (Object* clipProto = vm.prototypeOf("MovieClip"))
        vm.defineMethod(clipProto, "getTextSnapshot", [](NativeCall& call) -> Value {
            Value ctor = call.vm.getMember(Value(call.vm.global()), "TextSnapshot");
            return call.vm.construct(ctor, {call.thisValue}).value_or(Value());
        });
}

}  // namespace kestrel::runtime
