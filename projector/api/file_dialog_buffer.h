// The file-name buffer of the common file dialog: filled beforehand with the
// default name, read afterwards as one path or, with multiple selection, as a
// folder followed by names (each ending in a zero, the list in two zeros).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "projector/api/dialog_services.h"

namespace kestrel {

// One name (or path) in 2600 bytes; a multiple selection in 64 KiB.
constexpr std::size_t kSingleFileBufferSize = 2600;
constexpr std::size_t kMultipleFileBufferSize = 64 * 1024;

// A zeroed buffer of `size` bytes holding as much of the default name as fits
// with its terminating zero (and the list's second zero).
std::vector<char> MakeFileNameBuffer(std::size_t size, std::string_view defaultName);

// The chosen files from a filled buffer: a single path gives one item; a
// folder followed by names gives the first name joined to the folder, then the
// other names alone. Reading stops at the buffer's end in any case.
std::vector<std::string> ReadChosenFiles(const std::vector<char>& buffer);

}  // namespace kestrel
