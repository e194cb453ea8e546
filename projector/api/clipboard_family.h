// The "Clipboard." family: text on the system clipboard. Every method gives
// no value; "paste" only looks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "projector/api/api_family.h"

namespace kestrel {

class ClipboardServices {
  public:
    virtual ~ClipboardServices() = default;
    // Replaces the content by the text (8-bit, system code page); false when
    // the clipboard could not be opened or did not take the text.
    virtual bool SetText(const std::string& text) = 0;
    // The text on the clipboard; none when there is none or it cannot be opened.
    virtual std::optional<std::string> Text() = 0;
};

class ClipboardFamily : public ApiFamily {
  public:
    explicit ClipboardFamily(ClipboardServices& clipboard) : clipboard_(clipboard) {}  // not owned

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    static std::vector<std::string> MethodNames();

  private:
    ClipboardServices& clipboard_;
};

}  // namespace kestrel
