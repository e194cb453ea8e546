// Builds action bytes for engine tests (the SWF writer's assembler makes whole movies).
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::avm1::test {

class ActionBuilder {
public:
    ActionBuilder& op(uint8_t code) {
        bytes_.push_back(code);
        return *this;
    }
    ActionBuilder& op(uint8_t code, const std::vector<uint8_t>& payload) {
        bytes_.push_back(code);
        bytes_.push_back(static_cast<uint8_t>(payload.size()));
        bytes_.push_back(static_cast<uint8_t>(payload.size() >> 8));
        for (uint8_t b : payload) bytes_.push_back(b);
        return *this;
    }
    ActionBuilder& pushString(const std::string& s) {
        std::vector<uint8_t> p{0};
        for (char c : s) p.push_back(static_cast<uint8_t>(c));
        p.push_back(0);
        return op(0x96, p);
    }
    ActionBuilder& pushNumber(double d) {
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        std::vector<uint8_t> p{6};
        uint32_t hi = static_cast<uint32_t>(bits >> 32), lo = static_cast<uint32_t>(bits);
        for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(hi >> (8 * i)));
        for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(lo >> (8 * i)));
        return op(0x96, p);
    }
    ActionBuilder& pushRegister(uint8_t r) { return op(0x96, {4, r}); }
    ActionBuilder& pushUndefined() { return op(0x96, {3}); }
    ActionBuilder& trace() { return op(0x26); }
    // Calls a named function with the given number of arguments already pushed.
    ActionBuilder& call(const std::string& name, int argc) {
        pushNumber(argc);
        pushString(name);
        return op(0x3D);
    }
    ActionBuilder& setVariable(const std::string& name, double value) {
        pushString(name);
        pushNumber(value);
        return op(0x1D);
    }
    // Branches take a byte offset relative to the end of the branch action.
    ActionBuilder& jump(int16_t offset) { return op(0x99, le16(offset)); }
    ActionBuilder& branchIf(int16_t offset) { return op(0x9D, le16(offset)); }
    ActionBuilder& raw(const std::vector<uint8_t>& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    size_t size() const { return bytes_.size(); }
    std::shared_ptr<const std::vector<uint8_t>> build() const {
        return std::make_shared<const std::vector<uint8_t>>(bytes_);
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

    static std::vector<uint8_t> le16(int v) {
        return {static_cast<uint8_t>(v), static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8)};
    }
    static std::vector<uint8_t> cstr(const std::string& s) {
        std::vector<uint8_t> p(s.begin(), s.end());
        p.push_back(0);
        return p;
    }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace kestrel::avm1::test
