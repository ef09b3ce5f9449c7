#pragma once
// The one engine object of the process. Its constructor installs the log
// handler; its destructor clears every source before libobs shuts down.
#include "ObsBasic.h"

class ObsMain : public ObsBasic {
public:
    ObsMain();
    ~ObsMain() override;
};

// The process-wide engine pointer: whoever needs the engine and finds it empty
// creates the object; the object clears the pointer when destroyed.
extern ObsMain* g_obsMain;

// Writes the engine's count of blocks still allocated, after the engine is gone.
void LogMemoryLeaks();
