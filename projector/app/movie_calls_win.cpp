#include "projector/app/movie_calls.h"
#include "projector/bridge/identifier_table.h"

namespace kestrel::projector {

void RegisterMovieCallNames() {
    // Numbered from 0x0FEEBBCF in this order; never interned.
    kestrel::RegisterMovieCallNames();
}

}  // namespace kestrel::projector
