// The program's list of serial ports: the simulated serial-port board first, then the system's ports.
#pragma once

#include <QStringList>

// Port names as QSerialPort::setPortName takes them ("ttyUSB0", "pts/3").
// While simulation is on and the serial-port board present, its port comes
// first (the system does not list pseudo-terminals); then every port of
// QSerialPortInfo::availablePorts(), in the system's order.
QStringList AvailableSerialPortNames();

// True when p_sPortName is the simulated board's port.
bool IsSimulatedSerialPort(const QString& p_sPortName);
