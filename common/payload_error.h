// Failure codes of payload unpacking. The numbers are shown to the user in
// "The program failed to initialize: %d", so they must not change.
#pragma once

namespace kestrel {

enum class PayloadError : int {
    None = 0,
    NoSettings = 4,    // no settings item was unpacked, or its file is missing
    NotFound = 100,    // the executable does not exist
    CannotOpen = 101,  // it exists but cannot be opened for reading
    NoEndMark = 102,   // the file does not end with the end mark (no payload)
    Damaged = 103,     // a length or position reaches outside the file, or a read failed
};

// Short English description for logs and tests, e.g. "payload damaged".
const char* ToString(PayloadError error);

}  // namespace kestrel
