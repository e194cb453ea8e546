// File steps the export targets share: whole reads of the inputs, fresh
// work folders beside the output, checked copies, and putting a finished output in place in one
// rename so that a failed export never leaves a half-written one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

// Reads the whole of a file into `bytes`; false when it cannot be opened or
// read to its end.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);

// Creates a new, empty folder in `parent` whose name starts with ".kestrel-"
// and was not there before; empty when none could be created.
std::string MakeWorkFolder(const std::string& parent);

// Copies the bytes of `from` to a new file `to`; every write and the close
// are checked. False (and `to` removed) on any failure.
bool CopyFileChecked(const std::string& from, const std::string& to);

// Copies a file, or a folder with everything below it (links are not
// followed), into `folder` under its own last name. On failure `failedPath`
// names the source that could not be copied.
bool CopyIntoFolder(const std::string& source, const std::string& folder, std::string* failedPath);

// Writes `bytes` as a new file; checked like the copy.
bool WriteFileChecked(const std::string& path, const std::string& bytes);

// Moves the finished `built` (a file or folder) to `target`. An existing
// target is first moved into `workFolder` and deleted with it afterwards by
// the caller; if the final rename fails the old target is put back.
bool PutInPlace(const std::string& built, const std::string& target, const std::string& workFolder);

// Removes a file or a whole folder; true when nothing is left.
bool RemovePath(const std::string& path);

}  // namespace kestrel
