// Makes projectors for tests (skylet.exe plus a payload) in a private folder,
// runs them with a private temporary folder, and tells what they left there.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/projector_payload.h"
#include "tests/support/ui_test_support.h"

namespace kestrel::skylet_test {

// A Windows path for a path this program was built with ("/a/b" -> "Z:\a\b").
std::string WindowsPath(const std::string& path);

// A one-frame SWF movie of the given stage size and background colour.
std::vector<uint8_t> BackgroundMovie(int width, int height, uint8_t red, uint8_t green,
                                     uint8_t blue);

// A payload whose main window, shown with `title`, `width` by `height` at
// 40,40, plays "movie.swf"; the window contents are the caller's.
ProjectorPayload ShownMainWindowPayload(const std::string& title, int width, int height);

class ProjectorFolder {
  public:
    ProjectorFolder();   // makes a fresh folder with "temp" and "work" inside
    ~ProjectorFolder();  // removes it

    const std::string& temp() const { return temp_; }
    const std::string& work() const { return work_; }

    // Copies skylet.exe into the work folder under `name`; returns its path.
    std::string copyStub(const std::string& name) const;
    // Writes a file in the work folder; returns its path.
    std::string writeFile(const std::string& name, const std::vector<uint8_t>& bytes) const;
    // The names in the temporary folder that begin with "lkskso_".
    std::vector<std::string> unpackFolders() const;

    // Starts `program` with this folder's temp as TMP and TEMP.
    bool start(uitest::TestProcess* process, const std::string& program) const;

  private:
    std::string root_, temp_, work_;
};

std::vector<uint8_t> ReadWholeFile(const std::string& path);

// Where a test saves a screenshot for a person to look at: a "screenshots"
// folder in the test's working folder (made when missing).
std::string ScreenshotPath(const std::string& name);
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace kestrel::skylet_test
