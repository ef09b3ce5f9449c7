// libFuzzer target: every input is a candidate recovery journal folder.
#include "JournalReaderCheck.h"

#include "fuzz/support/FolderArchive.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const ScratchFolder folder(L"kelvane-fuzz-journal-");
    const std::string fault = CheckJournalReader(std::string(reinterpret_cast<const char*>(data), size), folder.Path());
    if (!fault.empty()) {
        std::fprintf(stderr, "recovery journal reader fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
