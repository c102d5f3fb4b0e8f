// I2C configuration files: a heading line, then "type;name;address;value" register writes for the sensor.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

struct I2CConfigurationRow
{
    QString TypeMem;
    QString Name;
    QString Address;  // as shown in the table: every "h" already "0x"
    QString Value;
};

struct I2CConfigurationFile
{
    QVector<I2CConfigurationRow> Rows;
    // One text per data line that was left out, for the log.
    QStringList Skipped;
};

// Reads the file's text: line 1 is a heading; each further line, once its
// "\r" and "\n" are removed, is one register write of at least four
// ";"-separated fields (further fields are ignored); a line with fewer is
// skipped and named in Skipped. The first empty line ends the data. Lines
// are taken whole, whatever their length.
I2CConfigurationFile ParseI2CConfiguration(const QByteArray& p_Text);

// A table cell as a base-16 number, with or without "0x": "0x3A", "3A" -> 58.
// Text that is not a hexadecimal number gives 0 (so do "3A0x" and "H3A"); a
// number too large for 32 bits gives 0x100000000, so it reads as out of range.
qulonglong ParseI2CHexCell(const QString& p_sCell);

// Reads and parses the file at p_sPath; false (and p_File untouched) when it cannot be opened.
bool ReadI2CConfigurationFile(const QString& p_sPath, I2CConfigurationFile& p_File);
