#include "builder/preferences.h"

#include <iterator>

namespace kestrel {
namespace {

// The start command is kept as a word; read into a buffer of this size.
constexpr std::size_t kCommandBufferSize = 64;
constexpr const char* kStartCommandWords[] = {"new_from_swf", "new", "open"};

struct IntegerValue {
    const char* name;
    int32_t Preferences::*field;
};

constexpr IntegerValue kIntegerValues[] = {
    {"main_window_x", &Preferences::mainWindowX},
    {"main_window_y", &Preferences::mainWindowY},
    {"main_window_width", &Preferences::mainWindowWidth},
    {"main_window_height", &Preferences::mainWindowHeight},
    {"settings_window_x", &Preferences::settingsWindowX},
    {"settings_window_y", &Preferences::settingsWindowY},
    {"settings_window_width", &Preferences::settingsWindowWidth},
    {"settings_window_height", &Preferences::settingsWindowHeight},
};

struct FlagValue {
    const char* name;
    bool Preferences::*field;
};

constexpr FlagValue kFlagValues[] = {
    {"settings_window_visible", &Preferences::settingsWindowVisible},
    {"display_full_settings_path", &Preferences::displayFullPath},
    {"check_software_updates", &Preferences::checkForUpdates},
    {"warn_tiger_version", &Preferences::warnMacVersion},
    {"always_overwrite", &Preferences::alwaysOverwrite},
};

std::string ColourName(std::size_t index) {
    return "custcol_" + std::to_string(index);
}

}  // namespace

void LoadPreferences(Preferences& preferences, RegistryStore& store,
                     const std::function<bool(const std::string&)>& fileExists) {
    for (const IntegerValue& value : kIntegerValues) {
        if (std::optional<uint32_t> read = ReadDword(store, value.name))
            preferences.*value.field = static_cast<int32_t>(*read);
    }
    for (const FlagValue& value : kFlagValues) {
        if (std::optional<uint32_t> read = ReadDword(store, value.name))
            preferences.*value.field = *read != 0;
    }
    preferences.recentProjects.Load(store, kRecentProjectsName, fileExists);
    preferences.recentMovies.Load(store, kRecentMoviesName, fileExists);
    if (std::optional<std::string> word =
            ReadString(store, "project_command", kCommandBufferSize)) {
        for (std::size_t i = 0; i < std::size(kStartCommandWords); ++i) {
            if (*word == kStartCommandWords[i])
                preferences.startCommand = static_cast<StartCommand>(i);
        }
    }
    for (std::size_t i = 0; i < preferences.customColours.size(); ++i) {
        if (std::optional<uint32_t> read = ReadDword(store, ColourName(i)))
            preferences.customColours[i] = *read;
    }
}

bool SavePreferences(const Preferences& preferences, RegistryStore& store) {
    bool saved = true;
    for (const IntegerValue& value : kIntegerValues)
        saved =
            WriteDword(store, value.name, static_cast<uint32_t>(preferences.*value.field)) && saved;
    for (const FlagValue& value : kFlagValues)
        saved = WriteDword(store, value.name, preferences.*value.field ? 1 : 0) && saved;
    saved = preferences.recentProjects.Store(store, kRecentProjectsName) && saved;
    saved = preferences.recentMovies.Store(store, kRecentMoviesName) && saved;
    auto command = static_cast<std::size_t>(preferences.startCommand);
    if (command < std::size(kStartCommandWords))
        saved = WriteString(store, "project_command", kStartCommandWords[command]) && saved;
    for (std::size_t i = 0; i < preferences.customColours.size(); ++i)
        saved = WriteDword(store, ColourName(i), preferences.customColours[i]) && saved;
    return saved;
}

}  // namespace kestrel
