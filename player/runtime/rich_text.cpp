#include "player/runtime/rich_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "player/avm1/utf8.h"
#include "player/runtime/xml_tree.h"

namespace kestrel::runtime {
namespace {

constexpr char32_t kBreak = U'\r';

std::u32string unitsOf(std::string_view utf8) {
    std::u32string units = avm1::decodeUtf8(utf8);
    std::u32string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] == U'\r' && i + 1 < units.size() && units[i + 1] == U'\n') ++i;
        out.push_back(units[i] == U'\n' ? kBreak : units[i]);
    }
    return out;
}

bool sameCharacterSettings(const TextFormat& a, const TextFormat& b) {
    return a.font == b.font && a.size == b.size && a.color == b.color &&
           a.letterSpacing == b.letterSpacing && a.kerning == b.kerning && a.url == b.url &&
           a.target == b.target && a.bold == b.bold && a.italic == b.italic &&
           a.underline == b.underline;
}

bool isSet(const std::optional<bool>& flag) {
    return flag.value_or(false);
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// --- reading -------------------------------------------------------------------

struct HtmlTag {
    std::string name;  // lower case
    bool closing = false;
    std::vector<std::pair<std::string, std::string>> attributes;  // names in lower case

    const std::string* attribute(const char* key) const {
        for (const auto& a : attributes)
            if (a.first == key) return &a.second;
        return nullptr;
    }
};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

HtmlTag parseTag(std::string_view body) {
    HtmlTag tag;
    size_t i = 0;
    if (i < body.size() && body[i] == '/') {
        tag.closing = true;
        ++i;
    }
    size_t start = i;
    while (i < body.size() && !isSpace(body[i]) && body[i] != '/') ++i;
    tag.name = lower(body.substr(start, i - start));
    while (i < body.size()) {
        while (i < body.size() && (isSpace(body[i]) || body[i] == '/')) ++i;
        start = i;
        while (i < body.size() && !isSpace(body[i]) && body[i] != '=') ++i;
        std::string key = lower(body.substr(start, i - start));
        while (i < body.size() && isSpace(body[i])) ++i;
        std::string value;
        if (i < body.size() && body[i] == '=') {
            ++i;
            while (i < body.size() && isSpace(body[i])) ++i;
            if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
                char quote = body[i++];
                size_t end = body.find(quote, i);
                if (end == std::string_view::npos) end = body.size();
                value = std::string(body.substr(i, end - i));
                i = end + 1;
            } else {
                start = i;
                while (i < body.size() && !isSpace(body[i])) ++i;
                value = std::string(body.substr(start, i - start));
            }
        }
        if (!key.empty()) tag.attributes.emplace_back(std::move(key), std::move(value));
    }
    return tag;
}

// Entities of HTML text; unknown ones stay as written.
size_t decodeEntity(std::string_view html, size_t at, std::string& out) {
    size_t semi = html.find(';', at);
    if (semi == std::string_view::npos || semi - at > 10) {
        out += '&';
        return at + 1;
    }
    std::string_view name = html.substr(at + 1, semi - at - 1);
    static const struct {
        const char* name;
        const char* text;
    } kNamed[] = {{"lt", "<"},    {"gt", ">"},   {"amp", "&"},
                  {"quot", "\""}, {"apos", "'"}, {"nbsp", "\xC2\xA0"}};
    for (const auto& e : kNamed)
        if (name == e.name) {
            out += e.text;
            return semi + 1;
        }
    if (name.size() > 1 && name[0] == '#') {
        bool hex = name[1] == 'x' || name[1] == 'X';
        std::string digits(name.substr(hex ? 2 : 1));
        char* end = nullptr;
        unsigned long cp = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
        if (!digits.empty() && end && *end == '\0' && cp > 0 && cp <= 0x10FFFF) {
            avm1::appendUtf8(out, static_cast<uint32_t>(cp));
            return semi + 1;
        }
    }
    out += '&';
    return at + 1;
}

// "#" then hex digits as far as they go (white space before them allowed, anything after
// them ignored); the last six digits count.
std::optional<uint32_t> parseColor(const std::string& s) {
    if (s.empty() || s[0] != '#') return std::nullopt;
    size_t i = 1;
    while (i < s.size() && isSpace(s[i])) ++i;
    uint32_t value = 0;
    size_t digits = 0;
    for (; i < s.size(); ++i, ++digits) {
        char c = s[i];
        int d = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
        if (d < 0) break;
        value = (value << 4) | static_cast<uint32_t>(d);
    }
    if (digits == 0) return std::nullopt;
    return value & 0xFFFFFF;
}

std::optional<int32_t> parseInteger(const std::string& s) {
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (s.empty() || end == s.c_str()) return std::nullopt;
    return TruncateToInt32(v);
}

// Builds characters with their formats from the markup.
class HtmlReader {
  public:
    HtmlReader(const TextFormat& base, bool condenseWhite) : condenseWhite_(condenseWhite) {
        stack_.push_back({"", base});
    }

    void Read(std::string_view html) {
        size_t i = 0;
        while (i < html.size()) {
            char c = html[i];
            if (c == '<') {
                size_t end = html.find('>', i);
                if (end == std::string_view::npos) break;  // an unfinished tag ends the text
                Tag(parseTag(html.substr(i + 1, end - i - 1)));
                i = end + 1;
            } else if (c == '&') {
                std::string decoded;
                i = decodeEntity(html, i, decoded);
                Text(decoded, false);
            } else {
                size_t end = i;
                while (end < html.size() && html[end] != '<' && html[end] != '&') ++end;
                Text(html.substr(i, end - i), true);
                i = end;
            }
        }
    }

    std::u32string text;
    std::vector<RichText::Run> runs;  // the formats of `text`
    TextFormat last() const { return stack_.back().format; }

  private:
    struct Open {
        std::string name;
        TextFormat format;
    };

    const TextFormat& current() const { return stack_.back().format; }

    // The break before a new paragraph belongs to the paragraph it ends.
    void EndParagraph() {
        pendingBreak_ = false;
        lastWasSpace_ = false;
        Append(kBreak, runs.empty() ? current() : runs.back().format);
    }

    void Emit(char32_t c) {
        if (pendingBreak_) EndParagraph();
        Append(c, current());
    }

    void Append(char32_t c, const TextFormat& format) {
        text.push_back(c);
        if (!runs.empty() && runs.back().format == format)
            ++runs.back().length;
        else
            runs.push_back({1, format});
    }

    void Text(std::string_view raw, bool foldable) {
        for (char32_t c : avm1::decodeUtf8(raw)) {
            bool space = foldable && (c == U' ' || c == U'\t' || c == U'\r' || c == U'\n');
            if (condenseWhite_ && space) {
                if (lastWasSpace_) continue;
                lastWasSpace_ = true;
                Emit(U' ');
                continue;
            }
            lastWasSpace_ = false;
            if (foldable && c == U'\r') continue;  // "\r\n" in markup is one break
            Emit(c == U'\n' ? kBreak : c);
        }
    }

    void Break() {
        pendingBreak_ = false;
        lastWasSpace_ = false;
        Emit(kBreak);
    }

    // A paragraph starts on a fresh line.
    void StartParagraph() {
        if (pendingBreak_ || (!text.empty() && text.back() != kBreak)) EndParagraph();
    }

    void Push(const std::string& name, const TextFormat& format) {
        stack_.push_back({name, format});
    }

    void Pop(const std::string& name) {
        for (size_t i = stack_.size(); i-- > 1;)
            if (stack_[i].name == name) {
                stack_.resize(i);
                return;
            }
    }

    void Tag(const HtmlTag& tag) {
        if (tag.closing) {
            Pop(tag.name);
            if (tag.name == "p" || tag.name == "li") pendingBreak_ = true;
            return;
        }
        TextFormat f = current();
        if (tag.name == "br" || tag.name == "sbr") {
            Break();
        } else if (tag.name == "p") {
            StartParagraph();
            if (const std::string* align = tag.attribute("align"))
                if (auto a = TextAlignFrom(lower(*align))) f.align = a;
            Push(tag.name, f);
        } else if (tag.name == "li") {
            StartParagraph();
            f.bullet = true;
            Push(tag.name, f);
        } else if (tag.name == "b" || tag.name == "i" || tag.name == "u") {
            (tag.name == "b" ? f.bold : tag.name == "i" ? f.italic : f.underline) = true;
            Push(tag.name, f);
        } else if (tag.name == "a") {
            if (const std::string* href = tag.attribute("href")) f.url = *href;
            if (const std::string* target = tag.attribute("target")) f.target = *target;
            Push(tag.name, f);
        } else if (tag.name == "font") {
            if (const std::string* face = tag.attribute("face")) f.font = LimitFontName(*face);
            if (const std::string* size = tag.attribute("size")) {
                bool relative = !size->empty() && ((*size)[0] == '+' || (*size)[0] == '-');
                if (auto n = parseInteger(*size)) f.size = relative ? f.size.value_or(12) + *n : *n;
            }
            if (const std::string* color = tag.attribute("color"))
                if (auto c = parseColor(*color)) f.color = c;
            if (const std::string* spacing = tag.attribute("letterspacing"))
                f.letterSpacing = std::strtod(spacing->c_str(), nullptr);
            if (const std::string* kerning = tag.attribute("kerning"))
                f.kerning = parseInteger(*kerning).value_or(0) != 0;
            Push(tag.name, f);
        } else if (tag.name == "textformat") {
            auto integer = [&](const char* key, std::optional<int32_t>& field) {
                if (const std::string* v = tag.attribute(key))
                    if (auto n = parseInteger(*v)) field = *n;
            };
            integer("leftmargin", f.leftMargin);
            integer("rightmargin", f.rightMargin);
            integer("indent", f.indent);
            integer("blockindent", f.blockIndent);
            integer("leading", f.leading);
            if (const std::string* stops = tag.attribute("tabstops")) {
                std::vector<int32_t> list;
                size_t start = 0;
                while (start <= stops->size()) {
                    size_t comma = stops->find(',', start);
                    if (comma == std::string::npos) comma = stops->size();
                    if (auto n = parseInteger(stops->substr(start, comma - start)))
                        list.push_back(*n);
                    start = comma + 1;
                }
                f.tabStops = std::move(list);
            }
            Push(tag.name, f);
        }
        // Other tags (span, img, unknown ones) add nothing.
    }

    bool condenseWhite_;
    bool pendingBreak_ = false;
    bool lastWasSpace_ = false;
    std::vector<Open> stack_;
};

// --- writing -------------------------------------------------------------------

std::string numberText(double v) {
    if (std::isnan(v)) return "NaN";
    if (std::floor(v) == v && std::fabs(v) < 1e15) return std::to_string(static_cast<long long>(v));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", v);
    return buffer;
}

void appendEscaped(std::string& out, std::u32string_view units) {
    out += escapeXmlText(avm1::encodeUtf8(units));
}

std::string fontAttributes(const TextFormat& f, const TextFormat* outer) {
    std::string out;
    auto differs = [&](auto member) { return !outer || outer->*member != f.*member; };
    if (f.font && differs(&TextFormat::font)) out += " FACE=\"" + *f.font + "\"";
    if (f.size && differs(&TextFormat::size)) out += " SIZE=\"" + numberText(*f.size) + "\"";
    if (f.color && differs(&TextFormat::color)) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "#%06X", static_cast<unsigned>(*f.color & 0xFFFFFF));
        out += std::string(" COLOR=\"") + buffer + "\"";
    }
    if (f.letterSpacing && differs(&TextFormat::letterSpacing))
        out += " LETTERSPACING=\"" + numberText(*f.letterSpacing) + "\"";
    if (f.kerning && differs(&TextFormat::kerning))
        out += std::string(" KERNING=\"") + (*f.kerning ? "1" : "0") + "\"";
    return out;
}

// Writes the runs of one paragraph. Each open element remembers the settings in force
// inside it; a run first returns to an open element whose settings it shares, otherwise it
// opens what differs inside the innermost element it can live in.
class ParagraphWriter {
  public:
    explicit ParagraphWriter(std::string& out) : out_(out) {}

    void Run(const TextFormat& f, std::u32string_view units) {
        for (size_t level = stack_.size(); level-- > 0;)
            if (sameCharacterSettings(stack_[level].format, f)) {
                CloseTo(level + 1);
                appendEscaped(out_, units);
                return;
            }
        // Stay inside the innermost element that switches on nothing this run lacks.
        size_t keep = stack_.size();
        while (keep > 0 && !Fits(stack_[keep - 1].format, f)) --keep;
        CloseTo(keep);
        const TextFormat* outer = keep > 0 ? &stack_[keep - 1].format : nullptr;
        // Each element records the settings in force inside it, no more.
        TextFormat level = outer ? *outer : TextFormat{};
        if (!outer) {
            level.bold = level.italic = level.underline = false;
            level.url = level.target = std::string();
        }
        std::string attributes = fontAttributes(f, outer);
        if (!attributes.empty() || !outer) {
            level.font = f.font;
            level.size = f.size;
            level.color = f.color;
            level.letterSpacing = f.letterSpacing;
            level.kerning = f.kerning;
            Open("FONT", "<FONT" + attributes + ">", level);
        }
        if (f.url && !f.url->empty() && level.url != f.url) {
            level.url = f.url;
            level.target = f.target;
            Open("A", "<A HREF=\"" + *f.url + "\" TARGET=\"" + f.target.value_or("") + "\">",
                 level);
        }
        auto flag = [&](std::optional<bool> TextFormat::*member, const char* name,
                        const char* tag) {
            if (isSet(f.*member) && !isSet(level.*member)) {
                level.*member = true;
                Open(name, tag, level);
            }
        };
        flag(&TextFormat::bold, "B", "<B>");
        flag(&TextFormat::italic, "I", "<I>");
        flag(&TextFormat::underline, "U", "<U>");
        appendEscaped(out_, units);
    }

    void Finish() { CloseTo(0); }

  private:
    struct Element {
        const char* name;
        TextFormat format;
    };

    static bool Fits(const TextFormat& outer, const TextFormat& f) {
        if (isSet(outer.bold) && !isSet(f.bold)) return false;
        if (isSet(outer.italic) && !isSet(f.italic)) return false;
        if (isSet(outer.underline) && !isSet(f.underline)) return false;
        if (outer.url && !outer.url->empty() && outer.url != f.url) return false;
        return true;
    }

    void Open(const char* name, const std::string& tag, const TextFormat& f) {
        out_ += tag;
        stack_.push_back({name, f});
    }

    void CloseTo(size_t level) {
        while (stack_.size() > level) {
            out_ += std::string("</") + stack_.back().name + ">";
            stack_.pop_back();
        }
    }

    std::string& out_;
    std::vector<Element> stack_;
};

void writeParagraph(std::string& out, const TextFormat& paragraph,
                    const std::vector<std::pair<const TextFormat*, std::u32string_view>>& runs) {
    std::string layout;
    auto number = [&](const char* name, const std::optional<int32_t>& v) {
        if (v && *v != 0) layout += std::string(" ") + name + "=\"" + numberText(*v) + "\"";
    };
    number("LEFTMARGIN", paragraph.leftMargin);
    number("RIGHTMARGIN", paragraph.rightMargin);
    number("INDENT", paragraph.indent);
    number("BLOCKINDENT", paragraph.blockIndent);
    number("LEADING", paragraph.leading);
    if (paragraph.tabStops && !paragraph.tabStops->empty()) {
        layout += " TABSTOPS=\"";
        for (size_t i = 0; i < paragraph.tabStops->size(); ++i)
            layout += (i ? "," : "") + numberText((*paragraph.tabStops)[i]);
        layout += "\"";
    }
    if (!layout.empty()) out += "<TEXTFORMAT" + layout + ">";
    bool bullet = isSet(paragraph.bullet);
    if (bullet) {
        out += "<LI>";
    } else {
        std::string align = TextAlignName(paragraph.align.value_or(TextAlign::Left));
        for (char& c : align) c = static_cast<char>(c - 'a' + 'A');
        out += "<P ALIGN=\"" + align + "\">";
    }
    ParagraphWriter writer(out);
    if (runs.empty()) writer.Run(paragraph, {});
    for (const auto& [format, units] : runs) writer.Run(*format, units);
    writer.Finish();
    out += bullet ? "</LI>" : "</P>";
    if (!layout.empty()) out += "</TEXTFORMAT>";
}

}  // namespace

void CopyParagraphSettings(const TextFormat& from, TextFormat& to) {
    to.align = from.align;
    to.leftMargin = from.leftMargin;
    to.rightMargin = from.rightMargin;
    to.indent = from.indent;
    to.blockIndent = from.blockIndent;
    to.leading = from.leading;
    to.tabStops = from.tabStops;
    to.bullet = from.bullet;
}

void RichText::SetPlainText(std::string_view utf8, const TextFormat& format) {
    text_ = unitsOf(utf8);
    runs_.clear();
    emptyFormat_ = format;
    if (!text_.empty()) runs_.push_back({text_.size(), format});
}

void RichText::SetHtml(std::string_view html, const TextFormat& base, bool condenseWhite) {
    HtmlReader reader(base, condenseWhite);
    reader.Read(html);
    text_ = std::move(reader.text);
    runs_ = std::move(reader.runs);
    emptyFormat_ = text_.empty() ? reader.last() : base;
    EvenParagraphs();
    MergeRuns();
}

void RichText::RemoveBreaks() {
    std::u32string kept;
    std::vector<Run> runs;
    size_t position = 0;
    for (Run& r : runs_) {
        size_t end = position + r.length;
        size_t length = 0;
        for (size_t i = position; i < end && i < text_.size(); ++i)
            if (text_[i] != kBreak) {
                kept.push_back(text_[i]);
                ++length;
            }
        if (length > 0) runs.push_back({length, std::move(r.format)});
        position = end;
    }
    text_ = std::move(kept);
    runs_ = std::move(runs);
    MergeRuns();
}

std::string RichText::PlainText() const {
    return avm1::encodeUtf8(text_);
}

void RichText::SplitAt(size_t position) {
    size_t start = 0;
    for (size_t i = 0; i < runs_.size(); ++i) {
        size_t end = start + runs_[i].length;
        if (position > start && position < end) {
            Run tail{end - position, runs_[i].format};
            runs_[i].length = position - start;
            runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, tail);
            return;
        }
        start = end;
    }
}

void RichText::MergeRuns() {
    std::vector<Run> merged;
    for (Run& r : runs_) {
        if (r.length == 0) continue;
        if (!merged.empty() && merged.back().format == r.format)
            merged.back().length += r.length;
        else
            merged.push_back(std::move(r));
    }
    runs_ = std::move(merged);
}

// Gives every character of a paragraph the paragraph settings of its first character,
// splitting runs at paragraph ends on the way (one pass: texts can be long).
void RichText::EvenParagraphs() {
    std::vector<Run> out;
    out.reserve(runs_.size());
    size_t position = 0;
    bool atStart = true;
    TextFormat paragraph;
    for (Run& r : runs_) {
        size_t end = std::min(position + r.length, text_.size());
        for (size_t start = position; start < end;) {
            size_t stop = start;
            while (stop < end && text_[stop] != kBreak) ++stop;
            if (stop < end) ++stop;  // the break belongs to its paragraph
            Run piece{stop - start, r.format};
            if (atStart)
                paragraph = piece.format;
            else
                CopyParagraphSettings(paragraph, piece.format);
            atStart = text_[stop - 1] == kBreak;
            out.push_back(std::move(piece));
            start = stop;
        }
        position = end;
    }
    runs_ = std::move(out);
}

void RichText::Replace(size_t begin, size_t end, std::string_view utf8, const TextFormat& format) {
    begin = std::min(begin, text_.size());
    end = std::min(std::max(begin, end), text_.size());
    std::u32string with = unitsOf(utf8);
    SplitAt(begin);
    SplitAt(end);
    std::vector<Run> out;
    size_t position = 0;
    bool inserted = false;
    for (Run& r : runs_) {
        size_t runEnd = position + r.length;
        if (position >= begin && !inserted) {
            out.push_back({with.size(), format});
            inserted = true;
        }
        if (position < begin || position >= end) out.push_back(std::move(r));
        position = runEnd;
    }
    if (!inserted) out.push_back({with.size(), format});
    text_.replace(begin, end - begin, with);
    runs_ = std::move(out);
    if (text_.empty()) emptyFormat_ = format;
    EvenParagraphs();
    MergeRuns();
}

void RichText::ApplyFormat(size_t begin, size_t end, const TextFormat& format) {
    begin = std::min(begin, text_.size());
    end = std::min(std::max(begin, end), text_.size());
    if (text_.empty()) {
        format.MergeInto(emptyFormat_);
        return;
    }
    // Paragraph settings cover whole paragraphs.
    size_t paragraphBegin = begin;
    while (paragraphBegin > 0 && text_[paragraphBegin - 1] != kBreak) --paragraphBegin;
    size_t paragraphEnd = std::max(end, begin + 1);
    while (paragraphEnd < text_.size() && text_[paragraphEnd - 1] != kBreak) ++paragraphEnd;
    paragraphEnd = std::min(paragraphEnd, text_.size());
    TextFormat paragraphPart;
    CopyParagraphSettings(format, paragraphPart);
    TextFormat characterPart = format;
    CopyParagraphSettings(TextFormat{}, characterPart);

    auto apply = [&](size_t from, size_t to, const TextFormat& part) {
        if (from >= to) return;
        SplitAt(from);
        SplitAt(to);
        size_t position = 0;
        for (Run& r : runs_) {
            if (position >= from && position < to) part.MergeInto(r.format);
            position += r.length;
        }
    };
    apply(begin, end, characterPart);
    apply(paragraphBegin, paragraphEnd, paragraphPart);
    MergeRuns();
}

TextFormat RichText::FormatOf(size_t begin, size_t end) const {
    if (text_.empty()) return emptyFormat_;
    begin = std::min(begin, text_.size() - 1);
    end = std::min(std::max(end, begin + 1), text_.size());
    std::optional<TextFormat> common;
    size_t position = 0;
    for (const Run& r : runs_) {
        size_t runEnd = position + r.length;
        if (runEnd > begin && position < end) {
            if (!common)
                common = r.format;
            else
                common->KeepCommon(r.format);
        }
        position = runEnd;
    }
    return common.value_or(emptyFormat_);
}

std::string RichText::ToHtml() const {
    std::string out;
    std::vector<std::pair<const TextFormat*, std::u32string_view>> runs;
    const TextFormat* paragraph = nullptr;
    std::u32string_view all(text_);
    size_t position = 0;
    for (const Run& r : runs_) {
        if (!paragraph) paragraph = &r.format;
        std::u32string_view units = all.substr(position, r.length);
        position += r.length;
        bool ends = !units.empty() && units.back() == kBreak;
        if (ends) units.remove_suffix(1);
        if (!units.empty()) runs.emplace_back(&r.format, units);
        if (ends) {
            writeParagraph(out, *paragraph, runs);
            runs.clear();
            paragraph = nullptr;
        }
    }
    if (paragraph)
        writeParagraph(out, *paragraph, runs);
    else if (text_.empty())
        writeParagraph(out, emptyFormat_, runs);
    return out;
}

}  // namespace kestrel::runtime
