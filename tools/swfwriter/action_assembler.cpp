#include "tools/swfwriter/action_assembler.h"

#include <algorithm>
#include <cstdint>

namespace swf {
namespace {

constexpr size_t kMaxRecord = 0xFFFF;

// Preloaded registers are handed out from 1 in this order.
int CountPreloads(uint16_t flags) {
    int n = 0;
    for (uint16_t f : {kPreloadThis, kPreloadArguments, kPreloadSuper, kPreloadRoot, kPreloadParent,
                       kPreloadGlobal}) {
        n += (flags & f) ? 1 : 0;
    }
    return n;
}

}  // namespace

bool ActionAssembler::Fail(const std::string& message) {
    if (error_.empty()) error_ = message;
    return false;
}

size_t ActionAssembler::BeginRecord(uint8_t code) {
    ++actions_;
    out_.U8(code);
    size_t field = out_.Size();
    out_.U16(0);
    return field;
}

void ActionAssembler::EndRecord(size_t lengthField) {
    size_t length = out_.Size() - lengthField - 2;
    if (length > kMaxRecord) {
        Fail("action operands are longer than 65535 bytes");
        return;
    }
    out_.PatchU16(lengthField, static_cast<uint32_t>(length));
}

void ActionAssembler::Action(uint8_t code) {
    if (!ok()) return;
    if (code >= kActionHasOperands) {
        EndRecord(BeginRecord(code));
    } else {
        ++actions_;
        out_.U8(code);
    }
}

void ActionAssembler::Raw(uint8_t code, const Bytes& operands) {
    if (!ok()) return;
    if (code < kActionHasOperands) {
        if (!operands.empty()) Fail("actions below 0x80 carry no operands");
        Action(code);
        return;
    }
    size_t field = BeginRecord(code);
    out_.Append(operands);
    EndRecord(field);
}

void ActionAssembler::RawBytes(const Bytes& bytes) {
    if (ok()) out_.Append(bytes);
}

void ActionAssembler::NoteRegister(int reg) {
    for (auto b = blocks_.rbegin(); b != blocks_.rend(); ++b) {
        if (b->kind == Block::kFunction2) {
            if (reg > b->maxRegister) b->maxRegister = reg;
            return;
        }
        if (b->kind == Block::kFunction) return;  // registers of a plain function are its own
    }
}

void ActionAssembler::Push(const std::vector<PushValue>& values) {
    if (!ok()) return;
    if (values.empty()) {
        Fail("push needs at least one value");
        return;
    }
    size_t field = BeginRecord(kActionPush);
    for (const PushValue& v : values) {
        out_.U8(v.type);
        switch (v.type) {
            case kPushString:
                if (v.text.find('\0') != std::string::npos) {
                    Fail("strings cannot hold a zero byte");
                    return;
                }
                out_.String(v.text);
                break;
            case kPushFloat:
                out_.Float(static_cast<float>(v.number));
                break;
            case kPushNull:
            case kPushUndefined:
                break;
            case kPushRegister:
                if (v.integer < 0 || v.integer > 255) {
                    Fail("registers are numbered 0 to 255");
                    return;
                }
                NoteRegister(static_cast<int>(v.integer));
                out_.U8(static_cast<uint32_t>(v.integer));
                break;
            case kPushBoolean:
                out_.U8(v.integer ? 1 : 0);
                break;
            case kPushDouble:
                out_.SwappedDouble(v.number);
                break;
            case kPushInteger:
                if (v.integer < INT32_MIN || v.integer > INT32_MAX) {
                    Fail("integer does not fit 32 bits (push it as a double)");
                    return;
                }
                out_.U32(static_cast<uint32_t>(v.integer));
                break;
            case kPushConstant8:
                if (v.integer < 0 || v.integer > 255) {
                    Fail("constant index does not fit 8 bits");
                    return;
                }
                out_.U8(static_cast<uint32_t>(v.integer));
                break;
            case kPushConstant16:
                if (v.integer < 0 || v.integer > 0xFFFF) {
                    Fail("constant index does not fit 16 bits");
                    return;
                }
                out_.U16(static_cast<uint32_t>(v.integer));
                break;
            default:
                Fail("unknown push type");
                return;
        }
    }
    EndRecord(field);
}

void ActionAssembler::ConstantPool(const std::vector<std::string>& constants) {
    if (!ok()) return;
    if (constants.size() > 0xFFFF) {
        Fail("a constant pool holds at most 65535 entries");
        return;
    }
    size_t field = BeginRecord(kActionConstantPool);
    out_.U16(static_cast<uint32_t>(constants.size()));
    for (const std::string& c : constants) out_.String(c);
    EndRecord(field);
}

void ActionAssembler::GotoFrame(uint16_t frame) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionGotoFrame);
    out_.U16(frame);
    EndRecord(field);
}

void ActionAssembler::GetUrl(const std::string& url, const std::string& target) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionGetURL);
    out_.String(url);
    out_.String(target);
    EndRecord(field);
}

void ActionAssembler::StoreRegister(uint8_t reg) {
    if (!ok()) return;
    NoteRegister(reg);
    size_t field = BeginRecord(kActionStoreRegister);
    out_.U8(reg);
    EndRecord(field);
}

void ActionAssembler::WaitForFrame(uint16_t frame, uint8_t skipCount) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionWaitForFrame);
    out_.U16(frame);
    out_.U8(skipCount);
    EndRecord(field);
}

void ActionAssembler::WaitForFrame(uint16_t frame, const std::string& skipToLabel) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionWaitForFrame);
    out_.U16(frame);
    refs_.push_back({out_.Size(), 0, actions_, skipToLabel, true, line_});
    out_.U8(0);
    EndRecord(field);
}

void ActionAssembler::WaitForFrame2(uint8_t skipCount) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionWaitForFrame2);
    out_.U8(skipCount);
    EndRecord(field);
}

void ActionAssembler::WaitForFrame2(const std::string& skipToLabel) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionWaitForFrame2);
    refs_.push_back({out_.Size(), 0, actions_, skipToLabel, true, line_});
    out_.U8(0);
    EndRecord(field);
}

void ActionAssembler::SetTarget(const std::string& target) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionSetTarget);
    out_.String(target);
    EndRecord(field);
}

void ActionAssembler::GotoLabel(const std::string& label) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionGotoLabel);
    out_.String(label);
    EndRecord(field);
}

void ActionAssembler::GetUrl2(UrlMethod method, bool loadTarget, bool loadVariables) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionGetURL2);
    // Players read the method from the low two bits and the two load flags from
    // the top bits, whatever the published bit diagram suggests.
    out_.U8(static_cast<uint32_t>(method) | (loadTarget ? kGetUrl2LoadTarget : 0) |
            (loadVariables ? kGetUrl2LoadVariables : 0));
    EndRecord(field);
}

void ActionAssembler::GotoFrame2(bool play, std::optional<uint16_t> sceneBias) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionGotoFrame2);
    out_.U8((sceneBias ? kGotoFrame2SceneBias : 0) | (play ? kGotoFrame2Play : 0));
    if (sceneBias) out_.U16(*sceneBias);
    EndRecord(field);
}

void ActionAssembler::Label(const std::string& name) {
    if (!ok()) return;
    if (!labels_.emplace(name, LabelPos{out_.Size(), actions_}).second) {
        Fail("label '" + name + "' is defined twice");
    }
}

void ActionAssembler::Jump(const std::string& label) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionJump);
    refs_.push_back({out_.Size(), out_.Size() + 2, 0, label, false, line_});
    out_.U16(0);
    EndRecord(field);
}

void ActionAssembler::If(const std::string& label) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionIf);
    refs_.push_back({out_.Size(), out_.Size() + 2, 0, label, false, line_});
    out_.U16(0);
    EndRecord(field);
}

void ActionAssembler::JumpOffset(int16_t offset) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionJump);
    out_.S16(offset);
    EndRecord(field);
}

void ActionAssembler::IfOffset(int16_t offset) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionIf);
    out_.S16(offset);
    EndRecord(field);
}

void ActionAssembler::BeginFunction(const std::string& name,
                                    const std::vector<std::string>& params) {
    if (!ok()) return;
    if (params.size() > 0xFFFF) {
        Fail("too many parameters");
        return;
    }
    size_t field = BeginRecord(kActionDefineFunction);
    out_.String(name);
    out_.U16(static_cast<uint32_t>(params.size()));
    for (const std::string& p : params) out_.String(p);
    Block b{Block::kFunction};
    b.sizeField = out_.Size();
    out_.U16(0);
    EndRecord(field);
    b.bodyStart = out_.Size();
    blocks_.push_back(b);
}

void ActionAssembler::BeginFunction2(const std::string& name,
                                     const std::vector<FunctionParam>& params, uint16_t flags,
                                     std::optional<uint8_t> registerCount) {
    if (!ok()) return;
    if (params.size() > 0xFFFF) {
        Fail("too many parameters");
        return;
    }
    size_t field = BeginRecord(kActionDefineFunction2);
    out_.String(name);
    out_.U16(static_cast<uint32_t>(params.size()));
    Block b{Block::kFunction2};
    b.registerField = out_.Size();
    b.autoRegisters = !registerCount;
    b.preloads = CountPreloads(flags);
    out_.U8(registerCount ? *registerCount : 0);
    out_.U16(flags);
    for (const FunctionParam& p : params) {
        out_.U8(p.reg);
        out_.String(p.name);
        if (p.reg > b.maxRegister) b.maxRegister = p.reg;
    }
    b.sizeField = out_.Size();
    out_.U16(0);
    EndRecord(field);
    b.bodyStart = out_.Size();
    blocks_.push_back(b);
}

void ActionAssembler::BeginWith() {
    if (!ok()) return;
    size_t field = BeginRecord(kActionWith);
    Block b{Block::kWith};
    b.sizeField = out_.Size();
    out_.U16(0);
    EndRecord(field);
    b.bodyStart = out_.Size();
    blocks_.push_back(b);
}

void ActionAssembler::BeginTry(const std::string& catchName, std::optional<uint8_t> catchRegister) {
    if (!ok()) return;
    size_t field = BeginRecord(kActionTry);
    Block b{Block::kTry};
    b.flagsField = out_.Size();
    out_.U8(catchRegister ? kTryCatchInRegister : 0);
    b.sizeField = out_.Size();
    out_.U16(0);  // try size
    out_.U16(0);  // catch size
    out_.U16(0);  // finally size
    if (catchRegister) {
        NoteRegister(*catchRegister);
        out_.U8(*catchRegister);
    } else {
        out_.String(catchName);
    }
    EndRecord(field);
    b.bodyStart = out_.Size();
    blocks_.push_back(b);
}

// Writes the size of the section that ends here and starts the next one.
void ActionAssembler::CloseSection(Block& b) {
    size_t size = out_.Size() - b.bodyStart;
    if (size > kMaxRecord) {
        Fail("block body is longer than 65535 bytes");
        return;
    }
    out_.PatchU16(b.sizeField + 2 * static_cast<size_t>(b.section), static_cast<uint32_t>(size));
    b.bodyStart = out_.Size();
}

void ActionAssembler::BeginCatch() {
    if (!ok()) return;
    if (!InTry() || blocks_.back().section != 0) {
        Fail("'catch' belongs right after a try body");
        return;
    }
    Block& b = blocks_.back();
    CloseSection(b);
    b.section = 1;
    b.hasCatch = true;
}

void ActionAssembler::BeginFinally() {
    if (!ok()) return;
    if (!InTry() || blocks_.back().section == 2) {
        Fail("'finally' belongs inside a try block, once");
        return;
    }
    Block& b = blocks_.back();
    CloseSection(b);
    b.section = 2;
    b.hasFinally = true;
}

void ActionAssembler::EndBlock() {
    if (!ok()) return;
    if (blocks_.empty()) {
        Fail("no block to end");
        return;
    }
    Block b = blocks_.back();
    blocks_.pop_back();
    CloseSection(b);
    if (b.kind == Block::kTry) {
        if (!b.hasCatch && !b.hasFinally) {
            Fail("a try block needs a catch or a finally");
            return;
        }
        out_.PatchU8(b.flagsField, out_.At(b.flagsField) | (b.hasCatch ? kTryHasCatch : 0) |
                                       (b.hasFinally ? kTryHasFinally : 0));
    }
    if (b.kind == Block::kFunction2 && b.autoRegisters) {
        int needed = std::max(b.maxRegister + 1, b.preloads + 1);
        if (needed > 255) {
            Fail("the function uses more than 255 registers");
            return;
        }
        out_.PatchU8(b.registerField, static_cast<uint32_t>(needed));
    }
}

std::optional<Bytes> ActionAssembler::Finish(std::string* error) {
    if (ok() && !blocks_.empty()) Fail("a block is not closed");
    if (ok() && finished_) Fail("the actions were already finished");
    for (const LabelRef& r : refs_) {
        if (!ok()) break;
        auto where = [&r]() {
            return r.line > 0 ? "line " + std::to_string(r.line) + ": " : std::string();
        };
        auto it = labels_.find(r.label);
        if (it == labels_.end()) {
            Fail(where() + "label '" + r.label + "' is not defined");
            break;
        }
        if (r.skipCount) {
            // WaitForFrame skips whole actions: count those between it and the label.
            long skip =
                static_cast<long>(it->second.actionIndex) - static_cast<long>(r.actionIndex);
            if (skip < 0 || skip > 255) {
                Fail(where() + "label '" + r.label + "' must lie 0 to 255 actions ahead");
                break;
            }
            out_.PatchU8(r.field, static_cast<uint32_t>(skip));
            continue;
        }
        long offset = static_cast<long>(it->second.offset) - static_cast<long>(r.fieldEnd);
        if (offset < INT16_MIN || offset > INT16_MAX) {
            Fail(where() + "branch to '" + r.label + "' is farther than 32767 bytes");
            break;
        }
        out_.PatchU16(r.field, static_cast<uint32_t>(offset) & 0xFFFF);
    }
    if (!ok()) {
        if (error) *error = error_;
        return std::nullopt;
    }
    finished_ = true;
    out_.U8(kActionEnd);
    return out_.Take();
}

}  // namespace swf
