// The "Dialogs." family: message boxes, the colour chooser, and the
// choose-file, save-file and choose-folder objects that a movie creates,
// configures and shows ("ChooseFile.new", "ChooseFile.setDialogTitle", ...).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "projector/api/api_family.h"
#include "projector/api/dialog_services.h"

namespace kestrel {

// Id counters of the three kinds of dialog object: shared by every window of
// the run, so an id is never handed out twice.
struct DialogIdCounters {
    std::int32_t chooseFile = 0;
    std::int32_t saveFile = 0;
    std::int32_t chooseFolder = 0;
};
DialogIdCounters& ProjectorDialogIdCounters();

// The settings of one dialog object. Only some reach the system's dialog;
// the others are kept so the movie can set them.
struct DialogObject {
    bool allowMultiple = false;
    std::string title, text, buttonText, defaultDirectory, defaultExtension, defaultFileName;
};

class DialogsFamily : public ApiFamily {
  public:
    // Neither is owned; both outlive the family.
    explicit DialogsFamily(DialogServices& dialogs,
                           DialogIdCounters& counters = ProjectorDialogIdCounters())
        : dialogs_(dialogs), counters_(counters) {}

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    // Every method name in dispatch order, sub-families with their prefix
    // ("ChooseFile.show").
    static std::vector<std::string> MethodNames();

    enum class Kind { ChooseFile, SaveFile, ChooseFolder };

  private:
    ApiResult CallObject(Kind kind, std::string_view method, const ApiArguments& arguments);
    ApiResult Show(Kind kind, const DialogObject& object);
    ApiResult ShowMessageBox(const ApiArguments& arguments, bool plain, MessageBoxIcon icon);
    ApiResult AnswerColorChooser(const ApiArguments& arguments);

    DialogServices& dialogs_;
    DialogIdCounters& counters_;
    std::map<std::int32_t, DialogObject> objects_[3];
};

}  // namespace kestrel
