// swfc: compiles a movie description into a SWF file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <system_error>

#include "tools/swfwriter/description.h"

namespace {

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: swfc <input.swfdesc> -o <output.swf> [--compress|--no-compress]\n"
                 "Compiles a movie description into a SWF file.\n");
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return !in.bad();
}

// Writes beside the target and renames, so a failed run never leaves half a movie behind.
bool WriteFileWhole(const std::string& path, const swf::Bytes& bytes) {
    std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(path, ec);
        std::filesystem::rename(temp, path, ec);
    }
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string input, output;
    int compression = -1;  // -1: as the description says
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-o" && i + 1 < argc) {
            output = argv[++i];
        } else if (a == "--compress") {
            compression = 1;
        } else if (a == "--no-compress") {
            compression = 0;
        } else if (a == "-h" || a == "--help") {
            PrintUsage();
            return 0;
        } else if (input.empty() && !a.empty() && a[0] != '-') {
            input = a;
        } else {
            PrintUsage();
            return 2;
        }
    }
    if (input.empty() || output.empty()) {
        PrintUsage();
        return 2;
    }

    std::string text;
    if (!ReadFile(input, text)) {
        std::fprintf(stderr, "swfc: cannot read %s\n", input.c_str());
        return 1;
    }
    swf::MovieBuilder movie;
    std::string error;
    if (!swf::ParseDescription(text, movie, error)) {
        std::fprintf(stderr, "%s: %s\n", input.c_str(), error.c_str());
        return 1;
    }
    if (compression >= 0) {
        movie.Header().compression =
            compression ? swf::Compression::kZlib : swf::Compression::kNone;
    }
    std::optional<swf::Bytes> bytes = movie.Build(&error);
    if (!bytes) {
        std::fprintf(stderr, "swfc: %s\n", error.c_str());
        return 1;
    }
    if (!WriteFileWhole(output, *bytes)) {
        std::fprintf(stderr, "swfc: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
