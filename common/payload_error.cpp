#include "common/payload_error.h"

namespace kestrel {

const char* ToString(PayloadError error) {
    switch (error) {
        case PayloadError::None:
            return "no error";
        case PayloadError::NoSettings:
            return "no settings document in the payload";
        case PayloadError::NotFound:
            return "executable not found";
        case PayloadError::CannotOpen:
            return "executable cannot be opened";
        case PayloadError::NoEndMark:
            return "no payload end mark";
        case PayloadError::Damaged:
            return "payload damaged";
    }
    return "unknown payload error";
}

}  // namespace kestrel
