#include "projector/api/file_object_family.h"

#include <cstdlib>
#include <string>

#include "projector/bridge/xml_value.h"

namespace kestrel {
namespace {

// "gets" reads as the C library's line read does into a 1024-byte buffer.
constexpr std::size_t kLineLimit = 1023;

// Ids count for the whole projector run, so an id of one window's movie is
// never that of an object in another window.
std::int32_t NextFileObjectId() {
    static std::int32_t counter = 0;
    return ++counter;
}

// The stream (null when closed) and the arguments after the id.
struct FileCall {
    FileSystemHost& host;
    std::unique_ptr<FileStream>& stream;
    const ApiArguments& arguments;
};

using FileMethod = ApiResult (*)(const FileCall&);

ApiResult Open(const FileCall& call) {
    // A stream still open is closed first, so a second "open" leaks nothing.
    call.stream.reset();
    std::string path = call.arguments.AsText(1);
    std::string mode = call.arguments.AsText(2);
    if (path.empty() || !IsValidStreamMode(mode)) return XmlFlag(false);
    call.stream = call.host.OpenStream(path, mode);
    return XmlFlag(call.stream != nullptr);
}

ApiResult Close(const FileCall& call) {
    call.stream.reset();
    return std::nullopt;
}

ApiResult GetC(const FileCall& call) {
    if (!call.stream) return XmlNull();
    std::optional<unsigned char> byte = call.stream->GetByte();
    if (!byte) return XmlNull();
    return XmlText(*byte == 0 ? std::string() : std::string(1, static_cast<char>(*byte)));
}

ApiResult PutText(const FileCall& call) {
    if (call.stream) call.stream->Put(call.arguments.AsText(1));
    return std::nullopt;
}

ApiResult GetS(const FileCall& call) {
    if (!call.stream) return XmlNull();
    std::optional<std::string> line = call.stream->GetLine(kLineLimit);
    if (!line) return XmlNull();
    // The line is a C string: a zero byte ends it.
    return XmlText(line->substr(0, line->find('\0')));
}

ApiResult Seek(const FileCall& call) {
    if (!call.stream) return XmlInteger(-1);
    std::string_view origin = call.arguments.Raw(2);
    SeekOrigin from = origin == "cur"   ? SeekOrigin::Current
                      : origin == "end" ? SeekOrigin::End
                                        : SeekOrigin::Begin;
    return XmlInteger(call.stream->Seek(call.arguments.AsInteger64(1), from));
}

ApiResult Tell(const FileCall& call) {
    return XmlInteger64(call.stream ? call.stream->Tell() : -1);
}

ApiResult Eof(const FileCall& call) {
    return XmlFlag(call.stream && call.stream->AtEnd());
}

struct FileMethodEntry {
    std::string_view name;
    FileMethod run;
};

// Compared in this order, exactly ("new" is handled before the table).
constexpr FileMethodEntry kFileMethods[] = {
    {"open", Open},    {"close", Close}, {"getc", GetC}, {"putc", PutText}, {"gets", GetS},
    {"puts", PutText}, {"seek", Seek},   {"tell", Tell}, {"eof", Eof},
};

}  // namespace

bool IsValidStreamMode(std::string_view mode) {
    if (mode.empty() || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return false;
    bool plus = false, binary = false, text = false;
    for (char c : mode.substr(1)) {
        bool* seen = c == '+' ? &plus : c == 'b' ? &binary : c == 't' ? &text : nullptr;
        if (!seen || *seen) return false;
        *seen = true;
    }
    return !(binary && text);
}

std::vector<std::string_view> FileObjectFamily::MethodNames() {
    std::vector<std::string_view> names{"new"};
    for (const FileMethodEntry& entry : kFileMethods) names.push_back(entry.name);
    return names;
}

ApiResult FileObjectFamily::Call(std::string_view method, const ApiArguments& arguments) {
    if (method == "new") {
        std::int32_t id = NextFileObjectId();
        objects_[id] = nullptr;
        return XmlInteger(id);
    }
    for (const FileMethodEntry& entry : kFileMethods) {
        if (entry.name != method) continue;
        auto object = objects_.find(arguments.AsInteger(0));
        if (object == objects_.end()) return std::nullopt;
        return entry.run(FileCall{host_, object->second, arguments});
    }
    return std::nullopt;
}

}  // namespace kestrel
