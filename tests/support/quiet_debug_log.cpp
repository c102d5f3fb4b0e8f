#include "quiet_debug_log.h"

#include <QByteArray>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QtTest>

#include <cstdio>
#include <deque>

namespace {

QMutex g_Mutex;
std::deque<QByteArray> g_Lines;
int g_iKeptLines = 300;
QtMessageHandler g_PreviousHandler = nullptr;

void HoldingHandler(QtMsgType p_Type, const QMessageLogContext& p_Context, const QString& p_sMessage)
{
    if (p_Type != QtDebugMsg) {
        if (g_PreviousHandler)
            g_PreviousHandler(p_Type, p_Context, p_sMessage);
        return;
    }
    QMutexLocker lock(&g_Mutex);
    g_Lines.push_back(p_sMessage.toLocal8Bit());
    while (int(g_Lines.size()) > g_iKeptLines)
        g_Lines.pop_front();
}

} // namespace

void HoldDebugLines(int p_iKeptLines)
{
    {
        QMutexLocker lock(&g_Mutex);
        g_iKeptLines = qMax(1, p_iKeptLines);
    }
    QtMessageHandler previous = qInstallMessageHandler(HoldingHandler);
    if (previous != HoldingHandler)
        g_PreviousHandler = previous;
}

void ShowHeldDebugLinesIfFailed()
{
    QMutexLocker lock(&g_Mutex);
    if (QTest::currentTestFailed()) {
        std::fprintf(stderr, "---- last %d debug lines of %s(%s) ----\n", int(g_Lines.size()),
                     QTest::currentTestFunction(), QTest::currentDataTag() ? QTest::currentDataTag() : "");
        for (const QByteArray& line : g_Lines)
            std::fprintf(stderr, "QDEBUG : %s\n", line.constData());
        std::fprintf(stderr, "---- end of debug lines ----\n");
        std::fflush(stderr);
    }
    g_Lines.clear();
}
