// Direct access to the stored values of a project, for code that fills a
// project from a file: loading is not an edit, so it counts no change, and
// the setters' side effects (re-applying the movie size) must not undo what
// the file says. Everything else goes through the setters.
#pragma once

#include <string>
#include <vector>

#include "builder/project.h"

namespace kestrel {

struct ProjectFileAccess {
    static WindowSettings& Settings(WindowData& window) { return window.settings_; }
    static std::vector<std::string>& ExtraFiles(WindowData& window) { return window.extraFiles_; }
    static ProjectSettings& Settings(Project& project) { return project.settings_; }
};

}  // namespace kestrel
