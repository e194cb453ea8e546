// Markup as scripts assign it to htmlText: read it, write it back, read that again, and
// format and replace ranges of what came out.
#include <cstddef>
#include <cstdint>
#include <string>

#include "player/runtime/rich_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using kestrel::runtime::RichText;
    using kestrel::runtime::TextFormat;
    std::string html(reinterpret_cast<const char*>(data), size);
    TextFormat base;
    base.font = std::string("Times New Roman");
    base.size = 12;
    RichText text;
    text.SetHtml(html, base, size % 2 == 0);
    RichText again;
    again.SetHtml(text.ToHtml(), base, false);
    size_t length = again.Length();
    TextFormat bold;
    bold.bold = true;
    bold.leftMargin = 3;
    again.ApplyFormat(length / 3, length / 2 + 1, bold);
    again.Replace(length / 4, length / 2, "x\ry", base);
    (void)again.FormatOf(0, again.Length());
    (void)again.ToHtml();
    return 0;
}
