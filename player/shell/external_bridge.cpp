#include "player/shell/external_bridge.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "player/runtime/external_script.h"
#include "player/runtime/external_values.h"
#include "player/runtime/xml_tree.h"
#include "player/shell/browser_table.h"

namespace kestrel::shell {
namespace {

constexpr char kUndefinedForm[] = "<undefined/>";
constexpr char kRequestFunction[] = "__flash__request";
constexpr char kFsCommandFunction[] = "_DoFSCommand";

std::string NumberForm(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return std::string("<number>") + text + "</number>";
}

}  // namespace

std::optional<std::string> XmlFormOfVariant(const NPVariant& value) {
    switch (value.type) {
        case NPVariantType_Null:
            return std::string("<null/>");
        case NPVariantType_Bool:
            return std::string(value.value.boolValue ? "<true/>" : "<false/>");
        case NPVariantType_Int32:
            return "<number>" + std::to_string(value.value.intValue) + "</number>";
        case NPVariantType_Double:
            return NumberForm(value.value.doubleValue);
        case NPVariantType_String: {
            const NPString& s = value.value.stringValue;
            std::string text =
                s.UTF8Characters ? std::string(s.UTF8Characters, s.UTF8Length) : std::string();
            return "<string>" + runtime::escapeXmlText(text) + "</string>";
        }
        default:
            return std::nullopt;
    }
}

std::optional<std::string> ExternalBridge::callOut(const std::string& invokeXml) {
    // A failed evaluation leaves the movie with no value: undefined, not null.
    const std::optional<std::string> script = runtime::buildCallOutScript(invokeXml);
    if (!script || !npp_) return std::string(kUndefinedForm);
    BrowserVariant result;
    if (!EvaluateScript(npp_, *script, &result)) return std::string(kUndefinedForm);
    const std::optional<std::string> answer = result.text();
    return runtime::answerOrUndefined(answer);
}

bool ExternalBridge::fsCommand(const std::string& command, const std::string& args) {
    const NPNetscapeFuncs& browser = Browser();
    if (!npp_ || !browser.invoke || !browser.getstringidentifier) return false;
    WindowObject window(npp_);
    if (!window.get()) return false;
    NPVariant arguments[2];
    arguments[0].type = arguments[1].type = NPVariantType_String;
    arguments[0].value.stringValue =
        NPString{command.c_str(), static_cast<uint32_t>(command.size())};
    arguments[1].value.stringValue = NPString{args.c_str(), static_cast<uint32_t>(args.size())};
    BrowserVariant answer;
    return browser.invoke(npp_, window.get(), browser.getstringidentifier(kFsCommandFunction),
                          arguments, 2, &answer.value);
}

std::string ExternalBridge::invokeXmlFor(const std::string& name, const NPVariant* args,
                                         uint32_t count) {
    const NPNetscapeFuncs& browser = Browser();
    if (npp_ && browser.invoke && browser.getstringidentifier) {
        WindowObject window(npp_);
        std::vector<NPVariant> requestArgs;
        NPVariant nameArg;
        nameArg.type = NPVariantType_String;
        nameArg.value.stringValue = NPString{name.c_str(), static_cast<uint32_t>(name.size())};
        requestArgs.push_back(nameArg);
        for (uint32_t i = 0; i < count; ++i) requestArgs.push_back(args[i]);
        NPIdentifier request = browser.getstringidentifier(kRequestFunction);
        BrowserVariant answer;
        if (window.get() &&
            browser.invoke(npp_, window.get(), request, requestArgs.data(),
                           static_cast<uint32_t>(requestArgs.size()), &answer.value)) {
            if (std::optional<std::string> xml = answer.text()) return *xml;
        }
    }
    // No browser answer: build the same request ourselves so the call still arrives.
    std::string xml =
        "<invoke name=\"" + runtime::escapeXmlText(name) + "\" returntype=\"javascript\">";
    std::string forms;
    for (uint32_t i = 0; i < count; ++i)
        if (std::optional<std::string> form = XmlFormOfVariant(args[i])) forms += *form;
    if (!forms.empty()) xml += "<arguments>" + forms + "</arguments>";
    return xml + "</invoke>";
}

NPVariant ExternalBridge::answerFor(avm1::Vm& vm, const avm1::Value& value) {
    NPVariant out;
    out.type = NPVariantType_Void;
    if (value.isNull()) {
        out.type = NPVariantType_Null;
    } else if (value.isBoolean()) {
        out.type = NPVariantType_Bool;
        out.value.boolValue = value.asBoolean();
    } else if (value.isNumber()) {
        out.type = NPVariantType_Double;
        out.value.doubleValue = value.asNumber();
    } else if (value.isString()) {
        // Strings go back the way the page expects them: through a script evaluation.
        BrowserVariant evaluated;
        if (npp_ &&
            EvaluateScript(npp_, runtime::buildReturnStringScript(vm.toString(value)), &evaluated))
            return evaluated.release();
    }
    return out;
}

bool ExternalBridge::callIn(runtime::MoviePlayer& player, const std::string& name,
                            const NPVariant* args, uint32_t count, NPVariant* result) {
    if (!npp_ || !result) return false;
    bool registered = false;
    for (const std::string& callback : player.registeredCallbacks())
        registered = registered || callback == name;
    if (!registered) return false;

    const std::optional<runtime::InvokeRequest> request =
        runtime::parseInvoke(invokeXmlFor(name, args, count));
    if (!request) return false;
    std::vector<avm1::Value> values;
    for (const runtime::XmlNode& form : request->arguments)
        values.push_back(runtime::xmlToValue(player.vm(), form));
    const std::optional<avm1::Value> value = player.callCallback(request->name, values);
    result->type = NPVariantType_Void;
    if (value) *result = answerFor(player.vm(), *value);
    return true;
}

}  // namespace kestrel::shell
