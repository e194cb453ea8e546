// A most-recently-used list of files (projects or movies), most recent
// first. Only the first Maximum() entries are shown and stored.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "builder/registry_store.h"

namespace kestrel {

// First command id of each list's File submenu; entry i is base + i.
inline constexpr int kRecentProjectsCommandBase = 5000;
inline constexpr int kRecentMoviesCommandBase = 5500;
// The range the Preferences dialog offers; stored maxima are clamped to it.
inline constexpr int kRecentListMaximumLimit = 10;
inline constexpr int kRecentListDefaultMaximum = 5;
// Registry names of the two lists.
inline constexpr char kRecentProjectsName[] = "recent_projects";
inline constexpr char kRecentMoviesName[] = "recent_swf";

class RecentList {
  public:
    // Makes the path absolute; an entry naming the same file (ignoring case)
    // among the shown ones moves to the front instead of being repeated.
    void Add(const std::string& path);

    int Maximum() const { return maximum_; }
    // Clamped to 0..kRecentListMaximumLimit.
    void SetMaximum(int maximum);

    const std::vector<std::string>& Entries() const { return entries_; }
    // The entries the submenu shows.
    std::vector<std::string> Shown() const;
    // The entry of a submenu command, or none when `id` is not one of its items.
    const std::string* EntryForCommand(int id, int base) const;

    // Reads "<name>_max" (clamped) and "<name>_1", "<name>_2"... up to the
    // maximum, stopping at the first missing value; keeps the entries whose
    // file exists, in stored order.
    void Load(RegistryStore& store, const std::string& name,
              const std::function<bool(const std::string&)>& fileExists);
    // Writes the maximum, then the shown entries as values 1 to k.
    bool Store(RegistryStore& store, const std::string& name) const;

  private:
    std::size_t ShownCount() const;

    std::vector<std::string> entries_;
    int maximum_ = kRecentListDefaultMaximum;
};

}  // namespace kestrel
