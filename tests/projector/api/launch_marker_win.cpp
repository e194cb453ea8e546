// A program for launch tests: writes "launched" into a file named after
// itself with ".marker" added, then ends.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    char path[MAX_PATH] = {};
    if (!GetModuleFileNameA(nullptr, path, sizeof path)) return 1;
    std::string marker = std::string(path) + ".marker";
    FILE* file = std::fopen(marker.c_str(), "wb");
    if (!file) return 1;
    std::fputs("launched", file);
    return std::fclose(file) == 0 ? 0 : 1;
}
