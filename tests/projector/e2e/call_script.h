// A test movie that calls the desktop API in order and traces "label=answer"
// for each call, and the reading of those answers from the projector's trace.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kestrel::e2e {

class CallScript {
  public:
    // Arguments are pushed as strings exactly as given (already Base64 where
    // the method reads text).
    CallScript& Call(const std::string& label, const std::string& name,
                     const std::vector<std::string>& args = {});
    // Keeps the answer in `variable` and traces it.
    CallScript& Keep(const std::string& variable, const std::string& label, const std::string& name,
                     const std::vector<std::string>& args = {});
    // A call whose first argument is the value of `variable` (an id).
    CallScript& CallWith(const std::string& label, const std::string& name,
                         const std::string& variable, const std::vector<std::string>& rest = {});
    // Traces the six fields of a date answer; `pushedArg` is pushed as it stands.
    CallScript& Date(const std::string& label, const std::string& name,
                     const std::string& pushedArg);

    // The calls run in frame 1, then the movie traces "done".
    std::string MovieInFrameOne() const;
    // The calls run in frame 3, once start-up has opened every window. The
    // movie stops first: the player's timer keeps running while a dialog waits.
    std::string MovieInFrameThree() const;

  private:
    std::string text_;
};

// The "label=answer" lines of a trace, by label.
std::map<std::string, std::string> Answers(const std::vector<std::string>& lines);

}  // namespace kestrel::e2e
