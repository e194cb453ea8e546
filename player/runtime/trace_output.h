// Where trace() lines go: the file named by NPFP_TRACE_FILE (appended, flushed per line,
// like the debug player's log) and an optional callback for tests and hosts.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace kestrel::runtime {

class TraceOutput {
  public:
    using Callback = std::function<void(std::string_view line)>;

    // Opens the file named by the environment variable, when it is set and non-empty.
    TraceOutput();
    ~TraceOutput();
    TraceOutput(const TraceOutput&) = delete;
    TraceOutput& operator=(const TraceOutput&) = delete;

    // Replaces the file (empty path: none). False when it cannot be opened.
    bool openFile(const std::string& path);
    void setCallback(Callback callback) { callback_ = std::move(callback); }

    // One trace call; "\r" in the text ends a line as in the player's log.
    void write(std::string_view text);

  private:
    std::FILE* file_ = nullptr;  // owned
    Callback callback_;
};

// The text of one trace call as log lines: every "\r" breaks a line ("\r\n" gives two
// breaks, as the player's log shows it).
std::string normaliseTraceLineBreaks(std::string_view text);

}  // namespace kestrel::runtime
