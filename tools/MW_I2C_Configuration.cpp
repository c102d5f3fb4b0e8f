// The I2C configuration sender: an I2C configuration file as a table of register writes, its checked rows sent to the sensor.
#include "tools/MW_I2C_Configuration.h"

#include "ui_MW_I2C_Configuration.h"

#include "app/app_paths.h"
#include "app/digiboard_kind.h"
#include "app/file_dialog.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "board/board_link.h"
#include "board/i2c_configuration_file.h"
#include "app/message_boxes.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QPixmap>
#include <QTableWidgetItem>

namespace {
constexpr qulonglong kByteLimit = 255;
constexpr int kRowHeight = 20;
constexpr int kPauseBetweenRowsMs = 100;

enum Column { ColumnName = 0, ColumnTypeMem = 1, ColumnAddress = 2, ColumnValue = 3 };

} // namespace

MW_I2C_Configuration::MW_I2C_Configuration(QWidget* parent) : QMainWindow(parent)
{
    m_pOwnLog = new KV_Log;
    m_pLog = m_pOwnLog;
    ui = new Ui::MW_I2C_Configuration;
    ui->setupUi(this);
    ui->label_Logo->setPixmap(QPixmap(ApplicationDirPath() + HeaderConstants::LogosFolder + HeaderConstants::LogoImage));
    setWindowTitle(QStringLiteral("Send I2C Configuration file to the sensor"));
    m_bConnected = false;
    m_iRows = 0;
    ui->label_Copyright->setOpenExternalLinks(true);
    ui->progressBar->setValue(0);
    ui->tableWidget->setRowCount(0);
    ui->tableWidget->setColumnCount(4);
    ui->tableWidget->setEditTriggers(QAbstractItemView::DoubleClicked);
    ui->tableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tableWidget->verticalHeader()->setMinimumSectionSize(kRowHeight);
    setTableHeaders();
    connect(ui->pushButton_Browze, &QPushButton::released, this, &MW_I2C_Configuration::selectFile);
    connect(ui->pushButton_Send, &QPushButton::released, this, &MW_I2C_Configuration::SendCommands);
}

MW_I2C_Configuration::~MW_I2C_Configuration()
{
    delete ui;
    delete m_pOwnLog;
}

void MW_I2C_Configuration::setCopyright(QString p_sText)
{
    ui->label_Copyright->setText(p_sText);
}

void MW_I2C_Configuration::setLog(KV_Log* p_pLog)
{
    m_pLog = p_pLog != nullptr ? p_pLog : m_pOwnLog;
}

void MW_I2C_Configuration::writeLog(const QString& p_sLine)
{
    WriteLogLine(m_pLog, p_sLine);
}

void MW_I2C_Configuration::setTableHeaders()
{
    ui->tableWidget->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type mem"),
                                                QStringLiteral("Address"), QStringLiteral("Value")});
}

void MW_I2C_Configuration::addTableRow(QString p_sName, QString p_sTypeMem, QString p_sAddress, QString p_sValue)
{
    QTableWidget* pTable = ui->tableWidget;
    const int iRow = pTable->rowCount();
    pTable->insertRow(iRow);
    auto* pName = new QTableWidgetItem(p_sName);
    pName->setFlags(pName->flags() | Qt::ItemIsUserCheckable);
    pName->setCheckState(Qt::Checked);
    pTable->setItem(iRow, ColumnName, pName);
    const QString texts[] = {p_sTypeMem, p_sAddress, p_sValue};
    for (int i = 0; i < 3; ++i) {
        auto* pItem = new QTableWidgetItem(texts[i]);
        pItem->setTextAlignment(Qt::AlignCenter);
        pTable->setItem(iRow, ColumnTypeMem + i, pItem);
    }
    pTable->setRowHeight(iRow, kRowHeight);
    pTable->horizontalHeader()->setSectionResizeMode(ColumnName, QHeaderView::ResizeToContents);
    pTable->horizontalHeader()->setSectionResizeMode(ColumnTypeMem, QHeaderView::ResizeToContents);
    pTable->horizontalHeader()->setSectionResizeMode(ColumnAddress, QHeaderView::Stretch);
    pTable->horizontalHeader()->setSectionResizeMode(ColumnValue, QHeaderView::Stretch);
    m_iRows = pTable->rowCount();
}

void MW_I2C_Configuration::selectFile()
{
    if (m_bSending)
        return;
    writeLog(QStringLiteral("Selection of a I2C configuration file"));
    FileDialogRequest request;
    request.Parent = this;
    request.Folder = QDir::cleanPath(ApplicationDirPath() + HeaderConstants::I2CConfigurationsFolder);
    request.Filter = HeaderConstants::FilterCsv;
    request.Places = StandardPlacesAnd(ApplicationDirPath());
    // Non-blocking: the main window keeps running while the operator browses.
    const QString sPath = ChooseFile(request);
    const QFileInfo info(sPath);
    if (sPath.isEmpty() || !info.exists() || !info.isFile())
        return;
    loadFile(sPath);
}

void MW_I2C_Configuration::loadFile(const QString& p_sPath)
{
    writeLog(QStringLiteral("File selected : ") + p_sPath);
    ui->lineEdit_fileName->setText(p_sPath);
    I2CConfigurationFile file;
    if (!ReadI2CConfigurationFile(p_sPath, file)) {
        PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Error"),
                           QStringLiteral("Error when opening I2C configuration file"), {QStringLiteral("OK")}});
        return;
    }
    ui->tableWidget->setRowCount(0);
    m_iRows = 0;
    for (const QString& sLine : file.Skipped)
        writeLog(QStringLiteral("I2C configuration line skipped (fewer than 4 fields): ") + sLine);
    for (const I2CConfigurationRow& row : file.Rows)
        addTableRow(row.Name, row.TypeMem, row.Address, row.Value);
}

int MW_I2C_Configuration::sendPair(int p_iAddress, int p_iValue)
{
    // A board without an indirect pair takes nothing and counts the row.
    BoardLink* pLink = m_Links ? m_Links(m_DigiBoardKind) : nullptr;
    if (pLink == nullptr || !pLink->hasIndirect())
        return 0;
    return pLink->writeIndirect(p_iAddress, p_iValue);
}

void MW_I2C_Configuration::SendCommands()
{
    QTableWidget* pTable = ui->tableWidget;
    if (pTable->rowCount() == 0 || m_bSending)
        return;
    ui->progressBar->setValue(0);
    int iChecked = 0;
    for (int i = 0; i < pTable->rowCount(); ++i)
        if (pTable->item(i, ColumnName) && pTable->item(i, ColumnName)->checkState() == Qt::Checked)
            ++iChecked;
    ui->progressBar->setRange(0, iChecked);
    ui->progressBar->setFormat(QStringLiteral("%p%"));
    writeLog(QStringLiteral("Sending i2C Commands"));

    // The waits between rows run the event loop: no second send or new file meanwhile.
    m_bSending = true;
    ui->pushButton_Send->setEnabled(false);
    ui->pushButton_Browze->setEnabled(false);
    int iDone = 0;
    for (int i = 0; i < pTable->rowCount(); ++i) {
        const QTableWidgetItem* pName = pTable->item(i, ColumnName);
        if (pName == nullptr || pName->checkState() != Qt::Checked)
            continue;
        const QTableWidgetItem* pAddress = pTable->item(i, ColumnAddress);
        const QTableWidgetItem* pValue = pTable->item(i, ColumnValue);
        const qulonglong ullAddress = ParseI2CHexCell(pAddress ? pAddress->text() : QString());
        const qulonglong ullValue = ParseI2CHexCell(pValue ? pValue->text() : QString());
        if (ullAddress > kByteLimit || ullValue > kByteLimit) {
            PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Invalid parameter"),
                               "Address or value is out of range (Add: " + QString::number(ullAddress)
                                   + " Val: " + QString::number(ullValue) + ". Abort sending configuration",
                               {QStringLiteral("OK")}});
            break;
        }
        writeLog("I2C Command #" + QString::number(i + 1) + " to address " + QString::number(ullAddress)
                 + " with value " + QString::number(ullValue) + " sent");
        if (sendPair(static_cast<int>(ullAddress), static_cast<int>(ullValue)) != 0)
            break;
        ++iDone;
        ui->progressBar->setValue(iDone);
        WaitMs(kPauseBetweenRowsMs);
    }
    m_bSending = false;
    ui->pushButton_Send->setEnabled(true);
    ui->pushButton_Browze->setEnabled(true);
}

bool MW_I2C_Configuration::eventFilter(QObject* p_pObject, QEvent* p_pEvent)
{
    if (p_pObject == this && p_pEvent->type() == QEvent::Close) {
        close();
        emit CloseWindow();
        return true;
    }
    return false;
}

void MW_I2C_Configuration::closeEvent(QCloseEvent* p_pEvent)
{
    emit CloseWindow();
    p_pEvent->accept();
}
