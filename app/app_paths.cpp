// The application folder and its test override.
#include "app/app_paths.h"

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex g_PathMutex;
QString g_sOverride;
}

QString ApplicationDirPath()
{
    {
        QMutexLocker lock(&g_PathMutex);
        if (!g_sOverride.isEmpty())
            return g_sOverride;
    }
    return QCoreApplication::applicationDirPath();
}

void SetApplicationDirPathOverride(const QString& p_sPath)
{
    QMutexLocker lock(&g_PathMutex);
    g_sOverride = p_sPath;
    while (g_sOverride.endsWith('/') && g_sOverride.size() > 1)
        g_sOverride.chop(1);
}
