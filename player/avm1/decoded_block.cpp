#include "player/avm1/decoded_block.h"

#include <string>

#include "common/swf_format.h"
#include "player/avm1/action_reader.h"
#include "player/avm1/utf8.h"

namespace kestrel::avm1 {

namespace {

using namespace swf;

// Compilers write characters outside the BMP as two encoded surrogates; joining them gives
// one proper UTF-8 sequence, so strings compare and print as the player's UTF-16 ones do.
std::string NormalizeSurrogates(std::string s) {
    if (s.find('\xED') == std::string::npos) return s;
    return encodeUtf8(decodeUtf8(s));
}

DecodedPush DecodePush(const uint8_t* payload, size_t length) {
    DecodedPush d;
    ActionReader in(payload, length);
    while (in.remaining() > 0 && in.ok()) {
        uint8_t type = in.u8();
        PushOperand op;
        switch (type) {
            case kPushString:
                op.literal = Value(NormalizeSurrogates(in.cstring()));
                break;
            case kPushFloat:
                op.literal = Value(static_cast<double>(in.f32()));
                break;
            case kPushNull:
                op.literal = Value::null();
                break;
            case kPushUndefined:
                break;
            case kPushRegister:
                op.kind = PushOperand::Register;
                op.index = in.u8();
                break;
            case kPushBoolean:
                op.literal = Value(in.u8() != 0);
                break;
            case kPushDouble:
                op.literal = Value(in.wordSwappedDouble());
                break;
            case kPushInteger:
                op.literal = Value(static_cast<double>(static_cast<int32_t>(in.u32())));
                break;
            case kPushConstant8:
            case kPushConstant16:
                op.kind = PushOperand::Constant;
                op.index = type == kPushConstant8 ? in.u8() : in.u16();
                break;
            default:
                d.malformed = true;
                return d;
        }
        d.operands.push_back(std::move(op));
    }
    d.malformed = !in.ok();
    return d;
}

DecodedPool DecodePool(const uint8_t* payload, size_t length) {
    ActionReader in(payload, length);
    uint16_t count = in.u16();
    auto pool = std::make_shared<std::vector<Value>>();
    for (uint16_t i = 0; i < count && in.ok(); ++i)
        pool->push_back(Value(NormalizeSurrogates(in.cstring())));
    return {std::move(pool), !in.ok()};
}

}  // namespace

const DecodedPush& DecodedBlock::DecodePushAt(size_t pc, const uint8_t* payload, size_t length) {
    pushes_.push_back(DecodePush(payload, length));
    slotAt_[pc] = static_cast<uint32_t>(pushes_.size());
    return pushes_.back();
}

const DecodedPool& DecodedBlock::PoolAt(size_t pc, const uint8_t* payload, size_t length) {
    uint32_t& slot = slotAt_[pc];
    if (slot == 0) {
        pools_.push_back(DecodePool(payload, length));
        slot = static_cast<uint32_t>(pools_.size());
    }
    return pools_[slot - 1];
}

DecodedBlock& DecodedBlocks::Of(const ActionBytes& code) {
    Entry& e = entries_[code.get()];
    if (!e.block || e.bytes.expired()) {
        e.bytes = code;
        e.block = std::make_unique<DecodedBlock>(code->size());
        if (entries_.size() >= sweepAt_) SweepExpired();
    }
    return *e.block;
}

void DecodedBlocks::SweepExpired() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.bytes.expired())
            it = entries_.erase(it);
        else
            ++it;
    }
    sweepAt_ = entries_.size() * 2 + 64;
}

}  // namespace kestrel::avm1
