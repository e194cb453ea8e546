// flash.external.ExternalInterface: the XML and quoting helpers, and calls through the host.
#include "builtins.h"
#include "object.h"

namespace kestrel::avm1 {

void installExternalInterface(Vm& vm) {
    Object* flash = vm.newObject();
    Object* external = vm.newObject();
    Object* ei = vm.newObject();
    vm.global()->define("flash", Value(flash), kDontEnum);
    flash->define("external", Value(external));
    external->define("ExternalInterface", Value(ei));
}

}  // namespace kestrel::avm1
