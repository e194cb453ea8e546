#include "projector/api/clipboard_family.h"

namespace kestrel {

ApiResult ClipboardFamily::Call(std::string_view method, const ApiArguments& arguments) {
    // "clear" leaves the empty text, not an empty clipboard.
    if (method == "clear")
        clipboard_.SetText(std::string());
    else if (method == "copyString")
        clipboard_.SetText(arguments.AsText(0));
    else if (method == "paste")
        clipboard_.Text();
    return std::nullopt;
}

std::vector<std::string> ClipboardFamily::MethodNames() {
    return {"clear", "copy", "copyString", "cut", "paste"};
}

}  // namespace kestrel
