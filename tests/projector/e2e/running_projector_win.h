// A projector started for an end-to-end test: skylet.exe with a payload in its
// own folder, run with a trace file, plus the small AVM1 pieces the test
// movies are written with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/projector_payload.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/support/ui_test_support.h"

namespace kestrel::e2e {

inline constexpr DWORD kWindowTimeoutMs = 60000;

// trace(label + <pushed value>).
std::string Trace(const std::string& label, const std::string& pushValue);
// Pushes the variable's value.
std::string Var(const std::string& name);
// Pushes variable.member.
std::string Member(const std::string& variable, const std::string& member);

// The main window "main" (200 by 100 at 40,40, visible) playing "movie.swf".
ProjectorPayload MainWindowPayload(const std::string& title);
// The movie of a description in the SWF writer's language (fails the test on error).
std::vector<uint8_t> Compile(const std::string& description);

// A projector in its own folder, started with a trace file; knows what the movie traced.
class RunningProjector {
  public:
    // `movie` is the main window's; other windows' movies are set in the payload.
    // `environment` adds variables to the projector's own.
    RunningProjector(skylet_test::ProjectorFolder& folder, ProjectorPayload payload,
                     const std::vector<uint8_t>& movie,
                     const std::vector<std::pair<std::string, std::string>>& environment = {});
    ~RunningProjector();
    RunningProjector(const RunningProjector&) = delete;
    RunningProjector& operator=(const RunningProjector&) = delete;

    bool started() const { return ok_ && window_; }
    DWORD processId() const { return process_.id(); }
    // Waits for the projector to end by itself; false when it is still running.
    bool waitForExit(DWORD timeoutMs, uint32_t* exitCode) {
        return process_.waitForExit(timeoutMs, exitCode);
    }
    // The main window (found by the payload's title when it has one).
    HWND window() const { return window_; }

    std::vector<std::string> traceLines() const;
    // Waits until the movie traced `last` (or the time is up); returns every line.
    std::vector<std::string> waitForTrace(const std::string& last, DWORD timeoutMs = 30000) const;

  private:
    std::string program_, tracePath_;
    uitest::TestProcess process_;
    HWND window_ = nullptr;
    bool ok_ = false;
};

}  // namespace kestrel::e2e
