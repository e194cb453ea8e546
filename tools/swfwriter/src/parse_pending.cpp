// Statements whose encoders land in the next commits.
#include "description_parser.h"

namespace swf {

#define KESTREL_PENDING(name, ...)                                            \
    bool DescriptionParser::name(const Line& line, __VA_ARGS__) {              \
        return Fail(line, "'" + line.tokens[0].text + "' is not supported yet"); \
    }
KESTREL_PENDING(ParseEditText, Timeline&)
KESTREL_PENDING(ParseFont, Timeline&)
KESTREL_PENDING(ParseButton, Timeline&)

}  // namespace swf
