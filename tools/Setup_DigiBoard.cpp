// The board set-up window: the proxy, frame rate or custom pixel clock an interface board is reconfigured for.
#include "tools/Setup_DigiBoard.h"

#include "ui_Setup_DigiBoard.h"

#include "app/digiboard_kind.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "board/frame_rate_setup.h"
#include "app/message_boxes.h"
#include "params/proxy_lookup.h"

#include <QCloseEvent>
#include <QIcon>
#include <QThread>

#include <iostream>

namespace {

constexpr double kWantedRangeMax = 120.0;
constexpr int kSetConfigPauseMs = 300;

} // namespace

Setup_DigiBoard::Setup_DigiBoard(QWidget* parent) : QMainWindow(parent)
{
    m_iMultiplier = 2;
    m_iDivider = 2;
    m_pOwnLog = new KV_Log;
    m_pLog = m_pOwnLog;
    ui = new Ui::Setup_DigiBoard;
    ui->setupUi(this);
    connect(ui->pushButton_SetConf, &QPushButton::released, this, &Setup_DigiBoard::PushButton_Set);
    connect(ui->comboBox_SelectProxy, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Setup_DigiBoard::ComboBox_SelectProxyCard);
    connect(ui->comboBox_SelectFreq, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Setup_DigiBoard::ComboBox_SelectFrequency);
    connect(ui->doubleSpinBox_FreqWanted, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            &Setup_DigiBoard::SpinBox_Changed);
    setWindowTitle(QStringLiteral("Setup DigiBoard"));
    m_bConnected = false;
    fillProxyList();
    fillFrequencyList();
    ui->pushButton_SetConf->setEnabled(false);
    ui->label_Copyright->setOpenExternalLinks(true);
}

Setup_DigiBoard::~Setup_DigiBoard()
{
    delete ui;
    delete m_pOwnLog;
}

void Setup_DigiBoard::setLog(KV_Log* p_pLog)
{
    m_pLog = p_pLog != nullptr ? p_pLog : m_pOwnLog;
}

void Setup_DigiBoard::writeLog(const QString& p_sLine)
{
    WriteLogLine(m_pLog, p_sLine);
}

void Setup_DigiBoard::fillProxyList()
{
    // Filled before any slot cares: the index changes of the filling itself change nothing.
    const QSignalBlocker blocker(ui->comboBox_SelectProxy);
    ui->comboBox_SelectProxy->removeItem(0);
    for (int i = 0; i < HeaderConstants::ProxyModelNames.size(); ++i)
        ui->comboBox_SelectProxy->insertItem(i, QIcon(), HeaderConstants::ProxyModelNames.at(i));
    ui->comboBox_SelectProxy->setCurrentIndex(0);
}

void Setup_DigiBoard::fillFrequencyList()
{
    const QSignalBlocker blocker(ui->comboBox_SelectFreq);
    ui->comboBox_SelectFreq->removeItem(0);
    for (int i = 0; i < HeaderConstants::FrameRateChoices.size(); ++i)
        ui->comboBox_SelectFreq->insertItem(i, QIcon(), HeaderConstants::FrameRateChoices.at(i));
    ui->comboBox_SelectFreq->setCurrentIndex(0);
}

bool Setup_DigiBoard::isFrequencyItemAvailable(int p_iItem) const
{
    const QVariant flags = ui->comboBox_SelectFreq->itemData(p_iItem, ItemFlagsRole);
    return flags.isValid() && flags.toInt() != 0;
}

QString Setup_DigiBoard::getFrequencyText() const
{
    return ui->comboBox_SelectFreq->currentText();
}

QString Setup_DigiBoard::getProxyText() const
{
    return ui->comboBox_SelectProxy->currentText();
}

void Setup_DigiBoard::setCopyright(QString p_sText)
{
    ui->label_Copyright->setText(p_sText);
}

void Setup_DigiBoard::setEnabled_PushButton_SetConf(bool val)
{
    ui->pushButton_SetConf->setEnabled(val);
}

void Setup_DigiBoard::setPortGigE(PvDeviceSerialPort* p_pPort)
{
    writeLog(QStringLiteral("Setup DigiBoard Window Serial Port Dunstel updated"));
    m_pGigEPort = p_pPort;
}

void Setup_DigiBoard::setProxyIndex(int p_iListIndex)
{
    ui->comboBox_SelectProxy->setCurrentIndex(p_iListIndex);
}

namespace {

// What the window offers on each kind: its name in the log and on the label,
// the groups and boxes enabled, the frequency the boxes start from, the proxy
// chosen for the operator, and how a wanted pixel clock is generated.
SetupKindRow SetupKindRowOf(BoardKind p_Kind)
{
    using C = SetupPixelClock;
    switch (p_Kind) {
    case BoardKind::Arvex: return {"Arvex", "Arvex", true, true, true, true, true, 100.0, nullptr, C::AsWanted};
    case BoardKind::Belmor:
        return {"Belmor", "Belmor - Dynamic Configuration disabled", false, false, false, false, false, 100.0, nullptr,
                C::None};
    case BoardKind::BelmorPlus: return {"Belmor+", "Belmor+", true, true, true, true, true, 100.0, nullptr, C::Search};
    case BoardKind::Dunstel: return {"Dunstel", "Dunstel", true, false, true, true, true, 60.0, nullptr, C::Search};
    case BoardKind::Eskra: return {"Eskra", "Eskra", false, false, false, false, true, 60.0, "Z603", C::None};
    case BoardKind::Corvane: return {"Corvane", "Corvane", true, false, true, true, true, 100.0, nullptr, C::AsWanted};
    case BoardKind::None: break;
    }
    return {"No DigiBoard", "No digiboard", false, false, false, false, false, 100.0, nullptr, C::None};
}

} // namespace

void Setup_DigiBoard::setDigiBoard(int p_iKind)
{
    m_DigiBoardKind = BoardKindFromIndex(p_iKind);
    ui->pushButton_SetConf->setEnabled(true);

    const SetupKindRow row = SetupKindRowOf(m_DigiBoardKind);
    m_PixelClock = row.Clock;
    writeLog(QStringLiteral("Setup DigiBoard Window DigiBoard set to ") + row.LogName);
    ui->label_DigiBoard->setText(QString::fromUtf8(row.Label));
    ui->groupBox_BasicConfiguration->setEnabled(row.Standard);
    ui->groupBox_Options->setEnabled(row.Options);
    ui->comboBox_SelectFreq->setEnabled(row.Frequencies);
    ui->comboBox_SelectProxy->setEnabled(row.Proxies);
    ui->pushButton_SetConf->setEnabled(row.SetConfig);
    if (row.DefaultProxy)
        ui->comboBox_SelectProxy->setCurrentIndex(ui->comboBox_SelectProxy->findText(QString::fromUtf8(row.DefaultProxy)));
    for (QDoubleSpinBox* pBox : {ui->doubleSpinBox_FreqWanted, ui->doubleSpinBox_FreqGen})
        pBox->setRange(0.0, kWantedRangeMax);
    ui->doubleSpinBox_FreqWanted->setValue(row.Value);
    ui->doubleSpinBox_FreqGen->setValue(row.Value);
}

void Setup_DigiBoard::setFrequency(int p_iFrameRateCode)
{
    writeLog(QStringLiteral("Setup DigiBoard Window Frequency set to ") + QString::number(p_iFrameRateCode));
    m_iFrameRate = p_iFrameRateCode;
    const int iItem = FrameRateItemOfCode(p_iFrameRateCode);
    if (iItem > 0) {
        if (isFrequencyItemAvailable(iItem)) {
            ui->comboBox_SelectFreq->setCurrentIndex(iItem);
            return;
        }
        emit FrequencyNotTested(p_iFrameRateCode);
        ui->comboBox_SelectFreq->setCurrentIndex(FrameRateItemDefault);
        return;
    }
    if (p_iFrameRateCode == FrameRateCodeCustom) {
        ui->comboBox_SelectFreq->setCurrentIndex(FrameRateItemCustom);
        return;
    }
    if (p_iFrameRateCode != 0 && p_iFrameRateCode != FrameRateCodeDefault)
        emit FrequencyNotTested(p_iFrameRateCode);
    ui->comboBox_SelectFreq->setCurrentIndex(FrameRateItemDefault);
}

void Setup_DigiBoard::updateComboBox()
{
    writeLog(QStringLiteral("Update ComboBox in Setup DigiBoard commands"));
    const int iItem = ui->comboBox_SelectFreq->currentIndex();
    ComboBox_SelectProxyCard();
    ui->comboBox_SelectFreq->setCurrentIndex(iItem);
}

void Setup_DigiBoard::ComboBox_SelectProxyCard()
{
    const QString sProxy = ui->comboBox_SelectProxy->currentText();
    writeLog(QStringLiteral("Setup DigiBoard Window ProxyBoard update to ") + sProxy);
    m_iProxyRow = GetProxyIndexFromName(sProxy.toStdString()) + 1;
    ui->comboBox_SelectFreq->setCurrentIndex(FrameRateItemDefault);
    CheckAvailableFrequencies();
}

void Setup_DigiBoard::CheckAvailableFrequencies()
{
    writeLog(QStringLiteral("Check available frequencies for the proxy selected"));
    for (int iItem = FrameRateItemFirstPreset; iItem <= FrameRateItemLastPreset; ++iItem) {
        if (FrameRateItemOffered(m_iProxyRow, iItem)) {
            ui->comboBox_SelectFreq->setItemData(iItem, ItemAvailable, ItemFlagsRole);
            writeLog(HeaderConstants::FrameRateChoices.at(iItem) + QStringLiteral(" Available"));
        } else {
            ui->comboBox_SelectFreq->setItemData(iItem, 0, ItemFlagsRole);
        }
    }
}

void Setup_DigiBoard::ComboBox_SelectFrequency()
{
    writeLog(QStringLiteral("Setup DigiBoard Window Frequency update to ") + ui->comboBox_SelectFreq->currentText());
    const bool bCustom = ui->comboBox_SelectFreq->currentIndex() == FrameRateItemCustom;
    for (QWidget* pWidget :
         {static_cast<QWidget*>(ui->label_CKDIV), static_cast<QWidget*>(ui->label_FreqGen),
          static_cast<QWidget*>(ui->label_FreqWanted), static_cast<QWidget*>(ui->label_GSK),
          static_cast<QWidget*>(ui->label_Freq), static_cast<QWidget*>(ui->spinBox_CKDIV),
          static_cast<QWidget*>(ui->doubleSpinBox_FreqWanted), static_cast<QWidget*>(ui->spinBox_GSK),
          static_cast<QWidget*>(ui->checkBox_InvTx), static_cast<QWidget*>(ui->checkBox_InvPx),
          static_cast<QWidget*>(ui->checkBox_InvDV), static_cast<QWidget*>(ui->checkBox_DisableDV),
          static_cast<QWidget*>(ui->checkBox_InvMCLK)})
        pWidget->setEnabled(bCustom);
    // The generated frequency only displays the result.
    ui->doubleSpinBox_FreqGen->setEnabled(false);
    ui->label_Freq->setText(bCustom ? QStringLiteral("Error : %") : QString());
}

void Setup_DigiBoard::SpinBox_Changed()
{
    if (!m_bConnected)
        return;
    const double dWanted = ui->doubleSpinBox_FreqWanted->value();
    if (m_PixelClock == SetupPixelClock::Search) {
        std::cout << "Frequency to find : " << dWanted << std::endl;
        const PixelClockChoice choice = SearchPixelClock(dWanted, [](int p_iM, int p_iD, double p_dError) {
            std::cout << std::string(52, '-') << std::endl;
            std::cout << "Best actual value : " << p_dError << " with " << std::endl;
            std::cout << "Multiplier : " << p_iM << std::endl;
            std::cout << "Divider : " << p_iD << std::endl;
        });
        m_iMultiplier = choice.Multiplier;
        m_iDivider = choice.Divider;
        ui->doubleSpinBox_FreqGen->setValue(choice.GeneratedMHz);
        // The box rounds to its decimals; the error is the one of the pair itself.
        ui->label_Freq->setText(PixelClockErrorText(choice.GeneratedMHz, dWanted));
    } else if (m_PixelClock == SetupPixelClock::AsWanted) {
        ui->doubleSpinBox_FreqGen->setValue(dWanted);
        ui->label_Freq->setText(QString());
    }
}

QString Setup_DigiBoard::RefusalOfSelection()
{
    FrameRateSetupRequest request;
    request.Kind = BoardKindIndex(m_DigiBoardKind);
    request.ProxyRow = GetProxyIndexFromName(getProxyText().toStdString()) + 1;
    request.ProxyChosen = ui->comboBox_SelectProxy->currentIndex() != 0;
    request.Item = ui->comboBox_SelectFreq->currentIndex();
    return PlanFrameRateSetup(request).Refusal;
}

bool Setup_DigiBoard::SendSelectedConfiguration()
{
    const int iItem = ui->comboBox_SelectFreq->currentIndex();
    ComboBox_SelectProxyCard();
    ui->comboBox_SelectFreq->setCurrentIndex(iItem);
    writeLog(QStringLiteral("Send data corresponding to the configuration selected"));

    FrameRateSetupRequest request;
    request.Kind = BoardKindIndex(m_DigiBoardKind);
    request.ProxyRow = m_iProxyRow;
    request.ProxyChosen = ui->comboBox_SelectProxy->currentIndex() != 0;
    request.Item = ui->comboBox_SelectFreq->currentIndex();
    request.CustomCKDIV = ui->spinBox_CKDIV->value();
    request.CustomGSK = ui->spinBox_GSK->value();
    request.WantedMHz = ui->doubleSpinBox_FreqWanted->value();
    request.Multiplier = m_iMultiplier;
    request.Divider = m_iDivider;
    request.InvertTx = ui->checkBox_InvTx->isChecked();
    request.InvertPx = ui->checkBox_InvPx->isChecked();
    request.InvertDV = ui->checkBox_InvDV->isChecked();
    request.DisableDV = ui->checkBox_DisableDV->isChecked();
    request.InvertMCLK = ui->checkBox_InvMCLK->isChecked();
    const FrameRateSetupPlan plan = PlanFrameRateSetup(request);
    if (!plan.Refusal.isEmpty()) {
        writeLog(plan.Refusal);
        return false;
    }
    if (!plan.LogLine.isEmpty())
        writeLog(plan.LogLine);
    const bool bOk = RunFrameRateSetup(plan, m_iProxyRow, BoardFrameRateSetupLinks(BoardKindIndex(m_DigiBoardKind), m_pGigEPort));
    if (!plan.KeepConfiguredGSK)
        m_iConfiguredGSK = plan.ConfiguredGSK;
    emit UpdateGSK_CKDIV(plan.FrameRateCode);
    return bOk;
}

void Setup_DigiBoard::PushButton_Set()
{
    const int iItem = ui->comboBox_SelectFreq->currentIndex();
    if (ui->spinBox_GSK->value() == 0 && iItem == FrameRateItemCustom) {
        const int iAnswer = PresentMessageBox({this, QMessageBox::Question, QStringLiteral("GSK Value"),
                                               QStringLiteral("The GSK value is set to 0. Is this value correct ?"),
                                               {QStringLiteral("OK"), QStringLiteral("Cancel")}});
        if (iAnswer != 0)
            return;
    }
    if (iItem == FrameRateItemLastPreset && getProxyText() == QLatin1String("Z647")) {
        const int iAnswer = PresentMessageBox(
            {this, QMessageBox::Question, QStringLiteral("FastPixel sensor only"),
             QStringLiteral("The selected configuration has to be used only with a Vantrel Z647_FP Proxy Board and a "
                            "Talmeo Q384G2 Fast Pixel Sensor.\n\nDo you want to continue the configuration ?"),
             {QStringLiteral("Yes"), QStringLiteral("No")}});
        if (iAnswer != 0)
            return;
    }
    // A rate the board cannot be given is refused before anything is sent,
    // so the board keeps its configuration and the connection stands.
    const QString sRefusal = RefusalOfSelection();
    if (!sRefusal.isEmpty()) {
        writeLog(sRefusal);
        PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Frequency not available"), sRefusal,
                           {QStringLiteral("OK")}});
        return;
    }

    if (SendSelectedConfiguration()) {
        PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Warning"),
                           QStringLiteral("The Digiboard has been well configured.\nPlease restart the Digiboard to "
                                          "start the acquisition."),
                           {QStringLiteral("OK")}});
        writeLog(QStringLiteral("The Digiboard has been well configured"));
        close();
    } else {
        PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Error"),
                           QStringLiteral("The Digiboard has not been well configured.\nPlease restart the Digiboard "
                                          "and try to apply the configuration one more time."),
                           {QStringLiteral("OK")}});
        writeLog(QStringLiteral("The Digiboard HAS NOT been well configured"));
    }
    QThread::msleep(kSetConfigPauseMs);
    emit ButtonConfigPressed();
}

bool Setup_DigiBoard::eventFilter(QObject* p_pObject, QEvent* p_pEvent)
{
    if (p_pObject == this && p_pEvent->type() == QEvent::Close) {
        close();
        emit CloseWindow();
        return true;
    }
    return QMainWindow::eventFilter(p_pObject, p_pEvent);
}

void Setup_DigiBoard::closeEvent(QCloseEvent* p_pEvent)
{
    emit CloseWindow();
    p_pEvent->accept();
}
