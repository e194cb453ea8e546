#include "tools/swfwriter/description_lexer.h"

#include <cctype>

namespace swf {
namespace {

bool IsPunctChar(char c) {
    return c == ',' || c == '=' || c == '(' || c == ')' || c == '|';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class LineLexer {
  public:
    LineLexer(const std::string& text, int number) : s_(text), number_(number) {}

    bool Run(Line& line, std::string& error) {
        line.number = number_;
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (IsBlank(c)) {
                ++pos_;
            } else if (StartsComment()) {
                break;
            } else if (c == '"') {
                Token t;
                if (!ReadString(t, error)) return false;
                line.tokens.push_back(std::move(t));
            } else if (IsPunctChar(c)) {
                line.tokens.push_back(Token{Token::kPunct, std::string(1, c), Column()});
                ++pos_;
            } else {
                Token t{Token::kWord, "", Column()};
                while (pos_ < s_.size() && !IsBlank(s_[pos_]) && !IsPunctChar(s_[pos_]) &&
                       s_[pos_] != '"') {
                    t.text += s_[pos_++];
                }
                line.tokens.push_back(std::move(t));
            }
        }
        return true;
    }

  private:
    int Column() const { return static_cast<int>(pos_) + 1; }

    bool StartsComment() const {
        char c = s_[pos_];
        if (c == ';') return true;
        if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') return true;
        if (c == '#') return pos_ + 1 == s_.size() || IsBlank(s_[pos_ + 1]);
        return false;
    }

    bool Fail(std::string& error, const std::string& message) const {
        error = "line " + std::to_string(number_) + ", column " + std::to_string(Column()) + ": " +
                message;
        return false;
    }

    bool ReadString(Token& t, std::string& error) {
        t.kind = Token::kString;
        t.column = Column();
        ++pos_;  // opening quote
        while (pos_ < s_.size()) {
            char c = s_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                t.text += c;
                continue;
            }
            if (pos_ >= s_.size()) break;
            char e = s_[pos_++];
            switch (e) {
                case 'n':
                    t.text += '\n';
                    break;
                case 'r':
                    t.text += '\r';
                    break;
                case 't':
                    t.text += '\t';
                    break;
                case '\\':
                    t.text += '\\';
                    break;
                case '"':
                    t.text += '"';
                    break;
                case 'x': {
                    int hi = pos_ < s_.size() ? HexValue(s_[pos_]) : -1;
                    int lo = pos_ + 1 < s_.size() ? HexValue(s_[pos_ + 1]) : -1;
                    if (hi < 0 || lo < 0) return Fail(error, "\\x needs two hex digits");
                    if (hi == 0 && lo == 0) {
                        return Fail(error, "strings cannot hold a zero byte (use raw bytes)");
                    }
                    t.text += static_cast<char>(hi * 16 + lo);
                    pos_ += 2;
                    break;
                }
                default:
                    --pos_;
                    return Fail(error, std::string("unknown escape \\") + e);
            }
        }
        pos_ = static_cast<size_t>(t.column - 1);  // point at the opening quote
        return Fail(error, "string is not closed");
    }

    const std::string& s_;
    int number_;
    size_t pos_ = 0;
};

}  // namespace

bool TokenizeDescription(const std::string& text, std::vector<Line>& lines, std::string& error) {
    size_t start = 0;
    int number = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;  // a UTF-8 byte order mark
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++number;
        Line line;
        if (!LineLexer(text.substr(start, end - start), number).Run(line, error)) return false;
        if (!line.tokens.empty()) lines.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

}  // namespace swf
