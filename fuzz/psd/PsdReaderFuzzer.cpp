// libFuzzer target: every input is a candidate Photoshop file.
#include "PsdReaderCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string fault = CheckPsdReader(std::string(reinterpret_cast<const char*>(data), size), L"");
    if (!fault.empty()) {
        std::fprintf(stderr, "Photoshop reader fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
