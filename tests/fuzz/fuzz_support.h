// What the file-reader fuzz targets share: the input written to a scratch file, Qt's messages silenced.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace fuzz {

inline void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// A scratch folder of this process, made once.
inline QString ScratchDir()
{
    static const QString s_sDir = [] {
        const QString sDir = QDir::tempPath() + QString("/kestivo-fuzz-%1").arg(getpid());
        QDir().mkpath(sDir);
        qInstallMessageHandler(Quiet);
        return sDir;
    }();
    return s_sDir;
}

// Writes the input to p_sName in the scratch folder and returns its path.
inline QString WriteInput(const uint8_t* p_pData, size_t p_uSize, const QString& p_sName)
{
    const QString sPath = ScratchDir() + "/" + p_sName;
    QFile file(sPath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(p_pData), static_cast<qint64>(p_uSize));
    return sPath;
}

} // namespace fuzz
