// The builder's preferences: window places, the start command, the recent
// lists, the update and overwrite choices and the colour chooser's custom
// colours. Kept under HKCU "SOFTWARE\Larkspur\Kestrel", loaded once at
// start and saved once at exit.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "builder/recent_list.h"
#include "builder/registry_store.h"

namespace kestrel {

inline constexpr char kPreferencesKey[] = "SOFTWARE\\Larkspur\\Kestrel";

enum class StartCommand : int32_t { NewFromMovie = 0, NewProject = 1, OpenProject = 2 };

struct Preferences {
    int32_t mainWindowX = 50;
    int32_t mainWindowY = 50;
    int32_t mainWindowWidth = 400;
    int32_t mainWindowHeight = 400;
    int32_t settingsWindowX = 100;
    int32_t settingsWindowY = 100;
    int32_t settingsWindowWidth = 400;
    int32_t settingsWindowHeight = 400;
    bool settingsWindowVisible = true;
    StartCommand startCommand = StartCommand::NewFromMovie;
    bool displayFullPath = true;
    RecentList recentProjects;
    RecentList recentMovies;
    bool alwaysOverwrite = false;
    bool checkForUpdates = true;
    bool warnMacVersion = true;
    std::array<uint32_t, 16> customColours = [] {
        std::array<uint32_t, 16> white{};
        white.fill(0xFFFFFF);
        return white;
    }();
};

// A value that is missing or unreadable leaves its field at its current
// value; recent entries whose file is gone are dropped.
void LoadPreferences(Preferences& preferences, RegistryStore& store,
                     const std::function<bool(const std::string&)>& fileExists);
// False when any value could not be written.
bool SavePreferences(const Preferences& preferences, RegistryStore& store);

}  // namespace kestrel
