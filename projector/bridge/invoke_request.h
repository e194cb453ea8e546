// The browser side of "__flash__request": the plug-in passes the callback's
// name and its arguments, the browser answers the XML invoke element that the
// plug-in then executes in the movie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

struct RequestArgument {
    enum class Type { Void, Null, Boolean, Int32, Double, String, Object };
    Type type = Type::Void;
    bool boolean = false;
    std::int32_t integer = 0;
    double real = 0;
    std::string_view text;  // String: the bytes, escaped when written
};

// "<invoke name=\"f\" returntype=\"javascript\">" + arguments + "</invoke>".
// Void and object arguments add nothing; the <arguments> element appears only
// when there are further arguments. The name and string arguments are
// XML-escaped (& < > " ').
std::string BuildInvokeRequest(std::string_view function, const RequestArgument* further,
                               std::size_t count);

}  // namespace kestrel
