// Statement arguments of the description format: positional values and key=value options,
// each a comma- or bar-separated list of tokens.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/swfwriter/description_lexer.h"
#include "tools/swfwriter/records.h"

namespace swf {

struct Arg {
    std::string key;  // empty for a positional argument
    std::vector<Token> values;
    int column = 0;
};

// Collects the arguments of one statement and reports the first problem with them.
class ArgReader {
  public:
    // Arguments from tokens[first...] of the line.
    ArgReader(const Line& line, size_t first);

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    size_t PositionalCount() const;
    const Arg* Positional(size_t index);
    const Arg* Option(const char* key);
    bool Has(const char* key) { return Option(key) != nullptr; }
    // True when a positional word equals `word` (used for bare flags like "readonly").
    bool Flag(const char* word);

    // Typed reads: false (with error set) when present but malformed; missing leaves `out`.
    bool Int(const Arg* a, int64_t min, int64_t max, int64_t& out);
    bool Number(const Arg* a, double& out);
    bool Numbers(const Arg* a, size_t count, std::vector<double>& out);
    bool Color(const Arg* a, Rgba& out);
    bool Text(const Arg* a, std::string& out);

    bool IntOption(const char* key, int64_t min, int64_t max, int64_t& out) {
        return Int(Option(key), min, max, out);
    }
    bool NumberOption(const char* key, double& out) { return Number(Option(key), out); }
    bool TextOption(const char* key, std::string& out) { return Text(Option(key), out); }

    // Needs `count` positional arguments; sets an error naming `usage` otherwise.
    bool Require(size_t count, const char* usage);
    // Fails on any argument nobody asked for.
    bool Finish();
    void SetError(int column, const std::string& message);

  private:
    const Line& line_;
    std::vector<Arg> args_;
    std::vector<bool> used_;
    std::string error_;
};

// Placement options shared by "place" and button states: x= y= scale= sx= sy= rotate= or
// matrix=a,b,c,d,tx,ty; mul=r,g,b,a add=r,g,b,a alpha=. Absent options leave the values unset.
bool ReadTransformOptions(ArgReader& args, std::optional<Matrix>& matrix,
                          std::optional<ColorTransform>& colorTransform);

bool ParseInteger(const std::string& text, int64_t& out);
bool ParseNumber(const std::string& text, double& out);
bool ParseColor(const std::string& text, Rgba& out);

}  // namespace swf
