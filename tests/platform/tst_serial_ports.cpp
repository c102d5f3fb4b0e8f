// The program's serial-port list: the simulated serial-port board first, then the system's ports.
#include "platform/serialports/serial_ports.h"
#include "sim/core/board_registry.h"
#include "sim/core/simulation_settings.h"
#include "sim/eskra/eskra_board.h"
#include "support/test_app_folder.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <QtTest>

using namespace sim;

class tst_serial_ports : public QObject
{
    Q_OBJECT

private slots:
    void init() { ShutdownSharedEskraBoard(); ResetSimulation(); }
    void cleanup() { ShutdownSharedEskraBoard(); ResetSimulation(); }

    void simulatedPortComesFirst()
    {
        TestAppFolder folder;
        const QStringList names = AvailableSerialPortNames();
        QVERIFY(!names.isEmpty());
        QVERIFY(names.first().startsWith("pts/"));
        QVERIFY(IsSimulatedSerialPort(names.first()));
        // The system's ports follow, once each, in the system's order.
        QVector<SystemSerialPort> system;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            system.append({info.portName(), info.hasVendorIdentifier()});
        QCOMPARE(names.mid(1), OrderSystemSerialPorts(system));
        // The name fits the program's 9-character port name and opens as a port.
        QVERIFY(names.first().size() <= 9);
        QSerialPort port;
        port.setPortName(names.first());
        QVERIFY(port.open(QIODevice::ReadWrite));
        QVERIFY(port.waitForReadyRead(2000));
        // Listing again keeps the same board on the same line.
        QCOMPARE(AvailableSerialPortNames().first(), names.first());
    }

    // USB serial ports before the legacy ones, each group in the system's order.
    void usbPortsBeforeLegacyOnes_data()
    {
        QTest::addColumn<QStringList>("listed");      // name, "+" when the port has a USB vendor id
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("legacy only") << QStringList{"ttyS0", "ttyS1"} << QStringList{"ttyS0", "ttyS1"};
        QTest::newRow("usb after legacy") << QStringList{"ttyS0", "ttyS1", "ttyUSB0", "ttyACM0"}
                                          << QStringList{"ttyUSB0", "ttyACM0", "ttyS0", "ttyS1"};
        QTest::newRow("vendor id") << QStringList{"ttyS0", "ttyXR0+", "ttyS3"} << QStringList{"ttyXR0", "ttyS0", "ttyS3"};
        QTest::newRow("usb order kept") << QStringList{"ttyACM1", "ttyS0", "ttyUSB3", "ttyUSB0"}
                                        << QStringList{"ttyACM1", "ttyUSB3", "ttyUSB0", "ttyS0"};
        QTest::newRow("none") << QStringList{} << QStringList{};
    }

    void usbPortsBeforeLegacyOnes()
    {
        QFETCH(QStringList, listed);
        QFETCH(QStringList, expected);
        QVector<SystemSerialPort> ports;
        for (QString sName : listed) {
            const bool bVendor = sName.endsWith('+');
            sName.remove('+');
            ports.append({sName, bVendor});
        }
        QCOMPARE(OrderSystemSerialPorts(ports), expected);
    }

    void absentOrSimulationOff_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("present");
        QTest::newRow("board absent") << true << false;
        QTest::newRow("simulation off") << false << true;
    }

    void absentOrSimulationOff()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, present);
        TestAppFolder folder;
        const QString sRunning = AvailableSerialPortNames().value(0);
        QVERIFY(sRunning.startsWith("pts/"));

        SimulationSettings settings;
        settings.setSimulationEnabled(enabled);
        settings.setBoardPresent(BoardKind::Eskra, present);
        const QStringList names = AvailableSerialPortNames();
        for (const QString& name : names)
            QVERIFY2(!name.startsWith("pts/"), qPrintable(name));
        QVERIFY(!IsSimulatedSerialPort(sRunning));
        // The board that was running is unplugged. Asked of the simulator, not
        // by reopening its line: the system may hand the freed pseudo-terminal
        // number to another process at once.
        QVERIFY(SharedEskraBoard() == nullptr);
    }
};

QTEST_MAIN(tst_serial_ports)
#include "tst_serial_ports.moc"
