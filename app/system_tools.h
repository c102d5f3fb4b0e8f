// The desktop's system tools that stand for the Windows Device Manager and network connections.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct SystemToolCandidate
{
    QString Program;
    QStringList Arguments;
};

// Hardware browsers, then network-connection editors, in order of preference.
const QList<SystemToolCandidate>& DeviceManagerCandidates();
const QList<SystemToolCandidate>& NetworkConnectionsCandidates();

// Starts the first candidate found on the PATH, detached; returns its program
// name, or an empty text when none is installed or none would start.
QString StartSystemTool(const QList<SystemToolCandidate>& p_Candidates);
// "a, b, c": the program names, for the operator's message.
QString SystemToolNames(const QList<SystemToolCandidate>& p_Candidates);
