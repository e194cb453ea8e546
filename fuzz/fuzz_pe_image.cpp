// Reads arbitrary bytes as a PE file. Besides the sanitizers' checks, it
// aborts when a file whose resources were read saves to one that does not
// read back with the same resources.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "builder/pe/pe_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrel::pe;
    PeImage image;
    if (image.Open(std::vector<uint8_t>(data, data + size)) != PeError::None) return 0;
    image.ExportedNames();
    std::vector<uint8_t> saved;
    if (image.Save(&saved) != PeError::None) return 0;
    PeImage reopened;
    if (reopened.Open(saved) != PeError::None) std::abort();
    const ResourceList& a = image.resources();
    const ResourceList& b = reopened.resources();
    if (a.size() != b.size()) std::abort();
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].type != b[i].type || a[i].name != b[i].name || a[i].language != b[i].language ||
            a[i].data != b[i].data) {
            std::abort();
        }
    }
    return 0;
}
