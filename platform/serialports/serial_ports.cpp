// The program's list of serial ports: the operator's port, the simulated serial-port board, then the system's ports.
#include "platform/serialports/serial_ports.h"

#include "app/app_paths.h"
#include "sim/eskra/eskra_board.h"

#include <QSerialPortInfo>
#include <QSettings>

namespace {
const QString kSerialPortKey = QStringLiteral("Eskra/SerialPort");

bool IsUsbSerialPort(const SystemSerialPort& p_Port)
{
    return p_Port.HasUsbVendorId || p_Port.Name.startsWith(QLatin1String("ttyUSB"))
           || p_Port.Name.startsWith(QLatin1String("ttyACM"));
}
} // namespace

QString SerialPortSettingsFilePath()
{
    return ApplicationDirPath() + QStringLiteral("/Kestivo.ini");
}

QString ConfiguredSerialPortName()
{
    const QSettings s(SerialPortSettingsFilePath(), QSettings::IniFormat);
    QString sName = s.value(kSerialPortKey).toString().trimmed();
    if (sName.startsWith(QLatin1String("/dev/")))
        sName = sName.mid(5);
    return sName;
}

void SetConfiguredSerialPortName(const QString& p_sPortName)
{
    QSettings s(SerialPortSettingsFilePath(), QSettings::IniFormat);
    if (p_sPortName.trimmed().isEmpty())
        s.remove(kSerialPortKey);
    else
        s.setValue(kSerialPortKey, p_sPortName.trimmed());
    s.sync();
}

QStringList OrderSystemSerialPorts(const QVector<SystemSerialPort>& p_Ports)
{
    QStringList usb;
    QStringList others;
    for (const SystemSerialPort& port : p_Ports)
        (IsUsbSerialPort(port) ? usb : others) << port.Name;
    return usb + others;
}

QStringList AvailableSerialPortNames()
{
    QStringList names;
    const QString sConfigured = ConfiguredSerialPortName();
    if (!sConfigured.isEmpty())
        names << sConfigured;
    if (const sim::EskraBoard* pBoard = sim::SharedEskraBoard()) {
        const QString sName = pBoard->portName();
        if (!sName.isEmpty() && !names.contains(sName))
            names << sName;
    }
    QVector<SystemSerialPort> system;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        system.append({info.portName(), info.hasVendorIdentifier()});
    for (const QString& sName : OrderSystemSerialPorts(system))
        if (!names.contains(sName))
            names << sName;
    return names;
}

bool IsSimulatedSerialPort(const QString& p_sPortName)
{
    const sim::EskraBoard* pBoard = sim::SharedEskraBoard();
    return pBoard != nullptr && !p_sPortName.isEmpty() && pBoard->portName() == p_sPortName;
}
