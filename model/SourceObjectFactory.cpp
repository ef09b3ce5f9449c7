#include "SourceObjectFactory.h"

#include "MultiViewSource.h"

CSourceObject* CreateSourceObject(ObsMain* owner, SourceInfo* info, HWND notifyWindow)
{
    if (info && IsVirtualSetKind(info->kind))
        return new CMultiViewSource(owner, info, notifyWindow);
    return new CObsSource(owner, info, notifyWindow);
}
