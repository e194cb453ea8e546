// What the "System." family asks of the machine. The projector implements it
// over the operating system (system_services_win.cpp); tests use a fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrel {

enum class OsPlatform { Win32s, Windows9x, WindowsNT };

// The true version of the running system (not the one a compatibility layer
// reports to old programs).
struct OsVersion {
    OsPlatform platform = OsPlatform::WindowsNT;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    bool server = false;      // a server product, not a workstation
    std::string servicePack;  // "A" in its second character marks 98 SE
};

struct DriveSpace {
    std::uint64_t totalBytes = 0;
    std::uint64_t freeBytes = 0;  // free on the volume, not only for this user
};

enum class PowerRequest { Restart, Shutdown, LogOff, Sleep };

class SystemServices {
  public:
    virtual ~SystemServices() = default;

    // A multimedia command string; true when it returned 0.
    virtual bool SendMultimediaCommand(const std::string& command) = 0;

    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    virtual int ScreenBitsPerPixel() = 0;  // 0 when the screen cannot be asked

    // The speaker line's volume control, 0 to 65535; none when the mixer, the
    // line or the control cannot be had.
    virtual std::optional<std::uint32_t> SpeakerVolume() = 0;
    virtual bool SetSpeakerVolume(std::uint32_t value) = 0;

    virtual std::uint64_t TotalPhysicalMemory() = 0;  // bytes
    virtual std::optional<OsVersion> Version() = 0;
    virtual std::optional<std::uint32_t> ProcessorMhz() = 0;
    virtual std::string UserName() = 0;      // empty when it cannot be read
    virtual std::string ComputerName() = 0;  // empty when it cannot be read

    // Outcome not reported: the request may end this session.
    virtual void RequestPower(PowerRequest request) = 0;

    // Opens a program or document with the shell verb "open"; the shell's
    // result value (greater than 32 means success).
    virtual std::intptr_t ShellOpen(const std::string& path) = 0;

    // An empty path means the current drive. Failure leaves both sizes 0.
    virtual DriveSpace Space(const std::string& path) = 0;
    virtual std::uint32_t LogicalDriveMask() = 0;
    // The label of a root folder such as "C:\"; none when it cannot be read.
    virtual std::optional<std::string> VolumeLabel(const std::string& root) = 0;

    // The projector program's full path, to resolve relative paths against.
    virtual std::string ProgramPath() = 0;
};

}  // namespace kestrel
