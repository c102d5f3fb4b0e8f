// The folder of the save-all series of the frame paths.
#include "pipeline/frame_handoff.h"

#include "app/app_paths.h"
#include "app/globals.h"
#include "board/acquisition_state.h"

QString SeriesFolder()
{
    return ApplicationDirPath() + QStringLiteral("/../SavedImages/") + QString::fromUtf8(g_szProxyName);
}
