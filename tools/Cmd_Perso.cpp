// The "Advanced Commands" window: manual commands, FPGA register editor, particular parameters, GigE and USB3 parameters.
#include "tools/Cmd_Perso.h"

#include "ui_Cmd_Perso.h"

#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/system_tools.h"
#include "app/waits.h"
#include "board/board_link.h"
#include "board/links/usb3_link.h"
#include "board/gige_quick_parameters.h"
#include "app/message_boxes.h"
#include "params/data_cell_ids.h"
#include "params/proxy_parameter_table.h"
#include "platform/ebus/ebus.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QLabel>

#include <cstdio>

namespace {

// The combo model's item-flags role: 0 greys an item out, 33 makes it selectable and enabled.
constexpr int kItemFlagsRole = Qt::UserRole - 1;
constexpr int kItemSelectable = 33;
constexpr int kItemGreyed = 0;
constexpr int kConfigurationModeProxy = 14;

const QString kNoManualCommandText = QStringLiteral("The Arvex DigiBoard takes no manual address/value command.");
const QString kNoDestinationText = QStringLiteral("Choose the destination board first.");

void PrintLine(const QString& p_sLine)
{
    std::printf("%s\n", p_sLine.toUtf8().constData());
    std::fflush(stdout);
}

void ShowBox(QWidget* p_pParent, QMessageBox::Icon p_Icon, const QString& p_sTitle, const QString& p_sText)
{
    PresentMessageBox({p_pParent, p_Icon, p_sTitle, p_sText, {QStringLiteral("Ok")}});
}

} // namespace

Cmd_Perso::Cmd_Perso(QWidget* parent)
    : QMainWindow(parent), ui(new Ui::Cmd_Perso), m_pOwnLog(new KV_Log)
{
    m_pLog = m_pOwnLog.get();
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Advanced Commands"));

    ui->spinBox_Add->setEnabled(false);
    ui->spinBox_Value->setEnabled(false);
    ui->spinBox_Data->setEnabled(false);
    ui->comboBox_Data->setEnabled(false);
    ui->comboBox_Parameter->setCurrentIndex(0);
    ui->spinBox_Data->setValue(0);
    ui->pushButton_SendParam->setEnabled(false);

    for (int i = 0; i < 3; ++i)
        ui->tabWidget->setTabEnabled(i, true);
    ui->groupBox_BelmorP_Param->setEnabled(false);
    ui->groupBox_Corvane_Param->setEnabled(false);
    ui->groupBox_Dunstel_Param->setEnabled(false);
    ui->groupBoxManualCommands->setEnabled(false);

    ui->label_Copyright->setOpenExternalLinks(true);
    ui->groupBoxManualCommands_2->setVisible(true);

    fillParticularParamList();
    fillDestinationBoardList();

    connect(ui->comboBox_Parameter, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int p_iIndex) { Check_ComboBox_Parameter(ui->comboBox_Parameter->itemText(p_iIndex)); });
    connect(ui->comboBox_DestinationBoard, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int p_iIndex) {
                Check_ComboBox_Destination_Board_Parameter(ui->comboBox_DestinationBoard->itemText(p_iIndex));
            });
    connect(ui->pushButton_SetUSB3_Slider, &QPushButton::released, this, &Cmd_Perso::PushButton_SetUSB3_Slider);
    // The list opens on its placeholder, which names no board to send to.
    Check_ComboBox_Destination_Board_Parameter(ui->comboBox_DestinationBoard->currentText());
    connect(ui->pushButton_SendToUVC, &QPushButton::released, this, &Cmd_Perso::PushButton_SetUSB3_SliderDirect);
    for (int i = 0; i < 16; ++i) {
        auto* pBox = findChild<QCheckBox*>(QStringLiteral("checkBox_Bit%1").arg(i));
        connect(pBox, &QCheckBox::released, this, &Cmd_Perso::UpdateBits);
    }
}

Cmd_Perso::~Cmd_Perso()
{
    closeDeviceBrowser();
    closeStreamBrowser();
    delete ui;
}

void Cmd_Perso::setLog(KV_Log* p_pLog)
{
    m_pLog = p_pLog != nullptr ? p_pLog : m_pOwnLog.get();
}

void Cmd_Perso::writeLog(const QString& p_sLine)
{
    m_pLog->writeLine(p_sLine);
}

// ---- Setters ---------------------------------------------------------------------------

void Cmd_Perso::setCopyright(QString Copyright)
{
    ui->label_Copyright->setText(Copyright);
}

void Cmd_Perso::setDeviceGigE(PvDevice* aDevice)
{
    // The browsers show the features of the device they were opened on.
    if (aDevice != m_pGigEDevice)
        CloseParameterBrowsers();
    m_pGigEDevice = aDevice;
    if (aDevice == nullptr)
        m_pParameterArray = nullptr;
}

void Cmd_Perso::setStreamGigE(PvStream* aStream)
{
    if (aStream != m_pGigEStream && m_bStreamBrowserOpen) {
        writeLog(QStringLiteral("Closing Pleora Stream Parameters window"));
        closeStreamBrowser();
    }
    m_pGigEStream = aStream;
}

void Cmd_Perso::setProxyBoard(int ProxyBoard)
{
    if (ProxyBoard < 0 || ProxyBoard >= kProxyRecordCount) {
        writeLog(QStringLiteral("Advanced Command window: proxy index %1 ignored, outside 0 to %2")
                     .arg(ProxyBoard)
                     .arg(kProxyRecordCount - 1));
        return;
    }
    m_iProxyIndex = ProxyBoard;
    const int iInterline = ui->comboBox_Parameter->findText(QStringLiteral("Interline"), Qt::MatchExactly);
    if (iInterline >= 0) {
        const bool bSelectable = GetDefault(ProxyBoard, ProxyParameterId::BPRegisterEncoding) != 0;
        ui->comboBox_Parameter->setItemData(iInterline, bSelectable ? kItemSelectable : kItemGreyed, kItemFlagsRole);
    }
    const int iMode = ui->comboBox_Parameter->findText(QStringLiteral("Configuration Mode"), Qt::MatchExactly);
    if (iMode >= 0) {
        if (ProxyBoard == kConfigurationModeProxy) {
            ui->comboBox_Parameter->setItemData(iMode, kItemSelectable, kItemFlagsRole);
            return;
        }
        ui->comboBox_Parameter->setItemData(iMode, kItemGreyed, kItemFlagsRole);
    }
    ui->comboBox_Data->setEnabled(false);
}

// ---- Board ---------------------------------------------------------------------------------

void Cmd_Perso::UpdateDigiBoard(QString str)
{
    ui->label_DigiBoard_value->setText(str);
    m_sBoardName = str;
    const PersoPath path = PersoPathForBoardName(str);

    ui->spinBox_Data->setEnabled(true);
    ui->comboBox_Data->setEnabled(false);
    for (int i = 0; i < 3; ++i)
        ui->comboBox_Data->removeItem(0);
    ui->comboBox_Data->setCurrentIndex(0);
    // Only a board that takes particular parameters gets a Send button that does something.
    ui->pushButton_SendParam->setEnabled(path != PersoPath::None);
    if (path == PersoPath::CameraLink)
        ui->spinBox_Data->setRange(0, 255);
    else if (path != PersoPath::None)
        ui->spinBox_Data->setRange(0, 4095);
    ui->spinBox_Data->setValue(0);

    writeLog("Update Advanced Command window DigiBoard to " + str);

    int iTab = -1;
    if (str == QLatin1String("Arvex")) {
        writeLog(QStringLiteral("Enable ARVEX Tab"));
        iTab = 0;
    } else if (str == QLatin1String("Belmor+")) {
        writeLog(QStringLiteral("Enable BELMOR+ Tab"));
        iTab = 0;
    } else if (str == QLatin1String("Corvane")) {
        writeLog(QStringLiteral("Enable Corvane Tab"));
        iTab = 1;
    } else if (str == QLatin1String("Dunstel")) {
        writeLog(QStringLiteral("Enable Dunstel Tab"));
        iTab = 2;
    } else {
        writeLog(QStringLiteral("Disable all Tabs"));
    }
    for (int i = 0; i < 3; ++i)
        ui->tabWidget->setTabEnabled(i, iTab < 0 || i == iTab);
    if (iTab >= 0)
        ui->tabWidget->setCurrentIndex(iTab);
    ui->groupBox_BelmorP_Param->setEnabled(iTab == 0);
    ui->groupBox_Corvane_Param->setEnabled(iTab == 1);
    ui->groupBox_Dunstel_Param->setEnabled(iTab == 2);
    ui->groupBoxManualCommands->setEnabled(iTab >= 0);
    // The Arvex board has the Camera Link tab but no address/value pair of its own.
    ui->pushButton_SendManualCmd->setEnabled(path != PersoPath::None);
    ui->pushButton_SendManualCmd->setToolTip(str == QLatin1String("Arvex") ? kNoManualCommandText : QString());
}

// ---- Failures --------------------------------------------------------------------------------

void Cmd_Perso::reportFailure(const QString& p_sMessage)
{
    PrintLine(QStringLiteral("ERROR set parameters"));
    m_sErrorText = "ERROR set particular parameter fail: " + p_sMessage;
    ShowBox(this, QMessageBox::Critical, QStringLiteral("Critical"), m_sErrorText);
    writeLog("Failed" + p_sMessage);
}

void Cmd_Perso::reportRefusal(const QString& p_sMessage)
{
    m_sErrorText = p_sMessage;
    ShowBox(this, QMessageBox::Warning, QStringLiteral("Invalid parameter"), p_sMessage);
    writeLog("Command refused: " + QString(p_sMessage).replace('\n', ' '));
}

BoardLink* Cmd_Perso::linkOf(BoardKind p_Kind) const
{
    return m_Links ? m_Links(p_Kind) : nullptr;
}

BoardLink* Cmd_Perso::persoLink(PersoPath p_Path) const
{
    switch (p_Path) {
    case PersoPath::CameraLink:
        return linkOf(m_sBoardName == QLatin1String("Arvex") ? BoardKind::Arvex : BoardKind::BelmorPlus);
    case PersoPath::Usb3:
        return linkOf(BoardKind::Corvane);
    case PersoPath::GigE:
        return linkOf(BoardKind::Dunstel);
    case PersoPath::None:
        break;
    }
    return nullptr;
}

Usb3Link* Cmd_Perso::usb3Link() const
{
    return dynamic_cast<Usb3Link*>(linkOf(BoardKind::Corvane));
}

int Cmd_Perso::writePerso(PersoPath p_Path, const PersoWrite& p_Write)
{
    // Every write of a path's sequence is its board's address or value register.
    BoardLink* pLink = persoLink(p_Path);
    if (pLink == nullptr || !pLink->hasIndirect())
        return -1;
    return p_Write.IsAddress ? pLink->writeIndirectAddress(p_Write.Value) : pLink->writeIndirectValue(p_Write.Value);
}

bool Cmd_Perso::sendPersoSequence(PersoPath p_Path, const PersoSequence& p_Sequence)
{
    const QString sRefusal = CheckPersoSequence(p_Path, p_Sequence);
    if (!sRefusal.isEmpty()) {
        reportRefusal(sRefusal);
        return false;
    }
    for (const PersoWrite& write : p_Sequence) {
        if (writePerso(p_Path, write) != 0) {
            reportFailure(PersoFailureText(write));
            return false;
        }
    }
    return true;
}

// ---- Manual command ----------------------------------------------------------------------------

void Cmd_Perso::PushButton_SendCommand()
{
    writeLog(QStringLiteral("Send particular command"));
    const int iAddress = ui->spinBox_AddressManual->value();
    const int iValue = ui->spinBox_DataManual->value();
    const PersoPath path = PersoPathForBoardName(m_sBoardName);
    const QString sPair = QString::number(iAddress) + " - " + QString::number(iValue);
    switch (path) {
    case PersoPath::CameraLink:
        PrintLine("Send BELMOR+ : " + sPair);
        break;
    case PersoPath::Usb3:
        PrintLine("Send Corvane : " + sPair);
        break;
    case PersoPath::GigE:
        PrintLine("Send Dunstel: " + sPair);
        break;
    case PersoPath::None:
        if (m_sBoardName == QLatin1String("Arvex"))
            writeLog(QStringLiteral("Manual command not sent: ") + kNoManualCommandText);
        return;
    }
    sendPersoSequence(path, ManualCommandSequence(path, iAddress, iValue));
}

// ---- FPGA register editor ---------------------------------------------------------------------

void Cmd_Perso::on_comboBox_FPGARegister_currentIndexChanged(QString p_sText)
{
    (void)p_sText;
    ui->pushButton_SendFPGARegisterCLINK->setEnabled(true);
    const QString sCurrent = ui->comboBox_FPGARegister->currentText();
    writeLog("Update FPGA register ComboBox to " + sCurrent);
    const FpgaRegisterRow* pRow = FindFpgaRegister(sCurrent);
    if (pRow == nullptr)
        return;
    ui->spinBox_Add->setValue(pRow->Address);
    ui->groupBox_MSB->setEnabled(pRow->Width == 16);
    for (int i = 0; i < 16; ++i) {
        auto* pBox = findChild<QCheckBox*>(QStringLiteral("checkBox_Bit%1").arg(i));
        auto* pLabel = findChild<QLabel*>(QStringLiteral("label_DescriptifBit%1").arg(i));
        pBox->setEnabled((pRow->EnabledBits >> i) & 1u);
        pBox->setChecked(false);
        pLabel->setText(QString::fromLatin1(pRow->BitLabels[static_cast<size_t>(i)]));
    }
    if (!pRow->SendEnabled)
        ui->pushButton_SendFPGARegisterCLINK->setEnabled(false);
}

void Cmd_Perso::UpdateBits()
{
    std::array<bool, 16> ticked{};
    for (int i = 0; i < 16; ++i)
        ticked[static_cast<size_t>(i)] = findChild<QCheckBox*>(QStringLiteral("checkBox_Bit%1").arg(i))->isChecked();
    ui->spinBox_Value->setValue(FpgaValueFromBits(ticked));
}

void Cmd_Perso::PushButton_SEND_FPGARegister()
{
    writeLog(QStringLiteral("Send FPGA register value"));
    const uint32_t uValue = static_cast<uint32_t>(ui->spinBox_Value->value());
    const int iAddress = ui->spinBox_Add->value();
    // The high byte goes while the high-byte group is on, whatever the tab's own state.
    const bool bSixteenBits = ui->groupBox_MSB->isEnabledTo(ui->groupBox_BelmorP_Param);
    sendPersoSequence(PersoPath::CameraLink, FpgaRegisterSequence(iAddress, uValue, bSixteenBits));
}

// ---- Particular parameters ---------------------------------------------------------------------

void Cmd_Perso::fillParticularParamList()
{
    ui->comboBox_Parameter->removeItem(0);
    const QStringList& names = HeaderConstants::ParticularParameterNames;
    for (int i = 0; i < names.size(); ++i)
        ui->comboBox_Parameter->insertItem(i, names.at(i));
}

void Cmd_Perso::Check_ComboBox_Parameter(QString p_sText)
{
    const PersoPath path = PersoPathForBoardName(m_sBoardName);
    ui->pushButton_SendParam->setEnabled(path != PersoPath::None);

    const ParticularParameter parameter = ParticularParameterFromText(p_sText);
    if (parameter == ParticularParameter::ConfigurationMode) {
        ui->spinBox_Data->setEnabled(false);
        ui->comboBox_Data->setEnabled(true);
        // Emptied first, so choosing the mode again never lists the modes twice.
        while (ui->comboBox_Data->count() > 0)
            ui->comboBox_Data->removeItem(0);
        const QStringList& modes = ConfigurationModeNames();
        for (int i = 0; i < modes.size(); ++i)
            ui->comboBox_Data->insertItem(i, modes.at(i));
        ui->label_Caution->setText(ParticularParameterHint(parameter));
        ui->spinBox_Data->setValue(1);
    } else if (parameter != ParticularParameter::None) {
        ui->spinBox_Data->setEnabled(true);
        for (int i = 0; i < 3; ++i)
            ui->comboBox_Data->removeItem(0);
        ui->comboBox_Data->setEnabled(false);
        ui->label_Caution->setText(ParticularParameterHint(parameter));
        ui->spinBox_Data->setValue(0);
    }

    if (path == PersoPath::CameraLink)
        ui->spinBox_Data->setRange(0, 255);
    else if (path != PersoPath::None)
        ui->spinBox_Data->setRange(0, 4095);
}

void Cmd_Perso::ComboBox_Data(int index)
{
    ui->spinBox_Data->setValue(ConfigurationModeValue(index));
}

void Cmd_Perso::PushButton_Send_ParticularParam()
{
    const int iValue = ui->spinBox_Data->value();
    const QString sText = ui->comboBox_Parameter->currentText();
    const ParticularParameter parameter = ParticularParameterFromText(sText);
    if (parameter == ParticularParameter::None)
        return;
    writeLog("Update " + sText);
    const PersoPath path = PersoPathForBoardName(m_sBoardName);
    switch (path) {
    case PersoPath::CameraLink:
        PrintLine("Send BELMOR+ : " + QString::number(iValue));
        break;
    case PersoPath::Usb3:
        PrintLine("Send Corvane : " + QString::number(iValue));
        break;
    case PersoPath::GigE:
        PrintLine("Send Dunstel : " + QString::number(iValue));
        break;
    case PersoPath::None:
        return;
    }
    const int iAddress = ParticularParameterAddress(parameter, m_iProxyIndex);
    sendPersoSequence(path, ParticularParameterSequence(path, iAddress, iValue));
}

// ---- USB3 board ---------------------------------------------------------------------------------

void Cmd_Perso::fillDestinationBoardList()
{
    ui->comboBox_DestinationBoard->removeItem(0);
    const QStringList& names = HeaderConstants::DestinationBoardNames;
    for (int i = 0; i < names.size(); ++i)
        ui->comboBox_DestinationBoard->insertItem(i, names.at(i));
}

void Cmd_Perso::Check_ComboBox_Destination_Board_Parameter(QString p_sText)
{
    const int iAddress = DestinationBoardAddress(p_sText);
    if (iAddress < 0)
        return;
    ui->pushButton_SetUSB3_Slider->setEnabled(iAddress != 0);
    ui->pushButton_SetUSB3_Slider->setToolTip(iAddress != 0 ? QString() : kNoDestinationText);
    ui->spinBox_Address_DestBoard->setValue(iAddress);
}

void Cmd_Perso::CheckBox_InvertPXClockUSB3(int p_iState)
{
    if (m_sBoardName != QLatin1String("Corvane"))
        return;
    const int iValue = ui->checkBox_InvertPXClockUSB->isChecked() ? 1 : 0;
    Usb3Link* pLink = usb3Link();
    if (pLink == nullptr || pLink->writeParameter(BoardRegisterId::PixelClockInversion, iValue) != 0)
        writeLog(QStringLiteral("Can't update Corvane PixelClock "));
    else
        writeLog("Corvane PixelClock CheckBox set to " + QString::number(p_iState));
}

void Cmd_Perso::PushButton_SetUSB3_Slider()
{
    // Address 0 is no board: the command would go nowhere the operator chose.
    if (DestinationBoardAddress(ui->comboBox_DestinationBoard->currentText()) <= 0) {
        writeLog(QStringLiteral("USB3 command not sent: ") + kNoDestinationText);
        return;
    }
    const int iAddress = ui->spinBox_Address_DestBoard->value();
    const int iRegister = ui->spinBox_SliderReg->value();
    const int iValue = ui->spinBox_SliderValue->value();
    // The board reports nothing for these parameters; every write is made.
    if (Usb3Link* pLink = usb3Link())
        for (const Usb3Write& write : Usb3BoardCommandSequence(iAddress, iRegister, iValue))
            pLink->writeParameter(write.Parameter, write.Value);
    writeLog("Send " + QString::number(iValue) + " to the register " + QString::number(iRegister)
             + " on the Board address " + QString::number(iAddress));
}

void Cmd_Perso::PushButton_SetUSB3_SliderDirect()
{
    // The group stays usable with any board, but only the USB3 board carries
    // these parameters; writing them elsewhere would open the USB3 library
    // behind the connected board's back.
    if (m_sBoardName != QLatin1String("Corvane")) {
        writeLog(QStringLiteral("I2C command not sent: no Corvane DigiBoard connected"));
        ShowBox(this, QMessageBox::Warning, QStringLiteral("Corvane not connected"),
                QStringLiteral("The I2C command goes through the Corvane DigiBoard.\nConnect it first."));
        return;
    }
    const uint16_t uAddress = static_cast<uint16_t>(ui->spinBox_AddressManual_2->value());
    const uint16_t uValue = static_cast<uint16_t>(ui->spinBox_DataManual_2->value());
    // The waits process events: a second press must not interleave its bytes with these.
    Usb3Link* pLink = usb3Link();
    if (pLink == nullptr)
        return;
    ui->pushButton_SendToUVC->setEnabled(false);
    for (const Usb3Write& write : Usb3DirectWriteSequence(uAddress, uValue)) {
        pLink->writeParameter(write.Parameter, write.Value);
        WaitMs(100);
    }
    ui->pushButton_SendToUVC->setEnabled(true);
}

// ---- GigE board -----------------------------------------------------------------------------------

void Cmd_Perso::PushButton_SEND_GigEParam()
{
    if (m_bGigESendRunning)
        return;
    writeLog(QStringLiteral("Send Dunstel commands"));
    if (m_pGigEDevice == nullptr) {
        ShowBox(this, QMessageBox::Warning, QStringLiteral("Stream not started"),
                QStringLiteral("The streaming with the GigE has not started."));
        writeLog(QStringLiteral("Connection to GigE not established"));
        return;
    }
    m_pParameterArray = m_pGigEDevice->GetParameters();

    const QComboBox* combos[] = {ui->comboBox_TestPattern,   ui->comboBox_PixelFormat,   ui->comboBox_DV_Enabled,
                                 ui->comboBox_DV_Polarity,   ui->comboBox_LV_Polarity,   ui->comboBox_FV_Polarity,
                                 ui->comboBox_LV_Sensitivity, ui->comboBox_FV_Sensitivity};
    std::vector<GigEQuickValue> values;
    for (int i = 0; i < 8; ++i) {
        GigEQuickValue value;
        value.Feature = GigEQuickFeatureNames().at(i);
        value.Boolean = IsGigEQuickBoolean(value.Feature);
        value.Text = combos[i]->currentText();
        value.BooleanValue = combos[i]->currentIndex() != 0;
        values.push_back(value);
    }

    m_bGigESendRunning = true;
    ui->pushButton_SendFPGARegisterGIGE->setEnabled(false);
    PvDeviceFeatureAccess device(m_pGigEDevice, [this] { return m_pGigEDevice; });
    const GigEQuickResult result = SendGigEQuickParameters(
        device, values, [](int p_iMs) { WaitMs(p_iMs); }, [this](const QString& p_sLine) { writeLog(p_sLine); });
    ui->pushButton_SendFPGARegisterGIGE->setEnabled(true);
    m_bGigESendRunning = false;

    switch (result.Outcome) {
    case GigEQuickOutcome::Done:
        break;
    case GigEQuickOutcome::WriteFailed:
        ShowBox(this, QMessageBox::Warning, QStringLiteral("Could not set parameter"),
                "Parameter " + result.FailedFeature + " has not be set.\nOperation canceled.");
        writeLog(QStringLiteral("Update failed"));
        break;
    case GigEQuickOutcome::MissingCommands:
        ShowBox(this, QMessageBox::Warning, QStringLiteral("Could not set parameter"),
                QStringLiteral("The device has no AcquisitionStart or AcquisitionStop command.\nOperation canceled."));
        writeLog(QStringLiteral("Update failed: the device has no AcquisitionStart or AcquisitionStop command"));
        break;
    case GigEQuickOutcome::DeviceGone:
        ShowBox(this, QMessageBox::Warning, QStringLiteral("Connection to GigE lost"),
                QStringLiteral("The GigE device was disconnected during the update.\nOperation canceled."));
        writeLog(QStringLiteral("Update failed: connection to GigE lost"));
        break;
    }
}

PvGenBrowserWnd* Cmd_Perso::openBrowser(PvGenParameterArray* p_pArray, const char* p_szTitle)
{
    m_pParameterArray = p_pArray;
    auto* pBrowser = new PvGenBrowserWnd;
    pBrowser->SetTitle(p_szTitle);
    pBrowser->SetGenParameterArray(p_pArray);
    pBrowser->ShowModeless();
    return pBrowser;
}

void Cmd_Perso::closeDeviceBrowser()
{
    if (m_pDeviceBrowser != nullptr) {
        m_pDeviceBrowser->Close();
        delete m_pDeviceBrowser;
        m_pDeviceBrowser = nullptr;
    }
    m_bDeviceBrowserOpen = false;
}

void Cmd_Perso::closeStreamBrowser()
{
    if (m_pStreamBrowser != nullptr) {
        m_pStreamBrowser->Close();
        delete m_pStreamBrowser;
        m_pStreamBrowser = nullptr;
    }
    m_bStreamBrowserOpen = false;
}

void Cmd_Perso::CloseParameterBrowsers()
{
    if (m_bDeviceBrowserOpen) {
        writeLog(QStringLiteral("Closing Pleora Device Parameters window"));
        closeDeviceBrowser();
    }
    if (m_bStreamBrowserOpen) {
        writeLog(QStringLiteral("Closing Pleora Stream Parameters window"));
        closeStreamBrowser();
    }
}

void Cmd_Perso::PushButton_DeviceParamPleoraWnd()
{
    if (m_bDeviceBrowserOpen && m_pDeviceBrowser != nullptr) {
        if (m_pDeviceBrowser->IsVisible()) {
            writeLog(QStringLiteral("Closing Pleora Device Parameters window"));
            closeDeviceBrowser();
            return;
        }
        // Closed by its own title bar: this press opens it again.
        closeDeviceBrowser();
    }
    writeLog(QStringLiteral("Opening Pleora Device Parameters window"));
    if (m_pGigEDevice == nullptr) {
        ShowBox(this, QMessageBox::Warning, QStringLiteral("Device not started"),
                QStringLiteral("The device has not been started correctly."));
        writeLog(QStringLiteral("Connection to GigE not established"));
        return;
    }
    m_pDeviceBrowser = openBrowser(m_pGigEDevice->GetParameters(), "Dunstel advanced configuration - Device");
    m_bDeviceBrowserOpen = true;
}

void Cmd_Perso::PushButton_StreamParamPleoraWnd()
{
    if (m_bStreamBrowserOpen && m_pStreamBrowser != nullptr) {
        if (m_pStreamBrowser->IsVisible()) {
            writeLog(QStringLiteral("Closing Pleora Stream Parameters window"));
            closeStreamBrowser();
            return;
        }
        closeStreamBrowser();
    }
    writeLog(QStringLiteral("Opening Pleora Stream Parameters window"));
    if (m_pGigEDevice == nullptr || m_pGigEStream == nullptr) {
        ShowBox(this, QMessageBox::Warning, QStringLiteral("Device not started"),
                QStringLiteral("The device has not been started correctly."));
        writeLog(QStringLiteral("Connection to GigE not established"));
        return;
    }
    m_pStreamBrowser = openBrowser(m_pGigEStream->GetParameters(), "Dunstel advanced configuration - Streaming");
    m_bStreamBrowserOpen = true;
}

// ---- System tools ----------------------------------------------------------------------------------

void Cmd_Perso::OpenDeviceManager()
{
    writeLog(QStringLiteral("Open Device Manager"));
    const QString sStarted = StartSystemTool(DeviceManagerCandidates());
    if (!sStarted.isEmpty()) {
        writeLog("Device Manager: started " + sStarted);
        return;
    }
    const QString sNames = SystemToolNames(DeviceManagerCandidates());
    writeLog("Device Manager not available: none of " + sNames + " is installed");
    ShowBox(this, QMessageBox::Information, QStringLiteral("Device Manager not available"),
            "No hardware browser was found on this system.\nInstall one of: " + sNames + ".");
}

void Cmd_Perso::OpenNetworkConnections()
{
    writeLog(QStringLiteral("Open Network connections"));
    const QString sStarted = StartSystemTool(NetworkConnectionsCandidates());
    if (!sStarted.isEmpty()) {
        writeLog("Network connections: started " + sStarted);
        return;
    }
    const QString sNames = SystemToolNames(NetworkConnectionsCandidates());
    writeLog("Network connections not available: none of " + sNames + " is installed");
    ShowBox(this, QMessageBox::Information, QStringLiteral("Network connections not available"),
            "No network connection editor was found on this system.\nInstall one of: " + sNames + ".");
}

// ---- Window ------------------------------------------------------------------------------------------

bool Cmd_Perso::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::Close) {
        close();
        emit CloseWindow();
        return true;
    }
    return false;
}

void Cmd_Perso::closeEvent(QCloseEvent* event)
{
    emit CloseWindow();
    event->accept();
}
