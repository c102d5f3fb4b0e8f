// The proxy-board test window: proxy and preset choice, and the test sequence run step by step on timers.
#include "tools/Window_TestProxy.h"

#include "ui_Window_TestProxy.h"

#include "app/app_paths.h"
#include "app/header_constants.h"
#include "params/proxy_lookup.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/bad_pixel_detection.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <cstring>

namespace {

constexpr uint8_t kNoProxyIndex = 13;

struct ProxyTestModel
{
    const char* Name;
    uint8_t ProxyIndex;
    const char* Captions[5];   // label_TINT, label_DACA, label_DACB, label_DACC, label_DACD
};

const ProxyTestModel kModels[] = {
    {"Z603", 17, {"TINT", "GFID", "GSK", "", ""}},
    {"Z615", 15, {"TINT", "GFID", "GSK", "", ""}},
    {"Z641", 18, {"TINT", "GFID", "GSK", "", ""}},
    {"Z646", 4, {"TINT", "GSK", "GFID", "", ""}},
    {"Z647", 11, {"TINT", "GFID", "GSK", "", ""}},
    {"Z663", 19, {"TINT", "GFID", "GSK", "", ""}},
    {"Z668", 2, {"TINT", "GFID", "GSK", "", ""}},
    {"Z668P", 3, {"TINT", "GFID", "GSK", "VDET", "VBUS"}},
    {"Z671", 8, {"TINT", "GSK", "GFID", "", ""}},
    {"Z671P", 10, {"TINT", "GSK", "GFID", "VSK", "VBUS"}},
    {"Z671Pv2", 21, {"TINT", "GSK", "GFID", "VSK", "VBUS"}},
    {"Z1641", 23, {"TINT", "GSK", "GFID", "ADD0C", "ADD0D"}},
    {"Y1436", 6, {"TINT", "VSK", "GFID", "VBUS", "GSK"}},
    {"Y1437", 7, {"TINT", "VSK", "GFID", "VBUS", "GSK"}},
    {"Y1437P", 9, {"TINT", "VSK", "GFID", "VBUS", "GSK"}},
};

// The test's list is the shared proxy list without this one model, which the
// test does not offer; every text it shows is the shared one.
constexpr const char* kModelNotTested = "Z633";

struct Preset
{
    const char* Name;
    bool SaveReport, SaveBmp, ChangeBias, Nuc, GskVariation;
    int Gain, Offset, Variation, ObservationMs;
};

const Preset kPresets[] = {
    {"Quick", false, false, false, true, true, 12, 2500, 100, 1000},
    {"Standard", true, true, true, true, true, 12, 2500, 50, 5000},
    {"Intensive", true, true, true, true, true, 12, 2500, 100, 5000},
};

// A box is switched by clicking it, so that its own slot follows.
void SetByClick(QCheckBox* p_pBox, bool p_bOn)
{
    if (p_pBox->isChecked() != p_bOn)
        p_pBox->click();
}

} // namespace

Window_TestProxy::Window_TestProxy(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::Window_TestProxy)
{
    ui->setupUi(this);
    ui->label_Copyright->setOpenExternalLinks(true);
    ui->label_Logo->setPixmap(QPixmap(ApplicationDirPath() + HeaderConstants::LogosFolder + HeaderConstants::LogoImage));
    for (QWidget* pBox : std::initializer_list<QWidget*>{ui->spinBox_TINT, ui->spinBox_DACA, ui->spinBox_DACB,
                                                          ui->spinBox_DACC, ui->spinBox_DACD, ui->spinBox_Gain,
                                                          ui->spinBox_Offset, ui->spinBox_GSKVariation,
                                                          ui->spinBox_ObservationTime})
        pBox->setEnabled(false);
    // A coarse timer may fire up to 5 % early; a wait of the sequence is never
    // shorter than asked (waitTimedOut checks the clock).
    m_pStepTimer = new QTimer(this);
    m_pStepTimer->setSingleShot(true);
    m_pStepTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pStepTimer, &QTimer::timeout, this, &Window_TestProxy::waitTimedOut);

    fillProxyList();
    fillPredefinedTests();
    for (QWidget* pBox : std::initializer_list<QWidget*>{ui->spinBox_TINT, ui->spinBox_DACA, ui->spinBox_DACB,
                                                          ui->spinBox_DACC, ui->spinBox_DACD})
        pBox->show();
    ui->label_TINT->setText(QStringLiteral("TINT"));
    ui->label_DACA->setText(QStringLiteral("DAC A"));
    ui->label_DACB->setText(QStringLiteral("DAC B"));
    ui->label_DACC->setText(QStringLiteral("DAC C"));
    ui->label_DACD->setText(QStringLiteral("DAC D"));
}

Window_TestProxy::~Window_TestProxy()
{
    delete m_pPutShutter;
    delete m_pRemoveShutter;
    delete ui;
}

void Window_TestProxy::setCopyright(QString p_sText)
{
    ui->label_Copyright->setText(p_sText);
}

void Window_TestProxy::fillProxyList()
{
    ui->comboBox_SelectProxy->removeItem(0);
    for (const char* szName : kProxyListNames)
        if (std::strcmp(szName, kModelNotTested) != 0)
            ui->comboBox_SelectProxy->addItem(QString::fromLatin1(szName));
}

void Window_TestProxy::fillPredefinedTests()
{
    ui->comboBox_PredefinedTest->removeItem(0);
    for (const Preset& p : kPresets)
        ui->comboBox_PredefinedTest->addItem(QString::fromLatin1(p.Name));
    ui->comboBox_PredefinedTest->setCurrentText(QStringLiteral("Standard"));
}

void Window_TestProxy::updateSelectedProxy(QString p_sProxy)
{
    QSpinBox* const boxes[5] = {ui->spinBox_TINT, ui->spinBox_DACA, ui->spinBox_DACB, ui->spinBox_DACC,
                                ui->spinBox_DACD};
    QLabel* const labels[5] = {ui->label_TINT, ui->label_DACA, ui->label_DACB, ui->label_DACC, ui->label_DACD};
    for (QSpinBox* pBox : boxes)
        pBox->show();
    m_sSelectedProxyName = p_sProxy;
    const ProxyTestModel* pModel = nullptr;
    for (const ProxyTestModel& m : kModels)
        if (p_sProxy == QLatin1String(m.Name))
            pModel = &m;
    m_uProxyIndex = pModel ? pModel->ProxyIndex : kNoProxyIndex;
    if (!pModel)
        m_sSelectedProxyName.clear();
    for (int i = 0; i < 5; ++i) {
        const QString sCaption = pModel ? QString::fromLatin1(pModel->Captions[i]) : QString();
        labels[i]->setText(sCaption);
        if (sCaption.isEmpty())
            boxes[i]->hide();
    }
    const int cells[5] = {ProxyParameterId::TINT, ProxyParameterId::DAC_A, ProxyParameterId::DAC_B,
                          ProxyParameterId::DAC_C, ProxyParameterId::DAC_D};
    EnsureProxyParameterTableFilled();
    for (int i = 0; i < 5; ++i)
        boxes[i]->setValue(static_cast<int>(std::min<uint32_t>(GetCurrent(m_uProxyIndex, cells[i]), 1u << 30)));
}

void Window_TestProxy::on_comboBox_SelectProxy_currentTextChanged(QString arg1)
{
    updateSelectedProxy(arg1);
}

void Window_TestProxy::on_comboBox_PredefinedTest_currentIndexChanged(QString arg1)
{
    for (const Preset& p : kPresets) {
        if (arg1 != QLatin1String(p.Name))
            continue;
        SetByClick(ui->checkBox_SaveReport, p.SaveReport);
        SetByClick(ui->checkBox_SaveBMP, p.SaveBmp);
        SetByClick(ui->checkBox_ChangeBIAS, p.ChangeBias);
        SetByClick(ui->checkBox_NUC, p.Nuc);
        SetByClick(ui->checkBox_GSKVariation, p.GskVariation);
        ui->spinBox_Gain->setValue(p.Gain);
        ui->spinBox_Offset->setValue(p.Offset);
        ui->spinBox_GSKVariation->setValue(p.Variation);
        ui->spinBox_ObservationTime->setValue(p.ObservationMs);
    }
}

void Window_TestProxy::on_checkBox_ChangeBIAS_released()
{
    const bool bOn = ui->checkBox_ChangeBIAS->isChecked();
    for (QWidget* pBox : std::initializer_list<QWidget*>{ui->spinBox_TINT, ui->spinBox_DACA, ui->spinBox_DACB,
                                                          ui->spinBox_DACC, ui->spinBox_DACD})
        pBox->setEnabled(bOn);
}

void Window_TestProxy::on_checkBox_NUC_released()
{
    const bool bOn = ui->checkBox_NUC->isChecked();
    ui->spinBox_Gain->setEnabled(bOn);
    ui->spinBox_Offset->setEnabled(bOn);
}

void Window_TestProxy::on_checkBox_GSKVariation_released()
{
    ui->spinBox_GSKVariation->setEnabled(ui->checkBox_GSKVariation->isChecked());
}

QMessageBox* Window_TestProxy::makePrompt(const QString& p_sTitle, const QString& p_sText)
{
    auto* pBox = new QMessageBox(QMessageBox::NoIcon, p_sTitle, p_sText, QMessageBox::Ok);
    pBox->setModal(true);
    return pBox;
}

void Window_TestProxy::emitGskValue(int p_iDelta)
{
    switch (GskDacFromChannelCode(GetDefault(m_uProxyIndex, ProxyParameterId::GSKChannel))) {
    case GskDac::A: emit ValueDAC_A_changed(ui->spinBox_DACA->value() + p_iDelta); break;
    case GskDac::B: emit ValueDAC_B_changed(ui->spinBox_DACB->value() + p_iDelta); break;
    case GskDac::C: emit ValueDAC_C_changed(ui->spinBox_DACC->value() + p_iDelta); break;
    case GskDac::D: emit ValueDAC_D_changed(ui->spinBox_DACD->value() + p_iDelta); break;
    case GskDac::None: break;
    }
    emit PushButton_SetParam();
}

// The sequence is a list of steps on a timer rather than one slot with
// nested waits: a connection press can itself run the board's frame loop
// until the acquisition ends, and the sequence must go on meanwhile to
// observe, save and finally disconnect. Each step reads its boxes when it
// comes to it.
void Window_TestProxy::on_pushButton_released()
{
    if (m_bRunning)
        return;
    m_bRunning = true;
    m_bCloseAfterRun = false;
    m_bCutShort = false;
    ui->pushButton->setEnabled(false);
    ui->progressBar->setValue(0);
    delete m_pPutShutter;
    delete m_pRemoveShutter;
    m_pPutShutter = makePrompt(QStringLiteral("Put shutter"), QStringLiteral("Please put a shutter in front of the lens. "));
    m_pRemoveShutter = makePrompt(QStringLiteral("Remove shutter"), QStringLiteral("Please remove the shutter."));
    m_Steps.clear();
    m_uNextStep = 0;
    m_uFirstPress = 0;
    m_uClosingPress = 0;
    emit TestStarted();
    // The main window refuses a second run beside one in progress.
    if (!m_bRunning)
        return;

    constexpr int kDisconnectPollMs = 50;
    constexpr qint64 kDisconnectLimitMs = 30000;
    auto observe = [this]() { return ui->spinBox_ObservationTime->value(); };
    // Repeats itself until the board is down. A board that stays up ends the
    // run before the presses, which would then do something else; after the
    // closing press the run ends anyway.
    auto awaitDisconnected = [this](bool p_bClosing) {
        return [this, p_bClosing]() {
            if (!m_bBoardConnected)
                return 0;
            if (m_DisconnectClock.elapsed() >= kDisconnectLimitMs) {
                if (!p_bClosing)
                    stopRun();
                return 0;
            }
            --m_uNextStep;
            return kDisconnectPollMs;
        };
    };
    // The presses connect and start from the disconnected state only: a board
    // that streams (or is connected) is taken down first.
    m_Steps.push_back([this]() {
        m_DisconnectClock.start();
        if (m_bBoardConnected)
            emit DisconnectBoard();
        return 0;
    });
    m_Steps.push_back(awaitDisconnected(false));
    m_uFirstPress = m_Steps.size();
    // The next step is timed before the press: the press may not return
    // before the acquisition ends.
    auto press = [this]() {
        startWait(500);
        emit PushButtonConnect();
        return -1;
    };
    m_Steps.push_back(press);
    m_Steps.push_back(press);
    m_Steps.push_back([this]() {
        if (!ui->checkBox_ChangeBIAS->isChecked())
            return 0;
        emit ValueTINT_changed(ui->spinBox_TINT->value());
        emit ValueDAC_A_changed(ui->spinBox_DACA->value());
        emit ValueDAC_B_changed(ui->spinBox_DACB->value());
        emit ValueDAC_C_changed(ui->spinBox_DACC->value());
        emit ValueDAC_D_changed(ui->spinBox_DACD->value());
        emit PushButton_SetParam();
        return 2000;
    });
    m_Steps.push_back(observe);
    m_Steps.push_back([this]() {
        if (ui->checkBox_SaveBMP->isChecked())
            emit SaveBMPImage(QStringLiteral("Test.bmp"));
        // The shutter part runs only when the NUC box is checked now.
        m_bShutterPart = ui->checkBox_NUC->isChecked();
        if (!m_bShutterPart)
            return 0;
        m_pPutShutter->show();
        m_pPutShutter->raise();
        return 2000;
    });
    m_Steps.push_back([this]() {
        if (!m_bShutterPart)
            return 0;
        m_pPutShutter->close();
        QCoreApplication::processEvents();
        emit PushButtonTakeFPN();
        m_pRemoveShutter->show();
        m_pRemoveShutter->raise();
        return 2000;
    });
    m_Steps.push_back([this]() {
        if (!m_bShutterPart)
            return 0;
        m_pRemoveShutter->close();
        QCoreApplication::processEvents();
        emit ValueGain_changed(ui->spinBox_Gain->value());
        emit ValueOffset_changed(ui->spinBox_Offset->value());
        return 0;
    });
    m_Steps.push_back(observe);
    m_Steps.push_back([this, observe]() {
        m_bGskPart = ui->checkBox_GSKVariation->isChecked();
        if (!m_bGskPart)
            return 0;
        emitGskValue(ui->spinBox_GSKVariation->value());
        return observe();
    });
    m_Steps.push_back([this, observe]() {
        if (!m_bGskPart)
            return 0;
        emitGskValue(-ui->spinBox_GSKVariation->value());
        return observe();
    });
    m_uClosingPress = m_Steps.size();
    m_Steps.push_back([this]() {
        m_DisconnectClock.start();
        emit PushButtonConnect();
        return 0;
    });
    // The run is over once the board is down again.
    m_Steps.push_back(awaitDisconnected(true));
    m_uNextStep = 0;
    runNextStep();
}

void Window_TestProxy::startWait(int p_iMs)
{
    m_iWaitMs = std::max(0, p_iMs / m_iWaitDivisor);
    m_WaitClock.start();
    m_pStepTimer->start(m_iWaitMs);
}

void Window_TestProxy::waitTimedOut()
{
    const qint64 iLeft = m_iWaitMs - m_WaitClock.elapsed();
    if (iLeft > 0) {
        m_pStepTimer->start(static_cast<int>(iLeft));
        return;
    }
    runNextStep();
}

void Window_TestProxy::runNextStep()
{
    if (!m_bRunning)
        return;
    if (m_uNextStep >= m_Steps.size()) {
        endRun();
        return;
    }
    const Step step = m_Steps[m_uNextStep++];
    QPointer<Window_TestProxy> guard(this);
    const quint64 uEpoch = m_uEpoch;
    const int iDelay = step();
    // A stop during the step has set the course already.
    if (!guard || !m_bRunning || uEpoch != m_uEpoch)
        return;
    if (m_uNextStep < m_Steps.size())
        ui->progressBar->setValue(static_cast<int>(m_uNextStep * 100 / m_Steps.size()));
    if (iDelay < 0)
        return;
    startWait(iDelay);
}

// The connection is left as the sequence found it when both of its opening
// presses were made (disconnected), otherwise untouched. The closing press
// goes from the event loop, never from inside the main window's slot that
// asked for the stop.
void Window_TestProxy::stopRun()
{
    if (!m_bRunning)
        return;
    ++m_uEpoch;
    m_bCutShort = true;
    for (QMessageBox* pPrompt : {m_pPutShutter, m_pRemoveShutter})
        if (pPrompt)
            pPrompt->hide();
    if (m_uNextStep > m_uClosingPress) {
        // The closing press is made: the wait for the board goes on.
        if (!m_pStepTimer->isActive())
            startWait(0);
        return;
    }
    if (m_uNextStep >= m_uFirstPress + 2) {
        m_uNextStep = m_uClosingPress;
        startWait(0);
        return;
    }
    endRun();
}

void Window_TestProxy::endRun()
{
    m_pStepTimer->stop();
    m_bRunning = false;
    ++m_uEpoch;
    // A run cut short keeps the progress where it stopped.
    if (!m_bCutShort)
        ui->progressBar->setValue(100);
    raise();
    delete m_pPutShutter;
    m_pPutShutter = nullptr;
    delete m_pRemoveShutter;
    m_pRemoveShutter = nullptr;
    ui->pushButton->setEnabled(true);
    emit TestFinished();
    if (m_bCloseAfterRun)
        close();
}

void Window_TestProxy::closeEvent(QCloseEvent* p_pEvent)
{
    if (!m_bRunning) {
        p_pEvent->accept();
        return;
    }
    // End the run first, then the window closes.
    p_pEvent->ignore();
    m_bCloseAfterRun = true;
    stopRun();
}
