#include "projector/api/system_family.h"

#include "projector/api/api_paths.h"
#include "projector/api/system_values.h"
#include "projector/bridge/xml_value.h"

namespace kestrel {
namespace {

using SystemMethod = ApiResult (*)(SystemServices&, const ApiArguments&);

struct SystemMethodEntry {
    std::string_view name;
    SystemMethod run;
};

constexpr double kPerKibi = 1.0 / 1024.0;
constexpr double kPerMebi = 1.0 / 1048576.0;
// A shell result above this is success; 32 and below are error codes.
constexpr std::intptr_t kShellErrorLimit = 32;

// "null" (and nothing) name the current drive.
DriveSpace SpaceOf(SystemServices& system, const ApiArguments& arguments) {
    std::string path = arguments.AsText(0);
    if (path == "null") path.clear();
    return system.Space(path);
}

std::uint64_t MemoryMebibytes(SystemServices& system) {
    return system.TotalPhysicalMemory() >> 20;
}

std::uint32_t MhzOf(SystemServices& system) {
    return system.ProcessorMhz().value_or(0);
}

ApiResult OpenCdTray(SystemServices& system, const ApiArguments&) {
    return XmlFlag(system.SendMultimediaCommand("set cdaudio door open"));
}
ApiResult CloseCdTray(SystemServices& system, const ApiArguments&) {
    return XmlFlag(system.SendMultimediaCommand("set cdaudio door closed"));
}
ApiResult GetScreenSize(SystemServices& system, const ApiArguments&) {
    return XmlSize(system.ScreenWidth(), system.ScreenHeight());
}
ApiResult GetScreenWidth(SystemServices& system, const ApiArguments&) {
    return XmlInteger(system.ScreenWidth());
}
ApiResult GetScreenHeight(SystemServices& system, const ApiArguments&) {
    return XmlInteger(system.ScreenHeight());
}
ApiResult GetScreenDepth(SystemServices& system, const ApiArguments&) {
    return XmlInteger(system.ScreenBitsPerPixel());
}
ApiResult AnswerFalse(SystemServices&, const ApiArguments&) {
    return XmlFlag(false);
}
ApiResult AnswerTrue(SystemServices&, const ApiArguments&) {
    return XmlFlag(true);
}
ApiResult NoValue(SystemServices&, const ApiArguments&) {
    return std::nullopt;
}

ApiResult GetOutputSoundVolume(SystemServices& system, const ApiArguments&) {
    std::optional<std::uint32_t> value = system.SpeakerVolume();
    return XmlInteger(value ? VolumePercent(*value) : 0);
}
ApiResult SetOutputSoundVolume(SystemServices& system, const ApiArguments& arguments) {
    return XmlFlag(system.SetSpeakerVolume(VolumeControlValue(arguments.AsInteger(0))));
}

// Memory of any size: bytes and kilobytes in the 64-bit number form.
ApiResult GetRamSizeBytes(SystemServices& system, const ApiArguments&) {
    return XmlInteger64(static_cast<std::int64_t>(system.TotalPhysicalMemory()));
}
ApiResult GetRamSizeKBytes(SystemServices& system, const ApiArguments&) {
    return XmlInteger64(static_cast<std::int64_t>(system.TotalPhysicalMemory() >> 10));
}
ApiResult GetRamSizeMBytes(SystemServices& system, const ApiArguments&) {
    return XmlInteger64(static_cast<std::int64_t>(MemoryMebibytes(system)));
}
ApiResult GetRamSizeGBytes(SystemServices& system, const ApiArguments&) {
    return XmlReal2(static_cast<double>(MemoryMebibytes(system)) * kPerKibi);
}

ApiResult GetOsVersionString(SystemServices& system, const ApiArguments&) {
    std::string name = OsName(system.Version());
    if (name.size() > 63) name.resize(63);
    return XmlText(name);
}
ApiResult GetOsVersionNumber(SystemServices& system, const ApiArguments&) {
    std::optional<OsVersion> version = system.Version();
    if (!version) return XmlInteger(0);
    return XmlInteger(
        static_cast<std::int32_t>((version->major << 16) | (version->minor & 0xFFFF)));
}
ApiResult GetCpuSpeedMhz(SystemServices& system, const ApiArguments&) {
    return XmlInteger64(MhzOf(system));
}
ApiResult GetCpuSpeedGhz(SystemServices& system, const ApiArguments&) {
    return XmlReal2(MhzOf(system) * 0.001);
}

ApiResult GetUserName(SystemServices& system, const ApiArguments&) {
    return XmlText(system.UserName());
}
ApiResult GetComputerName(SystemServices& system, const ApiArguments&) {
    return XmlText(system.ComputerName());
}

ApiResult Restart(SystemServices& system, const ApiArguments&) {
    system.RequestPower(PowerRequest::Restart);
    return std::nullopt;
}
ApiResult Shutdown(SystemServices& system, const ApiArguments&) {
    system.RequestPower(PowerRequest::Shutdown);
    return std::nullopt;
}
ApiResult LogOff(SystemServices& system, const ApiArguments&) {
    system.RequestPower(PowerRequest::LogOff);
    return std::nullopt;
}
ApiResult Sleep(SystemServices& system, const ApiArguments&) {
    system.RequestPower(PowerRequest::Sleep);
    return std::nullopt;
}

ApiResult Launch(SystemServices& system, const ApiArguments& arguments) {
    std::string path = ResolvePath(arguments.AsText(0), FolderPart(system.ProgramPath()));
    if (path.empty()) return XmlFlag(false);
    return XmlFlag(system.ShellOpen(path) > kShellErrorLimit);
}

enum class ByteUnit { Bytes, Kibibytes, Mebibytes, Gibibytes };

// A size in whole bytes or KiB, or in MiB or GiB with two decimals reckoned
// from the whole KiB.
ApiResult SizeIn(std::uint64_t bytes, ByteUnit unit) {
    switch (unit) {
        case ByteUnit::Bytes:
            return XmlInteger64(static_cast<std::int64_t>(bytes));
        case ByteUnit::Kibibytes:
            return XmlInteger64(static_cast<std::int64_t>(bytes >> 10));
        case ByteUnit::Mebibytes:
            return XmlReal2(static_cast<double>(bytes >> 10) * kPerKibi);
        case ByteUnit::Gibibytes:
            return XmlReal2(static_cast<double>(bytes >> 10) * kPerMebi);
    }
    return std::nullopt;
}

// getTotalSpace* and getFreeSpace*: one field of the drive's space, in one unit.
template <std::uint64_t DriveSpace::*Field, ByteUnit Unit>
ApiResult GetSpace(SystemServices& system, const ApiArguments& arguments) {
    return SizeIn(SpaceOf(system, arguments).*Field, Unit);
}

ApiResult GetNumberOfVolumes(SystemServices& system, const ApiArguments&) {
    std::uint32_t mask = system.LogicalDriveMask();
    std::int32_t count = 0;
    for (int bit = 0; bit < 32; ++bit) count += (mask >> bit) & 1;
    return XmlInteger(count);
}
ApiResult GetVolumes(SystemServices& system, const ApiArguments&) {
    std::uint32_t mask = system.LogicalDriveMask();
    std::vector<std::int32_t> drives;
    for (int bit = 0; bit < 32; ++bit)
        if ((mask >> bit) & 1) drives.push_back(bit);
    return XmlNumberList(drives);
}
ApiResult GetVolumeName(SystemServices& system, const ApiArguments& arguments) {
    std::optional<std::string> root = DriveRoot(arguments.AsInteger(0));
    if (!root) return XmlNull();
    std::optional<std::string> label = system.VolumeLabel(*root);
    if (!label || label->empty()) return XmlNull();
    return XmlText(*label);
}

// Compared in this order, exactly.
constexpr SystemMethodEntry kSystemMethods[] = {
    {"openCDTray", OpenCdTray},
    {"closeCDTray", CloseCdTray},
    {"getScreenSize", GetScreenSize},
    {"getScreenWidth", GetScreenWidth},
    {"getScreenHeight", GetScreenHeight},
    {"getScreenDepth", GetScreenDepth},
    {"setScreenDepth", AnswerFalse},
    {"getOutputSoundVolume", GetOutputSoundVolume},
    {"setOutputSoundVolume", SetOutputSoundVolume},
    {"getOutputSoundBalance", NoValue},
    {"setOutputSoundBalance", NoValue},
    {"getRAMSizeBytes", GetRamSizeBytes},
    {"getRAMSizeKBytes", GetRamSizeKBytes},
    {"getRAMSizeMBytes", GetRamSizeMBytes},
    {"getRAMSizeGBytes", GetRamSizeGBytes},
    {"getOSVersionString", GetOsVersionString},
    {"getOSVersionNumber", GetOsVersionNumber},
    {"getCPUSpeedMhz", GetCpuSpeedMhz},
    {"getCPUSpeedGhz", GetCpuSpeedGhz},
    {"isMacintosh", AnswerFalse},
    {"isWindows", AnswerTrue},
    {"isLinux", AnswerFalse},
    {"getUserName", GetUserName},
    {"getComputerName", GetComputerName},
    {"restart", Restart},
    {"shutdown", Shutdown},
    {"logOff", LogOff},
    {"sleep", Sleep},
    {"launchApplication", Launch},
    {"launchDocument", Launch},
    {"getTotalSpaceBytes", GetSpace<&DriveSpace::totalBytes, ByteUnit::Bytes>},
    {"getTotalSpaceKBytes", GetSpace<&DriveSpace::totalBytes, ByteUnit::Kibibytes>},
    {"getTotalSpaceMBytes", GetSpace<&DriveSpace::totalBytes, ByteUnit::Mebibytes>},
    {"getTotalSpaceGBytes", GetSpace<&DriveSpace::totalBytes, ByteUnit::Gibibytes>},
    {"getFreeSpaceBytes", GetSpace<&DriveSpace::freeBytes, ByteUnit::Bytes>},
    {"getFreeSpaceKBytes", GetSpace<&DriveSpace::freeBytes, ByteUnit::Kibibytes>},
    {"getFreeSpaceMBytes", GetSpace<&DriveSpace::freeBytes, ByteUnit::Mebibytes>},
    {"getFreeSpaceGBytes", GetSpace<&DriveSpace::freeBytes, ByteUnit::Gibibytes>},
    {"getNumberOfVolumes", GetNumberOfVolumes},
    {"getVolumes", GetVolumes},
    {"getVolumeName", GetVolumeName},
};

}  // namespace

ApiResult SystemFamily::Call(std::string_view method, const ApiArguments& arguments) {
    for (const SystemMethodEntry& entry : kSystemMethods)
        if (entry.name == method) return entry.run(system_, arguments);
    return std::nullopt;
}

std::vector<std::string> SystemFamily::MethodNames() {
    std::vector<std::string> names;
    for (const SystemMethodEntry& entry : kSystemMethods) names.emplace_back(entry.name);
    return names;
}

}  // namespace kestrel
