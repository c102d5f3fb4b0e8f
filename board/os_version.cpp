// Operating-system detection for the capture library.
#include "board/os_version.h"

#include "app/kv_log.h"

#include <QString>
#include <QSysInfo>

int DetectWindowsVersion(KV_Log* p_pLog)
{
    constexpr int kCurrentSystemCode = 0xC0;
    WriteLogLine(p_pLog, "Operating system: " + QSysInfo::prettyProductName() + " (kernel "
                          + QSysInfo::kernelVersion() + ")");
    return kCurrentSystemCode;
}
