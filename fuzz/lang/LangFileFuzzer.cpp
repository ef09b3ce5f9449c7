// libFuzzer target: every input is a candidate language file.
#include "LangFileCheck.h"

#include "platform/FileUtil.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::wstring folder = platform::MakeTempFolder(L"kelvane-fuzz-lang-");
    const std::string fault = CheckLangFileInput(std::string(reinterpret_cast<const char*>(data), size), folder);
    if (!fault.empty()) {
        std::fprintf(stderr, "language file fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
