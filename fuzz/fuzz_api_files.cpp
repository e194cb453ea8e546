// Random calls into the "FileSystem.", "FileSystem.File." and "Registry."
// families through the dispatcher, over in-memory hosts. The input is lines:
// the first is the call name, the others its arguments (at most eight). A
// first byte below 0x20 picks a known method instead, so most runs reach real
// method bodies with random arguments.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "projector/api/api_dispatcher.h"
#include "projector/api/file_system_family.h"
#include "projector/api/registry_family.h"
#include "tests/projector/api/fake_file_system.h"
#include "tests/projector/api/fake_registry.h"

namespace {

// Answers hold exactly one XML value; only "Registry.open" may answer empty.
void CheckAnswer(const kestrel::ApiResult& answer) {
    if (!answer || answer->empty()) return;
    if (answer->front() != '<' || answer->back() != '>') __builtin_trap();
}

std::vector<std::string> KnownNames() {
    std::vector<std::string> names;
    for (const std::string& method : kestrel::FileSystemFamily::MethodNames())
        names.push_back("FileSystem." + method);
    for (const std::string& method : kestrel::RegistryFamily::MethodNames())
        names.push_back("Registry." + method);
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::string> known = KnownNames();
    std::string_view input(reinterpret_cast<const char*>(data), size);

    std::vector<std::string_view> lines;
    while (lines.size() < 9) {
        std::size_t end = input.find('\n');
        lines.push_back(input.substr(0, end));
        if (end == std::string_view::npos) break;
        input.remove_prefix(end + 1);
    }
    std::string name(lines[0]);
    if (!name.empty() && static_cast<unsigned char>(name[0]) < 0x20)
        name = known[static_cast<unsigned char>(name[0]) % known.size()];

    kestrel::test::FakeFileSystem files;
    files.AddFolder("C:\\app");
    files.AddFile("C:\\app\\a.txt", "line one\nline two\n");
    files.AddFolder("C:\\app\\sub");
    files.AddFolderLink("C:\\app\\link");
    kestrel::test::FakeSystemRegistry registry;
    kestrel::ApiDispatcher dispatcher;
    dispatcher.Install(kestrel::ApiFamilyId::FileSystem,
                       std::make_unique<kestrel::FileSystemFamily>(files));
    dispatcher.Install(kestrel::ApiFamilyId::Registry,
                       std::make_unique<kestrel::RegistryFamily>(registry));

    // Objects and keys to work on: ids 1.. are whatever the counters give, so
    // open some first and let the arguments name them.
    std::string path = "QzpcYXBwXGEudHh0", mode = "cg==", root = "dXNlcg==";
    std::string_view openFile[] = {"", path, mode};
    kestrel::ApiResult id = dispatcher.Dispatch("FileSystem.File.new", {});
    std::string idText = id ? id->substr(8, id->find('<', 8) - 8) : "0";
    openFile[0] = idText;
    dispatcher.Dispatch("FileSystem.File.open", kestrel::ApiArguments(openFile, 3));
    std::string_view openKey[] = {mode, root};
    dispatcher.Dispatch("Registry.open", kestrel::ApiArguments(openKey, 2));

    std::vector<std::string_view> arguments(lines.begin() + 1, lines.end());
    CheckAnswer(
        dispatcher.Dispatch(name, kestrel::ApiArguments(arguments.data(), arguments.size())));
    // The same arguments with the live ids in front.
    arguments.insert(arguments.begin(), idText);
    CheckAnswer(
        dispatcher.Dispatch(name, kestrel::ApiArguments(arguments.data(), arguments.size())));
    return 0;
}
