// Dialogs for the "Dialogs." family: each answers what the test put in its
// queue and records what it was asked to show.
#pragma once

#include <string>
#include <vector>

#include "projector/api/dialog_services.h"

namespace kestrel::test {

struct ShownBox {
    std::string title, message;
    MessageBoxButtons buttons;
    MessageBoxIcon icon;
};

class FakeDialogs : public DialogServices {
  public:
    MessageBoxAnswer pressed = MessageBoxAnswer::Ok;
    std::vector<ShownBox> boxes;
    std::optional<std::uint32_t> color;
    std::vector<std::uint32_t> initialColors;
    ChosenFiles files;
    std::optional<std::string> savePath, folder;
    std::vector<std::string> defaultNames, instructions;
    std::vector<bool> multiple;

    MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& message,
                                    MessageBoxButtons buttons, MessageBoxIcon icon) override {
        boxes.push_back({title, message, buttons, icon});
        return pressed;
    }
    std::optional<std::uint32_t> ShowColorChooser(std::uint32_t initial) override {
        initialColors.push_back(initial);
        return color;
    }
    ChosenFiles ChooseFiles(const std::string& defaultName, bool allowMultiple) override {
        defaultNames.push_back(defaultName);
        multiple.push_back(allowMultiple);
        return files;
    }
    std::optional<std::string> ChooseSaveFile(const std::string& defaultName) override {
        defaultNames.push_back(defaultName);
        return savePath;
    }
    std::optional<std::string> ChooseFolder(const std::string& instruction) override {
        instructions.push_back(instruction);
        return folder;
    }
    std::string ProgramPath() override { return "C:\\Apps\\Show\\movie.exe"; }
};

}  // namespace kestrel::test
