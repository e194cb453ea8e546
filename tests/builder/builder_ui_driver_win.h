// Drives the builder's windows inside the test's own process: answers for the
// file dialogs, and steps run from a thread timer, which fires inside every
// modal loop (start dialog, Preferences, replace question, message boxes).
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "builder/ui/file_dialogs.h"

namespace kestrel::test {

// Answers queued per kind; an empty queue answers "cancelled". Every
// request is recorded.
class FakeFileDialogs : public FileDialogs {
  public:
    std::deque<std::string> openAnswers;
    std::deque<std::vector<std::string>> openManyAnswers;
    std::deque<std::string> saveAnswers;
    std::deque<std::string> folderAnswers;
    std::deque<uint32_t> colourAnswers;
    std::vector<FileDialogArgs> requests;  // open and save, in order
    // OpenFiles answers that the selection did not fit its buffer.
    bool tooManyFiles = false;
    // The custom colours the last colour chooser was given (not owned).
    std::array<uint32_t, 16>* customColoursGiven = nullptr;

    bool OpenFile(const FileDialogArgs& args, std::string* path) override {
        requests.push_back(args);
        return Take(openAnswers, path);
    }
    bool OpenFiles(const FileDialogArgs& args, std::vector<std::string>* paths,
                   bool* tooMany) override {
        requests.push_back(args);
        *tooMany = tooManyFiles;
        return !tooManyFiles && Take(openManyAnswers, paths);
    }
    bool SaveFile(const FileDialogArgs& args, std::string* path) override {
        requests.push_back(args);
        return Take(saveAnswers, path);
    }
    bool ChooseFolder(HWND owner, const std::string& title, std::string* path) override {
        return Take(folderAnswers, path);
    }
    bool ChooseColour(HWND owner, uint32_t* colour,
                      std::array<uint32_t, 16>* customColours) override {
        customColoursGiven = customColours;
        return Take(colourAnswers, colour);
    }

  private:
    template <typename T>
    static bool Take(std::deque<T>& answers, T* out) {
        if (answers.empty()) return false;
        *out = answers.front();
        answers.pop_front();
        return true;
    }
};

// A visible, enabled dialog (class "#32770") of this thread with this
// caption; any caption when null.
HWND FindThreadDialog(const char* caption);

// Steps run one after the other from a thread timer every 30 ms; a step
// answers true when it is done, false to be tried again on the next tick.
// Steps run inside whatever modal loop is up. Presses are posted, so a
// step never waits inside a nested modal loop.
class ModalDriver {
  public:
    using Step = std::function<bool()>;

    ModalDriver();
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    ModalDriver& Then(Step step);
    // Waits for a dialog with `caption`, runs `act` on it (may be empty).
    ModalDriver& OnDialog(const char* caption, std::function<void(HWND)> act);
    // Waits for a dialog with `caption` and presses `button` there.
    ModalDriver& Press(const char* caption, int button);
    // Waits for a message box with `caption`, keeps its text, presses `button`.
    ModalDriver& Answer(const char* caption, int button, std::string* text = nullptr);

    // Presses `button` on whatever dialog comes up within `waitMs`; passes
    // when none does (a command that may answer with a box or without one).
    ModalDriver& AnswerIfShown(int button, DWORD waitMs);

    bool Finished() const { return steps_.empty(); }
    size_t Remaining() const { return steps_.size(); }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunNext();

    // A step that has not matched for this long fails the test.
    static constexpr DWORD kStepTimeoutMs = 8000;

    std::deque<Step> steps_;
    DWORD stepStart_ = 0;
    UINT_PTR timer_ = 0;
    bool running_ = false;
};

// Posts a click of a dialog's button (BN_CLICKED with the button's handle).
void PostClick(HWND dialog, int id);
// Pumps this thread's messages until the driver ran all its steps (steps
// left for boxes that a command shows after it returned), at most `ms`.
void WaitUntilFinished(const ModalDriver& driver, DWORD ms);
// Pumps this thread's messages for `ms` milliseconds.
void PumpMessages(DWORD ms);
// A screenshot of the whole screen to build/screenshots/<name>.bmp.
void SaveTestScreenshot(const std::string& name);

}  // namespace kestrel::test
