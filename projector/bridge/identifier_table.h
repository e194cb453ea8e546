// The identifiers that stand for names in script traffic with the plug-in.
//
// Three kinds share one 32-bit number space:
//   - interned names: 1, 2, 3, ... in the order in which the plug-in first
//     asks for them; exact, case-sensitive comparison;
//   - the fixed identifiers of "__flash__request" and "_DoFSCommand", which are
//     never interned and have no name for the reverse lookup;
//   - the registered movie-call names, numbered from 0x0FEEBBCF in the order in
//     which start-up registers them. The projector invokes the movie's
//     callbacks with these, and the plug-in turns them back into names.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrel {

using ScriptIdentifier = std::uint32_t;

constexpr ScriptIdentifier kFlashRequestIdentifier = 0x0FEEBBCD;  // "__flash__request"
constexpr ScriptIdentifier kDoFSCommandIdentifier = 0x0FEEBBCE;   // "_DoFSCommand"
constexpr ScriptIdentifier kFirstRegisteredIdentifier = 0x0FEEBBCF;
constexpr ScriptIdentifier kNoIdentifier = 0;

constexpr char kFlashRequestName[] = "__flash__request";
constexpr char kDoFSCommandName[] = "_DoFSCommand";

class IdentifierTable {
  public:
    // The fixed identifiers for their two names; otherwise the interned
    // number, entering the name when it is new.
    ScriptIdentifier GetStringIdentifier(std::string_view name);

    // True exactly for an interned number.
    bool IsString(ScriptIdentifier id) const;

    // A registered name first, else an interned one; nothing for the fixed
    // identifiers and unknown numbers.
    std::optional<std::string> NameOf(ScriptIdentifier id) const;

    // Gives the name the next registered number; a name registered before
    // keeps its number.
    ScriptIdentifier Register(std::string_view name);

    // kNoIdentifier when the name is not registered.
    ScriptIdentifier RegisteredIdentifier(std::string_view name) const;

  private:
    std::vector<std::string> interned_;  // identifier i is interned_[i - 1]
    std::unordered_map<std::string, ScriptIdentifier> internedByName_;
    std::map<ScriptIdentifier, std::string> registered_;
    std::unordered_map<std::string, ScriptIdentifier> registeredByName_;
};

// The one table of the process: identifiers are process-wide in the plug-in
// interface.
IdentifierTable& ProcessIdentifiers();

// The names of the movie's callbacks that the projector calls, in the order of
// their numbers: "menuCommand" is 0x0FEEBBCF, "apiInitFinished" 0x0FEEBBDA.
extern const char* const kMovieCallNames[12];

// Registers kMovieCallNames in order; start-up calls it once, before any
// window opens.
void RegisterMovieCallNames(IdentifierTable& table = ProcessIdentifiers());

}  // namespace kestrel
