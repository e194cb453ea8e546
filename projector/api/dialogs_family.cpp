#include "projector/api/dialogs_family.h"

#include <cstdio>

#include "projector/api/api_paths.h"
#include "projector/bridge/xml_value.h"

namespace kestrel {
namespace {

using Kind = DialogsFamily::Kind;

struct KindPrefix {
    std::string_view prefix;
    Kind kind;
};
constexpr KindPrefix kKindPrefixes[] = {
    {"ChooseFile.", Kind::ChooseFile},
    {"SaveFile.", Kind::SaveFile},
    {"ChooseFolder.", Kind::ChooseFolder},
};

// Which kinds know a method: choose file, save file, choose folder.
struct ObjectMethod {
    std::string_view name;
    bool kinds[3];
};
// "new" first, then in the order the methods are compared.
constexpr ObjectMethod kObjectMethods[] = {
    {"new", {true, true, true}},
    {"show", {true, true, true}},
    {"setAllowMultiple", {true, false, false}},
    {"setButtonText", {true, true, true}},
    {"setDefaultDirectory", {true, true, true}},
    {"setDefaultExtension", {true, true, false}},
    {"setDefaultFilename", {true, true, false}},
    {"setDialogText", {true, true, true}},
    {"setDialogTitle", {true, true, true}},
};

constexpr std::string_view kFamilyMethods[] = {"messageBox", "errorBox", "warningBox",
                                               "chooseColor"};

struct ButtonsWord {
    std::string_view word;
    MessageBoxButtons buttons;
};
constexpr ButtonsWord kButtonsWords[] = {
    {"ok", MessageBoxButtons::Ok},
    {"ok_cancel", MessageBoxButtons::OkCancel},
    {"yes_no", MessageBoxButtons::YesNo},
    {"yes_no_cancel", MessageBoxButtons::YesNoCancel},
    {"retry_cancel", MessageBoxButtons::RetryCancel},
    {"abort_retry_ignore", MessageBoxButtons::AbortRetryIgnore},
};

MessageBoxButtons ButtonsFromWord(std::string_view word) {
    for (const ButtonsWord& entry : kButtonsWords)
        if (entry.word == word) return entry.buttons;
    return MessageBoxButtons::Ok;
}

// The word a movie gets for the pressed button; empty for none.
std::string_view AnswerWord(MessageBoxButtons buttons, MessageBoxAnswer answer) {
    using A = MessageBoxAnswer;
    switch (buttons) {
        case MessageBoxButtons::Ok:
            return "ok";
        case MessageBoxButtons::OkCancel:
            return answer == A::Ok ? "ok" : "cancel";
        case MessageBoxButtons::YesNo:
            return answer == A::Yes ? "yes" : "no";
        case MessageBoxButtons::YesNoCancel:
            return answer == A::Yes ? "yes" : answer == A::No ? "no" : "cancel";
        case MessageBoxButtons::RetryCancel:
            return answer == A::Retry ? "retry" : "cancel";
        case MessageBoxButtons::AbortRetryIgnore:
            if (answer == A::Abort) return "abort";
            if (answer == A::Retry) return "retry";
            if (answer == A::Ignore) return "ignore";
            return "";
    }
    return "";
}

}  // namespace

DialogIdCounters& ProjectorDialogIdCounters() {
    static DialogIdCounters counters;
    return counters;
}

ApiResult DialogsFamily::Call(std::string_view method, const ApiArguments& arguments) {
    for (const KindPrefix& entry : kKindPrefixes) {
        if (method.substr(0, entry.prefix.size()) == entry.prefix)
            return CallObject(entry.kind, method.substr(entry.prefix.size()), arguments);
    }
    if (method == "messageBox") return ShowMessageBox(arguments, true, MessageBoxIcon::None);
    if (method == "errorBox") return ShowMessageBox(arguments, false, MessageBoxIcon::Error);
    if (method == "warningBox") return ShowMessageBox(arguments, false, MessageBoxIcon::Warning);
    if (method == "chooseColor") return AnswerColorChooser(arguments);
    return std::nullopt;
}

ApiResult DialogsFamily::ShowMessageBox(const ApiArguments& arguments, bool plain,
                                        MessageBoxIcon icon) {
    MessageBoxButtons buttons = ButtonsFromWord(arguments.AsText(2));
    MessageBoxAnswer answer =
        dialogs_.ShowMessageBox(arguments.AsText(0), arguments.AsText(1), buttons, icon);
    if (!plain) return XmlNull();
    std::string_view word = AnswerWord(buttons, answer);
    if (word.empty()) return XmlNull();
    return XmlPlainWord(word);
}

ApiResult DialogsFamily::AnswerColorChooser(const ApiArguments& arguments) {
    // The movie's 0xRRGGBB becomes the system's order, red in the low byte.
    std::uint32_t movieColor = static_cast<std::uint32_t>(arguments.AsInteger(0));
    std::uint32_t initial =
        ((movieColor >> 16) & 0xFF) | (movieColor & 0xFF00) | ((movieColor & 0xFF) << 16);
    std::optional<std::uint32_t> chosen = dialogs_.ShowColorChooser(initial);
    if (!chosen) return XmlNull();
    char word[16];
    std::snprintf(word, sizeof word, "0x%02x%02x%02x", static_cast<unsigned>(*chosen & 0xFF),
                  static_cast<unsigned>((*chosen >> 8) & 0xFF),
                  static_cast<unsigned>((*chosen >> 16) & 0xFF));
    return XmlPlainWord(word);
}

ApiResult DialogsFamily::CallObject(Kind kind, std::string_view method,
                                    const ApiArguments& arguments) {
    const std::size_t k = static_cast<std::size_t>(kind);
    const ObjectMethod* found = nullptr;
    for (const ObjectMethod& entry : kObjectMethods)
        if (entry.name == method && entry.kinds[k]) found = &entry;
    if (!found) return std::nullopt;

    if (method == "new") {
        std::int32_t& counter = kind == Kind::ChooseFile ? counters_.chooseFile
                                : kind == Kind::SaveFile ? counters_.saveFile
                                                         : counters_.chooseFolder;
        if (counter == INT32_MAX) return std::nullopt;
        objects_[k][++counter] = DialogObject();
        return XmlInteger(counter);
    }
    auto object = objects_[k].find(arguments.AsInteger(0));
    if (object == objects_[k].end()) return std::nullopt;
    DialogObject& fields = object->second;
    if (method == "show") {
        // A copy: the movie may change the object while the dialog is open.
        const DialogObject shown = fields;
        return Show(kind, shown);
    }
    if (method == "setAllowMultiple")
        fields.allowMultiple = arguments.AsFlag(1);
    else if (method == "setButtonText")
        fields.buttonText = arguments.AsText(1);
    else if (method == "setDefaultDirectory")
        fields.defaultDirectory = arguments.AsText(1);
    else if (method == "setDefaultExtension")
        fields.defaultExtension = arguments.AsText(1);
    else if (method == "setDefaultFilename")
        fields.defaultFileName = arguments.AsText(1);
    else if (method == "setDialogText")
        fields.text = arguments.AsText(1);
    else if (method == "setDialogTitle")
        fields.title = arguments.AsText(1);
    return std::nullopt;
}

ApiResult DialogsFamily::Show(Kind kind, const DialogObject& object) {
    const std::string programFolder = FolderPart(dialogs_.ProgramPath());
    switch (kind) {
        case Kind::ChooseFolder: {
            std::optional<std::string> folder = dialogs_.ChooseFolder(object.title);
            if (!folder || folder->empty()) return std::nullopt;
            return XmlText(ResolvePath(*folder, programFolder));
        }
        case Kind::SaveFile: {
            std::optional<std::string> path = dialogs_.ChooseSaveFile(object.defaultFileName);
            if (!path || path->empty()) return std::nullopt;
            return XmlText(ResolvePath(*path, programFolder));
        }
        case Kind::ChooseFile:
            break;
    }
    ChosenFiles chosen = dialogs_.ChooseFiles(object.defaultFileName, object.allowMultiple);
    if (chosen.outcome == ChosenFiles::Outcome::SelectionTooLong) {
        dialogs_.ShowMessageBox(object.title.empty() ? "Open" : object.title,
                                "Too many files were selected at once. Select fewer files and "
                                "try again.",
                                MessageBoxButtons::Ok, MessageBoxIcon::Warning);
        return std::nullopt;
    }
    if (chosen.outcome != ChosenFiles::Outcome::Chosen || chosen.files.empty()) return std::nullopt;
    chosen.files[0] = ResolvePath(chosen.files[0], programFolder);
    return XmlTextList(chosen.files);
}

std::vector<std::string> DialogsFamily::MethodNames() {
    std::vector<std::string> names;
    for (const KindPrefix& prefix : kKindPrefixes) {
        for (const ObjectMethod& method : kObjectMethods)
            if (method.kinds[static_cast<std::size_t>(prefix.kind)])
                names.push_back(std::string(prefix.prefix) + std::string(method.name));
    }
    for (std::string_view name : kFamilyMethods) names.emplace_back(name);
    return names;
}

}  // namespace kestrel
