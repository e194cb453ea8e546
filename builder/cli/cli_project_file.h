// Loads a project file for kestrel-cli. Unlike the builder, which takes a
// relative path in a project file against its own program folder, the
// command line takes it against the project file's folder, so a project
// kept with its movies in a repository exports wherever it is checked out.
#pragma once

#include <string>

#include "builder/project.h"
#include "builder/project_file_error.h"

namespace kestrel::cli {

ProjectFileError LoadCliProject(Project& project, const std::string& path);

}  // namespace kestrel::cli
