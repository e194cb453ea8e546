// The builder's registry key as the preferences see it: raw values in and
// out. Decoding checks each value's type and size here, so a value another
// program wrote with the wrong type or without its terminator is refused or
// cut short, never read past its end. The Windows key is RegistryKeyStore
// (registry_key_store_win.cpp); tests use MemoryRegistryStore.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// The system's value type numbers.
enum class RegistryType : uint32_t {
    String = 1,
    ExpandString = 2,
    Binary = 3,
    Dword = 4,
    MultiString = 7
};

struct RegistryValue {
    RegistryType type = RegistryType::Binary;
    std::vector<uint8_t> bytes;
};

class RegistryStore {
  public:
    virtual ~RegistryStore() = default;
    // None when the value is missing, unreadable or longer than `maxBytes`.
    virtual std::optional<RegistryValue> Read(const std::string& name, std::size_t maxBytes) = 0;
    virtual bool Write(const std::string& name, const RegistryValue& value) = 0;
};

// A DWORD value: exactly four bytes of type REG_DWORD.
std::optional<uint32_t> ReadDword(RegistryStore& store, const std::string& name);
// A REG_SZ value that fits a buffer of `bufferSize` bytes with its
// terminator; the text ends at the first zero byte, or at the value's end
// when it has none.
std::optional<std::string> ReadString(RegistryStore& store, const std::string& name,
                                      std::size_t bufferSize);
bool WriteDword(RegistryStore& store, const std::string& name, uint32_t value);
// Written with its terminator.
bool WriteString(RegistryStore& store, const std::string& name, const std::string& text);

class MemoryRegistryStore : public RegistryStore {
  public:
    std::optional<RegistryValue> Read(const std::string& name, std::size_t maxBytes) override;
    bool Write(const std::string& name, const RegistryValue& value) override;

    std::map<std::string, RegistryValue>& Values() { return values_; }

  private:
    std::map<std::string, RegistryValue> values_;
};

}  // namespace kestrel
