// The proxy-board test window: proxy and preset choice, and the test sequence run on its timer, prompts and progress bar.
#include "tools/Window_TestProxy.h"

#include "ui_Window_TestProxy.h"

#include "app/app_paths.h"
#include "app/header_constants.h"
#include "params/proxy_lookup.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/bad_pixel_detection.h"
#include "tools/proxy_test_sequence.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPixmap>
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

// What the sequence reaches of the board goes out as the window's signals to
// the main window; the rest is the window's own timer, boxes and prompts.
class Window_TestProxy::SequenceGlue final : public ProxyTestBoard, public ProxyTestHost
{
public:
    explicit SequenceGlue(Window_TestProxy& p_rWindow)
        : W(p_rWindow)
    {
    }

    bool isConnected() const override { return W.m_bBoardConnected; }
    void requestDisconnect() override { emit W.DisconnectBoard(); }
    void pressConnect() override { emit W.PushButtonConnect(); }
    void takeFpn() override { emit W.PushButtonTakeFPN(); }
    void saveImage(const QString& p_sName) override { emit W.SaveBMPImage(p_sName); }

    ProxyTestChoices choices() const override
    {
        const Ui::Window_TestProxy* ui = W.ui;
        ProxyTestChoices c;
        c.ChangeBias = ui->checkBox_ChangeBIAS->isChecked();
        c.Tint = ui->spinBox_TINT->value();
        c.DacA = ui->spinBox_DACA->value();
        c.DacB = ui->spinBox_DACB->value();
        c.DacC = ui->spinBox_DACC->value();
        c.DacD = ui->spinBox_DACD->value();
        c.ObservationMs = ui->spinBox_ObservationTime->value();
        c.SaveBmp = ui->checkBox_SaveBMP->isChecked();
        c.Nuc = ui->checkBox_NUC->isChecked();
        c.Gain = ui->spinBox_Gain->value();
        c.Offset = ui->spinBox_Offset->value();
        c.GskVariation = ui->checkBox_GSKVariation->isChecked();
        c.Variation = ui->spinBox_GSKVariation->value();
        c.GskChannel = GskDacFromChannelCode(GetDefault(W.m_uProxyIndex, ProxyParameterId::GSKChannel));
        return c;
    }
    void startWait(int p_iMs) override { W.startWait(p_iMs); }
    bool isWaiting() const override { return W.m_pStepTimer->isActive(); }
    void stopWait() override { W.m_pStepTimer->stop(); }
    int64_t nowNs() const override { return W.m_Clock.nsecsElapsed(); }
    void showPrompt(ShutterPrompt p_Prompt) override
    {
        QMessageBox* pBox = W.prompt(p_Prompt);
        pBox->show();
        pBox->raise();
    }
    void closePrompt(ShutterPrompt p_Prompt) override
    {
        W.prompt(p_Prompt)->close();
        QCoreApplication::processEvents();
    }
    void hidePrompts() override
    {
        for (QMessageBox* pPrompt : {W.m_pPutShutter, W.m_pRemoveShutter})
            if (pPrompt)
                pPrompt->hide();
    }
    void setProgress(int p_iPercent) override { W.ui->progressBar->setValue(p_iPercent); }
    void runStarted() override
    {
        delete W.m_pPutShutter;
        delete W.m_pRemoveShutter;
        W.m_pPutShutter = W.makePrompt(QStringLiteral("Put shutter"),
                                       QStringLiteral("Please put a shutter in front of the lens. "));
        W.m_pRemoveShutter = W.makePrompt(QStringLiteral("Remove shutter"), QStringLiteral("Please remove the shutter."));
        emit W.TestStarted();
    }
    void runEnded() override
    {
        W.raise();
        delete W.m_pPutShutter;
        W.m_pPutShutter = nullptr;
        delete W.m_pRemoveShutter;
        W.m_pRemoveShutter = nullptr;
        W.ui->pushButton->setEnabled(true);
        emit W.TestFinished();
        if (W.m_bCloseAfterRun)
            W.close();
    }

private:
    Window_TestProxy& W;
};

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
    m_Clock.start();
    m_pGlue = std::make_unique<SequenceGlue>(*this);
    m_pSequence = std::make_unique<ProxyTestSequence>(*m_pGlue, *m_pGlue);
    m_pSequence->setWriter(signalWriter());

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

ParameterWriter Window_TestProxy::signalWriter()
{
    ParameterWriter writer;
    writer.SetValue = [this](ParameterBox p_Box, int p_iValue) {
        switch (p_Box) {
        case ParameterBox::TINT: emit ValueTINT_changed(p_iValue); break;
        case ParameterBox::DAC_A: emit ValueDAC_A_changed(p_iValue); break;
        case ParameterBox::DAC_B: emit ValueDAC_B_changed(p_iValue); break;
        case ParameterBox::DAC_C: emit ValueDAC_C_changed(p_iValue); break;
        case ParameterBox::DAC_D: emit ValueDAC_D_changed(p_iValue); break;
        case ParameterBox::ImageGain: emit ValueGain_changed(p_iValue); break;
        case ParameterBox::ImageOffset: emit ValueOffset_changed(p_iValue); break;
        }
    };
    writer.Send = [this]() { emit PushButton_SetParam(); };
    return writer;
}

void Window_TestProxy::setParameterWriter(ParameterWriter p_Writer)
{
    m_pSequence->setWriter(std::move(p_Writer));
}

QMessageBox*& Window_TestProxy::prompt(ShutterPrompt p_Prompt)
{
    return p_Prompt == ShutterPrompt::Put ? m_pPutShutter : m_pRemoveShutter;
}

bool Window_TestProxy::isRunning() const
{
    return m_pSequence->isRunning();
}

void Window_TestProxy::on_pushButton_released()
{
    if (isRunning())
        return;
    m_bCloseAfterRun = false;
    ui->pushButton->setEnabled(false);
    m_pSequence->start();
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
    m_pSequence->resume();
}

void Window_TestProxy::stopRun()
{
    m_pSequence->stop();
}

void Window_TestProxy::closeEvent(QCloseEvent* p_pEvent)
{
    if (!isRunning()) {
        p_pEvent->accept();
        return;
    }
    // End the run first, then the window closes.
    p_pEvent->ignore();
    m_bCloseAfterRun = true;
    stopRun();
}
