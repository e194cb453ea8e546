// Numbers of the SWF file format that the player reads and the SWF writer writes: tag codes,
// action codes and their operand flags, push value types, function flags, clip events, button
// states and button conditions. Both sides take them from here so they cannot drift apart.
#pragma once

#include <cstdint>

namespace swf {

enum TagCode : uint16_t {
    kTagEnd = 0,
    kTagShowFrame = 1,
    kTagDefineShape = 2,
    kTagPlaceObject = 4,
    kTagRemoveObject = 5,
    kTagDefineBits = 6,
    kTagDefineButton = 7,
    kTagJpegTables = 8,
    kTagSetBackgroundColor = 9,
    kTagDefineFont = 10,
    kTagDefineText = 11,
    kTagDoAction = 12,
    kTagDefineBitsLossless = 20,
    kTagDefineBitsJpeg2 = 21,
    kTagDefineShape2 = 22,
    kTagPlaceObject2 = 26,
    kTagRemoveObject2 = 28,
    kTagDefineShape3 = 32,
    kTagDefineText2 = 33,
    kTagDefineButton2 = 34,
    kTagDefineBitsJpeg3 = 35,
    kTagDefineBitsLossless2 = 36,
    kTagDefineEditText = 37,
    kTagDefineSprite = 39,
    kTagFrameLabel = 43,
    kTagDefineMorphShape = 46,
    kTagDefineFont2 = 48,
    kTagExportAssets = 56,
    kTagDoInitAction = 59,
    kTagFileAttributes = 69,
    kTagPlaceObject3 = 70,
    kTagDefineFont3 = 75,
    kTagDefineShape4 = 83,
    kTagDefineMorphShape2 = 84,
};

// Actions of SWF 3 to 8. A code from kActionHasOperands up is followed by a 16-bit operand
// length and that many operand bytes; a code below it is one byte on its own.
enum ActionCode : uint8_t {
    kActionEnd = 0x00,
    kActionNextFrame = 0x04,
    kActionPreviousFrame = 0x05,
    kActionPlay = 0x06,
    kActionStop = 0x07,
    kActionToggleQuality = 0x08,
    kActionStopSounds = 0x09,
    kActionAdd = 0x0A,
    kActionSubtract = 0x0B,
    kActionMultiply = 0x0C,
    kActionDivide = 0x0D,
    kActionEquals = 0x0E,
    kActionLess = 0x0F,
    kActionAnd = 0x10,
    kActionOr = 0x11,
    kActionNot = 0x12,
    kActionStringEquals = 0x13,
    kActionStringLength = 0x14,
    kActionStringExtract = 0x15,
    kActionPop = 0x17,
    kActionToInteger = 0x18,
    kActionGetVariable = 0x1C,
    kActionSetVariable = 0x1D,
    kActionSetTarget2 = 0x20,
    kActionStringAdd = 0x21,
    kActionGetProperty = 0x22,
    kActionSetProperty = 0x23,
    kActionCloneSprite = 0x24,
    kActionRemoveSprite = 0x25,
    kActionTrace = 0x26,
    kActionStartDrag = 0x27,
    kActionEndDrag = 0x28,
    kActionStringLess = 0x29,
    kActionThrow = 0x2A,
    kActionCastOp = 0x2B,
    kActionImplementsOp = 0x2C,
    kActionRandomNumber = 0x30,
    kActionMBStringLength = 0x31,
    kActionCharToAscii = 0x32,
    kActionAsciiToChar = 0x33,
    kActionGetTime = 0x34,
    kActionMBStringExtract = 0x35,
    kActionMBCharToAscii = 0x36,
    kActionMBAsciiToChar = 0x37,
    kActionDelete = 0x3A,
    kActionDelete2 = 0x3B,
    kActionDefineLocal = 0x3C,
    kActionCallFunction = 0x3D,
    kActionReturn = 0x3E,
    kActionModulo = 0x3F,
    kActionNewObject = 0x40,
    kActionDefineLocal2 = 0x41,
    kActionInitArray = 0x42,
    kActionInitObject = 0x43,
    kActionTypeOf = 0x44,
    kActionTargetPath = 0x45,
    kActionEnumerate = 0x46,
    kActionAdd2 = 0x47,
    kActionLess2 = 0x48,
    kActionEquals2 = 0x49,
    kActionToNumber = 0x4A,
    kActionToString = 0x4B,
    kActionPushDuplicate = 0x4C,
    kActionStackSwap = 0x4D,
    kActionGetMember = 0x4E,
    kActionSetMember = 0x4F,
    kActionIncrement = 0x50,
    kActionDecrement = 0x51,
    kActionCallMethod = 0x52,
    kActionNewMethod = 0x53,
    kActionInstanceOf = 0x54,
    kActionEnumerate2 = 0x55,
    kActionBitAnd = 0x60,
    kActionBitOr = 0x61,
    kActionBitXor = 0x62,
    kActionBitLShift = 0x63,
    kActionBitRShift = 0x64,
    kActionBitURShift = 0x65,
    kActionStrictEquals = 0x66,
    kActionGreater = 0x67,
    kActionStringGreater = 0x68,
    kActionExtends = 0x69,
    kActionHasOperands = 0x80,
    kActionGotoFrame = 0x81,
    kActionGetURL = 0x83,
    kActionStoreRegister = 0x87,
    kActionConstantPool = 0x88,
    kActionWaitForFrame = 0x8A,
    kActionSetTarget = 0x8B,
    kActionGotoLabel = 0x8C,
    kActionWaitForFrame2 = 0x8D,
    kActionDefineFunction2 = 0x8E,
    kActionTry = 0x8F,
    kActionWith = 0x94,
    kActionPush = 0x96,
    kActionJump = 0x99,
    kActionGetURL2 = 0x9A,
    kActionDefineFunction = 0x9B,
    kActionIf = 0x9D,
    kActionCall = 0x9E,
    kActionGotoFrame2 = 0x9F,
};

// FILLSTYLE types.
enum FillStyleType : uint8_t {
    kFillSolid = 0x00,
    kFillLinearGradient = 0x10,
    kFillRadialGradient = 0x12,
    kFillFocalGradient = 0x13,  // DefineShape4
    kFillRepeatingBitmap = 0x40,
    kFillClippedBitmap = 0x41,
    kFillHardRepeatingBitmap = 0x42,  // not smoothed
    kFillHardClippedBitmap = 0x43,
};

// LINESTYLE2 (DefineShape4): the two flag bytes after the width, and the cap and
// join values in them.
enum LineStyle2Flags : uint8_t {
    kLineStartCapShift = 6,  // first byte, two bits
    kLineJoinShift = 4,      // first byte, two bits
    kLineHasFill = 0x08,
    kLineNoHScale = 0x04,
    kLineNoVScale = 0x02,
    kLinePixelHinting = 0x01,
    kLineNoClose = 0x04,     // second byte
    kLineEndCapMask = 0x03,  // second byte
};
enum LineCap : uint8_t { kCapRound = 0, kCapNone = 1, kCapSquare = 2 };
enum LineJoin : uint8_t { kJoinRound = 0, kJoinBevel = 1, kJoinMiter = 2 };

// Value types inside a Push action.
enum PushType : uint8_t {
    kPushString = 0,
    kPushFloat = 1,
    kPushNull = 2,
    kPushUndefined = 3,
    kPushRegister = 4,
    kPushBoolean = 5,
    kPushDouble = 6,
    kPushInteger = 7,
    kPushConstant8 = 8,
    kPushConstant16 = 9,
};

// GetURL2 flags: the method in the low bits.
enum GetUrl2Flag : uint8_t {
    kGetUrl2MethodMask = 0x03,
    kGetUrl2LoadTarget = 0x40,
    kGetUrl2LoadVariables = 0x80,
};

// GotoFrame2 flags.
enum GotoFrame2Flag : uint8_t {
    kGotoFrame2Play = 0x01,
    kGotoFrame2SceneBias = 0x02,
};

// Try flags.
enum TryFlag : uint8_t {
    kTryHasCatch = 0x01,
    kTryHasFinally = 0x02,
    kTryCatchInRegister = 0x04,
};

// DefineFunction2 flags as stored (little-endian UI16).
enum FunctionFlag : uint16_t {
    kPreloadThis = 0x0001,
    kSuppressThis = 0x0002,
    kPreloadArguments = 0x0004,
    kSuppressArguments = 0x0008,
    kPreloadSuper = 0x0010,
    kSuppressSuper = 0x0020,
    kPreloadRoot = 0x0040,
    kPreloadParent = 0x0080,
    kPreloadGlobal = 0x0100,
};

// Clip event bits as the 32-bit flags of SWF 6 and later read (SWF 5 keeps the low 16).
enum ClipEvent : uint32_t {
    kClipLoad = 0x1,
    kClipEnterFrame = 0x2,
    kClipUnload = 0x4,
    kClipMouseMove = 0x8,
    kClipMouseDown = 0x10,
    kClipMouseUp = 0x20,
    kClipKeyDown = 0x40,
    kClipKeyUp = 0x80,
    kClipData = 0x100,
    kClipInitialize = 0x200,
    kClipPress = 0x400,
    kClipRelease = 0x800,
    kClipReleaseOutside = 0x1000,
    kClipRollOver = 0x2000,
    kClipRollOut = 0x4000,
    kClipDragOver = 0x8000,
    kClipDragOut = 0x10000,
    kClipKeyPress = 0x20000,
    kClipConstruct = 0x40000,
};

// Button record state bits.
enum ButtonState : uint8_t {
    kButtonUp = 1,
    kButtonOver = 2,
    kButtonDown = 4,
    kButtonHitTest = 8,
};

// BUTTONCONDACTION condition bits (as the 16-bit little-endian word reads); a key press is
// the key code shifted into kCondKeyPressMask.
enum ButtonCondition : uint16_t {
    kCondIdleToOverUp = 0x0001,       // roll over
    kCondOverUpToIdle = 0x0002,       // roll out
    kCondOverUpToOverDown = 0x0004,   // press
    kCondOverDownToOverUp = 0x0008,   // release
    kCondOverDownToOutDown = 0x0010,  // drag out
    kCondOutDownToOverDown = 0x0020,  // drag over
    kCondOutDownToIdle = 0x0040,      // release outside
    kCondIdleToOverDown = 0x0080,     // drag over (menu)
    kCondOverDownToIdle = 0x0100,     // drag out (menu)
    kCondKeyPressMask = 0xFE00,
};
constexpr int kCondKeyPressShift = 9;

inline uint16_t ButtonKeyCondition(uint8_t key) {
    return static_cast<uint16_t>((key & 0x7F) << kCondKeyPressShift);
}

}  // namespace swf
