#include "ObsMain.h"

#include "EngineLog.h"

#include <obs.h>
#include <util/bmem.h>

ObsMain* g_obsMain = nullptr;

namespace {

bool RemoveSource(void*, obs_source_t* source)
{
    obs_source_remove(source);
    return true;
}

}  // namespace

ObsMain::ObsMain() { base_set_log_handler(EngineLogHandler, nullptr); }

ObsMain::~ObsMain()
{
    for (uint32_t i = 0; i < 6; ++i)
        obs_set_output_source(i, nullptr);
    obs_enum_sources(RemoveSource, nullptr);
    blog(LOG_INFO, "All scene data cleared");
    blog(LOG_INFO, "------------------------------------------------");
    if (g_obsMain == this)
        g_obsMain = nullptr;
}

void LogMemoryLeaks() { blog(LOG_INFO, "Number of memory leaks: %ld", bnum_allocs()); }
