// Linked into every program of the sanitizer build. Mesa unloads its
// software driver when the engine closes its display, before the leak check
// runs at exit; the driver's own allocations then show as leaks from an
// unknown module that no suppression can name. Pinning the driver in programs
// that use the engine keeps its name on those reports (see the leak
// suppressions in scripts/sanitizers).
#include <dlfcn.h>

namespace {

constexpr const char* kMesaSoftwareDriver = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so";

__attribute__((constructor)) void KeepMesaDriverLoaded()
{
    if (dlopen("libobs.so.0", RTLD_LAZY | RTLD_NOLOAD) == nullptr)
        return;  // no engine in this program
    dlopen(kMesaSoftwareDriver, RTLD_LAZY | RTLD_NODELETE);
}

}  // namespace
