#include "player/shell/shell_movie.h"

#include <cctype>
#include <cstring>

#include "player/shell/swf_header.h"

namespace kestrel::shell {
namespace {

// The colour Flash shows when neither the page nor the movie sets one.
constexpr RgbColor kDefaultBackground{255, 255, 255};
constexpr int kTwipsPerPixel = 20;

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Keeps the stream's bytes and re-reads the summary as they arrive, so the
// background shows as soon as the header and its tag are in.
class BackgroundMovie : public ShellMovie {
public:
    explicit BackgroundMovie(const ShellParameters& parameters) : parameters_(parameters) {}

    void receive(const uint8_t* data, size_t size) override {
        bytes_.insert(bytes_.end(), data, data + size);
        // Re-read while the first frame may still bring the colour; a movie
        // that has none by then will not get one later.
        constexpr size_t kLookAheadBytes = 512 * 1024;
        if (!summary_ || (!summary_->hasBackground && bytes_.size() < kLookAheadBytes))
            summary_ = ReadSwfSummary(bytes_.data(), bytes_.size());
    }

    void finish(bool /*complete*/) override {
        if (!summary_) summary_ = ReadSwfSummary(bytes_.data(), bytes_.size());
    }

    RgbColor background() const override {
        if (parameters_.backgroundOverride) return *parameters_.backgroundOverride;
        if (summary_ && summary_->hasBackground) return {summary_->red, summary_->green, summary_->blue};
        return kDefaultBackground;
    }

    std::optional<std::pair<int, int>> stageSize() const override {
        if (!summary_) return std::nullopt;
        return std::make_pair(summary_->stageWidthTwips / kTwipsPerPixel,
                              summary_->stageHeightTwips / kTwipsPerPixel);
    }

private:
    ShellParameters parameters_;
    std::vector<uint8_t> bytes_;
    std::optional<SwfSummary> summary_;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<RgbColor> ParseHtmlColor(const std::string& text) {
    const size_t start = (!text.empty() && text[0] == '#') ? 1 : 0;
    if (text.size() - start != 6) return std::nullopt;
    uint8_t channel[3];
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(text[start + 2 * i]);
        const int low = HexDigit(text[start + 2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        channel[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return RgbColor{channel[0], channel[1], channel[2]};
}

ShellParameters ParseShellParameters(const std::vector<std::pair<std::string, std::string>>& params) {
    ShellParameters result;
    for (const auto& [name, value] : params)
        if (EqualsIgnoringCase(name, "bgcolor")) result.backgroundOverride = ParseHtmlColor(value);
    return result;
}

std::unique_ptr<ShellMovie> CreateShellMovie(const ShellParameters& parameters) {
    return std::make_unique<BackgroundMovie>(parameters);
}

}  // namespace kestrel::shell
