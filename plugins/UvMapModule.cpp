// The project's own engine module. Loading only registers the filter type:
// nothing is read or drawn until a filter is created.
#include "ObsUvMapFilter.h"

#include <obs-module.h>

OBS_DECLARE_MODULE()

MODULE_EXPORT const char* obs_module_name(void) { return "UV map filter"; }
MODULE_EXPORT const char* obs_module_description(void) { return "Maps a picture through a 16-bit UV map"; }

bool obs_module_load(void)
{
    ObsUvMapFilter::Register();
    return true;
}
