// A machine for the "System." family: fixed answers, and a record of what the
// family asked it to do.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "projector/api/system_services.h"

namespace kestrel::test {

class FakeSystem : public SystemServices {
  public:
    std::vector<std::string> commands;
    bool commandsSucceed = true;
    int width = 1024, height = 768, depth = 32;
    std::optional<std::uint32_t> volume = 0;  // none: no mixer
    std::vector<std::uint32_t> volumeSets;
    std::uint64_t memory = 512ull << 20;
    std::optional<OsVersion> version = OsVersion{OsPlatform::WindowsNT, 5, 1, 2600, false, ""};
    std::optional<std::uint32_t> mhz = 2394;
    std::string user = "ann", computer = "DESK";
    std::vector<PowerRequest> powerRequests;
    std::vector<std::string> opened;
    std::intptr_t shellResult = 42;
    std::map<std::string, DriveSpace> spaces;
    std::vector<std::string> spaceQueries;
    std::uint32_t drives = 0b1101;  // A, C, D
    std::map<std::string, std::string> labels;
    std::vector<std::string> labelQueries;
    std::string program = "C:\\Apps\\Show\\movie.exe";

    bool SendMultimediaCommand(const std::string& command) override {
        commands.push_back(command);
        return commandsSucceed;
    }
    int ScreenWidth() override { return width; }
    int ScreenHeight() override { return height; }
    int ScreenBitsPerPixel() override { return depth; }
    std::optional<std::uint32_t> SpeakerVolume() override { return volume; }
    bool SetSpeakerVolume(std::uint32_t value) override {
        volumeSets.push_back(value);
        if (!volume) return false;
        volume = value;
        return true;
    }
    std::uint64_t TotalPhysicalMemory() override { return memory; }
    std::optional<OsVersion> Version() override { return version; }
    std::optional<std::uint32_t> ProcessorMhz() override { return mhz; }
    std::string UserName() override { return user; }
    std::string ComputerName() override { return computer; }
    void RequestPower(PowerRequest request) override { powerRequests.push_back(request); }
    std::intptr_t ShellOpen(const std::string& path) override {
        opened.push_back(path);
        return shellResult;
    }
    DriveSpace Space(const std::string& path) override {
        spaceQueries.push_back(path);
        auto found = spaces.find(path);
        return found == spaces.end() ? DriveSpace{} : found->second;
    }
    std::uint32_t LogicalDriveMask() override { return drives; }
    std::optional<std::string> VolumeLabel(const std::string& root) override {
        labelQueries.push_back(root);
        auto found = labels.find(root);
        if (found == labels.end()) return std::nullopt;
        return found->second;
    }
    std::string ProgramPath() override { return program; }
};

}  // namespace kestrel::test
