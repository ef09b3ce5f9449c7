#pragma once
// The class choice by kind.
#include "SourceObject.h"

// Makes the object for a record: kinds 4, 5, 12 and 20 are virtual sets
// (CMultiViewSource), every other kind an input (CObsSource). The caller owns
// the object and deletes it through its virtual destructor.
CSourceObject* CreateSourceObject(ObsMain* owner, SourceInfo* info, HWND notifyWindow);
