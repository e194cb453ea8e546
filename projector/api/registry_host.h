// The registry calls behind the "Registry." family. The projector implements
// them over the Win32 registry (registry_host_win); tests use an in-memory fake.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kestrel {

// The registry's own type numbers, as stored with each value.
enum class RegistryValueType : std::uint32_t {
    String = 1,       // REG_SZ
    Binary = 3,       // REG_BINARY
    Dword = 4,        // REG_DWORD, little-endian
    MultiString = 7,  // REG_MULTI_SZ
};

struct RegistryValue {
    std::uint32_t type = 0;
    std::string data;  // the stored bytes, exactly as many as the value holds
};

enum class RegistryRoot { CurrentUser, LocalMachine };

// One open key; closed when destroyed if "close" did not close it first.
class RegistryKeyHandle {
  public:
    virtual ~RegistryKeyHandle() = default;
    // The value's type and size without its data.
    virtual std::optional<RegistryValue> QueryType(const std::string& name) = 0;
    // The whole value, however long (the buffer is sized by a query).
    virtual std::optional<RegistryValue> Read(const std::string& name) = 0;
    virtual bool Write(const std::string& name, RegistryValueType type,
                       const std::string& data) = 0;
    // Deletes the key itself (only a key without sub-keys can go).
    virtual bool DeleteSelf() = 0;
    virtual bool Close() = 0;
};

class RegistryHost {
  public:
    virtual ~RegistryHost() = default;
    // Creates or opens `path` under `root` for reading and writing.
    virtual std::unique_ptr<RegistryKeyHandle> CreateKey(RegistryRoot root,
                                                         const std::string& path) = 0;
};

}  // namespace kestrel
