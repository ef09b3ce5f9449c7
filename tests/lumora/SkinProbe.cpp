// Prints the skin values that Lumora loaded while it was being loaded into
// this process, one "index=value" line each, then GetValue(99).
#include "lumora/Skin.h"

#include <cstdio>

int main()
{
    for (const auto& [index, value] : CSkin::m_mColor)
        std::printf("%d=%d\n", index, value);
    std::printf("99=%d\ncount=%zu\nskin=%d\n", CSkin::GetValue(99), CSkin::m_mColor.size(), CSkin::m_nSkin);
    return 0;
}
