// Small pieces of AVM1 assembler (the SWF writer's description syntax) for test
// movies that talk to their page through ExternalInterface. Arguments are push
// operands as the assembler reads them: "\"text\"", "5", "true", "r:1".
#pragma once

#include <string>
#include <vector>

namespace kestrel::shell_test {

// Pushes flash.external.ExternalInterface.
inline std::string PushExternalInterface() {
    return "push \"flash\"\ngetVariable\npush \"external\"\ngetMember\npush "
           "\"ExternalInterface\"\ngetMember\n";
}

// ExternalInterface.call(name, args...) with its result stored in `variable`
// (or dropped when `variable` is empty).
inline std::string CallOut(const std::string& variable, const std::string& name,
                           const std::vector<std::string>& args = {}) {
    std::string text;
    if (!variable.empty()) text += "push \"" + variable + "\"\n";
    for (auto it = args.rbegin(); it != args.rend(); ++it) text += "push " + *it + "\n";
    text += "push \"" + name + "\", " + std::to_string(args.size() + 1) + "\n";
    text += PushExternalInterface() + "push \"call\"\ncallMethod\n";
    text += variable.empty() ? "pop\n" : "setVariable\n";
    return text;
}

// Pushes typeof v + "|" + v + "|" + v.x + "|" + v.length for the variable v.
inline std::string PushDescription(const std::string& variable) {
    const std::string get = "push \"" + variable + "\"\ngetVariable\n";
    return get + "typeOf\npush \"|\"\nadd2\n" + get + "add2\npush \"|\"\nadd2\n" + get +
           "push \"x\"\ngetMember\nadd2\npush \"|\"\nadd2\n" + get +
           "push \"length\"\ngetMember\nadd2\n";
}

// ExternalInterface.call(name, <pushed value>): reports what is on top of the stack.
inline std::string ReportTop(const std::string& name) {
    return "push \"" + name + "\", 2\n" + PushExternalInterface() +
           "push \"call\"\ncallMethod\npop\n";
}

// ExternalInterface.addCallback(name, null, function (params) { body }).
inline std::string AddCallback(const std::string& name, const std::string& params,
                               const std::string& body) {
    return "function \"\" (" + params + ")\n" + body + "end\npush null, \"" + name + "\", 3\n" +
           PushExternalInterface() + "push \"addCallback\"\ncallMethod\npop\n";
}

// A whole movie description: one action block in frame 1, then `frames` frames.
inline std::string MovieWithFrameOne(const std::string& frameOneActions,
                                     const std::string& rest = "", int rate = 10) {
    return "version 8\nstage 200 100\nrate " + std::to_string(rate) +
           "\nbackground #336699\naction\n" + frameOneActions + "end\nshowframe\n" + rest;
}

}  // namespace kestrel::shell_test
