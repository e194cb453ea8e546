// The two script texts the plug-in asks the browser to evaluate, recognised
// without a script engine:
//   try { __flash__toXML(Family.method("arg1","arg2")) ; } catch (e) { ... }
//       a call out of the movie; the projector API answers it;
//   var __flash_temp = "...";
//       a string that a movie callback returned.
// Any other text evaluates to nothing and succeeds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct ScriptCall {
    std::string_view function;                // e.g. "Window.getPosition"
    std::vector<std::string_view> arguments;  // quotes removed, nothing unescaped
};

struct ParsedScript {
    enum class Kind { MovieCall, ReturnedString, Other, Failed };
    Kind kind = Kind::Other;
    ScriptCall call;           // MovieCall; views into the script text
    std::string returnedText;  // ReturnedString, unescaped
};

// Arguments: the text between "(" and the next ")" is cut at every ","; empty
// and blank pieces are skipped; a piece with a double quote gives the text
// between its first and last double quote; a piece without one (a number,
// true, null) gives the piece with surrounding blanks removed.
ParsedScript ParseScript(std::string_view script);

// Fills `call` from a script text; false when it is not a call or is broken.
// Reuses the argument vector's storage, for callers that parse many calls.
bool ParseScriptCall(std::string_view script, ScriptCall& call);

}  // namespace kestrel
