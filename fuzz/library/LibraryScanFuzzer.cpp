// libFuzzer target: every input is a candidate library folder of sets.
#include "LibraryScanCheck.h"

#include "fuzz/support/FolderArchive.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const ScratchFolder folder(L"kelvane-fuzz-library-");
    const std::string fault = CheckLibraryScan(std::string(reinterpret_cast<const char*>(data), size), folder.Path());
    if (!fault.empty()) {
        std::fprintf(stderr, "library scanner fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
