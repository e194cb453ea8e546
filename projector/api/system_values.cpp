#include "projector/api/system_values.h"

namespace kestrel {
namespace {

constexpr std::uint32_t kVolumeMaximum = 65535;

// Exit flags of the system's session-ending call.
constexpr std::uint32_t kExitLogOff = 0x0;
constexpr std::uint32_t kExitShutdown = 0x1;
constexpr std::uint32_t kExitReboot = 0x2;
constexpr std::uint32_t kExitForceIfHung = 0x10;

}  // namespace

std::uint32_t VolumeControlValue(std::int32_t percent) {
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    return (static_cast<std::uint32_t>(percent) * kVolumeMaximum + 50) / 100;
}

std::int32_t VolumePercent(std::uint32_t controlValue) {
    if (controlValue > kVolumeMaximum) controlValue = kVolumeMaximum;
    return static_cast<std::int32_t>((controlValue * 100 + kVolumeMaximum / 2) / kVolumeMaximum);
}

std::string OsName(const std::optional<OsVersion>& version) {
    if (!version) return "Unknown";
    const OsVersion& v = *version;
    switch (v.platform) {
        case OsPlatform::Win32s:
            return "Microsoft Win32s";
        case OsPlatform::Windows9x:
            if (v.major == 4 && v.minor == 0) return "Microsoft Windows 95";
            if (v.major == 4 && v.minor == 10)
                return v.servicePack.size() > 1 && v.servicePack[1] == 'A'
                           ? "Microsoft Windows 98SE"
                           : "Microsoft Windows 98";
            if (v.major == 4 && v.minor == 90) return "Microsoft Windows Millennium Edition";
            return "";
        case OsPlatform::WindowsNT:
            break;
    }
    if (v.major == 10 && v.minor == 0)
        return v.build >= 22000 ? "Microsoft Windows 11" : "Microsoft Windows 10";
    if (v.major == 6) {
        if (v.minor == 0)
            return v.server ? "Microsoft Windows Server 2008" : "Microsoft Windows Vista";
        if (v.minor == 1) return "Microsoft Windows 7";
        if (v.minor == 2) return "Microsoft Windows 8";
        if (v.minor == 3) return "Microsoft Windows 8.1";
        return "Microsoft Windows Vista";
    }
    if (v.major == 5 && v.minor == 2) return "Microsoft Windows Server 2003";
    if (v.major == 5 && v.minor == 1) return "Microsoft Windows XP";
    if (v.major == 5 && v.minor == 0) return "Microsoft Windows 2000";
    if (v.major <= 4) return "Microsoft Windows NT";
    return "";
}

std::uint32_t ExitFlagsFor(PowerRequest request) {
    switch (request) {
        case PowerRequest::Restart:
            return kExitReboot | kExitForceIfHung;
        case PowerRequest::Shutdown:
            return kExitShutdown | kExitForceIfHung;
        case PowerRequest::LogOff:
        case PowerRequest::Sleep:
            break;
    }
    return kExitLogOff | kExitForceIfHung;
}

std::optional<std::string> DriveRoot(std::int32_t index) {
    if (index < 0 || index >= 26) return std::nullopt;
    return std::string(1, static_cast<char>('A' + index)) + ":\\";
}

}  // namespace kestrel
