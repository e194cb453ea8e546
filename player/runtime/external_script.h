// The texts a plug-in exchanges with its page for ExternalInterface: the script it asks
// the browser to evaluate for a call out of the movie, the invoke request for a call into
// it, and the returned-string script. Pure text work so the shell stays a thin adapter.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/runtime/xml_tree.h"

namespace kestrel::runtime {

// An invoke element: <invoke name="f" returntype="..."><arguments>forms</arguments></invoke>.
struct InvokeRequest {
    std::string name;
    std::vector<XmlNode> arguments;  // one XML value form each
};

// Reads the invoke XML the movie built (call out) or the browser answered to
// "__flash__request" (call in). nullopt when the text is no invoke element.
std::optional<InvokeRequest> parseInvoke(std::string_view xml);

// Turns a call out into the text evaluated by the browser:
//   try { __flash__toXML(name("a",1,true)) ; } catch (e) { "<undefined/>"; }
// Arguments become script literals (strings quoted and escaped, objects and arrays as
// literals). nullopt when the invoke text cannot be read.
std::optional<std::string> buildCallOutScript(std::string_view invokeXml);

// A script literal for one XML value form.
std::string scriptLiteralOf(const XmlNode& form);

// The evaluation by which a plug-in hands a string result back: var __flash_temp = "...";
std::string buildReturnStringScript(std::string_view text);

// The answer of an evaluation is an XML value form, possibly empty or absent: both
// count as undefined.
std::string answerOrUndefined(const std::optional<std::string>& answer);

}  // namespace kestrel::runtime
