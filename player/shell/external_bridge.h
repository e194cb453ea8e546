// ExternalInterface across the browser's script interface, both ways:
//  - a call out of the movie becomes an NPN_Evaluate of the "try { __flash__toXML(...)"
//    text on the window object; the XML answer is the call's value;
//  - a call into the movie (the browser invoking a registered name on our scriptable
//    object) asks the browser's "__flash__request" for the invoke XML, runs the callback
//    and answers; a string result travels back through "var __flash_temp = ...".
#pragma once

#include <optional>
#include <string>

#include "common/npapi/npapi_abi.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/network_host.h"

namespace kestrel::shell {

class ExternalBridge : public runtime::ExternalHost {
  public:
    // npp is not owned; detach() before it goes.
    explicit ExternalBridge(NPP npp) : npp_(npp) {}
    void detach() { npp_ = nullptr; }

    std::optional<std::string> callOut(const std::string& invokeXml) override;

    // The browser invoked `name` with these arguments. False when the movie has no
    // callback of that name (or the browser is gone).
    bool callIn(runtime::MoviePlayer& player, const std::string& name, const NPVariant* args,
                uint32_t count, NPVariant* result);

    // fscommand(command, args) for the page: invokes "_DoFSCommand" on the window object.
    // False when the browser does not serve it.
    bool fsCommand(const std::string& command, const std::string& args);

  private:
    // The invoke XML for the call: the browser's answer, or our own when it has none.
    std::string invokeXmlFor(const std::string& name, const NPVariant* args, uint32_t count);
    // The callback's value as the browser's script value.
    NPVariant answerFor(avm1::Vm& vm, const avm1::Value& value);

    NPP npp_;  // not owned
};

// One script value as its XML value form (<string>, <number>, ...); none for void
// and objects, which the request leaves out.
std::optional<std::string> XmlFormOfVariant(const NPVariant& value);

}  // namespace kestrel::shell
