#include "ProjectSettings.h"

ProjectSettings g_settings;
