// The application log file, its banner and line formats, and the operator's log actions.
#include "app/kv_log.h"

#include <QApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QThread>
#include <QUrl>

#include <cstdio>

namespace {

KV_Log::MessageSink& Sink()
{
    static KV_Log::MessageSink s_Sink;
    return s_Sink;
}

// The object created before main, which GlobalLog falls back to when the
// main window's log goes away.
KV_Log* s_pPreMainLog = nullptr;

} // namespace

KV_Log* GlobalLog = CreateGlobalLog();

KV_Log* CreateGlobalLog()
{
    if (!s_pPreMainLog)
        s_pPreMainLog = new KV_Log;
    return s_pPreMainLog;
}

void SetGlobalLog(KV_Log* p_pLog)
{
    GlobalLog = p_pLog ? p_pLog : s_pPreMainLog;
}

KV_Log::KV_Log()
    : KV_Log(&QDateTime::currentDateTime)
{
}

KV_Log::KV_Log(Clock p_Clock, const QLocale& p_Locale)
    : QObject(nullptr)
    , m_Clock(p_Clock ? std::move(p_Clock) : Clock(&QDateTime::currentDateTime))
    , m_Locale(p_Locale)
{
    m_sFileName = QStringLiteral("Log_") + m_Locale.toString(m_Clock(), QStringLiteral("dd_MMM_yyyy_hh_mm"))
                  + QStringLiteral(".txt");
}

KV_Log::~KV_Log()
{
    // Free functions may still log after the main window (and its log) is gone.
    if (GlobalLog == this)
        GlobalLog = (this == s_pPreMainLog) ? nullptr : s_pPreMainLog;
    closeFile();
}

void KV_Log::setLogDirectory(const QString& p_sPath)
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    if (p_sPath.endsWith(QLatin1Char('/')))
        m_sFolder = p_sPath;
    else if (p_sPath.endsWith(QLatin1Char('\\')))
        m_sFolder = p_sPath.left(p_sPath.size() - 1) + QLatin1Char('/');
    else
        m_sFolder = p_sPath + QLatin1Char('/');
}

void KV_Log::createLogFile()
{
    std::unique_lock<std::recursive_mutex> lock(m_Mutex);
    if (!QDir(m_sFolder).exists() && !QDir().mkpath(m_sFolder)) {
        m_bEnabled = false;
        const QString sFolder = m_sFolder;
        lock.unlock();
        showMessage(QMessageBox::Warning, QStringLiteral("Failed chen creating directory"),
                    QStringLiteral("The directory ") + sFolder
                        + QStringLiteral(" cannot be created.\nNo Log will be saved."));
        return;
    }
    m_File.close();
    m_File.setFileName(m_sFolder + m_sFileName);
    const QIODevice::OpenMode mode = m_File.exists() ? (QIODevice::Append | QIODevice::Text)
                                                     : (QIODevice::WriteOnly | QIODevice::Text);
    if (!m_File.open(mode)) {
        lock.unlock();
        emit LogFileCantBeOpen();
        return;
    }
    if (!m_bSuppressBanner)
        writeHeader();
    m_bEnabled = true;
    m_bSuppressBanner = false;
    m_File.close();
}

void KV_Log::setConsoleOutput(bool p_bEcho)
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    m_bConsoleEcho = p_bEcho;
}

void KV_Log::writeLine(const char* p_szText)
{
    writeLine(QString::fromUtf8(p_szText ? p_szText : ""));
}

void KV_Log::writeLine(const QString& p_sText)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_Mutex);
        if (m_bConsoleEcho)
            qDebug().noquote() << p_sText;
        if (m_bEnabled) {
            const QDateTime now = m_Clock();
            if (m_File.open(QIODevice::Append | QIODevice::Text)) {
                if (m_File.isWritable())
                    m_File.write((dateText(now) + QStringLiteral(" - ") + timeText(now) + QStringLiteral(" : ")
                                  + p_sText + QLatin1Char('\n'))
                                     .toUtf8());
                m_File.close();
            }
        }
    }
    // Outside the lock: a receiver may write to the log again.
    emit LineWritten(p_sText);
}

void KV_Log::writeHeader()
{
    std::unique_lock<std::recursive_mutex> lock(m_Mutex);
    if (!m_File.isOpen()) {
        lock.unlock();
        emit LogFileNotOpened();
        return;
    }
    if (!m_File.isWritable()) {
        lock.unlock();
        emit LogFileNotWritable();
        return;
    }
    const QDateTime now = m_Clock();
    m_File.write((QStringLiteral("\n***** LOG ") + dateText(now) + QStringLiteral(" - ") + timeText(now)
                  + QStringLiteral(" *****\n\n"))
                     .toUtf8());
}

void KV_Log::closeFile()
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    if (m_File.isOpen())
        m_File.close();
}

QString KV_Log::folder() const
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    return m_sFolder;
}

QString KV_Log::fileName() const
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    return m_sFileName;
}

QString KV_Log::filePath() const
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    return m_sFolder + m_sFileName;
}

bool KV_Log::isEnabled() const
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    return m_bEnabled;
}

void KV_Log::setMessageSink(MessageSink p_Sink)
{
    Sink() = std::move(p_Sink);
}

void KV_Log::renameFile(QString p_sNewName)
{
    std::unique_lock<std::recursive_mutex> lock(m_Mutex);
    m_sFileName = p_sNewName;
    m_File.close();
    const bool bRenamed = m_File.rename(m_sFolder + p_sNewName);
    m_bSuppressBanner = true;
    lock.unlock();
    if (!bRenamed)
        emit LogFileNotRenamed();
    else
        showMessage(QMessageBox::Information, QStringLiteral("File renamed"),
                    QStringLiteral("The log file has been renamed to ") + p_sNewName);
    createLogFile();
}

void KV_Log::renameFile()
{
    renameFile(QStringLiteral("Log_Renamed.txt"));
}

void KV_Log::resetFile()
{
    std::unique_lock<std::recursive_mutex> lock(m_Mutex);
    m_File.close();
    const bool bRemoved = m_File.remove();
    lock.unlock();
    if (!bRemoved)
        emit LogFileNotReset();
    else
        showMessage(QMessageBox::Information, QStringLiteral("File reseted"),
                    QStringLiteral("The log file has been reseted."));
    createLogFile();
}

void KV_Log::openLogFile()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(filePath()));
}

QString KV_Log::dateText(const QDateTime& p_Now) const
{
    return m_Locale.toString(p_Now.date(), QStringLiteral("dd MMM yyyy"));
}

QString KV_Log::timeText(const QDateTime& p_Now) const
{
    return m_Locale.toString(p_Now.time(), QStringLiteral("hh:mm:ss"));
}

void KV_Log::showMessage(QMessageBox::Icon p_Icon, const QString& p_sTitle, const QString& p_sText)
{
    if (Sink()) {
        Sink()(p_Icon, p_sTitle, p_sText);
        return;
    }
    // A box needs a widget application and the GUI thread; anywhere else the
    // operator still finds the text on the console.
    QCoreApplication* pApp = QCoreApplication::instance();
    if (!qobject_cast<QApplication*>(pApp) || QThread::currentThread() != pApp->thread()) {
        qWarning().noquote() << p_sTitle << ":" << p_sText;
        return;
    }
    QMessageBox box(p_Icon, p_sTitle, p_sText, QMessageBox::Ok);
    box.exec();
}

void WriteLogLine(KV_Log* p_pLog, const QString& p_sLine)
{
    if (p_pLog != nullptr)
        p_pLog->writeLine(p_sLine);
}

void WriteLogLine(const QString& p_sLine)
{
    WriteLogLine(GlobalLog, p_sLine);
}
