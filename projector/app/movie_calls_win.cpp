#include "projector/app/browser_functions_win.h"
#include "projector/app/movie_calls.h"

namespace kestrel::projector {

void RegisterMovieCallNames() {
    for (const char* name : kMovieCallNames) HostGetStringIdentifier(name);
}

}  // namespace kestrel::projector
