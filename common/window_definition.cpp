#include "common/window_definition.h"

#include <iterator>

namespace kestrel {

namespace {

// Words indexed by their number.
constexpr const char* kWindowTypeWords[] = {"standard", "mask", "transparent"};
constexpr const char* kWindowStyleWords[] = {"normal", "modal", "tool", "noborder"};
constexpr const char* kSizeModeWords[] = {"custom", "swf_size", "screen_percent"};
constexpr const char* kPositionModeWords[] = {"custom", "center"};
constexpr const char* kMouseActionWords[] = {"drag", "flash", "ignore", "custom_menu"};
constexpr const char* kQualityWords[] = {"low", "auto_low", "auto_high", "medium", "high", "best"};
constexpr const char* kScaleWords[] = {"show_all", "no_border", "exact_fit"};

template <typename Enum, size_t N>
const char* Lookup(const char* const (&words)[N], Enum value) {
    auto number = static_cast<int32_t>(value);
    return number >= 0 && static_cast<size_t>(number) < N ? words[number] : nullptr;
}

template <typename Enum, size_t N>
bool Find(const char* const (&words)[N], const std::string& word, Enum* value) {
    for (size_t i = 0; i < N; ++i) {
        if (word == words[i]) {
            *value = static_cast<Enum>(i);
            return true;
        }
    }
    return false;
}

}  // namespace

const char* WordFor(WindowType value) {
    return Lookup(kWindowTypeWords, value);
}
const char* WordFor(WindowStyle value) {
    return Lookup(kWindowStyleWords, value);
}
const char* WordFor(WindowSizeMode value) {
    return Lookup(kSizeModeWords, value);
}
const char* WordFor(WindowPositionMode value) {
    return Lookup(kPositionModeWords, value);
}
const char* WordFor(MouseAction value) {
    return Lookup(kMouseActionWords, value);
}
const char* WordFor(FlashQuality value) {
    return Lookup(kQualityWords, value);
}
const char* WordFor(FlashScale value) {
    return Lookup(kScaleWords, value);
}

bool ParseWord(const std::string& word, WindowType* value) {
    return Find(kWindowTypeWords, word, value);
}
bool ParseWord(const std::string& word, WindowStyle* value) {
    return Find(kWindowStyleWords, word, value);
}
bool ParseWord(const std::string& word, WindowSizeMode* value) {
    return Find(kSizeModeWords, word, value);
}
bool ParseWord(const std::string& word, WindowPositionMode* value) {
    return Find(kPositionModeWords, word, value);
}
bool ParseWord(const std::string& word, MouseAction* value) {
    return Find(kMouseActionWords, word, value);
}
bool ParseWord(const std::string& word, FlashQuality* value) {
    return Find(kQualityWords, word, value);
}
bool ParseWord(const std::string& word, FlashScale* value) {
    return Find(kScaleWords, word, value);
}

}  // namespace kestrel
