#include <string>
#include <vector>

#include "tools/kpack/kpack_command.h"

int main(int argc, char** argv) {
    return kestrel::RunKpack(std::vector<std::string>(argv + 1, argv + argc));
}
