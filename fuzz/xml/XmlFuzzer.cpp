// libFuzzer target for the XML document's loading, parsing and editing.
#include "XmlFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!CheckXmlDocumentInput(data, size))
        __builtin_trap();
    return 0;
}
