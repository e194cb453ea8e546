#include "tools/swfwriter/parse_args.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace swf {

ArgReader::ArgReader(const Line& line, size_t first) : line_(line) {
    const std::vector<Token>& t = line.tokens;
    size_t i = first;
    while (i < t.size() && ok()) {
        Arg arg;
        arg.column = t[i].column;
        if (t[i].kind == Token::kWord && i + 1 < t.size() && t[i + 1].IsPunct('=')) {
            arg.key = t[i].text;
            i += 2;
            if (i >= t.size()) {
                SetError(arg.column, "'" + arg.key + "=' needs a value");
                break;
            }
        }
        // A value list: token (separator token)*
        while (i < t.size()) {
            if (t[i].kind == Token::kPunct) {
                SetError(t[i].column, "unexpected '" + t[i].text + "'");
                break;
            }
            arg.values.push_back(t[i++]);
            if (i < t.size() && (t[i].IsPunct(',') || t[i].IsPunct('|'))) {
                ++i;
                if (i >= t.size()) SetError(t[i - 1].column, "list ends with a separator");
                continue;
            }
            break;
        }
        args_.push_back(std::move(arg));
    }
    used_.assign(args_.size(), false);
}

void ArgReader::SetError(int column, const std::string& message) {
    if (!error_.empty()) return;
    error_ = "line " + std::to_string(line_.number);
    if (column > 0) error_ += ", column " + std::to_string(column);
    error_ += ": " + message;
}

size_t ArgReader::PositionalCount() const {
    size_t n = 0;
    for (const Arg& a : args_) n += a.key.empty() ? 1 : 0;
    return n;
}

const Arg* ArgReader::Positional(size_t index) {
    for (size_t i = 0; i < args_.size(); ++i) {
        if (!args_[i].key.empty()) continue;
        if (index-- == 0) {
            used_[i] = true;
            return &args_[i];
        }
    }
    return nullptr;
}

const Arg* ArgReader::Option(const char* key) {
    for (size_t i = 0; i < args_.size(); ++i) {
        if (args_[i].key == key) {
            used_[i] = true;
            return &args_[i];
        }
    }
    return nullptr;
}

bool ArgReader::Flag(const char* word) {
    bool found = false;
    for (size_t i = 0; i < args_.size(); ++i) {
        if (args_[i].key.empty() && args_[i].values.size() == 1 &&
            args_[i].values[0].IsWord(word)) {
            used_[i] = true;
            found = true;
        }
    }
    return found;
}

bool ArgReader::Int(const Arg* a, int64_t min, int64_t max, int64_t& out) {
    if (!a) return ok();
    const char* what = a->key.empty() ? "value" : a->key.c_str();
    int64_t v = 0;
    if (a->values.size() != 1 || a->values[0].kind != Token::kWord ||
        !ParseInteger(a->values[0].text, v)) {
        SetError(a->column, std::string(what) + " must be an integer");
        return false;
    }
    if (v < min || v > max) {
        SetError(a->column, std::string(what) + " must be between " + std::to_string(min) +
                                " and " + std::to_string(max));
        return false;
    }
    out = v;
    return true;
}

bool ArgReader::Number(const Arg* a, double& out) {
    if (!a) return ok();
    if (a->values.size() != 1 || a->values[0].kind != Token::kWord ||
        !ParseNumber(a->values[0].text, out)) {
        SetError(a->column, (a->key.empty() ? std::string("value") : a->key) + " must be a number");
        return false;
    }
    return true;
}

bool ArgReader::Numbers(const Arg* a, size_t count, std::vector<double>& out) {
    if (!a) return ok();
    std::vector<double> values;
    for (const Token& t : a->values) {
        double v;
        if (t.kind != Token::kWord || !ParseNumber(t.text, v)) {
            SetError(t.column, "'" + t.text + "' is not a number");
            return false;
        }
        values.push_back(v);
    }
    if (values.size() != count) {
        SetError(a->column, (a->key.empty() ? std::string("value") : a->key) + " needs " +
                                std::to_string(count) + " numbers separated by commas");
        return false;
    }
    out = values;
    return true;
}

bool ArgReader::Color(const Arg* a, Rgba& out) {
    if (!a) return ok();
    if (a->values.size() != 1 || !ParseColor(a->values[0].text, out)) {
        SetError(a->column, "a colour is written #RRGGBB or #RRGGBBAA");
        return false;
    }
    return true;
}

bool ArgReader::Text(const Arg* a, std::string& out) {
    if (!a) return ok();
    if (a->values.size() != 1) {
        SetError(a->column, "expected one text (quote texts that hold commas)");
        return false;
    }
    out = a->values[0].text;
    return true;
}

bool ArgReader::Require(size_t count, const char* usage) {
    if (PositionalCount() < count) {
        SetError(0, std::string("usage: ") + usage);
        return false;
    }
    return ok();
}

bool ArgReader::Finish() {
    if (!ok()) return false;
    for (size_t i = 0; i < args_.size(); ++i) {
        if (used_[i]) continue;
        const Arg& a = args_[i];
        if (a.key.empty()) {
            SetError(a.column, "unexpected '" + a.values[0].text + "'");
        } else {
            SetError(a.column, "unknown option '" + a.key + "'");
        }
        return false;
    }
    return true;
}

bool ParseInteger(const std::string& text, int64_t& out) {
    if (text.empty()) return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    bool hex = text.size() > 2 && (text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0);
    bool negHex = text.size() > 3 && (text.compare(0, 3, "-0x") == 0);
    long long v = std::strtoll(begin, &end, hex || negHex ? 16 : 10);
    if (errno != 0 || *end != '\0') return false;
    out = v;
    return true;
}

bool ParseNumber(const std::string& text, double& out) {
    int64_t i;
    if (ParseInteger(text, i)) {
        out = static_cast<double>(i);
        return true;
    }
    if (text.empty()) return false;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (*end != '\0') return false;
    out = v;
    return true;
}

bool ParseColor(const std::string& text, Rgba& out) {
    std::string hex;
    if (!text.empty() && text[0] == '#') {
        hex = text.substr(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = text.substr(2);
    } else {
        return false;
    }
    if (hex.size() != 6 && hex.size() != 8) return false;
    uint8_t parts[4] = {0, 0, 0, 255};
    for (size_t i = 0; i < hex.size(); i += 2) {
        char* end = nullptr;
        std::string pair = hex.substr(i, 2);
        long v = std::strtol(pair.c_str(), &end, 16);
        if (*end != '\0' || pair.find_first_of("+- ") != std::string::npos) return false;
        parts[i / 2] = static_cast<uint8_t>(v);
    }
    out = Rgba{parts[0], parts[1], parts[2], parts[3]};
    return true;
}

}  // namespace swf
