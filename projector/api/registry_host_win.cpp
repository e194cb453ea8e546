#include "projector/api/registry_host_win.h"

#include <windows.h>

#include "common/win_handles.h"

namespace kestrel::projector {
namespace {

// Read plus write: KEY_READ | KEY_WRITE.
constexpr REGSAM kKeyAccess = 0x2001F;
// A value may grow between the size query and the read; try again a few times.
constexpr int kReadAttempts = 4;

class SystemRegistryKey : public RegistryKeyHandle {
  public:
    explicit SystemRegistryKey(HKEY key) : key_(key) {}

    std::optional<RegistryValue> QueryType(const std::string& name) override {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        return RegistryValue{type, std::string()};
    }

    std::optional<RegistryValue> Read(const std::string& name) override {
        for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
            DWORD type = 0, size = 0;
            if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS)
                return std::nullopt;
            // One spare byte, so a string stored without its terminator is
            // still a terminated text in the buffer.
            std::string data(static_cast<std::size_t>(size) + 1, '\0');
            DWORD read = size;
            LONG status = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(data.data()), &read);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS || read > size) return std::nullopt;
            data.resize(read);
            return RegistryValue{type, std::move(data)};
        }
        return std::nullopt;
    }

    bool Write(const std::string& name, RegistryValueType type, const std::string& data) override {
        return RegSetValueExA(key_.get(), name.c_str(), 0, static_cast<DWORD>(type),
                              reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }

    bool DeleteSelf() override { return RegDeleteKeyA(key_.get(), "") == ERROR_SUCCESS; }

    bool Close() override { return key_.close(); }

  private:
    RegistryKey key_;
};

}  // namespace

std::unique_ptr<RegistryKeyHandle> SystemRegistry::CreateKey(RegistryRoot root,
                                                             const std::string& path) {
    HKEY top = root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY key = nullptr;
    if (RegCreateKeyExA(top, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<SystemRegistryKey>(key);
}

}  // namespace kestrel::projector
