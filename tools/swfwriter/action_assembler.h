// An AVM1 assembler: every SWF 4-8 action, labels for branches, nested function, with and
// try blocks whose sizes are filled in when the block ends.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "tools/swfwriter/byte_writer.h"

namespace swf {

// Action codes by name, case-insensitively ("getVariable", "GetVariable", "Add2"...).
std::optional<uint8_t> ActionCodeByName(const std::string& name);
// The canonical name of a code ("Push"), or empty for an unknown code.
std::string ActionName(uint8_t code);

struct PushValue {
    using Type = PushType;
    Type type = kPushUndefined;
    std::string text;
    double number = 0;
    int64_t integer = 0;  // integer, register, boolean or constant index

    static PushValue String(std::string s) { return {kPushString, std::move(s), 0, 0}; }
    static PushValue Float(float f) { return {kPushFloat, {}, f, 0}; }
    static PushValue Null() { return {kPushNull, {}, 0, 0}; }
    static PushValue Undefined() { return {kPushUndefined, {}, 0, 0}; }
    static PushValue Register(uint8_t r) { return {kPushRegister, {}, 0, r}; }
    static PushValue Boolean(bool b) { return {kPushBoolean, {}, 0, b ? 1 : 0}; }
    static PushValue Double(double d) { return {kPushDouble, {}, d, 0}; }
    static PushValue Integer(int32_t i) { return {kPushInteger, {}, 0, i}; }
    // Constant 8 below 256, constant 16 above.
    static PushValue Constant(uint16_t index) {
        return {index < 256 ? kPushConstant8 : kPushConstant16, {}, 0, index};
    }
    static PushValue Constant16(uint16_t index) { return {kPushConstant16, {}, 0, index}; }
};

std::optional<uint16_t> FunctionFlagByName(const std::string& name);  // "preload_this"

struct FunctionParam {
    std::string name;
    uint8_t reg = 0;  // DefineFunction2: 0 keeps the parameter in a variable
};

enum class UrlMethod : uint8_t { kNone = 0, kGet = 1, kPost = 2 };

// Emits actions in order. The first error sticks: later calls do nothing, Finish reports it.
class ActionAssembler {
  public:
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // Source line recorded with branch references, so late errors can name it.
    void SetLine(int line) { line_ = line; }

    // An action without operands (code < 0x80), or one with an empty operand block.
    void Action(uint8_t code);
    // Any action record with the given operand bytes (length computed).
    void Raw(uint8_t code, const Bytes& operands);
    // Bytes as they stand, for damaged streams.
    void RawBytes(const Bytes& bytes);

    void Push(const std::vector<PushValue>& values);
    void ConstantPool(const std::vector<std::string>& constants);
    void GotoFrame(uint16_t frame);
    void GetUrl(const std::string& url, const std::string& target);
    void StoreRegister(uint8_t reg);
    void WaitForFrame(uint16_t frame, uint8_t skipCount);
    void WaitForFrame(uint16_t frame, const std::string& skipToLabel);
    void WaitForFrame2(uint8_t skipCount);
    void WaitForFrame2(const std::string& skipToLabel);
    void SetTarget(const std::string& target);
    void GotoLabel(const std::string& label);
    void GetUrl2(UrlMethod method, bool loadTarget, bool loadVariables);
    void GotoFrame2(bool play, std::optional<uint16_t> sceneBias);

    void Label(const std::string& name);
    void Jump(const std::string& label);
    void If(const std::string& label);
    void JumpOffset(int16_t offset);
    void IfOffset(int16_t offset);

    void BeginFunction(const std::string& name, const std::vector<std::string>& params);
    // Without a register count, the function gets enough for its preloads and every
    // register its own body names.
    void BeginFunction2(const std::string& name, const std::vector<FunctionParam>& params,
                        uint16_t flags, std::optional<uint8_t> registerCount);
    void BeginWith();
    // Catch into a variable named `catchName`, or into register `catchRegister`.
    void BeginTry(const std::string& catchName, std::optional<uint8_t> catchRegister);
    void BeginCatch();
    void BeginFinally();
    // Closes the innermost block.
    void EndBlock();
    size_t OpenBlocks() const { return blocks_.size(); }
    bool InTry() const { return !blocks_.empty() && blocks_.back().kind == Block::kTry; }

    // The action stream ending with the End action, or no value with the error.
    std::optional<Bytes> Finish(std::string* error = nullptr);

  private:
    struct Block {
        enum Kind { kFunction, kFunction2, kWith, kTry } kind;
        size_t sizeField = 0;  // where the body size goes (try: trySize)
        size_t bodyStart = 0;
        int section = 0;  // try: 0 try, 1 catch, 2 finally
        bool hasCatch = false, hasFinally = false;
        size_t flagsField = 0;     // try flags
        size_t registerField = 0;  // function2 register count
        bool autoRegisters = false;
        int maxRegister = 0;
        int preloads = 0;
    };
    struct LabelRef {
        size_t field;     // SI16 branch offset, or UI8 skip count
        size_t fieldEnd;  // branch base: the next action's offset
        size_t actionIndex;
        std::string label;
        bool skipCount;
        int line;
    };
    struct LabelPos {
        size_t offset;
        size_t actionIndex;
    };

    bool Fail(const std::string& message);
    size_t BeginRecord(uint8_t code);
    void EndRecord(size_t lengthField);
    void NoteRegister(int reg);
    void CloseSection(Block& b);

    ByteWriter out_;
    std::vector<Block> blocks_;
    std::vector<LabelRef> refs_;
    std::map<std::string, LabelPos> labels_;
    size_t actions_ = 0;
    int line_ = 0;
    std::string error_;
    bool finished_ = false;
};

}  // namespace swf
