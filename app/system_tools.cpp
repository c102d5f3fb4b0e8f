// The desktop's system tools that stand for the Windows Device Manager and network connections.
#include "app/system_tools.h"

#include <QProcess>
#include <QStandardPaths>

const QList<SystemToolCandidate>& DeviceManagerCandidates()
{
    static const QList<SystemToolCandidate> list = {
        {QStringLiteral("hardinfo"), {}},
        {QStringLiteral("lshw-gtk"), {}},
        {QStringLiteral("kinfocenter"), {}},
    };
    return list;
}

const QList<SystemToolCandidate>& NetworkConnectionsCandidates()
{
    static const QList<SystemToolCandidate> list = {
        {QStringLiteral("nm-connection-editor"), {}},
        {QStringLiteral("gnome-control-center"), {QStringLiteral("network")}},
    };
    return list;
}

QString StartSystemTool(const QList<SystemToolCandidate>& p_Candidates)
{
    for (const SystemToolCandidate& candidate : p_Candidates) {
        const QString sPath = QStandardPaths::findExecutable(candidate.Program);
        if (sPath.isEmpty())
            continue;
        if (QProcess::startDetached(sPath, candidate.Arguments))
            return candidate.Program;
    }
    return QString();
}

QString SystemToolNames(const QList<SystemToolCandidate>& p_Candidates)
{
    QStringList names;
    for (const SystemToolCandidate& candidate : p_Candidates)
        names << candidate.Program;
    return names.join(QStringLiteral(", "));
}
