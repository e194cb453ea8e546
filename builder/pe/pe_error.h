// Why reading or rewriting a PE file's resources failed.
#pragma once

namespace kestrel::pe {

enum class PeError {
    None,
    NotPe,                   // no MZ header, PE signature or known optional header
    DamagedHeaders,          // a header or the section table reaches outside the file
    DamagedResources,        // the resource directory is damaged or loops
    ResourceSectionNotLast,  // sections that cannot move follow the resource section
    NoRoomForSection,        // no resources yet and no room for another section header
    TooLarge,                // the rewritten image would not fit 32-bit sizes
    IconDamaged,             // the .ico file is not a valid icon file
    NoIconGroup,             // the executable carries no icon group to replace
    TooManyIcons,            // no free icon numbers left
};

const char* ToString(PeError error);

}  // namespace kestrel::pe
