// The command sequences behind the advanced-commands window, without the window: FPGA editor, particular parameters, USB3 and GigE quick parameters.
#include "board/advanced_commands.h"
#include "board/cameralink_commands.h"
#include "board/gige_link.h"
#include "board/gige_quick_parameters.h"
#include "board_link_fixture.h"
#include "platform/ebus/ebus.h"
#include "sim/core/board_kind.h"
#include "sim/gige/dunstel_board.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(PersoPath)

namespace {

// The Belmor texts of a sequence, as the Camera Link board receives them.
QList<QByteArray> BelmorTexts(const PersoSequence& p_Sequence)
{
    QList<QByteArray> texts;
    for (const PersoWrite& w : p_Sequence)
        texts << FormatBelmorCommand(w.Register, w.Value);
    return texts;
}

QList<QByteArray> GigETexts(const PersoSequence& p_Sequence)
{
    QList<QByteArray> texts;
    for (const PersoWrite& w : p_Sequence)
        texts << FormatGigECommand(w.Register, w.Value);
    return texts;
}

QStringList Usb3Texts(const Usb3Sequence& p_Sequence)
{
    QStringList texts;
    for (const Usb3Write& w : p_Sequence)
        texts << QString::number(w.Parameter) + "=" + QString::number(w.Value);
    return texts;
}

// The form's defaults of the quick parameters.
std::vector<GigEQuickValue> DefaultQuickValues()
{
    const QStringList texts = {"Off", "Mono16", "False", "High", "High", "High", "Edge", "Edge"};
    std::vector<GigEQuickValue> values;
    for (int i = 0; i < 8; ++i) {
        GigEQuickValue v;
        v.Feature = GigEQuickFeatureNames().at(i);
        v.Boolean = IsGigEQuickBoolean(v.Feature);
        v.Text = texts.at(i);
        v.BooleanValue = v.Text == "True";
        values.push_back(v);
    }
    return values;
}

// A device that records every call in order.
class RecordingDevice : public GigEFeatureAccess
{
public:
    QStringList calls;
    QString refuse;          // a feature whose write fails
    bool hasStart = true;
    int goneAfterWaits = -1; // the device disappears after that many waits
    int waits = 0;

    bool hasCommand(const QString& p_sName) override { return p_sName != "AcquisitionStart" || hasStart; }
    void execute(const QString& p_sName) override { calls << p_sName; }
    void setStreamEnabled(bool p_bEnabled) override { calls << (p_bEnabled ? "StreamEnable" : "StreamDisable"); }
    QString currentValue(const GigEQuickValue& p_Value) override { return p_Value.Boolean ? "True" : "Low"; }
    bool write(const GigEQuickValue& p_Value) override
    {
        calls << p_Value.Feature + "=" + (p_Value.Boolean ? (p_Value.BooleanValue ? "true" : "false") : p_Value.Text);
        return p_Value.Feature != refuse;
    }
    bool stillThere() override { return goneAfterWaits < 0 || waits < goneAfterWaits; }
};

} // namespace

class tst_advanced_commands : public QObject
{
    Q_OBJECT

private slots:
    // ---- FPGA register editor ------------------------------------------------------

    void fpgaRegisterWrites_data()
    {
        QTest::addColumn<QString>("registerName");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<QByteArray>>("texts");
        QTest::newRow("Luminance, 16 bits: low byte then high byte at address + 1")
            << "Luminance" << QList<int>{2, 4, 5, 9, 12} << 4660
            << QList<QByteArray>{"!a008", "!b052", "!a009", "!b018"};
        QTest::newRow("Contrast, 8 bits: the high byte is never sent")
            << "Contrast" << QList<int>{2, 4, 5, 9, 12} << 4660 << QList<QByteArray>{"!a007", "!b052"};
        QTest::newRow("ClockGen writes registers 10 and 11")
            << "ClockGen" << QList<int>{0, 15} << 0x8001 << QList<QByteArray>{"!a010", "!b001", "!a011", "!b128"};
        QTest::newRow("BadPixel PosY, last register of the table")
            << "BadPixel PosY" << QList<int>{} << 0 << QList<QByteArray>{"!a021", "!b000", "!a022", "!b000"};
        QTest::newRow("all sixteen bits") << "Proxy SPI"
                                          << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15} << 65535
                                          << QList<QByteArray>{"!a000", "!b255", "!a001", "!b255"};
    }
    void fpgaRegisterWrites()
    {
        QFETCH(QString, registerName);
        QFETCH(QList<int>, ticked);
        QFETCH(int, value);
        QFETCH(QList<QByteArray>, texts);
        const FpgaRegisterRow* pRow = FindFpgaRegister(registerName);
        QVERIFY(pRow != nullptr);
        std::array<bool, 16> bits{};
        for (int b : ticked)
            bits[static_cast<size_t>(b)] = true;
        QCOMPARE(int(FpgaValueFromBits(bits)), value);
        const PersoSequence sequence = FpgaRegisterSequence(pRow->Address, FpgaValueFromBits(bits), pRow->Width == 16);
        QCOMPARE(BelmorTexts(sequence), texts);
        // Every byte fits the Camera Link board's register.
        QCOMPARE(CheckPersoSequence(PersoPath::CameraLink, sequence), QString());
    }

    // The table in the combo box's order, with the rows whose bits differ from "all of the register".
    void fpgaRegisterTableRows()
    {
        const QStringList names = {"Choose register...", "Proxy SPI", "Proxy Clock", "OutputClock", "CameraLink",
                                   "Debug", "NUC", "Contrast", "Luminance", "ClockGen", "PortMap", "Shutter",
                                   "Shutter Command", "BadPixel Management", "BadPixel Address", "BadPixel PosX",
                                   "BadPixel PosY"};
        QCOMPARE(int(FpgaRegisterTable().size()), names.size());
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(QString(FpgaRegisterTable()[size_t(i)].Name), names.at(i));

        // 12-bit coordinates in a 16-bit register.
        const FpgaRegisterRow* pPosX = FindFpgaRegister("BadPixel PosX");
        QCOMPARE(pPosX->Width, 16);
        QCOMPARE(int(pPosX->EnabledBits), 0x0FFF);
        QCOMPARE(QString(pPosX->BitLabels[11]), QString("PosX11"));
        QCOMPARE(QString(pPosX->BitLabels[12]), QString());
        // CameraLink: bit 0 carries no meaning.
        QCOMPARE(int(FindFpgaRegister("CameraLink")->EnabledBits), 0x003E);
        // OutputClock cannot be sent; the placeholder has no usable bit but the plain labels.
        QVERIFY(!FindFpgaRegister("OutputClock")->SendEnabled);
        QCOMPARE(QString(FindFpgaRegister("OutputClock")->BitLabels[0]), QString("OutputClock"));
        const FpgaRegisterRow* pNone = FindFpgaRegister("Choose register...");
        QCOMPARE(int(pNone->EnabledBits), 0);
        QCOMPARE(QString(pNone->BitLabels[15]), QString("Bit15"));
        QCOMPARE(QString(FindFpgaRegister("ClockGen")->BitLabels[8]), QString("Div0"));
        QCOMPARE(int(FindFpgaRegister("ClockGen")->EnabledBits), 0);
        // Names are matched exactly.
        QVERIFY(FindFpgaRegister("luminance") == nullptr);
        QVERIFY(FindFpgaRegister("") == nullptr);
    }

    // ---- Particular parameters -----------------------------------------------------

    void particularParameterCameraLink_data()
    {
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<int>("proxy");
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<QByteArray>>("texts");
        QTest::newRow("Interframe on proxy 5 uses 0x8F")
            << "Interframe" << 5 << 10
            << QList<QByteArray>{"!a000", "!b143", "!a001", "!b224", "!a000", "!b010", "!a001", "!b240"};
        QTest::newRow("Interframe on another proxy uses 0x56")
            << "Interframe" << 4 << 10
            << QList<QByteArray>{"!a000", "!b086", "!a001", "!b224", "!a000", "!b010", "!a001", "!b240"};
        QTest::newRow("Interline 0x62") << "Interline" << 5 << 255
                                         << QList<QByteArray>{"!a000", "!b098", "!a001", "!b224", "!a000", "!b255",
                                                              "!a001", "!b240"};
        QTest::newRow("Configuration Mode, Global Shutter")
            << "Configuration Mode" << 14 << ConfigurationModeValue(1)
            << QList<QByteArray>{"!a000", "!b001", "!a001", "!b224", "!a000", "!b002", "!a001", "!b240"};
        QTest::newRow("Pipe Alignment 0x87") << "Pipe Alignment" << 0 << 0
                                              << QList<QByteArray>{"!a000", "!b135", "!a001", "!b224", "!a000",
                                                                   "!b000", "!a001", "!b240"};
    }
    void particularParameterCameraLink()
    {
        QFETCH(QString, parameter);
        QFETCH(int, proxy);
        QFETCH(int, value);
        QFETCH(QList<QByteArray>, texts);
        const int iAddress = ParticularParameterAddress(ParticularParameterFromText(parameter), proxy);
        QCOMPARE(BelmorTexts(ParticularParameterSequence(PersoPath::CameraLink, iAddress, value)), texts);
    }

    // The direct paths and which write each failure text names.
    void particularParameterDirectPaths()
    {
        const PersoSequence usb3 = ParticularParameterSequence(PersoPath::Usb3, 0x56, 4000);
        QCOMPARE(usb3, (PersoSequence{{14, 0x56, true}, {15, 4000, false}}));
        QCOMPARE(GigETexts(ParticularParameterSequence(PersoPath::GigE, 0x8F, 4095)),
                 (QList<QByteArray>{"!a0143\n\r", "!b4095\n\r"}));
        QVERIFY(ParticularParameterSequence(PersoPath::None, 1, 1).empty());
        QCOMPARE(PersoFailureText(usb3[0]), QString("Couldn't set PERSO_ADDR to 86.\n"));
        QCOMPARE(PersoFailureText(usb3[1]), QString("Couldn't set PERSO_VALUE to 4000.\n"));
        // On Camera Link step 4 is a value write (224), step 7 an address write (1).
        const PersoSequence cl = ParticularParameterSequence(PersoPath::CameraLink, 0x56, 3);
        QCOMPARE(PersoFailureText(cl[3]), QString("Couldn't set PERSO_VALUE to 224.\n"));
        QCOMPARE(PersoFailureText(cl[6]), QString("Couldn't set PERSO_ADDR to 1.\n"));
    }

    void particularParameterNames()
    {
        QCOMPARE(ParticularParameterFromText("Interframe"), ParticularParameter::Interframe);
        QCOMPARE(ParticularParameterFromText("interframe"), ParticularParameter::None);
        QCOMPARE(ParticularParameterFromText("Parameter..."), ParticularParameter::None);
        QCOMPARE(ParticularParameterHint(ParticularParameter::Interframe), QString());
        QCOMPARE(ParticularParameterHint(ParticularParameter::ConfigurationMode), QString("Only available with X1550"));
        QCOMPARE(ParticularParameterHint(ParticularParameter::PipeAlignment), QString("Only available with Y1437P"));
        QCOMPARE(ConfigurationModeValue(0), 1);
        QCOMPARE(ConfigurationModeValue(2), 4);
        QCOMPARE(ConfigurationModeValue(-1), 0);
        QCOMPARE(ConfigurationModeValue(3), 0);
    }

    // ---- Register widths -------------------------------------------------------------

    // A value wider than the board's register would reach the board as another
    // number ("!b65535" on a one-byte register): such a sequence is refused whole.
    void persoSequenceWidths_data()
    {
        QTest::addColumn<PersoPath>("path");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("Camera Link byte 255 fits") << PersoPath::CameraLink << 255 << 255 << QString();
        QTest::newRow("Camera Link value 256 refused")
            << PersoPath::CameraLink << 3 << 256 << QString("Value 256 does not fit PERSO_VALUE (0 to 255).\nNothing was sent.");
        QTest::newRow("Camera Link value 65535 refused")
            << PersoPath::CameraLink << 3 << 65535
            << QString("Value 65535 does not fit PERSO_VALUE (0 to 255).\nNothing was sent.");
        QTest::newRow("GigE four-digit field takes 9999") << PersoPath::GigE << 255 << 9999 << QString();
        QTest::newRow("GigE 10000 refused")
            << PersoPath::GigE << 1 << 10000 << QString("Value 10000 does not fit PERSO_VALUE (0 to 9999).\nNothing was sent.");
        QTest::newRow("USB3 parameters take 16 bits") << PersoPath::Usb3 << 255 << 65535 << QString();
        QTest::newRow("negative address refused")
            << PersoPath::Usb3 << -1 << 0 << QString("Address -1 does not fit PERSO_ADDR (0 to 65535).\nNothing was sent.");
    }
    void persoSequenceWidths()
    {
        QFETCH(PersoPath, path);
        QFETCH(int, address);
        QFETCH(int, value);
        QFETCH(QString, refusal);
        QCOMPARE(CheckPersoSequence(path, ManualCommandSequence(path, address, value)), refusal);
    }

    void manualCommandPaths()
    {
        QCOMPARE(PersoPathForBoardName("Belmor+"), PersoPath::CameraLink);
        QCOMPARE(PersoPathForBoardName("Corvane"), PersoPath::Usb3);
        QCOMPARE(PersoPathForBoardName("Dunstel"), PersoPath::GigE);
        for (const char* name : {"Arvex", "Belmor", "Eskra", "NONE", "belmor+"})
            QCOMPARE(PersoPathForBoardName(name), PersoPath::None);
        QCOMPARE(BelmorTexts(ManualCommandSequence(PersoPath::CameraLink, 12, 200)),
                 (QList<QByteArray>{"!a012", "!b200"}));
        QCOMPARE(ManualCommandSequence(PersoPath::Usb3, 12, 2000), (PersoSequence{{14, 12, true}, {15, 2000, false}}));
        QVERIFY(ManualCommandSequence(PersoPath::None, 12, 200).empty());
    }

    // ---- USB3 ------------------------------------------------------------------------

    void usb3Sequences()
    {
        QCOMPARE(Usb3Texts(Usb3DirectWriteSequence(0x1234, 0xABCD)),
                 (QStringList{"60=52", "61=18", "62=205", "63=171", "64=0"}));
        QCOMPARE(Usb3Texts(Usb3DirectWriteSequence(0xFFFF, 0)), (QStringList{"60=255", "61=255", "62=0", "63=0", "64=0"}));
        QCOMPARE(Usb3Texts(Usb3BoardCommandSequence(15, 1, 0)), (QStringList{"51=15", "52=1", "53=0", "50=0"}));
    }

    void destinationBoards_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("address");
        QTest::newRow("placeholder") << "Destination Board" << 0;
        QTest::newRow("interface") << "Interface Board" << 1;
        QTest::newRow("NUC, lower case") << "nuc processing board" << 2;
        QTest::newRow("shutter, upper case") << "SHUTTER BOARD" << 15;
        QTest::newRow("the form's own placeholder") << "Board..." << -1;
    }
    void destinationBoards()
    {
        QFETCH(QString, name);
        QFETCH(int, address);
        QCOMPARE(DestinationBoardAddress(name), address);
    }

    // ---- GigE quick parameters ---------------------------------------------------------

    void gigeQuickDefaults()
    {
        RecordingDevice device;
        QList<int> waits;
        QStringList log;
        const GigEQuickResult result = SendGigEQuickParameters(
            device, DefaultQuickValues(), [&](int ms) { waits << ms; ++device.waits; },
            [&](const QString& s) { log << s; });
        QCOMPARE(result.Outcome, GigEQuickOutcome::Done);
        QCOMPARE(device.calls,
                 (QStringList{"AcquisitionStop", "StreamDisable", "TestPattern=Off", "PixelFormat=Mono16",
                              "PixelBusDataValidEnabled=false", "PixelBusDataValidPolarity=High",
                              "PixelBusLineValidPolarity=High", "PixelBusFrameValidPolarity=High",
                              "PixelBusLineValidEdgeSensitivity=Edge", "PixelBusFrameValidEdgeSensitivity=Edge",
                              "StreamEnable", "AcquisitionStart"}));
        QCOMPARE(waits, (QList<int>{100, 100, 100, 100, 100, 100, 100, 200}));
        QCOMPARE(log.size(), 8);
        QCOMPARE(log.at(0), QString("Update TestPattern from Low to Off"));
        QCOMPARE(log.at(2), QString("Update PixelBusDataValidEnabled from True to False"));
    }

    // A refused write ends the writes, but the device gets its stream and acquisition back.
    void gigeQuickRefusedWriteRestarts()
    {
        RecordingDevice device;
        device.refuse = "PixelFormat";
        const GigEQuickResult result =
            SendGigEQuickParameters(device, DefaultQuickValues(), [](int) {}, [](const QString&) {});
        QCOMPARE(result.Outcome, GigEQuickOutcome::WriteFailed);
        QCOMPARE(result.FailedFeature, QString("PixelFormat"));
        QCOMPARE(device.calls, (QStringList{"AcquisitionStop", "StreamDisable", "TestPattern=Off", "PixelFormat=Mono16",
                                            "StreamEnable", "AcquisitionStart"}));
    }

    // Without a start command the device would stay stopped: nothing is touched.
    void gigeQuickNeedsBothCommands()
    {
        RecordingDevice device;
        device.hasStart = false;
        const GigEQuickResult result =
            SendGigEQuickParameters(device, DefaultQuickValues(), [](int) {}, [](const QString&) {});
        QCOMPARE(result.Outcome, GigEQuickOutcome::MissingCommands);
        QVERIFY(device.calls.isEmpty());
    }

    // A disconnection during a wait: the freed device is never called again.
    void gigeQuickDeviceGoneDuringWait()
    {
        RecordingDevice device;
        device.goneAfterWaits = 2;
        const GigEQuickResult result = SendGigEQuickParameters(
            device, DefaultQuickValues(), [&](int) { ++device.waits; }, [](const QString&) {});
        QCOMPARE(result.Outcome, GigEQuickOutcome::DeviceGone);
        QCOMPARE(device.calls, (QStringList{"AcquisitionStop", "StreamDisable", "TestPattern=Off", "PixelFormat=Mono16"}));
    }

    // The same sequence on the simulated board through its SDK objects.
    void gigeQuickOnTheSimulatedDevice()
    {
        BoardLinkBench bench;
        sim::SetFastMode(true);
        sim::DunstelBoard& board = sim::DunstelBoard::instance();
        board.powerCycle();
        const std::vector<const PvDeviceInfo*> found = PvDiscoverDevices();
        QVERIFY(!found.empty());
        PvDevice* pDevice = ConnectGigEDevice(found.front());
        QVERIFY(pDevice != nullptr);
        QVERIFY(pDevice->StreamEnable().IsOK());
        QVERIFY(pDevice->GetParameters()->ExecuteCommand("AcquisitionStart").IsOK());

        std::vector<GigEQuickValue> values = DefaultQuickValues();
        values[0].Text = "iPORTTestPattern";
        values[2].Text = "True";
        values[2].BooleanValue = true;
        values[4].Text = "Low";
        PvDeviceFeatureAccess access(pDevice, [pDevice] { return pDevice; });
        QStringList log;
        QCOMPARE(SendGigEQuickParameters(access, values, [](int) {}, [&](const QString& s) { log << s; }).Outcome,
                 GigEQuickOutcome::Done);
        QString sValue;
        board.getEnum("TestPattern", &sValue);
        QCOMPARE(sValue, QString("iPORTTestPattern"));
        board.getEnum("PixelBusLineValidPolarity", &sValue);
        QCOMPARE(sValue, QString("Low"));
        bool bEnabled = false;
        board.getBoolean("PixelBusDataValidEnabled", &bEnabled);
        QVERIFY(bEnabled);
        QVERIFY(board.streamEnabled());
        QVERIFY(board.acquisitionRunning());
        QCOMPARE(log.at(1), QString("Update PixelFormat from Mono8 to Mono16"));
        QCOMPARE(log.at(2), QString("Update PixelBusDataValidEnabled from False to True"));

        // An entry the device does not have is refused; it streams again all the same.
        values[1].Text = "Mono99";
        QCOMPARE(SendGigEQuickParameters(access, values, [](int) {}, [](const QString&) {}).Outcome,
                 GigEQuickOutcome::WriteFailed);
        QVERIFY(board.streamEnabled());
        QVERIFY(board.acquisitionRunning());

        // Once the program no longer holds the device, the sequence stops after the first wait.
        PvDevice* pHeld = pDevice;
        PvDeviceFeatureAccess released(pDevice, [&pHeld] { return pHeld; });
        QCOMPARE(SendGigEQuickParameters(released, DefaultQuickValues(), [&](int) { pHeld = nullptr; },
                                         [](const QString&) {})
                     .Outcome,
                 GigEQuickOutcome::DeviceGone);
        QVERIFY(!board.acquisitionRunning());

        PvDevice::Free(pDevice);
        board.powerCycle();
    }
};

QTEST_MAIN(tst_advanced_commands)
#include "tst_advanced_commands.moc"
