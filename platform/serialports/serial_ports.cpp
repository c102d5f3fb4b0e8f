// The program's list of serial ports: the simulated serial-port board first, then the system's ports.
#include "platform/serialports/serial_ports.h"

#include "sim/eskra/eskra_board.h"

#include <QSerialPortInfo>

QStringList AvailableSerialPortNames()
{
    QStringList names;
    if (const sim::EskraBoard* pBoard = sim::SharedEskraBoard()) {
        const QString sName = pBoard->portName();
        if (!sName.isEmpty())
            names << sName;
    }
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        if (!names.contains(info.portName()))
            names << info.portName();
    return names;
}

bool IsSimulatedSerialPort(const QString& p_sPortName)
{
    const sim::EskraBoard* pBoard = sim::SharedEskraBoard();
    return pBoard != nullptr && !p_sPortName.isEmpty() && pBoard->portName() == p_sPortName;
}
