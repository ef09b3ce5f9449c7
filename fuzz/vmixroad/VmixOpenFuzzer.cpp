// libFuzzer target: every input is a candidate set folder opened as the
// editor opens one.
#include "VmixOpenCheck.h"

#include "fuzz/support/FolderArchive.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const ScratchFolder folder(L"kelvane-fuzz-open-");
    const std::string fault = CheckVmixOpenRoad(std::string(reinterpret_cast<const char*>(data), size), folder.Path());
    if (!fault.empty()) {
        std::fprintf(stderr, "set opening road fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
