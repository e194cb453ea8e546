#include "tests/projector/e2e/call_script.h"

#include "tests/player/shell/movie_script_text.h"
#include "tests/projector/e2e/running_projector_win.h"

namespace kestrel::e2e {
namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

CallScript& CallScript::Call(const std::string& label, const std::string& name,
                             const std::vector<std::string>& args) {
    std::vector<std::string> pushed;
    for (const std::string& arg : args) pushed.push_back(Quoted(arg));
    text_ += shell_test::CallOut("r", name, pushed) + Trace(label + "=", Var("r"));
    return *this;
}

CallScript& CallScript::Keep(const std::string& variable, const std::string& label,
                             const std::string& name, const std::vector<std::string>& args) {
    Call(label, name, args);
    text_ += "push \"" + variable + "\"\n" + Var("r") + "setVariable\n";
    return *this;
}

CallScript& CallScript::CallWith(const std::string& label, const std::string& name,
                                 const std::string& variable,
                                 const std::vector<std::string>& rest) {
    std::string pushes;
    for (auto it = rest.rbegin(); it != rest.rend(); ++it) pushes += "push " + Quoted(*it) + "\n";
    text_ += "push \"r\"\n" + pushes + Var(variable) + "push \"" + name + "\", " +
             std::to_string(rest.size() + 2) + "\n" + shell_test::PushExternalInterface() +
             "push \"call\"\ncallMethod\nsetVariable\n" + Trace(label + "=", Var("r"));
    return *this;
}

CallScript& CallScript::Date(const std::string& label, const std::string& name,
                             const std::string& pushedArg) {
    text_ += shell_test::CallOut("r", name, {pushedArg});
    std::string fields = Member("r", "year");
    for (const char* field : {"month", "date", "hour", "minute", "second"})
        fields += "push \"-\"\nadd2\n" + Member("r", field) + "add2\n";
    text_ += Trace(label + "=", fields);
    return *this;
}

std::string CallScript::MovieInFrameOne() const {
    return shell_test::MovieWithFrameOne(text_ + "push \"done\"\ntrace\n");
}

std::string CallScript::MovieInFrameThree() const {
    return "version 8\nstage 200 100\nrate 10\nbackground #336699\nshowframe\nshowframe\n"
           "action\nstop\n" +
           text_ + "push \"done\"\ntrace\nend\nshowframe\n";
}

std::map<std::string, std::string> Answers(const std::vector<std::string>& lines) {
    std::map<std::string, std::string> answers;
    for (const std::string& line : lines) {
        std::size_t equals = line.find('=');
        if (equals != std::string::npos) answers[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return answers;
}

}  // namespace kestrel::e2e
