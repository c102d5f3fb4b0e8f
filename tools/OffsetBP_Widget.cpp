// The bad-pixel offset window: its spin boxes, and reading and saving the proxy's section of the offset file.
#include "tools/OffsetBP_Widget.h"

#include "ui_OffsetBP_Widget.h"

#include "app/app_paths.h"
#include "app/bp_offset_file.h"
#include "app/kv_log.h"
#include "app/message_boxes.h"

#include <QCloseEvent>

#include <cstdio>

namespace {

void Print(const QByteArray& p_Text)
{
    std::fwrite(p_Text.constData(), 1, static_cast<size_t>(p_Text.size()), stdout);
    std::fflush(stdout);
}

} // namespace

OffsetBP_Widget::OffsetBP_Widget(QWidget* parent)
    : QWidget(parent)
    , m_pOwnLog(new KV_Log)
    , m_pLog(m_pOwnLog)
    , m_sFileName(QString::fromLatin1(BPOffsetFile::FileName))
{
    ui = new Ui::OffsetBP_Widget;
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("BP Offset"));
    // A hidden tool window must not keep the application running.
    setAttribute(Qt::WA_QuitOnClose, false);
}

OffsetBP_Widget::~OffsetBP_Widget()
{
    SaveBPOffsetFile();
    delete ui;
    delete m_pOwnLog;
}

void OffsetBP_Widget::SetLog(KV_Log* p_pLog)
{
    m_pLog = p_pLog ? p_pLog : m_pOwnLog;
}

QString OffsetBP_Widget::FilePath() const
{
    return ApplicationDirPath() + "/" + m_sFileName;
}

void OffsetBP_Widget::WarnFileProblem(const QString& p_sText)
{
    PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Problem with file"), p_sText, {QStringLiteral("OK")}});
}

void OffsetBP_Widget::SetProxyName(QString p_sProxyName)
{
    Print(p_sProxyName.toUtf8() + "\n");
    m_sProxyName = p_sProxyName;
    m_HeaderLine = BPOffsetHeaderLine(p_sProxyName);
    Print(m_HeaderLine);
    CreateBPOffsetFile();
}

void OffsetBP_Widget::CreateBPOffsetFile()
{
    const BPOffsetEnsureResult result = EnsureBPOffsetSection(FilePath(), m_HeaderLine);
    if (result.Status != BPOffsetFileStatus::Ok) {
        WarnFileProblem(QStringLiteral("A problem occured while creating a BP offset file."));
        Print("Problem while opening BP_conf file\n");
        return;
    }
    if (result.Created)
        m_pLog->writeLine("Creating BP Offset File done (" + m_sFileName + ")");
    if (result.Present)
        m_pLog->writeLine("Proxy present in the BP Offset File");
}

void OffsetBP_Widget::ReadBPOffsetFile()
{
    m_bEndReached = false;
    m_Before.clear();
    m_After.clear();
    const BPOffsetReadResult result = ReadBPOffsetSection(FilePath(), m_HeaderLine, true);
    if (result.Status != BPOffsetFileStatus::Ok) {
        WarnFileProblem(QStringLiteral("A problem occured while creating a BP offset file."));
        m_pLog->writeLine("Problem while opening BP Offset File, no values can be read ... Init to 0");
        return;
    }
    const BPOffsetSplit& split = result.Split;
    m_Before = split.Before;
    m_After = split.After;
    if (!split.Found) {
        Print("End of File\n");
        m_bEndReached = true;
    }
    Print("Before : " + m_Before + "\n");
    if (split.Found) {
        // The spin boxes hold the values within -100 to 100; their slots hand them on.
        ui->spinBox_X->setValue(split.XRead ? split.X : 0);
        ui->spinBox_Y->setValue(split.YRead ? split.Y : 0);
        if (!split.XRead || !split.YRead) {
            const QString sProxy = QString::fromUtf8(m_HeaderLine.left(m_HeaderLine.size() - 3));
            m_pLog->writeLine("BP Offset File: the offsets of " + sProxy + " cannot be read, 0 is used instead");
            WarnFileProblem("The BP offset file holds no readable offsets for " + sProxy
                            + ": 0 is used instead. The rest of the file is kept as it is.");
        }
    } else {
        ui->spinBox_X->setValue(0);
        ui->spinBox_Y->setValue(0);
    }
    Print("After : " + m_After + "\n");
}

void OffsetBP_Widget::SaveBPOffsetFile()
{
    if (!m_bShown)
        return;
    if (m_HeaderLine.isEmpty()) {
        // No proxy yet: there is no section to put the values in.
        m_pLog->writeLine("No proxy set, the BP offsets are not saved");
        m_bShown = false;
        return;
    }
    Print("Save into File BP\n");
    BPOffsetSplit split;
    const BPOffsetFileStatus status =
        SaveBPOffsetSection(FilePath(), m_HeaderLine, ui->spinBox_X->value(), ui->spinBox_Y->value(), &split);
    if (status != BPOffsetFileStatus::Ok) {
        WarnFileProblem(QStringLiteral("A problem occured while opening the BP offset file."));
        m_pLog->writeLine("Problem while opening BP Offset file, the values entered won't be saved");
        return;
    }
    m_Before = split.Before;
    m_After = split.After;
    m_bEndReached = false;
    m_bShown = false;
}

void OffsetBP_Widget::SpinBox_X_Changed(int p_iValue)
{
    m_iXOffset = p_iValue;
    emit XOffsetChanged(p_iValue);
}

void OffsetBP_Widget::SpinBox_Y_Changed(int p_iValue)
{
    m_iYOffset = p_iValue;
    emit YOffsetChanged(p_iValue);
}

void OffsetBP_Widget::closeEvent(QCloseEvent* p_pEvent)
{
    SaveBPOffsetFile();
    p_pEvent->accept();
    m_bShown = false;
}
