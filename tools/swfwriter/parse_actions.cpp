// ActionScript blocks of the description format: one action per line, labels, nested blocks.
#include <cctype>
#include <cmath>
#include <limits>

#include "common/ascii_case.h"
#include "common/swf_format.h"
#include "tools/swfwriter/action_assembler.h"
#include "tools/swfwriter/description_parser.h"
#include "tools/swfwriter/place_object.h"

namespace swf {
namespace {

std::string Lower(const std::string& s) {
    return kestrel::AsciiLowered(s);
}

bool IsLabelName(const std::string& s) {
    if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) {
        return false;
    }
    for (char c : s) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '.' && c != '$') {
            return false;
        }
    }
    return true;
}

bool HasPrefix(const std::string& s, const char* prefix, std::string& rest) {
    size_t n = std::char_traits<char>::length(prefix);
    if (s.size() <= n || Lower(s.substr(0, n)) != prefix) return false;
    rest = s.substr(n);
    return true;
}

// One push operand; `error` explains a refusal.
bool ReadPushValue(const Token& t, PushValue& v, std::string& error) {
    if (t.kind == Token::kString) {
        v = PushValue::String(t.text);
        return true;
    }
    const std::string w = Lower(t.text);
    std::string rest;
    int64_t i = 0;
    double d = 0;
    if (w == "null") {
        v = PushValue::Null();
    } else if (w == "undefined") {
        v = PushValue::Undefined();
    } else if (w == "true" || w == "false") {
        v = PushValue::Boolean(w == "true");
    } else if (w == "nan") {
        v = PushValue::Double(std::numeric_limits<double>::quiet_NaN());
    } else if (w == "infinity" || w == "-infinity") {
        double inf = std::numeric_limits<double>::infinity();
        v = PushValue::Double(w[0] == '-' ? -inf : inf);
    } else if (HasPrefix(w, "r:", rest)) {
        if (!ParseInteger(rest, i) || i < 0 || i > 255) {
            error = "registers are written r:0 to r:255";
            return false;
        }
        v = PushValue::Register(static_cast<uint8_t>(i));
    } else if (HasPrefix(w, "c:", rest) || HasPrefix(w, "c8:", rest) ||
               HasPrefix(w, "c16:", rest)) {
        bool force16 = w.compare(0, 4, "c16:") == 0, force8 = w.compare(0, 3, "c8:") == 0;
        if (!ParseInteger(rest, i) || i < 0 || i > (force8 ? 255 : 65535)) {
            error = "constant index out of range in '" + t.text + "'";
            return false;
        }
        v = force16 ? PushValue::Constant16(static_cast<uint16_t>(i))
                    : PushValue::Constant(static_cast<uint16_t>(i));
    } else if (HasPrefix(w, "i:", rest)) {
        if (!ParseInteger(rest, i) || i < INT32_MIN || i > INT32_MAX) {
            error = "'" + t.text + "' is not a 32-bit integer";
            return false;
        }
        v = PushValue::Integer(static_cast<int32_t>(i));
    } else if (HasPrefix(w, "d:", rest) || HasPrefix(w, "f:", rest)) {
        if (!ParseNumber(rest, d)) {
            error = "'" + t.text + "' is not a number";
            return false;
        }
        v = w[0] == 'd' ? PushValue::Double(d) : PushValue::Float(static_cast<float>(d));
    } else if (ParseInteger(t.text, i)) {
        if (i < INT32_MIN || i > INT32_MAX) {
            error = "integer does not fit 32 bits (write d:" + t.text + " for a double)";
            return false;
        }
        v = PushValue::Integer(static_cast<int32_t>(i));
    } else if (w.size() > 1 && w.back() == 'f' && ParseNumber(w.substr(0, w.size() - 1), d)) {
        v = PushValue::Float(static_cast<float>(d));
    } else if (ParseNumber(t.text, d)) {
        v = PushValue::Double(d);
    } else {
        error = "'" + t.text + "' is not a push value (texts need quotes)";
        return false;
    }
    return true;
}

bool ReadHexBytes(const std::vector<Token>& t, size_t from, Bytes& out, int& badColumn) {
    for (size_t i = from; i < t.size(); ++i) {
        if (t[i].IsPunct(',')) continue;
        const std::string& h = t[i].text;
        if (t[i].kind != Token::kWord || h.size() % 2 != 0 ||
            h.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            badColumn = t[i].column;
            return false;
        }
        for (size_t j = 0; j < h.size(); j += 2) {
            out.push_back(static_cast<uint8_t>(std::stoul(h.substr(j, 2), nullptr, 16)));
        }
    }
    return true;
}

}  // namespace

bool DescriptionParser::ParseDoAction(const Line& line, Timeline& timeline, bool init) {
    ByteWriter body;
    ArgReader args(line, 1);
    if (init) {
        int64_t sprite = 0;
        if (!args.Require(1, "initaction <sprite id> [long]") ||
            !args.Int(args.Positional(0), 1, 65535, sprite)) {
            return FailArgs(args);
        }
        body.U16(static_cast<uint32_t>(sprite));
    }
    bool longHeader = args.Flag("long");
    if (!args.Finish()) return FailArgs(args);
    Bytes actions;
    if (!ParseActionBlock(line, actions)) return false;
    body.Append(actions);
    timeline.AddTag(init ? kTagDoInitAction : kTagDoAction, body.Take(), longHeader);
    return true;
}

bool DescriptionParser::ParseActionBlock(const Line& opener, Bytes& out) {
    ActionAssembler as;
    constants_.clear();
    if (!ParseActionLines(as, opener)) return false;
    std::string error;
    std::optional<Bytes> bytes = as.Finish(&error);
    if (!bytes) {
        // Late errors (labels) already carry their line.
        if (error.compare(0, 5, "line ") == 0) {
            if (error_.empty()) error_ = error;
            return false;
        }
        return Fail(opener, error);
    }
    out = std::move(*bytes);
    return true;
}

bool DescriptionParser::ParseActionLines(ActionAssembler& as, const Line& opener) {
    for (;;) {
        const Line* line = NextLine(opener);
        if (!line) return false;
        as.SetLine(line->number);
        bool blockEnds = false;
        if (!ParseActionStatement(*line, as, blockEnds)) return false;
        if (!as.ok()) return Fail(*line, as.error());
        if (blockEnds) return true;
    }
}

bool DescriptionParser::ParseActionStatement(const Line& line, ActionAssembler& as,
                                             bool& blockEnds) {
    const std::vector<Token>& t = line.tokens;
    const Token& head = t[0];
    if (head.kind != Token::kWord) return Fail(line, head.column, "expected an action");
    std::string k = Lower(head.text);

    // "name:" on its own line marks a branch target.
    if (t.size() == 1 && head.text.size() > 1 && head.text.back() == ':') {
        std::string name = head.text.substr(0, head.text.size() - 1);
        if (!IsLabelName(name))
            return Fail(line, head.column, "'" + name + "' is not a label name");
        as.Label(name);
        return true;
    }
    if (k == "end") {
        if (as.OpenBlocks() == 0) {
            blockEnds = true;
        } else {
            as.EndBlock();
        }
        return true;
    }
    if (k == "catch" || k == "finally") {
        if (t.size() > 1) return Fail(line, t[1].column, "unexpected '" + t[1].text + "'");
        if (!as.InTry()) return Fail(line, "'" + k + "' outside a try block");
        k == "catch" ? as.BeginCatch() : as.BeginFinally();
        return true;
    }
    if (k == "push") return ParsePush(line, as);
    if (k == "function" || k == "definefunction" || k == "function2" || k == "definefunction2") {
        return ParseFunction(line, as, k.back() == '2');
    }
    if (k == "try") return ParseTry(line, as);
    if (k == "constants" || k == "constantpool") {
        std::vector<std::string> pool;
        for (size_t i = 1; i < t.size(); ++i) {
            if (t[i].IsPunct(',')) continue;
            if (t[i].kind != Token::kString) {
                return Fail(line, t[i].column, "constants are quoted texts");
            }
            pool.push_back(t[i].text);
        }
        as.ConstantPool(pool);
        constants_ = pool;
        return true;
    }
    if (k == "jump" || k == "if") {
        if (t.size() != 2 || t[1].kind != Token::kWord) {
            return Fail(line, "usage: " + k + " <label> | " + k + " <byte offset>");
        }
        int64_t offset = 0;
        if (ParseInteger(t[1].text, offset)) {
            if (offset < INT16_MIN || offset > INT16_MAX) {
                return Fail(line, t[1].column, "offset must fit 16 bits");
            }
            k == "jump" ? as.JumpOffset(static_cast<int16_t>(offset))
                        : as.IfOffset(static_cast<int16_t>(offset));
        } else if (IsLabelName(t[1].text)) {
            k == "jump" ? as.Jump(t[1].text) : as.If(t[1].text);
        } else {
            return Fail(line, t[1].column, "'" + t[1].text + "' is not a label name");
        }
        return true;
    }
    if (k == "with") {
        if (t.size() > 1) return Fail(line, t[1].column, "'with' takes its object from the stack");
        as.BeginWith();
        return true;
    }
    if (k == "raw" || k == "bytes") {
        Bytes bytes;
        int64_t code = 0;
        size_t from = 1;
        if (k == "raw") {
            if (t.size() < 2 || !ParseInteger(t[1].text, code) || code < 0 || code > 255) {
                return Fail(line, "usage: raw <action code> [hex operand bytes]");
            }
            from = 2;
        }
        int bad = 0;
        if (!ReadHexBytes(t, from, bytes, bad)) {
            return Fail(line, bad, "raw bytes are written as hex pairs, e.g. 0a ff 1234");
        }
        k == "raw" ? as.Raw(static_cast<uint8_t>(code), bytes) : as.RawBytes(bytes);
        return true;
    }

    // Actions with simple operands.
    ArgReader args(line, 1);
    int64_t n = 0, m = 0;
    std::string s1, s2;
    auto skipOperand = [&](const Arg* a, bool& isLabel, std::string& label, int64_t& count) {
        if (!a || a->values.size() != 1 || a->values[0].kind != Token::kWord) return false;
        if (ParseInteger(a->values[0].text, count)) {
            isLabel = false;
            return count >= 0 && count <= 255;
        }
        isLabel = IsLabelName(a->values[0].text);
        label = a->values[0].text;
        return isLabel;
    };
    if (k == "gotoframe") {
        if (!args.Require(1, "gotoFrame <frame index from 0>") ||
            !args.Int(args.Positional(0), 0, 65535, n) || !args.Finish()) {
            return FailArgs(args);
        }
        as.GotoFrame(static_cast<uint16_t>(n));
    } else if (k == "geturl") {
        if (!args.Require(1, "getURL \"url\" [\"target\"]") || !args.Text(args.Positional(0), s1) ||
            !args.Text(args.Positional(1), s2) || !args.Finish()) {
            return FailArgs(args);
        }
        as.GetUrl(s1, s2);
    } else if (k == "storeregister") {
        if (!args.Require(1, "storeRegister <0-255>") || !args.Int(args.Positional(0), 0, 255, n) ||
            !args.Finish()) {
            return FailArgs(args);
        }
        as.StoreRegister(static_cast<uint8_t>(n));
    } else if (k == "waitforframe" || k == "waitforframe2") {
        bool two = k == "waitforframe2";
        const char* usage = two ? "waitForFrame2 <skip count | label>"
                                : "waitForFrame <frame> <skip count | label>";
        if (!args.Require(two ? 1 : 2, usage)) return FailArgs(args);
        if (!two && !args.Int(args.Positional(0), 0, 65535, n)) return FailArgs(args);
        bool isLabel = false;
        std::string label;
        if (!skipOperand(args.Positional(two ? 0 : 1), isLabel, label, m)) {
            return Fail(line, std::string("usage: ") + usage + " (count 0 to 255)");
        }
        if (!args.Finish()) return FailArgs(args);
        if (two) {
            isLabel ? as.WaitForFrame2(label) : as.WaitForFrame2(static_cast<uint8_t>(m));
        } else if (isLabel) {
            as.WaitForFrame(static_cast<uint16_t>(n), label);
        } else {
            as.WaitForFrame(static_cast<uint16_t>(n), static_cast<uint8_t>(m));
        }
    } else if (k == "settarget" || k == "gotolabel") {
        if (!args.Require(1, k == "settarget" ? "setTarget \"path\"" : "gotoLabel \"label\"") ||
            !args.Text(args.Positional(0), s1) || !args.Finish()) {
            return FailArgs(args);
        }
        k == "settarget" ? as.SetTarget(s1) : as.GotoLabel(s1);
    } else if (k == "geturl2") {
        UrlMethod method = args.Flag("post")  ? UrlMethod::kPost
                           : args.Flag("get") ? UrlMethod::kGet
                                              : UrlMethod::kNone;
        bool target = args.Flag("target"), variables = args.Flag("variables");
        if (!args.Finish()) return FailArgs(args);
        as.GetUrl2(method, target, variables);
    } else if (k == "gotoframe2") {
        bool play = args.Flag("play");
        std::optional<uint16_t> bias;
        if (args.Has("bias")) {
            if (!args.IntOption("bias", 0, 65535, n)) return FailArgs(args);
            bias = static_cast<uint16_t>(n);
        }
        if (!args.Finish()) return FailArgs(args);
        as.GotoFrame2(play, bias);
    } else if (std::optional<uint8_t> code = ActionCodeByName(head.text)) {
        if (*code >= kActionHasOperands && *code != kActionCall) {
            return Fail(line, head.column, "'" + head.text + "' has operands; see its own syntax");
        }
        if (!args.Finish()) return FailArgs(args);
        as.Action(*code);
    } else {
        return Fail(line, head.column, "unknown action '" + head.text + "'");
    }
    return true;
}

bool DescriptionParser::ParsePush(const Line& line, ActionAssembler& as) {
    const std::vector<Token>& t = line.tokens;
    std::vector<PushValue> values;
    for (size_t i = 1; i < t.size(); ++i) {
        if (t[i].IsPunct(',')) continue;
        if (t[i].kind == Token::kPunct) {
            return Fail(line, t[i].column, "unexpected '" + t[i].text + "'");
        }
        std::string w = Lower(t[i].text);
        if (t[i].kind == Token::kWord && (w == "c:" || w == "c8:" || w == "c16:") &&
            i + 1 < t.size() && t[i + 1].kind == Token::kString) {
            // c:"text" names an entry of the last constant pool.
            const std::string& text = t[i + 1].text;
            size_t index = 0;
            while (index < constants_.size() && constants_[index] != text) ++index;
            if (index == constants_.size()) {
                return Fail(line, t[i].column, "\"" + text + "\" is not in the constant pool");
            }
            if (w == "c8:" && index > 255) {
                return Fail(line, t[i].column, "constant index does not fit 8 bits");
            }
            uint16_t n = static_cast<uint16_t>(index);
            values.push_back(w == "c16:" ? PushValue::Constant16(n) : PushValue::Constant(n));
            ++i;
            continue;
        }
        PushValue v;
        std::string error;
        if (!ReadPushValue(t[i], v, error)) return Fail(line, t[i].column, error);
        values.push_back(v);
    }
    if (values.empty()) return Fail(line, "push needs at least one value");
    as.Push(values);
    return true;
}

bool DescriptionParser::ParseFunction(const Line& line, ActionAssembler& as, bool two) {
    const std::vector<Token>& t = line.tokens;
    std::string name;
    size_t i = 1;
    if (i < t.size() && t[i].kind == Token::kString) name = t[i++].text;
    std::vector<FunctionParam> params;
    std::optional<uint8_t> regs;
    uint16_t flags = 0;
    for (; i < t.size(); ++i) {
        const Token& a = t[i];
        if (a.IsPunct(',') || a.IsPunct('(') || a.IsPunct(')')) continue;
        if (a.kind == Token::kString) {
            params.push_back(FunctionParam{a.text, 0});
            continue;
        }
        std::string rest;
        if (two && a.kind == Token::kWord && i + 1 < t.size() && t[i + 1].IsPunct('=')) {
            std::string key = Lower(a.text);
            i += 2;
            if (key == "regs" || key == "registers") {
                int64_t n = 0;
                if (i >= t.size() || !ParseInteger(t[i].text, n) || n < 0 || n > 255) {
                    return Fail(line, a.column, "regs= takes 0 to 255");
                }
                regs = static_cast<uint8_t>(n);
            } else if (key == "flags") {
                // A list of names joined by '|' or ','.
                for (; i < t.size(); ++i) {
                    std::optional<uint16_t> f = FunctionFlagByName(t[i].text);
                    if (t[i].kind != Token::kWord || !f) {
                        return Fail(line, t[i].column, "unknown function flag '" + t[i].text + "'");
                    }
                    flags |= *f;
                    if (i + 1 < t.size() && (t[i + 1].IsPunct('|') || t[i + 1].IsPunct(','))) {
                        ++i;
                        continue;
                    }
                    break;
                }
            } else {
                return Fail(line, a.column, "unknown option '" + a.text + "'");
            }
            continue;
        }
        int64_t reg = 0;
        if (two && a.kind == Token::kWord && a.text.size() > 2 && a.text.back() == ':' &&
            HasPrefix(a.text.substr(0, a.text.size() - 1), "r", rest) && ParseInteger(rest, reg) &&
            i + 1 < t.size() && t[i + 1].kind == Token::kString) {
            if (reg < 0 || reg > 255) return Fail(line, a.column, "registers are 0 to 255");
            params.push_back(FunctionParam{t[i + 1].text, static_cast<uint8_t>(reg)});
            ++i;
            continue;
        }
        return Fail(line, a.column,
                    two ? "expected \"param\", rN:\"param\", regs=N or flags=..."
                        : "parameters are quoted names");
    }
    if (two) {
        as.BeginFunction2(name, params, flags, regs);
    } else {
        std::vector<std::string> names;
        for (const FunctionParam& p : params) names.push_back(p.name);
        as.BeginFunction(name, names);
    }
    return true;
}

bool DescriptionParser::ParseTry(const Line& line, ActionAssembler& as) {
    ArgReader args(line, 1);
    const Arg* c = args.Option("catch");
    std::string name;
    std::optional<uint8_t> reg;
    if (c) {
        std::string rest;
        int64_t r = 0;
        if (c->values.size() == 1 && c->values[0].kind == Token::kWord &&
            HasPrefix(c->values[0].text, "r:", rest)) {
            if (!ParseInteger(rest, r) || r < 0 || r > 255) {
                return Fail(line, c->column, "registers are written r:0 to r:255");
            }
            reg = static_cast<uint8_t>(r);
        } else if (!args.Text(c, name)) {
            return FailArgs(args);
        }
    }
    if (!args.Finish()) return FailArgs(args);
    as.BeginTry(name, reg);
    return true;
}

bool DescriptionParser::ParseClipActions(const Line& opener, PlaceObject& place) {
    for (;;) {
        const Line* line = NextLine(opener);
        if (!line) return false;
        const std::vector<Token>& t = line->tokens;
        if (t[0].IsWord("end")) return true;
        if (!t[0].IsWord("on")) {
            return Fail(*line, t[0].column, "clip actions are 'on <events>' blocks");
        }
        ArgReader args(*line, 1);
        ClipAction action;
        const Arg* events = args.Positional(0);
        if (!events) return Fail(*line, "usage: on <event>[,<event>...] [key=<code>]");
        for (const Token& e : events->values) {
            std::optional<uint32_t> flag = ClipEventByName(e.text);
            if (!flag) return Fail(*line, e.column, "unknown clip event '" + e.text + "'");
            action.events |= *flag;
        }
        int64_t key = 0;
        if (!args.IntOption("key", 0, 255, key) || !args.Finish()) return FailArgs(args);
        action.keyCode = static_cast<uint8_t>(key);
        if (!ParseActionBlock(*line, action.actions)) return false;
        place.clipActions.push_back(std::move(action));
    }
}

}  // namespace swf
