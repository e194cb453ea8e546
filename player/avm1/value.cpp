#include "player/avm1/value.h"

namespace kestrel::avm1 {

void Value::FreeText(Text* text) {
    delete text;
}

}  // namespace kestrel::avm1
