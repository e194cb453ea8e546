#include "tests/projector/e2e/running_projector_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "common/file_system.h"
#include "tools/swfwriter/description.h"

namespace kestrel::e2e {

std::string Trace(const std::string& label, const std::string& pushValue) {
    return "push \"" + label + "\"\n" + pushValue + "add2\ntrace\n";
}
std::string Var(const std::string& name) {
    return "push \"" + name + "\"\ngetVariable\n";
}
std::string Member(const std::string& variable, const std::string& member) {
    return Var(variable) + "push \"" + member + "\"\ngetMember\n";
}

ProjectorPayload MainWindowPayload(const std::string& title) {
    ProjectorPayload payload = skylet_test::ShownMainWindowPayload(title, 200, 100);
    payload.mainWindow.name = "main";
    return payload;
}

std::vector<uint8_t> Compile(const std::string& description) {
    std::string error;
    auto bytes = swf::CompileDescription(description, error);
    EXPECT_TRUE(bytes) << error;
    return bytes ? *bytes : std::vector<uint8_t>();
}

RunningProjector::RunningProjector(
    skylet_test::ProjectorFolder& folder, ProjectorPayload payload,
    const std::vector<uint8_t>& movie,
    const std::vector<std::pair<std::string, std::string>>& environment) {
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
    // By title: an additional window shown at start-up lies above the main one,
    // so the first projector window found may be either.
    const std::string& title = payload.mainWindow.title;
    if (ok_)
        window_ = uitest::WaitForTopLevelWindow(process_.id(), "LK_KestrelSKWindow",
                                                title.empty() ? nullptr : title.c_str(),
                                                kWindowTimeoutMs);
}

RunningProjector::~RunningProjector() {
    if (window_) uitest::CloseWindowPolitely(window_);
    uint32_t code = 0;
    if (!process_.waitForExit(20000, &code)) process_.kill();
}

std::vector<std::string> RunningProjector::traceLines() const {
    std::vector<std::string> lines;
    std::ifstream file(tracePath_);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> RunningProjector::waitForTrace(const std::string& last,
                                                        DWORD timeoutMs) const {
    std::vector<std::string> lines;
    uitest::WaitUntil(
        [&] {
            lines = traceLines();
            return std::find(lines.begin(), lines.end(), last) != lines.end();
        },
        timeoutMs);
    return lines;
}

}  // namespace kestrel::e2e
