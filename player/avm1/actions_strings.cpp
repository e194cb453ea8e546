// The SWF 4 string actions and their multibyte forms. From SWF 6 strings are Unicode, so
// the byte-counting forms count characters there too.
#include <algorithm>

#include "player/avm1/action_executor.h"
#include "player/avm1/conversions.h"
#include "player/avm1/utf8.h"

namespace kestrel::avm1 {

using namespace swf;

ActionExecutor::Outcome ActionExecutor::Strings(ActionCode code, ActionReader&) {
    switch (code) {
        case kActionStringEquals:
        case kActionStringLess:
        case kActionStringGreater: {
            std::string a = Str(PopValue()), b = Str(PopValue());
            bool r = code == kActionStringEquals ? a == b
                     : code == kActionStringLess ? b < a
                                                 : b > a;
            PushValue(LegacyBool(r, version_));
            break;
        }
        case kActionStringAdd: {
            std::string a = Str(PopValue()), b = Str(PopValue());
            PushValue(CapString(b + a));
            break;
        }
        case kActionStringLength: {
            std::string s = Str(PopValue());
            PushValue(Value(static_cast<double>(version_ >= 6 ? utf8Length(s) : s.size())));
            break;
        }
        case kActionMBStringLength:
            PushValue(Value(static_cast<double>(utf8Length(Str(PopValue())))));
            break;
        case kActionStringExtract:
        case kActionMBStringExtract: {  // 1-based index, count
            double count = Num(PopValue());
            double index = Num(PopValue());
            std::string s = Str(PopValue());
            bool mb = code == kActionMBStringExtract || version_ >= 6;
            std::u32string chars = mb ? decodeUtf8(s) : std::u32string();
            size_t len = mb ? chars.size() : s.size();
            long long start = static_cast<long long>(toInt32(index)) - 1;
            if (start < 0) start = 0;
            long long n = toInt32(count);
            if (n < 0) n = static_cast<long long>(len);
            if (static_cast<size_t>(start) >= len) {
                PushValue(Value(""));
                break;
            }
            size_t take =
                static_cast<size_t>(std::min<long long>(n, static_cast<long long>(len) - start));
            PushValue(mb ? Value(encodeUtf8(chars.substr(static_cast<size_t>(start), take)))
                         : Value(s.substr(static_cast<size_t>(start), take)));
            break;
        }
        case kActionCharToAscii:
            if (version_ < 6) {
                std::string s = Str(PopValue());
                PushValue(
                    Value(s.empty() ? 0.0 : static_cast<double>(static_cast<unsigned char>(s[0]))));
                break;
            }
            [[fallthrough]];
        case kActionMBCharToAscii: {
            std::u32string s = decodeUtf8(Str(PopValue()));
            char32_t c = s.empty() ? 0 : s[0];
            if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;  // half of a surrogate pair
            PushValue(Value(static_cast<double>(c)));
            break;
        }
        case kActionAsciiToChar:
            if (version_ < 6) {
                int c = static_cast<int>(toInt32(Num(PopValue()))) & 0xFF;
                PushValue(Value(c ? std::string(1, static_cast<char>(c)) : std::string()));
                break;
            }
            [[fallthrough]];
        case kActionMBAsciiToChar: {
            uint32_t c = toUint32(Num(PopValue())) & 0xFFFF;
            if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
            std::string s;
            if (c != 0) appendUtf8(s, c);
            PushValue(Value(s));
            break;
        }
        default:
            break;
    }
    return Continue();
}

}  // namespace kestrel::avm1
