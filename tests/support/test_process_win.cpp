#include <cctype>
#include <cstring>
#include <map>
#include <vector>

#include "tests/support/ui_test_support.h"

namespace kestrel::uitest {
namespace {

std::string UpperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Our environment with the requested variables set; names compare without case.
std::vector<char> EnvironmentBlock(
    const std::vector<std::pair<std::string, std::string>>& changes) {
    std::map<std::string, std::string> variables;  // upper-case name -> "Name=value"
    if (char* block = GetEnvironmentStringsA()) {
        for (const char* entry = block; *entry; entry += std::strlen(entry) + 1) {
            const std::string text = entry;
            const size_t equals = text.find('=', 1);  // "=C:" style entries start with '='
            if (equals == std::string::npos) continue;
            variables[UpperCase(text.substr(0, equals))] = text;
        }
        FreeEnvironmentStringsA(block);
    }
    for (const auto& [name, value] : changes) variables[UpperCase(name)] = name + "=" + value;
    std::vector<char> result;
    for (const auto& [key, entry] : variables) {
        result.insert(result.end(), entry.begin(), entry.end());
        result.push_back('\0');
    }
    result.push_back('\0');
    return result;
}

}  // namespace

TestProcess::~TestProcess() {
    if (isRunning()) kill();
}

bool TestProcess::start(const StartOptions& options, const std::vector<std::string>& arguments) {
    std::string commandLine = "\"" + options.program + "\"";
    for (const std::string& argument : arguments) commandLine += " \"" + argument + "\"";
    std::vector<char> environment = EnvironmentBlock(options.environment);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(options.program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        environment.data(),
                        options.workingFolder.empty() ? nullptr : options.workingFolder.c_str(),
                        &startup, &info))
        return false;
    kestrel::KernelHandle thread(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
    return true;
}

bool TestProcess::isRunning() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool TestProcess::waitForExit(DWORD timeoutMs, uint32_t* exitCode) {
    if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.get(), &code)) return false;
    if (exitCode) *exitCode = code;
    return true;
}

void TestProcess::kill() {
    if (!process_) return;
    TerminateProcess(process_.get(), 0xDEAD);
    WaitForSingleObject(process_.get(), 5000);
}

}  // namespace kestrel::uitest
