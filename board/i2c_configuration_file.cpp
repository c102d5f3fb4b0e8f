// I2C configuration files: a heading line, then "type;name;address;value" register writes for the sensor.
#include "board/i2c_configuration_file.h"

#include <QFile>

namespace {

constexpr int kFieldsOfARow = 4;
constexpr qulonglong kTooLarge = 0x100000000ULL;

QString HexText(QString p_sField)
{
    return p_sField.replace(QLatin1Char('h'), QLatin1String("0x"));
}

} // namespace

I2CConfigurationFile ParseI2CConfiguration(const QByteArray& p_Text)
{
    I2CConfigurationFile file;
    const QList<QByteArray> lines = p_Text.split('\n');
    // A text that ends with its line end has nothing after the last "\n".
    const int iLineCount = p_Text.endsWith('\n') ? lines.size() - 1 : lines.size();
    for (int i = 1; i < iLineCount; ++i) {
        QByteArray line = lines.at(i);
        line.replace('\r', QByteArray());
        if (line.isEmpty())
            break;
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char(';'));
        if (fields.size() < kFieldsOfARow) {
            file.Skipped << QString::fromUtf8(line);
            continue;
        }
        file.Rows.append({fields.at(0), fields.at(1), HexText(fields.at(2)), HexText(fields.at(3))});
    }
    return file;
}

qulonglong ParseI2CHexCell(const QString& p_sCell)
{
    QString sDigits = p_sCell;
    if (sDigits.startsWith(QLatin1String("0x")) || sDigits.startsWith(QLatin1String("0X")))
        sDigits = sDigits.mid(2);
    if (sDigits.isEmpty())
        return 0;
    qulonglong ullValue = 0;
    for (const QChar c : sDigits) {
        int iDigit = -1;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            iDigit = c.unicode() - '0';
        else if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            iDigit = c.unicode() - 'a' + 10;
        else if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            iDigit = c.unicode() - 'A' + 10;
        if (iDigit < 0)
            return 0;
        ullValue = ullValue * 16 + static_cast<qulonglong>(iDigit);
        if (ullValue >= kTooLarge)
            ullValue = kTooLarge;  // saturates; the rest of the digits cannot bring it back
    }
    return ullValue;
}

bool ReadI2CConfigurationFile(const QString& p_sPath, I2CConfigurationFile& p_File)
{
    QFile file(p_sPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    p_File = ParseI2CConfiguration(file.readAll());
    return true;
}
