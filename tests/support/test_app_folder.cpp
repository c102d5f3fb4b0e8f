// Stages a temporary application tree for tests.
#include "support/test_app_folder.h"

#include "app/app_paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

void CopyTree(const QString& p_sFrom, const QString& p_sTo)
{
    QDir().mkpath(p_sTo);
    QDirIterator it(p_sFrom, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString sPath = it.next();
        const QString sTarget = p_sTo + "/" + QDir(p_sFrom).relativeFilePath(sPath);
        if (it.fileInfo().isDir())
            QDir().mkpath(sTarget);
        else
            QFile::copy(sPath, sTarget);
    }
}

} // namespace

TestAppFolder::TestAppFolder()
{
    if (!m_Dir.isValid())
        return;
    const QString sResources = QString::fromUtf8(qgetenv("KESTIVO_RESOURCES_DIR").isEmpty()
                                                     ? QByteArray(KESTIVO_RESOURCES_DIR)
                                                     : qgetenv("KESTIVO_RESOURCES_DIR"));
    const QString sRoot = m_Dir.path();
    for (const char* sub : {"Images", "LUT"})
        if (QFileInfo::exists(sResources + "/" + sub))
            CopyTree(sResources + "/" + sub, sRoot + "/bin/" + sub);
    QDir().mkpath(sRoot + "/bin/Logs");
    for (const char* sub : {"Camfiles", "I2C_Configurations"})
        if (QFileInfo::exists(sResources + "/" + sub))
            CopyTree(sResources + "/" + sub, sRoot + "/" + sub);
    for (const char* sub : {"Camfiles", "BadPixelsFiles", "SavedImages", "SavedConfigurations",
                            "CalibrationFile", "I2C_Configurations"})
        QDir().mkpath(sRoot + "/" + sub);
    SetApplicationDirPathOverride(binPath());
}

TestAppFolder::~TestAppFolder()
{
    SetApplicationDirPathOverride(QString());
}

QString TestAppFolder::binPath() const { return m_Dir.path() + "/bin"; }
QString TestAppFolder::rootPath() const { return m_Dir.path(); }
QString TestAppFolder::filePath(const QString& p_sRelativeToBin) const
{
    return QDir::cleanPath(binPath() + "/" + p_sRelativeToBin);
}
