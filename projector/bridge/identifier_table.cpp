#include "projector/bridge/identifier_table.h"

namespace kestrel {

const char* const kMovieCallNames[12] = {
    "menuCommand",      "addWindowForm",    "setThisWindowForm", "onMenuCommand",
    "onWindowResize",   "onWindowPosition", "onWindowClose",     "onWindowActivate",
    "onWindowMinimize", "onWindowMaximize", "onWindowRestore",   "apiInitFinished",
};

ScriptIdentifier IdentifierTable::GetStringIdentifier(std::string_view name) {
    if (name == kFlashRequestName) return kFlashRequestIdentifier;
    if (name == kDoFSCommandName) return kDoFSCommandIdentifier;
    std::string key(name);
    auto found = internedByName_.find(key);
    if (found != internedByName_.end()) return found->second;
    interned_.push_back(key);
    auto id = static_cast<ScriptIdentifier>(interned_.size());
    internedByName_.emplace(std::move(key), id);
    return id;
}

bool IdentifierTable::IsString(ScriptIdentifier id) const {
    return id >= 1 && id <= interned_.size();
}

std::optional<std::string> IdentifierTable::NameOf(ScriptIdentifier id) const {
    auto registered = registered_.find(id);
    if (registered != registered_.end()) return registered->second;
    if (IsString(id)) return interned_[id - 1];
    return std::nullopt;
}

ScriptIdentifier IdentifierTable::Register(std::string_view name) {
    std::string key(name);
    auto found = registeredByName_.find(key);
    if (found != registeredByName_.end()) return found->second;
    auto id = static_cast<ScriptIdentifier>(kFirstRegisteredIdentifier + registered_.size());
    registered_.emplace(id, key);
    registeredByName_.emplace(std::move(key), id);
    return id;
}

ScriptIdentifier IdentifierTable::RegisteredIdentifier(std::string_view name) const {
    auto found = registeredByName_.find(std::string(name));
    return found == registeredByName_.end() ? kNoIdentifier : found->second;
}

IdentifierTable& ProcessIdentifiers() {
    static IdentifierTable table;
    return table;
}

void RegisterMovieCallNames(IdentifierTable& table) {
    for (const char* name : kMovieCallNames) table.Register(name);
}

}  // namespace kestrel
