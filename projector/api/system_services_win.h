// The "System." family's calls into Windows.
#pragma once

#include "projector/api/system_services.h"

namespace kestrel {

class SystemServicesWin : public SystemServices {
  public:
    bool SendMultimediaCommand(const std::string& command) override;
    int ScreenWidth() override;
    int ScreenHeight() override;
    int ScreenBitsPerPixel() override;
    std::optional<std::uint32_t> SpeakerVolume() override;
    bool SetSpeakerVolume(std::uint32_t value) override;
    std::uint64_t TotalPhysicalMemory() override;
    std::optional<OsVersion> Version() override;
    std::optional<std::uint32_t> ProcessorMhz() override;
    std::string UserName() override;
    std::string ComputerName() override;
    void RequestPower(PowerRequest request) override;
    std::intptr_t ShellOpen(const std::string& path) override;
    DriveSpace Space(const std::string& path) override;
    std::uint32_t LogicalDriveMask() override;
    std::optional<std::string> VolumeLabel(const std::string& root) override;
    std::string ProgramPath() override;
};

// Enables the shutdown privilege in the process token, without which the
// system refuses to restart, shut down or suspend. True when it is enabled.
bool EnableShutdownPrivilege();

// The running program's full path (any length).
std::string RunningProgramPath();

}  // namespace kestrel
