// Builds action bytes for engine tests (the SWF writer's assembler makes whole movies).
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/swf_format.h"

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
        std::vector<uint8_t> p{swf::kPushString};
        for (char c : s) p.push_back(static_cast<uint8_t>(c));
        p.push_back(0);
        return op(swf::kActionPush, p);
    }
    ActionBuilder& pushNumber(double d) {
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        std::vector<uint8_t> p{swf::kPushDouble};
        uint32_t hi = static_cast<uint32_t>(bits >> 32), lo = static_cast<uint32_t>(bits);
        for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(hi >> (8 * i)));
        for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(lo >> (8 * i)));
        return op(swf::kActionPush, p);
    }
    ActionBuilder& pushRegister(uint8_t r) { return op(swf::kActionPush, {swf::kPushRegister, r}); }
    ActionBuilder& pushUndefined() { return op(swf::kActionPush, {swf::kPushUndefined}); }
    ActionBuilder& trace() { return op(swf::kActionTrace); }
    // Calls a named function with the given number of arguments already pushed.
    ActionBuilder& call(const std::string& name, int argc) {
        pushNumber(argc);
        pushString(name);
        return op(swf::kActionCallFunction);
    }
    ActionBuilder& setVariable(const std::string& name, double value) {
        pushString(name);
        pushNumber(value);
        return op(swf::kActionSetVariable);
    }
    // Branches take a byte offset relative to the end of the branch action.
    ActionBuilder& jump(int16_t offset) { return op(swf::kActionJump, le16(offset)); }
    ActionBuilder& branchIf(int16_t offset) { return op(swf::kActionIf, le16(offset)); }
    ActionBuilder& getUrl(const std::string& url, const std::string& target) {
        return op(swf::kActionGetURL, join({cstr(url), cstr(target)}));
    }
    // function name(params) { body }; an empty name leaves the function on the stack.
    ActionBuilder& defineFunction(const std::string& name, const std::vector<std::string>& params,
                                  const ActionBuilder& body) {
        std::vector<std::vector<uint8_t>> parts{cstr(name), le16(static_cast<int>(params.size()))};
        for (const std::string& p : params) parts.push_back(cstr(p));
        parts.push_back(le16(static_cast<int>(body.size())));
        return op(swf::kActionDefineFunction, join(parts)).raw(body.bytes());
    }
    // DefineFunction2 with its parameters as (register, name) pairs.
    ActionBuilder& defineFunction2(const std::string& name, uint8_t registerCount, uint16_t flags,
                                   const std::vector<std::pair<uint8_t, std::string>>& params,
                                   const ActionBuilder& body) {
        std::vector<std::vector<uint8_t>> parts{
            cstr(name), le16(static_cast<int>(params.size())), {registerCount}, le16(flags)};
        for (const auto& [reg, paramName] : params) {
            parts.push_back({reg});
            parts.push_back(cstr(paramName));
        }
        parts.push_back(le16(static_cast<int>(body.size())));
        return op(swf::kActionDefineFunction2, join(parts)).raw(body.bytes());
    }
    // try { tryBody } catch (catchName) { catchBody } finally { finallyBody }
    ActionBuilder& tryCatchFinally(const ActionBuilder& tryBody, const std::string& catchName,
                                   const ActionBuilder& catchBody,
                                   const ActionBuilder& finallyBody) {
        std::vector<std::vector<uint8_t>> parts{{swf::kTryHasCatch | swf::kTryHasFinally},
                                                le16(static_cast<int>(tryBody.size())),
                                                le16(static_cast<int>(catchBody.size())),
                                                le16(static_cast<int>(finallyBody.size())),
                                                cstr(catchName)};
        return op(swf::kActionTry, join(parts))
            .raw(tryBody.bytes())
            .raw(catchBody.bytes())
            .raw(finallyBody.bytes());
    }
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
    static std::vector<uint8_t> join(const std::vector<std::vector<uint8_t>>& parts) {
        std::vector<uint8_t> out;
        for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
        return out;
    }

  private:
    std::vector<uint8_t> bytes_;
};

}  // namespace kestrel::avm1::test
