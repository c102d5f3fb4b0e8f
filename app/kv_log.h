// The application log: one text file per run, one timestamped line per call.
#pragma once

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QObject>
#include <QString>

#include <functional>
#include <mutex>

class KV_Log : public QObject
{
    Q_OBJECT

public:
    // Where the log reads the time; tests give a fixed one.
    using Clock = std::function<QDateTime()>;
    // How the log's own boxes reach the operator (warning and information boxes).
    using MessageSink =
        std::function<void(QMessageBox::Icon p_Icon, const QString& p_sTitle, const QString& p_sText)>;

    KV_Log();
    // The file name is taken from p_Clock now; dates and times are formatted with
    // p_Locale (the system locale by default, as the operator reads it).
    explicit KV_Log(Clock p_Clock, const QLocale& p_Locale = QLocale::system());
    ~KV_Log() override;

    // The folder is the path itself when it ends in a separator, otherwise the path + "/".
    void setLogDirectory(const QString& p_sPath);
    void createLogFile();
    void setConsoleOutput(bool p_bEcho);
    void writeLine(const char* p_szText);
    void writeLine(const QString& p_sText);
    void writeHeader();
    void closeFile();

    QString folder() const;
    QString fileName() const;
    QString filePath() const;
    bool isEnabled() const;

    // Replaces the process-wide message sink; an empty function restores the
    // default (modal boxes on the GUI thread, a warning on the console otherwise).
    static void setMessageSink(MessageSink p_Sink);

signals:
    // Every line given to writeLine, without its time stamp, on the writer's thread.
    void LineWritten(QString p_sLine);
    void LogFileCantBeOpen();
    void LogFileNotOpened();
    void LogFileNotWritable();
    void LogFileNotRenamed();
    void LogFileNotReset();

public slots:
    void renameFile(QString p_sNewName);
    void renameFile();
    void resetFile();
    void openLogFile();

private:
    QString dateText(const QDateTime& p_Now) const;
    QString timeText(const QDateTime& p_Now) const;
    static void showMessage(QMessageBox::Icon p_Icon, const QString& p_sTitle, const QString& p_sText);

    bool m_bConsoleEcho = false;
    bool m_bEnabled = false;
    bool m_bSuppressBanner = false;
    QFile m_File;
    QString m_sFolder;
    QString m_sFileName;

    Clock m_Clock;
    QLocale m_Locale;
    // Lines may come from an acquisition thread while the GUI thread writes.
    mutable std::recursive_mutex m_Mutex;
};

// The log that free functions write through: a never-opened object created
// before main (its lines go nowhere), then the main window's log.
extern KV_Log* GlobalLog;

KV_Log* CreateGlobalLog();

// Writes one line to p_pLog; a null log (a window opened without one) takes nothing.
void WriteLogLine(KV_Log* p_pLog, const QString& p_sLine);
// Writes one line to GlobalLog.
void WriteLogLine(const QString& p_sLine);
void SetGlobalLog(KV_Log* p_pLog);
