// Reading, creating and rewriting the boot file.
#include "app/boot_file.h"

#include "app/app_paths.h"

#include <QByteArray>
#include <QDebug>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

// On Windows the file carries the hidden attribute; a Linux file has no such
// attribute, so clearing is a no-op and hiding only says what it would do.
void ClearHiddenAttribute(const QString& /*p_sPath*/) {}

void SetHiddenAttribute(const QString& /*p_sPath*/)
{
    std::fputs("Hiding file\n", stdout);
    std::fflush(stdout);
}

// The text between the first and the second ':' of a line; a line without
// ':' has no such text and reads as empty.
QString SecondPart(const QString& p_sLine)
{
    const QStringList parts = p_sLine.split(QLatin1Char(':'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    return parts.size() > 1 ? parts.at(1) : QString();
}

bool IsPositiveNumber(const QString& p_sText)
{
    bool bOk = false;
    const qlonglong iValue = p_sText.toLongLong(&bOk, 10);
    return bOk && iValue > 0;
}

// Copies at most p_iSize - 1 bytes and terminates; never splits a UTF-8 sequence.
void CopyBoardName(char* p_szTarget, int p_iSize, const QByteArray& p_Utf8)
{
    int iLength = qMin(p_Utf8.size(), p_iSize - 1);
    if (iLength < p_Utf8.size())
        while (iLength > 0 && (static_cast<unsigned char>(p_Utf8.at(iLength)) & 0xC0) == 0x80)
            --iLength;
    std::memset(p_szTarget, 0, static_cast<size_t>(p_iSize));
    std::memcpy(p_szTarget, p_Utf8.constData(), static_cast<size_t>(iLength));
}

bool WriteBootLines(QFile& p_File, const QString& p_sBoardName, bool p_bAutoStart, bool p_bAutoNUC)
{
    const QByteArray text = (QStringLiteral("DigiBoard :") + p_sBoardName + QLatin1Char('\n')
                             + QStringLiteral("Auto Start :") + (p_bAutoStart ? QLatin1Char('1') : QLatin1Char('0'))
                             + QLatin1Char('\n') + QStringLiteral("Auto NUC :")
                             + (p_bAutoNUC ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char('\n'))
                                .toUtf8();
    return p_File.write(text) == text.size();
}

} // namespace

void ReadBootFile(char* p_szBoardName, QString p_sFileName, bool* p_pbAutoStart, bool* p_pbAutoNUC)
{
    const QString sPath = ApplicationDirPath() + QLatin1Char('/') + p_sFileName;
    if (p_pbAutoStart)
        *p_pbAutoStart = false;
    ClearHiddenAttribute(sPath);

    QFile file(sPath);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text) && file.isReadable()) {
        qDebug().noquote() << "Reading boot file ";
        QTextStream stream(&file);
        stream.setCodec("UTF-8");
        for (int iLine = 0; iLine < 3 && !stream.atEnd(); ++iLine) {
            QString sLine = stream.readLine();
            if (sLine.endsWith(QLatin1Char('\r')))
                sLine.chop(1);
            const QString sValue = SecondPart(sLine);
            if (iLine == 0) {
                if (p_szBoardName)
                    CopyBoardName(p_szBoardName, BootBoardNameBufferSize, sValue.toUtf8());
            } else if (iLine == 1) {
                if (p_pbAutoStart)
                    *p_pbAutoStart = IsPositiveNumber(sValue);
            } else if (p_pbAutoNUC) {
                *p_pbAutoNUC = IsPositiveNumber(sValue);
            }
        }
        file.close();
        SetHiddenAttribute(sPath);
        return;
    }

    qDebug().noquote() << "Boot file does not exist ... Creating ";
    file.close();
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) && file.isWritable()) {
        WriteBootLines(file, QStringLiteral("Digi board ..."), false, false);
        file.close();
        SetHiddenAttribute(sPath);
    } else {
        qDebug().noquote() << "Boot file can't be created ... ABORT";
    }
}

void UpdateBootFile(QString p_sBoardName, QString p_sFileName, const bool* p_pbAutoStart,
                    const bool* p_pbAutoNUC)
{
    const QString sPath = ApplicationDirPath() + QLatin1Char('/') + p_sFileName;
    ClearHiddenAttribute(sPath);
    QFile file(sPath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) && file.isWritable()) {
        qDebug().noquote() << "Updating boot file ";
        WriteBootLines(file, p_sBoardName, p_pbAutoStart && *p_pbAutoStart, p_pbAutoNUC && *p_pbAutoNUC);
        file.close();
        SetHiddenAttribute(sPath);
    } else {
        qDebug().noquote() << "Boot file can't be created ... ABORT";
    }
}
