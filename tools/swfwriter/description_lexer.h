// Splits a movie description into lines of tokens.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace swf {

struct Token {
    enum Kind { kWord, kString, kPunct };
    Kind kind = kWord;
    std::string text;  // a string token holds its decoded value
    int column = 0;    // 1-based

    bool IsWord(const char* w) const { return kind == kWord && text == w; }
    bool IsPunct(char c) const { return kind == kPunct && text.size() == 1 && text[0] == c; }
};

struct Line {
    int number = 0;  // 1-based line in the source
    std::vector<Token> tokens;
};

// Lines that hold at least one token, or the first lexical error as "line N: ...".
// Comments start with ";" or "//", or "#" followed by a blank or the end of the line.
bool TokenizeDescription(const std::string& text, std::vector<Line>& lines, std::string& error);

}  // namespace swf
