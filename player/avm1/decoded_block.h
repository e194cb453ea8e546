// Operands of Push and ConstantPool actions, decoded once per block of action bytes: a loop
// that runs the same Push a million times reads and converts its bytes once, and pushes
// shared values after that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "player/avm1/function.h"
#include "player/avm1/value.h"

namespace kestrel::avm1 {

struct PushOperand {
    enum Kind : uint8_t { Literal, Register, Constant };
    Kind kind = Literal;
    uint16_t index = 0;  // the register or constant number
    Value literal;
};

struct DecodedPush {
    // Every operand the player pushes, in order, including one whose bytes run out.
    std::vector<PushOperand> operands;
    // The payload cannot be read to its end: the action aborts after pushing the operands.
    bool malformed = false;
};

struct DecodedPool {
    ConstantPool pool;
    bool malformed = false;  // the pool holds the entries before the fault
};

// The decoded actions of one block, found by the offset of their action record.
class DecodedBlock {
  public:
    explicit DecodedBlock(size_t size) : slotAt_(size, 0) {}

    // payload and length are the operand bytes of the Push at offset pc of the block.
    const DecodedPush& PushAt(size_t pc, const uint8_t* payload, size_t length) {
        uint32_t slot = slotAt_[pc];
        return slot ? pushes_[slot - 1] : DecodePushAt(pc, payload, length);
    }
    const DecodedPool& PoolAt(size_t pc, const uint8_t* payload, size_t length);

  private:
    const DecodedPush& DecodePushAt(size_t pc, const uint8_t* payload, size_t length);

    // 1 + the index into pushes_ or pools_ of the action at each offset; 0 before it ran.
    std::vector<uint32_t> slotAt_;
    std::vector<DecodedPush> pushes_;
    std::vector<DecodedPool> pools_;
};

// The decoded blocks of every code block a Vm has run. An entry lives as long as its bytes:
// the weak reference tells a block from a later one that took the same address.
class DecodedBlocks {
  public:
    DecodedBlock& Of(const ActionBytes& code);

  private:
    void SweepExpired();

    struct Entry {
        std::weak_ptr<const std::vector<uint8_t>> bytes;
        std::unique_ptr<DecodedBlock> block;
    };
    std::unordered_map<const std::vector<uint8_t>*, Entry> entries_;
    size_t sweepAt_ = 64;
};

}  // namespace kestrel::avm1
