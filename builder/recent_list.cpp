#include "builder/recent_list.h"

#include <algorithm>

#include "builder/project_paths.h"

namespace kestrel {
namespace {

// Registry texts of entries are read into a buffer of this size.
constexpr std::size_t kEntryBufferSize = 260;

}  // namespace

void RecentList::Add(const std::string& path) {
    std::string absolute = AbsoluteForm(path);
    auto shownEnd = entries_.begin() + static_cast<std::ptrdiff_t>(ShownCount());
    auto found = std::find_if(entries_.begin(), shownEnd, [&absolute](const std::string& entry) {
        return SamePath(entry, absolute);
    });
    if (found != shownEnd) entries_.erase(found);
    entries_.insert(entries_.begin(), absolute);
}

void RecentList::SetMaximum(int maximum) {
    maximum_ = std::clamp(maximum, 0, kRecentListMaximumLimit);
}

std::size_t RecentList::ShownCount() const {
    return std::min(entries_.size(), static_cast<std::size_t>(maximum_));
}

std::vector<std::string> RecentList::Shown() const {
    return {entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(ShownCount())};
}

const std::string* RecentList::EntryForCommand(int id, int base) const {
    if (id < base || static_cast<std::size_t>(id - base) >= ShownCount()) return nullptr;
    return &entries_[static_cast<std::size_t>(id - base)];
}

void RecentList::Load(RegistryStore& store, const std::string& name,
                      const std::function<bool(const std::string&)>& fileExists) {
    if (std::optional<uint32_t> maximum = ReadDword(store, name + "_max"))
        SetMaximum(static_cast<int32_t>(*maximum));
    entries_.clear();
    for (int number = 1; number <= maximum_; ++number) {
        std::optional<std::string> entry =
            ReadString(store, name + "_" + std::to_string(number), kEntryBufferSize);
        if (!entry) break;
        if (fileExists(*entry)) entries_.push_back(*entry);
    }
}

bool RecentList::Store(RegistryStore& store, const std::string& name) const {
    bool stored = WriteDword(store, name + "_max", static_cast<uint32_t>(maximum_));
    for (std::size_t i = 0; i < ShownCount(); ++i)
        stored = WriteString(store, name + "_" + std::to_string(i + 1), entries_[i]) && stored;
    return stored;
}

}  // namespace kestrel
