#include "player/runtime/trace_output.h"

#include <cstdlib>

namespace kestrel::runtime {

TraceOutput::TraceOutput() {
    const char* path = std::getenv("NPFP_TRACE_FILE");
    if (path && *path) openFile(path);
}

TraceOutput::~TraceOutput() {
    if (file_) std::fclose(file_);
}

bool TraceOutput::openFile(const std::string& path) {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (path.empty()) return true;
    file_ = std::fopen(path.c_str(), "ab");
    return file_ != nullptr;
}

void TraceOutput::write(std::string_view text) {
    std::string line = normaliseTraceLineBreaks(text);
    if (file_) {
        std::fwrite(line.data(), 1, line.size(), file_);
        std::fputc('\n', file_);
        std::fflush(file_);
    }
    if (callback_) callback_(line);
}

std::string normaliseTraceLineBreaks(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r') c = '\n';
    return out;
}

}  // namespace kestrel::runtime
