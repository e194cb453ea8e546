// Each input is a sequence of calls, one per line: the name, then the
// arguments, separated by tabs. The families run over the test fakes, so a
// call never reaches the machine. Every answer must be one XML value.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "projector/api/api_dispatcher.h"
#include "projector/api/applescript_family.h"
#include "projector/api/application_family.h"
#include "projector/api/clipboard_family.h"
#include "projector/api/dialogs_family.h"
#include "projector/api/dll_family.h"
#include "projector/api/network_family.h"
#include "projector/api/system_family.h"
#include "tests/projector/api/fake_dialogs.h"
#include "tests/projector/api/fake_system.h"

namespace {

using namespace kestrel;

class QuietNetwork : public NetworkServices {
  public:
    bool IsOnline() override { return true; }
    bool OpenAddress(const std::string& address) override { return address.size() % 2 == 0; }
};

class MemoryClipboard : public ClipboardServices {
  public:
    bool SetText(const std::string& text) override {
        text_ = text;
        return true;
    }
    std::optional<std::string> Text() override { return text_; }

  private:
    std::string text_;
};

class FixedApplication : public ApplicationServices {
  public:
    std::string ProgramPath() override { return "C:\\Apps\\Show\\movie.exe"; }
    void Quit() override {}
};

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

bool IsOneValue(const std::string& answer) {
    return answer.size() >= 4 && answer.front() == '<' && answer.back() == '>';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    test::FakeSystem system;
    test::FakeDialogs dialogs;
    // Dialogs answer from the input's length, so both outcomes are explored.
    dialogs.pressed = static_cast<MessageBoxAnswer>(size % 8);
    dialogs.files = {
        size % 3 == 0 ? ChosenFiles::Outcome::Chosen : static_cast<ChosenFiles::Outcome>(size % 3),
        {"C:\\d\\a", "b"}};
    dialogs.color = size % 2 ? std::optional<std::uint32_t>(0x123456) : std::nullopt;
    dialogs.savePath = "relative\\x";
    QuietNetwork network;
    MemoryClipboard clipboard;
    FixedApplication application;
    DialogIdCounters counters;

    ApiDispatcher dispatcher;
    dispatcher.Install(ApiFamilyId::System, std::make_unique<SystemFamily>(system));
    dispatcher.Install(ApiFamilyId::Dialogs, std::make_unique<DialogsFamily>(dialogs, counters));
    dispatcher.Install(ApiFamilyId::Network, std::make_unique<NetworkFamily>(network));
    dispatcher.Install(ApiFamilyId::Clipboard, std::make_unique<ClipboardFamily>(clipboard));
    dispatcher.Install(ApiFamilyId::Application, std::make_unique<ApplicationFamily>(application));
    dispatcher.Install(ApiFamilyId::AppleScript, std::make_unique<AppleScriptFamily>());
    dispatcher.Install(ApiFamilyId::DLL, std::make_unique<DllFamily>());

    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::string_view line : Split(input, '\n')) {
        std::vector<std::string_view> fields = Split(line, '\t');
        std::string_view name = fields[0];
        ApiResult answer =
            dispatcher.Dispatch(name, ApiArguments(fields.data() + 1, fields.size() - 1));
        if (answer && !IsOneValue(*answer)) __builtin_trap();
    }
    return 0;
}
