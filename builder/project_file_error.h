// Results of reading and writing project files. The numbers are the ids of
// the builder's messages; ToString gives their texts.
#pragma once

namespace kestrel {

enum class ProjectFileError : int {
    None = 0,
    InvalidFile = 161,   // no file of that name
    CannotOpen = 162,    // the XML parser cannot load it
    CannotRead = 163,    // no project in it, or an unreadable one
    CannotCreate = 164,  // the file cannot be created or replaced
    CannotWrite = 165,   // writing failed
};

const char* ToString(ProjectFileError error);

}  // namespace kestrel
