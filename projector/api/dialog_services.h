// What the "Dialogs." family asks of the system's standard dialogs. The
// projector shows them owned by the calling window (dialog_services_win.cpp);
// tests use a fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

enum class MessageBoxButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MessageBoxIcon { None, Error, Warning };
enum class MessageBoxAnswer { None, Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// What a choose-file dialog gave: the chosen files, the first as a full path
// and the others by name only (they share its folder).
struct ChosenFiles {
    enum class Outcome { Chosen, Cancelled, SelectionTooLong };
    Outcome outcome = Outcome::Cancelled;
    std::vector<std::string> files;
};

class DialogServices {
  public:
    virtual ~DialogServices() = default;

    virtual MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& message,
                                            MessageBoxButtons buttons, MessageBoxIcon icon) = 0;

    // Colours in the system's order (red in the low byte); none when cancelled.
    virtual std::optional<std::uint32_t> ShowColorChooser(std::uint32_t initial) = 0;

    virtual ChosenFiles ChooseFiles(const std::string& defaultFileName, bool allowMultiple) = 0;
    // The chosen path; none when cancelled.
    virtual std::optional<std::string> ChooseSaveFile(const std::string& defaultFileName) = 0;
    // The chosen folder; none when cancelled or not a file-system folder.
    virtual std::optional<std::string> ChooseFolder(const std::string& instruction) = 0;

    // The projector program's full path, to resolve relative answers against.
    virtual std::string ProgramPath() = 0;
};

}  // namespace kestrel
