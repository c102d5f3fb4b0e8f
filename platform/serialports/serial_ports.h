// The program's list of serial ports: the operator's port, the simulated serial-port board, then the system's ports.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Port names as QSerialPort::setPortName takes them ("ttyUSB0", "pts/3").
// In order:
//  1. the port the operator names in "Kestivo.ini" next to the executable,
//        [Eskra]
//        SerialPort=ttyUSB1      ; or pts/4, /dev/ttyACM0
//     (Qt does not list pseudo-terminals, so this is how a board on one is reached);
//  2. while simulation is on and the serial-port board present, its port;
//  3. the system's USB serial ports (ttyUSB*, ttyACM*, any port with a USB
//     vendor id), then the other ones (the legacy ttyS* ports, which are there
//     with no device behind them), each in the system's order.
// The serial-port board takes the first.
QStringList AvailableSerialPortNames();

// True when p_sPortName is the simulated board's port.
bool IsSimulatedSerialPort(const QString& p_sPortName);

// "Kestivo.ini" in the application folder.
QString SerialPortSettingsFilePath();
// The operator's port, without a leading "/dev/"; empty when none is named.
QString ConfiguredSerialPortName();
// Writes (or, empty, removes) the operator's port; it survives a restart.
void SetConfiguredSerialPortName(const QString& p_sPortName);

// One port as the system lists it.
struct SystemSerialPort
{
    QString Name;
    bool HasUsbVendorId = false;
};

// The system's ports, USB serial ports first, each group in the given order.
QStringList OrderSystemSerialPorts(const QVector<SystemSerialPort>& p_Ports);
