// An in-memory registry behind the "Registry." family: keys by root and path,
// values with their type and bytes, and counts of open and closed handles.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "projector/api/registry_host.h"

namespace kestrel::test {

class FakeSystemRegistry : public RegistryHost {
  public:
    using Values = std::map<std::string, RegistryValue>;
    std::map<std::pair<RegistryRoot, std::string>, Values> keys;
    int openHandles = 0;
    bool refuseCreate = false;

    class Key : public RegistryKeyHandle {
      public:
        Key(FakeSystemRegistry& registry, std::pair<RegistryRoot, std::string> where)
            : registry_(registry), where_(std::move(where)) {
            ++registry_.openHandles;
        }
        ~Key() override { Close(); }
        std::optional<RegistryValue> QueryType(const std::string& name) override {
            return Read(name);
        }
        std::optional<RegistryValue> Read(const std::string& name) override {
            auto key = registry_.keys.find(where_);
            if (!open_ || key == registry_.keys.end()) return std::nullopt;
            auto value = key->second.find(name);
            if (value == key->second.end()) return std::nullopt;
            return value->second;
        }
        bool Write(const std::string& name, RegistryValueType type,
                   const std::string& data) override {
            if (!open_) return false;
            registry_.keys[where_][name] = {static_cast<std::uint32_t>(type), data};
            return true;
        }
        bool DeleteSelf() override { return open_ && registry_.keys.erase(where_) == 1; }
        bool Close() override {
            if (!open_) return false;
            open_ = false;
            --registry_.openHandles;
            return true;
        }

      private:
        FakeSystemRegistry& registry_;
        std::pair<RegistryRoot, std::string> where_;
        bool open_ = true;
    };

    std::unique_ptr<RegistryKeyHandle> CreateKey(RegistryRoot root,
                                                 const std::string& path) override {
        if (refuseCreate) return nullptr;
        keys[{root, path}];
        return std::make_unique<Key>(*this, std::make_pair(root, path));
    }
};

}  // namespace kestrel::test
