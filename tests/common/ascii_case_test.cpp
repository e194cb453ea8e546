// ASCII case folding: only A-Z and a-z fold; every other byte, ANSI and UTF-8 alike, stays.
#include "common/ascii_case.h"

#include <gtest/gtest.h>

#include <clocale>

namespace kestrel {
namespace {

TEST(AsciiCase, FoldsOnlyTheAsciiLetters) {
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        bool upper = b >= 'A' && b <= 'Z', lower = b >= 'a' && b <= 'z';
        EXPECT_EQ(AsciiLower(c), upper ? static_cast<char>(b + 32) : c) << b;
        EXPECT_EQ(AsciiUpper(c), lower ? static_cast<char>(b - 32) : c) << b;
    }
}

TEST(AsciiCase, IgnoresTheLocale) {
    // Latin-1 letters would fold under a Latin-1 locale with tolower; these must not.
    std::setlocale(LC_ALL, "");
    EXPECT_EQ(AsciiLowered("\xC9T\xC9 \xC3\x89"), "\xC9t\xC9 \xC3\x89");
    EXPECT_EQ(AsciiUppered("\xE9t\xE9"), "\xE9T\xE9");
    std::setlocale(LC_ALL, "C");
}

TEST(AsciiCase, ComparesWithoutRegardToCase) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
        bool startsWith;  // a starts with b
    };
    const Case cases[] = {
        {"TRUE", "true", true, true},
        {"FSCommand:quit", "fscommand:", false, true},
        {"", "", true, true},
        {"tru", "true", false, false},
        {"\xC9t\xC9", "\xE9T\xE9", false, false},  // non-ASCII letters never match
        {"a[", "A{", false, false},                // neighbours of the letter ranges
        {"@", "`", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AsciiEqualsIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(AsciiStartsWithIgnoringCase(c.a, c.b), c.startsWith) << c.a << " / " << c.b;
    }
}

}  // namespace
}  // namespace kestrel
