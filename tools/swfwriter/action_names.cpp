// Names of the SWF 4-8 actions and of DefineFunction2's flags.
#include "common/ascii_case.h"
#include "tools/swfwriter/action_assembler.h"

namespace swf {
namespace {

struct NamedCode {
    const char* name;
    uint8_t code;
};

// Canonical names first; aliases follow their canonical entry.
const NamedCode kActions[] = {
    {"End", kActionEnd},
    {"NextFrame", kActionNextFrame},
    {"PreviousFrame", kActionPreviousFrame},
    {"PrevFrame", kActionPreviousFrame},
    {"Play", kActionPlay},
    {"Stop", kActionStop},
    {"ToggleQuality", kActionToggleQuality},
    {"StopSounds", kActionStopSounds},
    {"Add", kActionAdd},
    {"Subtract", kActionSubtract},
    {"Multiply", kActionMultiply},
    {"Divide", kActionDivide},
    {"Equals", kActionEquals},
    {"Less", kActionLess},
    {"And", kActionAnd},
    {"Or", kActionOr},
    {"Not", kActionNot},
    {"StringEquals", kActionStringEquals},
    {"StringLength", kActionStringLength},
    {"StringExtract", kActionStringExtract},
    {"Pop", kActionPop},
    {"ToInteger", kActionToInteger},
    {"GetVariable", kActionGetVariable},
    {"SetVariable", kActionSetVariable},
    {"SetTarget2", kActionSetTarget2},
    {"StringAdd", kActionStringAdd},
    {"GetProperty", kActionGetProperty},
    {"SetProperty", kActionSetProperty},
    {"CloneSprite", kActionCloneSprite},
    {"RemoveSprite", kActionRemoveSprite},
    {"Trace", kActionTrace},
    {"StartDrag", kActionStartDrag},
    {"EndDrag", kActionEndDrag},
    {"StringLess", kActionStringLess},
    {"Throw", kActionThrow},
    {"CastOp", kActionCastOp},
    {"Cast", kActionCastOp},
    {"ImplementsOp", kActionImplementsOp},
    {"Implements", kActionImplementsOp},
    {"RandomNumber", kActionRandomNumber},
    {"MBStringLength", kActionMBStringLength},
    {"CharToAscii", kActionCharToAscii},
    {"AsciiToChar", kActionAsciiToChar},
    {"GetTime", kActionGetTime},
    {"MBStringExtract", kActionMBStringExtract},
    {"MBCharToAscii", kActionMBCharToAscii},
    {"MBAsciiToChar", kActionMBAsciiToChar},
    {"Delete", kActionDelete},
    {"Delete2", kActionDelete2},
    {"DefineLocal", kActionDefineLocal},
    {"CallFunction", kActionCallFunction},
    {"Return", kActionReturn},
    {"Modulo", kActionModulo},
    {"NewObject", kActionNewObject},
    {"DefineLocal2", kActionDefineLocal2},
    {"InitArray", kActionInitArray},
    {"InitObject", kActionInitObject},
    {"TypeOf", kActionTypeOf},
    {"TargetPath", kActionTargetPath},
    {"Enumerate", kActionEnumerate},
    {"Add2", kActionAdd2},
    {"Less2", kActionLess2},
    {"Equals2", kActionEquals2},
    {"ToNumber", kActionToNumber},
    {"ToString", kActionToString},
    {"PushDuplicate", kActionPushDuplicate},
    {"StackSwap", kActionStackSwap},
    {"GetMember", kActionGetMember},
    {"SetMember", kActionSetMember},
    {"Increment", kActionIncrement},
    {"Decrement", kActionDecrement},
    {"CallMethod", kActionCallMethod},
    {"NewMethod", kActionNewMethod},
    {"InstanceOf", kActionInstanceOf},
    {"Enumerate2", kActionEnumerate2},
    {"BitAnd", kActionBitAnd},
    {"BitOr", kActionBitOr},
    {"BitXor", kActionBitXor},
    {"BitLShift", kActionBitLShift},
    {"BitRShift", kActionBitRShift},
    {"BitURShift", kActionBitURShift},
    {"StrictEquals", kActionStrictEquals},
    {"Greater", kActionGreater},
    {"StringGreater", kActionStringGreater},
    {"Extends", kActionExtends},
    {"GotoFrame", kActionGotoFrame},
    {"GetURL", kActionGetURL},
    {"StoreRegister", kActionStoreRegister},
    {"ConstantPool", kActionConstantPool},
    {"WaitForFrame", kActionWaitForFrame},
    {"SetTarget", kActionSetTarget},
    {"GotoLabel", kActionGotoLabel},
    {"GoToLabel", kActionGotoLabel},
    {"WaitForFrame2", kActionWaitForFrame2},
    {"DefineFunction2", kActionDefineFunction2},
    {"Try", kActionTry},
    {"With", kActionWith},
    {"Push", kActionPush},
    {"Jump", kActionJump},
    {"GetURL2", kActionGetURL2},
    {"DefineFunction", kActionDefineFunction},
    {"If", kActionIf},
    {"Call", kActionCall},
    {"GotoFrame2", kActionGotoFrame2},
};

bool SameWord(const std::string& a, const char* b) {
    return kestrel::AsciiEqualsIgnoringCase(a, b);
}

}  // namespace

std::optional<uint8_t> ActionCodeByName(const std::string& name) {
    for (const NamedCode& a : kActions) {
        if (SameWord(name, a.name)) return a.code;
    }
    return std::nullopt;
}

std::string ActionName(uint8_t code) {
    for (const NamedCode& a : kActions) {
        if (a.code == code) return a.name;
    }
    return {};
}

std::optional<uint16_t> FunctionFlagByName(const std::string& name) {
    static const struct {
        const char* name;
        uint16_t flag;
    } kFlags[] = {
        {"preload_this", kPreloadThis},           {"suppress_this", kSuppressThis},
        {"preload_arguments", kPreloadArguments}, {"suppress_arguments", kSuppressArguments},
        {"preload_super", kPreloadSuper},         {"suppress_super", kSuppressSuper},
        {"preload_root", kPreloadRoot},           {"preload_parent", kPreloadParent},
        {"preload_global", kPreloadGlobal},
    };
    for (const auto& f : kFlags) {
        if (SameWord(name, f.name)) return f.flag;
    }
    return std::nullopt;
}

}  // namespace swf
