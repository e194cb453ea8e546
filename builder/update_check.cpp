#include "builder/update_check.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <vector>

namespace kestrel {
namespace {

// The registry text is read into a buffer of this size.
constexpr std::size_t kServerBufferSize = 260;

// Leading blanks, a sign and digits, as C atol reads them; saturates at the
// bounds of 32 bits instead of overflowing.
int32_t ReadLeadingNumber(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    int64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) break;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

std::string UpdateServerAddress(RegistryStore& store) {
    std::optional<std::string> address =
        ReadString(store, kUpdateServerValueName, kServerBufferSize);
    return address && !address->empty() ? *address : std::string(kUpdateServerAddress);
}

std::string UpdateQueryAddress(const std::string& server, int productNumber) {
    std::string address = server;
    while (!address.empty() && address.back() == '/') address.pop_back();
    return address + kUpdateQueryPath + std::to_string(productNumber + kProductCodeOffset);
}

std::optional<Version> ParseUpdateAnswer(const char* body, std::size_t size) {
    if (!body || size > kMaxUpdateAnswerBytes) return {};
    std::string text(body, std::find(body, body + size, '\0'));
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (pieces.size() < 2 && start <= text.size()) {
        std::size_t dot = text.find('.', start);
        if (dot == std::string::npos) dot = text.size();
        if (dot > start) pieces.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
    if (pieces.size() < 2) return {};
    return Version{ReadLeadingNumber(pieces[0]), ReadLeadingNumber(pieces[1])};
}

bool IsNewer(Version latest, Version current) {
    return latest.major > current.major ||
           (latest.major == current.major && latest.minor > current.minor);
}

UpdateOutcome ClassifyUpdate(const std::optional<Version>& latest, Version current) {
    if (!latest) return UpdateOutcome::Failed;
    return IsNewer(*latest, current) ? UpdateOutcome::NewerAvailable : UpdateOutcome::UpToDate;
}

}  // namespace kestrel
