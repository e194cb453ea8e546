#include "projector/bridge/script_text.h"

namespace kestrel {
namespace {

constexpr std::string_view kCallPrefix = "try { __flash__toXML(";
constexpr std::string_view kReturnPrefix = "var __flash_temp = \"";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

void AddArgument(std::string_view piece, std::vector<std::string_view>& arguments) {
    size_t first = piece.find('"');
    if (first == std::string_view::npos) {
        std::string_view bare = Trim(piece);
        if (!bare.empty()) arguments.push_back(bare);
        return;
    }
    size_t last = piece.rfind('"');
    arguments.push_back(piece.substr(first + 1, last > first ? last - first - 1 : 0));
}

bool ParseReturnedString(std::string_view script, std::string& text) {
    std::string_view rest = script.substr(kReturnPrefix.size());
    size_t close = 0;
    while (close < rest.size() && rest[close] != '"') close += rest[close] == '\\' ? 2 : 1;
    if (close >= rest.size()) return false;
    if (close + 1 >= rest.size() || rest[close + 1] != ';') return false;

    text.clear();
    text.reserve(close);
    for (size_t i = 0; i < close; ++i) {
        char c = rest[i];
        if (c != '\\') {
            text += c;
            continue;
        }
        switch (rest[++i]) {
            case '"':
                text += '"';
                break;
            case '\\':
                text += '\\';
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 't':
                text += '\t';
                break;
            default:
                return false;
        }
    }
    return true;
}

}  // namespace

bool ParseScriptCall(std::string_view script, ScriptCall& call) {
    call.arguments.clear();
    if (script.substr(0, kCallPrefix.size()) != kCallPrefix) return false;
    std::string_view rest = script.substr(kCallPrefix.size());
    size_t open = rest.find('(');
    if (open == std::string_view::npos) return false;
    call.function = rest.substr(0, open);

    std::string_view argumentText = rest.substr(open + 1);
    argumentText = argumentText.substr(0, argumentText.find(')'));
    while (!argumentText.empty()) {
        size_t comma = argumentText.find(',');
        std::string_view piece = argumentText.substr(0, comma);
        if (!piece.empty()) AddArgument(piece, call.arguments);
        if (comma == std::string_view::npos) break;
        argumentText.remove_prefix(comma + 1);
    }
    return true;
}

ParsedScript ParseScript(std::string_view script) {
    ParsedScript parsed;
    if (script.substr(0, kCallPrefix.size()) == kCallPrefix) {
        parsed.kind = ParseScriptCall(script, parsed.call) ? ParsedScript::Kind::MovieCall
                                                           : ParsedScript::Kind::Failed;
    } else if (script.substr(0, kReturnPrefix.size()) == kReturnPrefix) {
        parsed.kind = ParseReturnedString(script, parsed.returnedText)
                          ? ParsedScript::Kind::ReturnedString
                          : ParsedScript::Kind::Failed;
    }
    return parsed;
}

}  // namespace kestrel
