#include "projector/api/system_services_win.h"

#include <windows.h>

// These need <windows.h> first.
#include <mmsystem.h>
#include <powrprof.h>
#include <shellapi.h>

#include <memory>
#include <vector>

#include "common/win_handles.h"
#include "projector/api/system_values.h"

namespace kestrel {
namespace {

// Empty removable drives would otherwise raise the system's "no disk" box
// while the movie merely asks about space or labels.
class NoCriticalErrorBoxes {
  public:
    NoCriticalErrorBoxes() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~NoCriticalErrorBoxes() { SetErrorMode(previous_); }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

  private:
    UINT previous_;
};

// The speaker line's volume control of mixer 0, opened for one call.
class SpeakerVolumeControl {
  public:
    SpeakerVolumeControl() {
        HMIXER mixer = nullptr;
        if (mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return;
        mixer_.reset(mixer);
        MIXERLINEA line{};
        line.cbStruct = sizeof line;
        line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
        if (mixerGetLineInfoA(Object(), &line,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
            MMSYSERR_NOERROR)
            return;
        MIXERCONTROLA control{};
        control.cbStruct = sizeof control;
        MIXERLINECONTROLSA controls{};
        controls.cbStruct = sizeof controls;
        controls.dwLineID = line.dwLineID;
        controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof control;
        controls.pamxctrl = &control;
        if (mixerGetLineControlsA(Object(), &controls,
                                  MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
            MMSYSERR_NOERROR)
            return;
        controlId_ = control.dwControlID;
        found_ = true;
    }

    std::optional<std::uint32_t> Read() {
        if (!found_) return std::nullopt;
        MIXERCONTROLDETAILS_UNSIGNED value{};
        MIXERCONTROLDETAILS details = Details(&value);
        if (mixerGetControlDetailsA(Object(), &details,
                                    MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
            MMSYSERR_NOERROR)
            return std::nullopt;
        return value.dwValue;
    }

    bool Write(std::uint32_t level) {
        if (!found_) return false;
        MIXERCONTROLDETAILS_UNSIGNED value{};
        value.dwValue = level;
        MIXERCONTROLDETAILS details = Details(&value);
        return mixerSetControlDetails(Object(), &details,
                                      MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
               MMSYSERR_NOERROR;
    }

  private:
    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(mixer_.get()); }
    MIXERCONTROLDETAILS Details(MIXERCONTROLDETAILS_UNSIGNED* value) const {
        MIXERCONTROLDETAILS details{};
        details.cbStruct = sizeof details;
        details.dwControlID = controlId_;
        details.cChannels = 1;
        details.cbDetails = sizeof *value;
        details.paDetails = value;
        return details;
    }

    MixerHandle mixer_;
    DWORD controlId_ = 0;
    bool found_ = false;
};

std::string NarrowAscii(const WCHAR* text) {
    std::string narrow;
    for (; *text; ++text) narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

OsPlatform PlatformOf(DWORD platformId) {
    switch (platformId) {
        case VER_PLATFORM_WIN32s:
            return OsPlatform::Win32s;
        case VER_PLATFORM_WIN32_WINDOWS:
            return OsPlatform::Windows9x;
        default:
            return OsPlatform::WindowsNT;
    }
}

// The numbers both version calls report alike; the caller adds the rest.
template <typename VersionInfo>
OsVersion VersionFrom(const VersionInfo& info) {
    OsVersion version;
    version.platform = PlatformOf(info.dwPlatformId);
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    return version;
}

// The true version: RtlGetVersion is not subject to the compatibility layer
// that makes GetVersionEx report an old system to programs without a manifest.
std::optional<OsVersion> TrueVersion() {
    using RtlGetVersionFunction = LONG(WINAPI*)(RTL_OSVERSIONINFOEXW*);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(
                                     GetProcAddress(ntdll, "RtlGetVersion")))
                               : nullptr;
    RTL_OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!rtlGetVersion || rtlGetVersion(&info) != 0) return std::nullopt;
    OsVersion version = VersionFrom(info);
    version.build = info.dwBuildNumber;
    version.server = info.wProductType != VER_NT_WORKSTATION;
    version.servicePack = NarrowAscii(info.szCSDVersion);
    return version;
}

// The older call, for systems without RtlGetVersion (the 9x family).
std::optional<OsVersion> ReportedVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return std::nullopt;
    OsVersion version = VersionFrom(info);
    version.build = info.dwBuildNumber & 0xFFFF;
    version.servicePack = info.szCSDVersion;
    return version;
}

}  // namespace

bool EnableShutdownPrivilege() {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &rawToken))
        return false;
    KernelHandle token(rawToken);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        return false;
    // Succeeds even when the privilege was not assigned; the error code tells.
    if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) return false;
    return GetLastError() == ERROR_SUCCESS;
}

std::string RunningProgramPath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        if (buffer.size() >= 32768) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

bool SystemServicesWin::SendMultimediaCommand(const std::string& command) {
    return mciSendStringA(command.c_str(), nullptr, 0, nullptr) == 0;
}

int SystemServicesWin::ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}
int SystemServicesWin::ScreenHeight() {
    return GetSystemMetrics(SM_CYSCREEN);
}

int SystemServicesWin::ScreenBitsPerPixel() {
    WindowDC screen;
    return screen ? GetDeviceCaps(screen.get(), BITSPIXEL) : 0;
}

std::optional<std::uint32_t> SystemServicesWin::SpeakerVolume() {
    return SpeakerVolumeControl().Read();
}

bool SystemServicesWin::SetSpeakerVolume(std::uint32_t value) {
    return SpeakerVolumeControl().Write(value);
}

std::uint64_t SystemServicesWin::TotalPhysicalMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return 0;
    return status.ullTotalPhys;
}

std::optional<OsVersion> SystemServicesWin::Version() {
    std::optional<OsVersion> version = TrueVersion();
    return version ? version : ReportedVersion();
}

std::optional<std::uint32_t> SystemServicesWin::ProcessorMhz() {
    HKEY rawKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0,
                      KEY_READ, &rawKey) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryKey key(rawKey);
    DWORD type = 0, mhz = 0, size = sizeof mhz;
    if (RegQueryValueExA(key.get(), "~MHz", nullptr, &type, reinterpret_cast<BYTE*>(&mhz), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof mhz)
        return std::nullopt;
    return mhz;
}

std::string SystemServicesWin::UserName() {
    char name[256] = {};
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size)) return std::string();
    return name;
}

std::string SystemServicesWin::ComputerName() {
    char name[256] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) return std::string();
    return name;
}

void SystemServicesWin::RequestPower(PowerRequest request) {
    EnableShutdownPrivilege();
    if (request == PowerRequest::Sleep) {
        SetSuspendState(FALSE, FALSE, FALSE);
        return;
    }
    ExitWindowsEx(ExitFlagsFor(request), SHTDN_REASON_FLAG_PLANNED);
}

std::intptr_t SystemServicesWin::ShellOpen(const std::string& path) {
    return reinterpret_cast<std::intptr_t>(
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

DriveSpace SystemServicesWin::Space(const std::string& path) {
    NoCriticalErrorBoxes quiet;
    ULARGE_INTEGER available{}, total{}, freeBytes{};
    // No path: the current drive.
    if (!GetDiskFreeSpaceExA(path.empty() ? nullptr : path.c_str(), &available, &total, &freeBytes))
        return DriveSpace{};
    return DriveSpace{total.QuadPart, freeBytes.QuadPart};
}

std::uint32_t SystemServicesWin::LogicalDriveMask() {
    return GetLogicalDrives();
}

std::optional<std::string> SystemServicesWin::VolumeLabel(const std::string& root) {
    NoCriticalErrorBoxes quiet;
    char name[MAX_PATH + 1] = {};
    if (!GetVolumeInformationA(root.c_str(), name, sizeof name, nullptr, nullptr, nullptr, nullptr,
                               0))
        return std::nullopt;
    return std::string(name);
}

std::string SystemServicesWin::ProgramPath() {
    return RunningProgramPath();
}

}  // namespace kestrel
