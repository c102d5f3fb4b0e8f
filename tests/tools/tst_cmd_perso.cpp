// The advanced-commands window driven by its widgets against the simulated boards: tabs, manual commands, FPGA editor, particular parameters, USB3 and GigE tabs.
#include "tools/Cmd_Perso.h"

#include "ui_Cmd_Perso.h"

#include "app/globals.h"
#include "board/cameralink_serial.h"
#include "board/gige_link.h"
#include "board/board_link_fixture.h"
#include "board/links/gige_link.h"
#include "board/register_writer.h"
#include "params/data_cell_ids.h"
#include "params/proxy_parameter_table.h"
#include "platform/clserial/clserial.h"
#include "platform/ebus/ebus.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "sim/gige/dunstel_board.h"
#include "sim/usb3/corvane_board.h"
#include "usb3lib/quenlin_test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

#include <memory>

using sim::BoardKind;

class tst_cmd_perso : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BoardLinkBench> m_pBench;
    std::unique_ptr<Cmd_Perso> m_pWindow;
    PvDevice* m_pDevice = nullptr;
    PvDeviceSerialPort* m_pPort = nullptr;
    // The Dunstel link the window writes through; it holds the UART port.
    GigELink m_GigELink;

    Ui::Cmd_Perso* ui() { return m_pWindow->ui; }
    QCheckBox* bit(int i) { return m_pWindow->findChild<QCheckBox*>(QString("checkBox_Bit%1").arg(i)); }
    QLabel* bitLabel(int i) { return m_pWindow->findChild<QLabel*>(QString("label_DescriptifBit%1").arg(i)); }
    void click(QWidget* p_pWidget) { QTest::mouseClick(p_pWidget, Qt::LeftButton); }
    QStringList boxTitles() const
    {
        QStringList titles;
        for (const BoardLinkBench::Box& box : m_pBench->boxes)
            titles << box.title;
        return titles;
    }

    // Only p_Kind of the Camera Link boards is present; its port is the link.
    void openCameraLink(BoardKind p_Kind)
    {
        sim::SimulationSettings s;
        for (BoardKind k : {BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus})
            s.setBoardPresent(k, k == p_Kind);
        hSerRef ref = nullptr;
        QCOMPARE(clSerialInit(0, &ref), int32_t(CL_ERR_NO_ERR));
        g_hCameraLinkSerial = ref;
    }
    QList<QByteArray> serial(BoardKind p_Kind = BoardKind::BelmorPlus) { return sim::RecordedBytes(p_Kind, "serial"); }
    QList<QByteArray> usb3Registers() { return sim::RecordedBytes(BoardKind::Corvane, "register"); }

    void connectGigE()
    {
        const std::vector<const PvDeviceInfo*> found = PvDiscoverDevices();
        QVERIFY(!found.empty());
        m_pDevice = ConnectGigEDevice(found.front());
        QVERIFY(m_pDevice != nullptr);
        m_pPort = OpenGigESerial(m_pDevice);
        QVERIFY(m_pPort != nullptr);
        m_GigELink.state().SerialPort = m_pPort;
        m_pWindow->setDeviceGigE(m_pDevice);
    }

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void init()
    {
        m_pBench = std::make_unique<BoardLinkBench>();
        sim::ResetCameraLinkSimulation();
        sim::CorvaneBoard::instance().reset();
        sim::DunstelBoard::instance().powerCycle();
        CloseCapture(false);
        g_hCameraLinkSerial = nullptr;
        InitProxyParameterTable();
        m_pWindow = std::make_unique<Cmd_Perso>();
        m_pWindow->setLog(m_pBench->log.get());
        m_GigELink.state().SerialPort = nullptr;
        m_pWindow->setBoardLinks([this](::BoardKind p_Kind) {
            return p_Kind == ::BoardKind::Dunstel ? &m_GigELink : StandaloneBoardLink(p_Kind);
        });
        sim::ClearRecordedMessages();
    }
    void cleanup()
    {
        m_pWindow.reset();
        m_GigELink.state().SerialPort = nullptr;
        CloseGigESerial(m_pPort);
        delete m_pPort;
        m_pPort = nullptr;
        PvDevice::Free(m_pDevice);
        m_pDevice = nullptr;
        CloseCameraLinkSerial();
        CloseCapture(false);
        sim::ClearAllFaults();
        sim::ResetCameraLinkSimulation();
        sim::CorvaneBoard::instance().reset();
        sim::DunstelBoard::instance().powerCycle();
        m_pBench.reset();
    }

    // ---- Form and construction ---------------------------------------------------------

    void formWidgetsAndRanges_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("maximum");
        QTest::newRow("data") << "spinBox_Data" << 4095;
        QTest::newRow("manual address") << "spinBox_AddressManual" << 255;
        QTest::newRow("manual data") << "spinBox_DataManual" << 65535;
        QTest::newRow("I2C address") << "spinBox_AddressManual_2" << 65535;
        QTest::newRow("I2C value") << "spinBox_DataManual_2" << 65535;
        QTest::newRow("USB3 register") << "spinBox_SliderReg" << 255;
        QTest::newRow("USB3 value") << "spinBox_SliderValue" << 65535;
        QTest::newRow("destination address") << "spinBox_Address_DestBoard" << 15;
        QTest::newRow("FPGA address, hex 63") << "spinBox_Add" << 99;
        QTest::newRow("FPGA value, hex FFFF") << "spinBox_Value" << 65535;
    }
    void formWidgetsAndRanges()
    {
        QFETCH(QString, name);
        QFETCH(int, maximum);
        auto* pSpin = m_pWindow->findChild<QSpinBox*>(name);
        QVERIFY2(pSpin != nullptr, qPrintable(name));
        QCOMPARE(pSpin->minimum(), 0);
        QCOMPARE(pSpin->maximum(), maximum);
    }

    // Every widget a slot reaches by name, with its kind.
    void formObjectNames()
    {
        QStringList missing;
        auto expect = [&](const QString& p_sClass, const QStringList& p_Names) {
            for (const QString& sName : p_Names) {
                QObject* pObject = m_pWindow->findChild<QObject*>(sName);
                if (pObject == nullptr || !pObject->inherits(p_sClass.toLatin1().constData()))
                    missing << p_sClass + " " + sName;
            }
        };
        QStringList bitBoxes, bitLabels, bitHeadings;
        for (int i = 0; i < 16; ++i) {
            bitBoxes << QString("checkBox_Bit%1").arg(i);
            bitLabels << QString("label_DescriptifBit%1").arg(i);
            bitHeadings << QString("label_Bit_%1").arg(i);
        }
        expect("QCheckBox", bitBoxes + QStringList{"checkBox_InvertPXClockUSB"});
        expect("QLabel", bitLabels + bitHeadings
                             + QStringList{"label_DigiBoard", "label_DigiBoard_value", "label_Caution", "label_Copyright",
                                           "label_Add", "label_Value", "label_Board", "label_Address", "label_Register",
                                           "label_Value_2", "label_Slider", "label_ValueToSLider", "label_Address_2",
                                           "label_Data", "label_TestPattern_3"});
        expect("QComboBox", {"comboBox_Parameter", "comboBox_Data", "comboBox_FPGARegister", "comboBox_DestinationBoard",
                             "comboBox_TestPattern", "comboBox_PixelFormat", "comboBox_DV_Enabled",
                             "comboBox_DV_Polarity", "comboBox_LV_Polarity", "comboBox_FV_Polarity",
                             "comboBox_LV_Sensitivity", "comboBox_FV_Sensitivity"});
        expect("QPushButton", {"pushButton_SendParam", "pushButton_SendManualCmd", "pushButton_SendFPGARegisterCLINK",
                               "pushButton_SendToUVC", "pushButton_SetUSB3_Slider", "pushButton_DeviceManager",
                               "pushButton_NetworkConnections", "pushButton_DeviceParam", "pushButton_StreamParam",
                               "pushButton_SendFPGARegisterGIGE"});
        expect("QGroupBox", {"groupBoxManualCommands", "groupBoxManualCommands_2", "groupBox_BelmorP_Param",
                             "groupBox_MSB", "groupBox_Corvane_Param", "groupBox_Dunstel_Param"});
        expect("QFrame", {"line_10", "line_11", "line_12", "line_13", "line_14"});
        expect("QWidget", {"centralwidget", "BELMORP", "Corvane", "Dunstel"});
        expect("QTabWidget", {"tabWidget"});
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
        // The high byte lives in its own group, the low byte beside it.
        QCOMPARE(bit(8)->parentWidget(), static_cast<QWidget*>(ui()->groupBox_MSB));
        QCOMPARE(bit(7)->parentWidget(), static_cast<QWidget*>(ui()->groupBox_BelmorP_Param));
        QCOMPARE(ui()->tabWidget->widget(0)->objectName(), QString("BELMORP"));
    }

    // What the operator sees before any board: every tab selectable, the board
    // groups and the manual panel off, the I2C group and the clock box usable.
    void stateAfterConstruction()
    {
        QCOMPARE(m_pWindow->windowTitle(), QString("Advanced Commands"));
        QCOMPARE(ui()->label_DigiBoard_value->text(), QString("NONE"));
        QCOMPARE(ui()->tabWidget->count(), 3);
        QCOMPARE(ui()->tabWidget->tabText(0), QString("BELMOR+"));
        QCOMPARE(ui()->tabWidget->tabText(1), QString("Corvane"));
        QCOMPARE(ui()->tabWidget->tabText(2), QString("Dunstel"));
        QCOMPARE(ui()->tabWidget->currentIndex(), 1);
        for (int i = 0; i < 3; ++i)
            QVERIFY(ui()->tabWidget->isTabEnabled(i));
        for (QWidget* p : {static_cast<QWidget*>(ui()->groupBox_BelmorP_Param), static_cast<QWidget*>(ui()->groupBox_Corvane_Param),
                           static_cast<QWidget*>(ui()->groupBox_Dunstel_Param), static_cast<QWidget*>(ui()->groupBoxManualCommands),
                           static_cast<QWidget*>(ui()->spinBox_Add), static_cast<QWidget*>(ui()->spinBox_Value),
                           static_cast<QWidget*>(ui()->spinBox_Data), static_cast<QWidget*>(ui()->comboBox_Data),
                           static_cast<QWidget*>(ui()->pushButton_SendParam)})
            QVERIFY2(!p->isEnabled(), qPrintable(p->objectName()));
        QVERIFY(ui()->groupBoxManualCommands_2->isEnabled());
        QVERIFY(ui()->checkBox_InvertPXClockUSB->isEnabled());
        QCOMPARE(ui()->spinBox_Add->displayIntegerBase(), 16);

        QStringList parameters;
        for (int i = 0; i < ui()->comboBox_Parameter->count(); ++i)
            parameters << ui()->comboBox_Parameter->itemText(i);
        QCOMPARE(parameters, (QStringList{"Interframe", "Interline", "Configuration Mode", "Pipe Alignment"}));
        QStringList boards;
        for (int i = 0; i < ui()->comboBox_DestinationBoard->count(); ++i)
            boards << ui()->comboBox_DestinationBoard->itemText(i);
        QCOMPARE(boards, (QStringList{"Destination Board", "Interface Board", "NUC Processing Board", "Shutter Board"}));
        QCOMPARE(ui()->comboBox_FPGARegister->count(), 17);
        QCOMPARE(ui()->comboBox_PixelFormat->currentText(), QString("Mono16"));
        QCOMPARE(ui()->comboBox_FV_Sensitivity->currentText(), QString("Edge"));
        QCOMPARE(ui()->pushButton_DeviceParam->text(), QString("Pleora Window\n-----\nDevice Parameters"));
        // Building the form ran no slot: nothing was logged.
        QVERIFY(m_pBench->logLinesStartingWith("Update").isEmpty());
    }

    // ---- Tabs follow the board ------------------------------------------------------------

    void tabsFollowTheBoard_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<int>("tab");  // -1: all tabs, none current by the board
        QTest::addColumn<bool>("sendParam");
        QTest::newRow("Arvex") << "Arvex" << "Enable ARVEX Tab" << 0 << false;
        QTest::newRow("Belmor+") << "Belmor+" << "Enable BELMOR+ Tab" << 0 << true;
        QTest::newRow("Corvane") << "Corvane" << "Enable Corvane Tab" << 1 << true;
        QTest::newRow("Dunstel") << "Dunstel" << "Enable Dunstel Tab" << 2 << true;
        QTest::newRow("Belmor has no tab") << "Belmor" << "Disable all Tabs" << -1 << false;
        QTest::newRow("Eskra has no tab") << "Eskra" << "Disable all Tabs" << -1 << false;
        QTest::newRow("disconnection") << "NONE" << "Disable all Tabs" << -1 << false;
    }
    void tabsFollowTheBoard()
    {
        QFETCH(QString, board);
        QFETCH(QString, logLine);
        QFETCH(int, tab);
        QFETCH(bool, sendParam);
        // From another board's state, with the configuration modes listed.
        m_pWindow->UpdateDigiBoard("Dunstel");
        m_pWindow->setProxyBoard(14);
        ui()->comboBox_Parameter->setCurrentIndex(2);
        QCOMPARE(ui()->comboBox_Data->count(), 3);

        m_pWindow->UpdateDigiBoard(board);
        QCOMPARE(ui()->label_DigiBoard_value->text(), board);
        QCOMPARE(m_pBench->logLines().filter("Tab").last(), logLine);
        QVERIFY(m_pBench->logLines().contains("Update Advanced Command window DigiBoard to " + board));
        QWidget* groups[] = {ui()->groupBox_BelmorP_Param, ui()->groupBox_Corvane_Param, ui()->groupBox_Dunstel_Param};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(ui()->tabWidget->isTabEnabled(i), tab < 0 || tab == i);
            QCOMPARE(groups[i]->isEnabledTo(m_pWindow.get()), tab == i);
        }
        if (tab >= 0)
            QCOMPARE(ui()->tabWidget->currentIndex(), tab);
        QCOMPARE(ui()->groupBoxManualCommands->isEnabled(), tab >= 0);
        // Every board change empties the modes and clears the value.
        QCOMPARE(ui()->comboBox_Data->count(), 0);
        QVERIFY(!ui()->comboBox_Data->isEnabled());
        QCOMPARE(ui()->spinBox_Data->value(), 0);
        QCOMPARE(ui()->pushButton_SendParam->isEnabled(), sendParam);
    }

    // ---- Proxy ------------------------------------------------------------------------------

    void proxyGreysParameters()
    {
        int iWith = -1, iWithout = -1;
        for (int p = 0; p < kProxyRecordCount; ++p) {
            if (GetDefault(p, ProxyParameterId::BPRegisterEncoding) != 0 && iWith < 0 && p != 14)
                iWith = p;
            if (GetDefault(p, ProxyParameterId::BPRegisterEncoding) == 0 && iWithout < 0 && p != 14)
                iWithout = p;
        }
        QVERIFY(iWith >= 0 && iWithout >= 0);
        auto flags = [this](int i) { return ui()->comboBox_Parameter->itemData(i, Qt::UserRole - 1).toInt(); };

        m_pWindow->setProxyBoard(iWithout);
        QCOMPARE(m_pWindow->proxyIndex(), iWithout);
        QCOMPARE(flags(1), 0);
        QCOMPARE(flags(2), 0);
        m_pWindow->setProxyBoard(iWith);
        QCOMPARE(flags(1), 33);
        QCOMPARE(flags(2), 0);
        // Proxy 14 offers the configuration modes and leaves comboBox_Data as it is.
        m_pWindow->UpdateDigiBoard("Belmor+");
        m_pWindow->setProxyBoard(14);
        QCOMPARE(flags(2), 33);
        ui()->comboBox_Parameter->setCurrentIndex(2);
        QVERIFY(ui()->comboBox_Data->isEnabled());
        m_pWindow->setProxyBoard(14);
        QVERIFY(ui()->comboBox_Data->isEnabled());
        m_pWindow->setProxyBoard(iWith);
        QVERIFY(!ui()->comboBox_Data->isEnabled());
        // Greyed items keep their place.
        QCOMPARE(ui()->comboBox_Parameter->itemText(2), QString("Configuration Mode"));
        auto* pModel = qobject_cast<QStandardItemModel*>(ui()->comboBox_Parameter->model());
        QVERIFY(!(pModel->item(2)->flags() & Qt::ItemIsEnabled));

        // An index outside the table is refused and changes nothing.
        for (int bad : {-1, 25, 1000}) {
            m_pWindow->setProxyBoard(bad);
            QCOMPARE(m_pWindow->proxyIndex(), iWith);
        }
        QCOMPARE(m_pBench->logLinesStartingWith("Advanced Command window: proxy index").size(), 3);
    }

    // ---- FPGA register editor on the Belmor+ board --------------------------------------------

    void fpgaEditorWritesTheRegister()
    {
        openCameraLink(BoardKind::BelmorPlus);
        m_pWindow->UpdateDigiBoard("Belmor+");
        ui()->comboBox_FPGARegister->setCurrentText("Luminance");
        QCOMPARE(ui()->spinBox_Add->value(), 8);
        QCOMPARE(bitLabel(12)->text(), QString("Luminance12"));
        QVERIFY(ui()->groupBox_MSB->isEnabled());
        for (int b : {2, 4, 5, 9, 12})
            click(bit(b));
        QCOMPARE(ui()->spinBox_Value->value(), 4660);
        QCOMPARE(ui()->spinBox_Value->text(), QString("1234"));
        click(ui()->pushButton_SendFPGARegisterCLINK);
        QCOMPARE(serial(), (QList<QByteArray>{"!a008", "!b052", "!a009", "!b018"}));
        QVERIFY(m_pBench->boxes.isEmpty());
        QVERIFY(m_pBench->logLines().contains("Update FPGA register ComboBox to Luminance"));

        // An 8-bit register: the value box keeps its value, the high byte is never sent.
        sim::ClearRecordedMessages();
        ui()->comboBox_FPGARegister->setCurrentText("Contrast");
        QVERIFY(!ui()->groupBox_MSB->isEnabled());
        QVERIFY(!bit(12)->isChecked());
        QCOMPARE(ui()->spinBox_Value->value(), 4660);
        click(ui()->pushButton_SendFPGARegisterCLINK);
        QCOMPARE(serial(), (QList<QByteArray>{"!a007", "!b052"}));
    }

    void fpgaEditorRegisterChoice()
    {
        m_pWindow->UpdateDigiBoard("Arvex");
        ui()->comboBox_FPGARegister->setCurrentText("OutputClock");
        QVERIFY(!ui()->pushButton_SendFPGARegisterCLINK->isEnabled());
        ui()->comboBox_FPGARegister->setCurrentText("ClockGen");
        QVERIFY(ui()->pushButton_SendFPGARegisterCLINK->isEnabled());
        QCOMPARE(ui()->spinBox_Add->value(), 10);
        for (int i = 0; i < 16; ++i) {
            QVERIFY(!bit(i)->isEnabled());
            QVERIFY(!bit(i)->isChecked());
        }
        QCOMPARE(bitLabel(7)->text(), QString("Mult7"));
        QCOMPARE(bitLabel(15)->text(), QString("Div7"));
        ui()->comboBox_FPGARegister->setCurrentText("BadPixel PosX");
        QVERIFY(bit(11)->isEnabled());
        for (int i = 12; i < 16; ++i)
            QVERIFY(!bit(i)->isEnabledTo(ui()->groupBox_MSB));
        // Back to the placeholder: the no-register state.
        click(bit(3));
        ui()->comboBox_FPGARegister->setCurrentIndex(0);
        QCOMPARE(ui()->spinBox_Add->value(), 0);
        QVERIFY(ui()->groupBox_MSB->isEnabled());
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(bitLabel(i)->text(), QString("Bit%1").arg(i));
            QVERIFY(!bit(i)->isChecked());
        }
    }

    // The editor sends the same "!" pair on both boards that have the tab.
    void fpgaEditorOnEachCameraLinkBoard_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<BoardKind>("board");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QList<QByteArray>>("bytes");
        QTest::newRow("Arvex, 8 bits") << "Arvex" << BoardKind::Arvex << "Contrast" << QList<QByteArray>{"!a007", "!b052"};
        QTest::newRow("Arvex, 16 bits") << "Arvex" << BoardKind::Arvex << "Luminance"
                                        << QList<QByteArray>{"!a008", "!b052", "!a009", "!b018"};
        QTest::newRow("Belmor+, 8 bits") << "Belmor+" << BoardKind::BelmorPlus << "Contrast"
                                         << QList<QByteArray>{"!a007", "!b052"};
    }
    void fpgaEditorOnEachCameraLinkBoard()
    {
        QFETCH(QString, name);
        QFETCH(BoardKind, board);
        QFETCH(QString, row);
        QFETCH(QList<QByteArray>, bytes);
        openCameraLink(board);
        m_pWindow->UpdateDigiBoard(name);
        ui()->comboBox_FPGARegister->setCurrentText(row);
        ui()->spinBox_Value->setValue(4660);
        click(ui()->pushButton_SendFPGARegisterCLINK);
        QCOMPARE(serial(board), bytes);
        QVERIFY(m_pBench->boxes.isEmpty());
    }

    // The PERSO_ADDR write of the low byte fails: nothing more, one box, one log line.
    void fpgaEditorFailureStopsTheSequence()
    {
        openCameraLink(BoardKind::BelmorPlus);
        m_pWindow->UpdateDigiBoard("Belmor+");
        ui()->comboBox_FPGARegister->setCurrentText("Luminance");
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::WriteFailure, 1);
        click(ui()->pushButton_SendFPGARegisterCLINK);
        QVERIFY(serial().isEmpty());
        QCOMPARE(m_pBench->boxes.size(), 1);
        QCOMPARE(m_pBench->boxes.first().title, QString("Critical"));
        QCOMPARE(m_pBench->boxes.first().text,
                 QString("ERROR set particular parameter fail: Couldn't set PERSO_ADDR to 8.\n"));
        QCOMPARE(m_pWindow->errorText(), m_pBench->boxes.first().text);
        QCOMPARE(m_pBench->logLinesStartingWith("FailedCouldn't"), QStringList{"FailedCouldn't set PERSO_ADDR to 8."});
    }

    // ---- Particular parameters ------------------------------------------------------------------

    void particularParameterOnBelmorPlus()
    {
        openCameraLink(BoardKind::BelmorPlus);
        m_pWindow->UpdateDigiBoard("Belmor+");
        m_pWindow->setProxyBoard(5);
        ui()->comboBox_Parameter->setCurrentIndex(1);
        ui()->comboBox_Parameter->setCurrentIndex(0);  // "Interframe", through its change slot
        QCOMPARE(ui()->spinBox_Data->maximum(), 255);
        QCOMPARE(ui()->label_Caution->text(), QString());
        ui()->spinBox_Data->setValue(10);
        click(ui()->pushButton_SendParam);
        QCOMPARE(serial(),
                 (QList<QByteArray>{"!a000", "!b143", "!a001", "!b224", "!a000", "!b010", "!a001", "!b240"}));
        QVERIFY(m_pBench->boxes.isEmpty());
        QCOMPARE(m_pBench->logLinesStartingWith("Update Interframe"), QStringList{"Update Interframe"});

        // Step 4 (0xE0 into register 1) fails: nothing after it.
        sim::ClearRecordedMessages();
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::WriteFailure, 1, 3);
        click(ui()->pushButton_SendParam);
        QCOMPARE(serial(), (QList<QByteArray>{"!a000", "!b143", "!a001"}));
        QCOMPARE(m_pBench->boxes.size(), 1);
        QCOMPARE(m_pBench->boxes.first().text,
                 QString("ERROR set particular parameter fail: Couldn't set PERSO_VALUE to 224.\n"));
    }

    void configurationModes()
    {
        openCameraLink(BoardKind::BelmorPlus);
        m_pWindow->UpdateDigiBoard("Belmor+");
        m_pWindow->setProxyBoard(14);
        ui()->comboBox_Parameter->setCurrentIndex(2);
        QCOMPARE(ui()->spinBox_Data->maximum(), 255);
        QCOMPARE(ui()->spinBox_Data->value(), 1);
        QVERIFY(!ui()->spinBox_Data->isEnabled());
        QCOMPARE(ui()->label_Caution->text(), QString("Only available with X1550"));
        QCOMPARE(ui()->comboBox_Data->currentText(), QString("Rolling Shutter Mode"));
        ui()->comboBox_Data->setCurrentIndex(1);
        QCOMPARE(ui()->spinBox_Data->value(), 2);
        ui()->comboBox_Data->setCurrentIndex(2);
        QCOMPARE(ui()->spinBox_Data->value(), 4);
        click(ui()->pushButton_SendParam);
        QCOMPARE(serial().mid(4, 2), (QList<QByteArray>{"!a000", "!b004"}));
        QCOMPARE(serial().at(1), QByteArray("!b001"));

        // Back to a plain parameter: the modes go, the hint clears, the value is 0.
        ui()->comboBox_Parameter->setCurrentIndex(0);
        QCOMPARE(ui()->comboBox_Data->count(), 0);
        QVERIFY(!ui()->comboBox_Data->isEnabled());
        QVERIFY(ui()->spinBox_Data->isEnabled());
        QCOMPARE(ui()->label_Caution->text(), QString());
        QCOMPARE(ui()->spinBox_Data->value(), 0);
        // Chosen again, the modes are listed once.
        ui()->comboBox_Parameter->setCurrentIndex(2);
        ui()->comboBox_Parameter->setCurrentIndex(3);
        QCOMPARE(ui()->label_Caution->text(), QString("Only available with Y1437P"));
        ui()->comboBox_Parameter->setCurrentIndex(2);
        QCOMPARE(ui()->comboBox_Data->count(), 3);
    }

    // The direct paths: USB3 parameters 14/15, GigE UART 24/25, and nothing on the other boards.
    void particularParameterDirectPaths()
    {
        m_pWindow->UpdateDigiBoard("Corvane");
        m_pWindow->setProxyBoard(3);
        ui()->comboBox_Parameter->setCurrentIndex(3);
        QCOMPARE(ui()->spinBox_Data->maximum(), 4095);
        ui()->spinBox_Data->setValue(4000);
        click(ui()->pushButton_SendParam);
        QCOMPARE(usb3Registers(), (QList<QByteArray>{"14=135", "15=4000"}));

        sim::ClearRecordedMessages();
        connectGigE();
        m_pWindow->UpdateDigiBoard("Dunstel");
        ui()->comboBox_Parameter->setCurrentIndex(0);
        ui()->spinBox_Data->setValue(4095);
        click(ui()->pushButton_SendParam);
        QCOMPARE(sim::RecordedBytes(BoardKind::Dunstel, "uart"), (QList<QByteArray>{"!a0086\n\r", "!b4095\n\r"}));

        // No particular parameters on these boards, even when the slot runs.
        sim::ClearRecordedMessages();
        for (const char* board : {"Arvex", "Belmor", "NONE"}) {
            m_pWindow->UpdateDigiBoard(board);
            QVERIFY(!ui()->pushButton_SendParam->isEnabled());
            m_pWindow->PushButton_Send_ParticularParam();
        }
        QVERIFY(sim::RecordedMessages(BoardKind::Dunstel).empty());
        QVERIFY(sim::RecordedMessages(BoardKind::Corvane).empty());
        QVERIFY(m_pBench->boxes.isEmpty());
    }

    // ---- Manual command -------------------------------------------------------------------------

    void manualCommand()
    {
        openCameraLink(BoardKind::BelmorPlus);
        m_pWindow->UpdateDigiBoard("Belmor+");
        ui()->spinBox_AddressManual->setValue(12);
        ui()->spinBox_DataManual->setValue(200);
        click(ui()->pushButton_SendManualCmd);
        QCOMPARE(serial(), (QList<QByteArray>{"!a012", "!b200"}));

        // Wider than the board's one-byte register: refused, nothing sent.
        sim::ClearRecordedMessages();
        ui()->spinBox_DataManual->setValue(65535);
        click(ui()->pushButton_SendManualCmd);
        QVERIFY(serial().isEmpty());
        QCOMPARE(boxTitles(), QStringList{"Invalid parameter"});
        QCOMPARE(m_pBench->boxes.first().text, QString("Value 65535 does not fit PERSO_VALUE (0 to 255).\nNothing was sent."));

        // The Arvex board takes no manual command: its Send is greyed and says
        // why; the slot itself sends nothing and logs why.
        m_pBench->boxes.clear();
        m_pWindow->UpdateDigiBoard("Arvex");
        QVERIFY(ui()->groupBoxManualCommands->isEnabled());
        QVERIFY(!ui()->pushButton_SendManualCmd->isEnabled());
        QCOMPARE(ui()->pushButton_SendManualCmd->toolTip(),
                 QString("The Arvex DigiBoard takes no manual address/value command."));
        ui()->spinBox_DataManual->setValue(1);
        click(ui()->pushButton_SendManualCmd);
        m_pWindow->PushButton_SendCommand();
        QVERIFY(serial(BoardKind::Arvex).isEmpty());
        QVERIFY(serial().isEmpty());
        QVERIFY(m_pBench->boxes.isEmpty());
        QCOMPARE(m_pBench->logLinesStartingWith("Send particular command").size(), 3);
        QCOMPARE(m_pBench->logLinesStartingWith("Manual command not sent"),
                 QStringList{"Manual command not sent: The Arvex DigiBoard takes no manual address/value command."});
        // Back on a board with the pair, the button acts again.
        m_pWindow->UpdateDigiBoard("Belmor+");
        QVERIFY(ui()->pushButton_SendManualCmd->isEnabled());
        QVERIFY(ui()->pushButton_SendManualCmd->toolTip().isEmpty());

        // USB3: parameters 14 and 15, 16-bit values.
        m_pWindow->UpdateDigiBoard("Corvane");
        ui()->spinBox_DataManual->setValue(2000);
        click(ui()->pushButton_SendManualCmd);
        QCOMPARE(usb3Registers(), (QList<QByteArray>{"14=12", "15=2000"}));
    }

    void manualCommandFailureOnGigE()
    {
        connectGigE();
        m_pWindow->UpdateDigiBoard("Dunstel");
        ui()->spinBox_AddressManual->setValue(3);
        ui()->spinBox_DataManual->setValue(9);
        // The port is gone: the address write fails, the value is never sent.
        m_GigELink.state().SerialPort = nullptr;
        click(ui()->pushButton_SendManualCmd);
        QCOMPARE(m_pBench->boxes.size(), 1);
        QCOMPARE(m_pBench->boxes.first().text,
                 QString("ERROR set particular parameter fail: Couldn't set PERSO_ADDR to 3.\n"));
        m_GigELink.state().SerialPort = m_pPort;
        click(ui()->pushButton_SendManualCmd);
        QCOMPARE(sim::RecordedBytes(BoardKind::Dunstel, "uart"), (QList<QByteArray>{"!a0003\n\r", "!b0009\n\r"}));
    }

    // ---- USB3 tab ----------------------------------------------------------------------------------

    // The destination list opens on its placeholder: SEND COMMAND is greyed
    // until a board is chosen, and the slot sends nothing to address 0.
    void usb3CommandNeedsADestinationBoard()
    {
        m_pWindow->UpdateDigiBoard("Corvane");
        QCOMPARE(ui()->comboBox_DestinationBoard->currentText(), QString("Destination Board"));
        QCOMPARE(ui()->spinBox_Address_DestBoard->value(), 0);
        QVERIFY(!ui()->pushButton_SetUSB3_Slider->isEnabled());
        QCOMPARE(ui()->pushButton_SetUSB3_Slider->toolTip(), QString("Choose the destination board first."));
        ui()->spinBox_SliderReg->setValue(3);
        ui()->spinBox_SliderValue->setValue(7);
        click(ui()->pushButton_SetUSB3_Slider);
        m_pWindow->PushButton_SetUSB3_Slider();
        QVERIFY(usb3Registers().isEmpty());
        QCOMPARE(m_pBench->logLinesStartingWith("USB3 command not sent"),
                 QStringList{"USB3 command not sent: Choose the destination board first."});

        ui()->comboBox_DestinationBoard->setCurrentText("Interface Board");
        QVERIFY(ui()->pushButton_SetUSB3_Slider->isEnabled());
        QVERIFY(ui()->pushButton_SetUSB3_Slider->toolTip().isEmpty());
        click(ui()->pushButton_SetUSB3_Slider);
        QCOMPARE(usb3Registers(), (QList<QByteArray>{"51=1", "52=3", "53=7", "50=0"}));
    }

    void usb3Commands()
    {
        m_pWindow->UpdateDigiBoard("Corvane");
        ui()->spinBox_AddressManual_2->setValue(0x1234);
        ui()->spinBox_DataManual_2->setValue(0xABCD);
        QElapsedTimer clock;
        clock.start();
        click(ui()->pushButton_SendToUVC);
        QVERIFY(clock.elapsed() >= 500);
        QCOMPARE(usb3Registers(), (QList<QByteArray>{"60=52", "61=18", "62=205", "63=171", "64=0"}));
        QCOMPARE(sim::RecordedBytes(BoardKind::Corvane, "direct"), QList<QByteArray>{QByteArray("\x34\x12\xCD\xAB", 4)});
        QVERIFY(ui()->pushButton_SendToUVC->isEnabled());

        sim::ClearRecordedMessages();
        ui()->comboBox_DestinationBoard->setCurrentText("Shutter Board");
        QCOMPARE(ui()->spinBox_Address_DestBoard->value(), 15);
        ui()->spinBox_SliderReg->setValue(1);
        click(ui()->pushButton_SetUSB3_Slider);
        QCOMPARE(usb3Registers(), (QList<QByteArray>{"51=15", "52=1", "53=0", "50=0"}));
        QCOMPARE(m_pBench->logLinesStartingWith("Send 0 to"), QStringList{"Send 0 to the register 1 on the Board address 15"});
        ui()->comboBox_DestinationBoard->setCurrentIndex(0);
        QCOMPARE(ui()->spinBox_Address_DestBoard->value(), 0);
        QVERIFY(!ui()->pushButton_SetUSB3_Slider->isEnabled());

        sim::ClearRecordedMessages();
        click(ui()->checkBox_InvertPXClockUSB);
        QCOMPARE(usb3Registers(), QList<QByteArray>{"20=1"});
        QCOMPARE(m_pBench->logLinesStartingWith("Corvane PixelClock"), QStringList{"Corvane PixelClock CheckBox set to 2"});
    }

    // Without the USB3 board the controls outside the board group (usable
    // while no board has its tab) write nothing, and the I2C command says why.
    void usb3ControlsNeedTheUsb3Board()
    {
        m_pWindow->UpdateDigiBoard("NONE");
        click(ui()->checkBox_InvertPXClockUSB);
        QVERIFY(ui()->checkBox_InvertPXClockUSB->isChecked());
        click(ui()->pushButton_SendToUVC);
        QVERIFY(sim::RecordedMessages(BoardKind::Corvane).empty());
        QVERIFY(m_pBench->logLinesStartingWith("Corvane PixelClock").isEmpty());
        QCOMPARE(boxTitles(), QStringList{"Corvane not connected"});
    }

    // ---- GigE tab ------------------------------------------------------------------------------------

    void gigeQuickParameters()
    {
        m_pWindow->UpdateDigiBoard("Dunstel");
        click(ui()->pushButton_SendFPGARegisterGIGE);
        QCOMPARE(boxTitles(), QStringList{"Stream not started"});
        QCOMPARE(m_pBench->boxes.first().text, QString("The streaming with the GigE has not started."));
        QVERIFY(m_pBench->logLines().contains("Connection to GigE not established"));

        m_pBench->boxes.clear();
        connectGigE();
        sim::DunstelBoard& board = sim::DunstelBoard::instance();
        QVERIFY(m_pDevice->StreamEnable().IsOK());
        QVERIFY(m_pDevice->GetParameters()->ExecuteCommand("AcquisitionStart").IsOK());
        ui()->comboBox_TestPattern->setCurrentText("iPORTTestPattern");
        ui()->comboBox_DV_Enabled->setCurrentText("True");
        ui()->comboBox_FV_Polarity->setCurrentText("Low");
        click(ui()->pushButton_SendFPGARegisterGIGE);
        QVERIFY(m_pBench->boxes.isEmpty());
        QCOMPARE(m_pBench->logLinesStartingWith("Update Pixel").size() + m_pBench->logLinesStartingWith("Update Test").size(), 8);
        QVERIFY(m_pBench->logLines().contains("Update PixelBusDataValidEnabled from False to True"));
        QString sValue;
        board.getEnum("TestPattern", &sValue);
        QCOMPARE(sValue, QString("iPORTTestPattern"));
        board.getEnum("PixelFormat", &sValue);
        QCOMPARE(sValue, QString("Mono16"));
        board.getEnum("PixelBusFrameValidPolarity", &sValue);
        QCOMPARE(sValue, QString("Low"));
        bool bValid = false;
        board.getBoolean("PixelBusDataValidEnabled", &bValid);
        QVERIFY(bValid);
        QVERIFY(board.streamEnabled());
        QVERIFY(board.acquisitionRunning());
        QVERIFY(ui()->pushButton_SendFPGARegisterGIGE->isEnabled());
    }

    // Disconnecting while the sequence waits: the device is not touched again and the operator is told.
    void gigeQuickParametersDisconnectedMidway()
    {
        connectGigE();
        m_pWindow->UpdateDigiBoard("Dunstel");
        QTimer::singleShot(150, this, [this] { m_pWindow->setDeviceGigE(nullptr); });
        click(ui()->pushButton_SendFPGARegisterGIGE);
        QCOMPARE(boxTitles(), QStringList{"Connection to GigE lost"});
        QVERIFY(m_pBench->logLinesStartingWith("Update ").size() < 8);
    }

    void parameterBrowsers()
    {
        m_pWindow->UpdateDigiBoard("Dunstel");
        click(ui()->pushButton_DeviceParam);
        click(ui()->pushButton_DeviceParam);
        QCOMPARE(boxTitles(), (QStringList{"Device not started", "Device not started"}));
        QVERIFY(!m_pWindow->deviceBrowserOpen());

        m_pBench->boxes.clear();
        connectGigE();
        click(ui()->pushButton_DeviceParam);
        QVERIFY(m_pWindow->deviceBrowserOpen());
        QVERIFY(m_pWindow->deviceBrowser()->IsVisible());
        QCOMPARE(QString(m_pWindow->deviceBrowser()->GetTitle().GetAscii()), QString("Dunstel advanced configuration - Device"));
        click(ui()->pushButton_DeviceParam);
        QVERIFY(!m_pWindow->deviceBrowserOpen());
        QVERIFY(m_pWindow->deviceBrowser() == nullptr);

        // The stream browser needs the stream too.
        click(ui()->pushButton_StreamParam);
        QCOMPARE(boxTitles(), QStringList{"Device not started"});
        PvStream* pStream = OpenGigEStream(PvDiscoverDevices().front());
        QVERIFY(pStream != nullptr);
        m_pWindow->setStreamGigE(pStream);
        click(ui()->pushButton_StreamParam);
        QVERIFY(m_pWindow->streamBrowserOpen());
        QCOMPARE(QString(m_pWindow->streamBrowser()->GetTitle().GetAscii()),
                 QString("Dunstel advanced configuration - Streaming"));
        click(ui()->pushButton_DeviceParam);
        QVERIFY(m_pWindow->deviceBrowserOpen());

        // Handing over another device (a disconnection) closes both before the objects go.
        m_pWindow->setDeviceGigE(nullptr);
        QVERIFY(!m_pWindow->deviceBrowserOpen());
        QVERIFY(!m_pWindow->streamBrowserOpen());
        QVERIFY(m_pBench->logLines().contains("Closing Pleora Stream Parameters window"));
        m_pWindow->setStreamGigE(nullptr);
        pStream->Close();
        PvStream::Free(pStream);
    }

    // ---- System tools ------------------------------------------------------------------------------

    void systemTools()
    {
        const QByteArray savedPath = qgetenv("PATH");
        const QString sBin = m_pBench->folder.filePath("fake-bin");
        QDir().mkpath(sBin);
        const QString sMarker = m_pBench->folder.filePath("started.txt");
        QFile script(sBin + "/nm-connection-editor");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho started > '" + sMarker.toUtf8() + "'\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("PATH", sBin.toUtf8());

        m_pWindow->UpdateDigiBoard("Dunstel");
        click(ui()->pushButton_NetworkConnections);
        QTRY_VERIFY2(QFile::exists(sMarker), qPrintable(m_pBench->logLines().join("|")));
        QVERIFY(m_pBench->boxes.isEmpty());
        QVERIFY(m_pBench->logLines().contains("Network connections: started nm-connection-editor"));

        // No hardware browser on this PATH: the operator is told which ones would do.
        click(ui()->pushButton_DeviceManager);
        qputenv("PATH", savedPath);
        QCOMPARE(boxTitles(), QStringList{"Device Manager not available"});
        QVERIFY(m_pBench->boxes.first().text.contains("hardinfo"));
        QVERIFY(m_pBench->logLines().contains("Open Device Manager"));
    }

    void closingEmitsCloseWindow()
    {
        QSignalSpy spy(m_pWindow.get(), &Cmd_Perso::CloseWindow);
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
        m_pWindow->close();
        QCOMPARE(spy.count(), 1);
        QVERIFY(!m_pWindow->isVisible());
    }
};

QTEST_MAIN(tst_cmd_perso)
#include "tst_cmd_perso.moc"
