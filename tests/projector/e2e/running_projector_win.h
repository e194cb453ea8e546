// A real projector (skylet.exe with a payload) playing one movie under Wine,
// and small pieces of AVM1 assembler for movies that trace what they saw.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/file_system.h"
#include "common/projector_payload.h"
#include "swfwriter/description.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/support/ui_test_support.h"

namespace kestrel::e2e {

inline constexpr DWORD kWindowTimeoutMs = 60000;

inline std::string Trace(const std::string& label, const std::string& pushValue) {
    return "push \"" + label + "\"\n" + pushValue + "add2\ntrace\n";
}
inline std::string Var(const std::string& name) { return "push \"" + name + "\"\ngetVariable\n"; }
inline std::string Member(const std::string& variable, const std::string& member) {
    return Var(variable) + "push \"" + member + "\"\ngetMember\n";
}

// A projector in its own folder, started with a trace file; knows what the movie traced.
class RunningProjector {
public:
    // `environment` adds variables to the projector's own.
    RunningProjector(skylet_test::ProjectorFolder& folder, ProjectorPayload payload, const std::vector<uint8_t>& movie,
                     const std::vector<std::pair<std::string, std::string>>& environment = {})
        : folder_(folder) {
        payload.windows.resize(std::max<size_t>(payload.windows.size(), 1));
        payload.windows[0].moviePath = folder.writeFile("movie.swf", movie);
        program_ = folder.copyStub("projector.exe");
        ok_ = WriteProjectorPayload(program_, payload) == PayloadWriteError::None;
        tracePath_ = JoinPath(folder.work(), "trace.txt");
        const std::string temp = folder.temp() + "\\";
        std::vector<std::pair<std::string, std::string>> variables{
            {"TMP", temp}, {"TEMP", temp}, {"NPFP_TRACE_FILE", tracePath_}};
        variables.insert(variables.end(), environment.begin(), environment.end());
        ok_ = ok_ && process_.start({program_, folder.work(), variables});
        if (ok_) window_ = uitest::WaitForTopLevelWindow(process_.id(), "LK_KestrelSKWindow", nullptr, kWindowTimeoutMs);
    }
    ~RunningProjector() {
        if (window_) uitest::CloseWindowPolitely(window_);
        uint32_t code = 0;
        if (!process_.waitForExit(20000, &code)) process_.kill();
    }
    bool started() const { return ok_ && window_; }
    DWORD processId() const { return process_.id(); }
    // Waits for the projector to end by itself; false when it is still running.
    bool waitForExit(DWORD timeoutMs, uint32_t* exitCode) { return process_.waitForExit(timeoutMs, exitCode); }
    HWND window() const { return window_; }

    std::vector<std::string> traceLines() const {
        std::vector<std::string> lines;
        std::ifstream file(tracePath_);
        std::string line;
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    // Waits until the movie traced `last` (or the time is up); returns every line.
    std::vector<std::string> waitForTrace(const std::string& last, DWORD timeoutMs = 30000) const {
        std::vector<std::string> lines;
        uitest::WaitUntil(
            [&] {
                lines = traceLines();
                return std::find(lines.begin(), lines.end(), last) != lines.end();
            },
            timeoutMs);
        return lines;
    }

private:
    skylet_test::ProjectorFolder& folder_;
    std::string program_, tracePath_;
    uitest::TestProcess process_;
    HWND window_ = nullptr;
    bool ok_ = false;
};

inline ProjectorPayload MainWindowPayload(const std::string& title) {
    ProjectorPayload payload;
    WindowDefinition& main = payload.mainWindow;
    main.moviePath = "movie.swf";
    main.name = "main";
    main.title = title;
    main.visible = true;
    main.sizeMode = WindowSizeMode::Custom;
    main.width = 200;
    main.height = 100;
    main.x = 40;
    main.y = 40;
    return payload;
}

inline std::vector<uint8_t> Compile(const std::string& description) {
    std::string error;
    auto bytes = swf::CompileDescription(description, error);
    EXPECT_TRUE(bytes) << error;
    return bytes ? *bytes : std::vector<uint8_t>();
}

}  // namespace kestrel::e2e
