// The portable arithmetic and naming behind the "System." answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "projector/api/system_services.h"

namespace kestrel {

// The mixer value for a percentage, clamped to 0-100 and rounded to nearest,
// so that the getter gives the same percentage back.
std::uint32_t VolumeControlValue(std::int32_t percent);
// The percentage of a mixer value (0-65535), rounded to nearest.
std::int32_t VolumePercent(std::uint32_t controlValue);

// "Microsoft Windows XP", ...; "Unknown" without a version, empty for a
// combination without a name.
std::string OsName(const std::optional<OsVersion>& version);

// The exit flags for a session request (restart, shut down, log off); forced
// exits only force programs that hang.
std::uint32_t ExitFlagsFor(PowerRequest request);

// "C:\" for index 2; none outside A to Z.
std::optional<std::string> DriveRoot(std::int32_t index);

}  // namespace kestrel
