// Reading the frame geometry out of a frame-grabber camera file.
#include "platform/multicam/camera_file.h"

#include <QFile>
#include <QRegularExpression>

bool ReadCameraFile(const QString& p_sPath, CameraFileGeometry* p_pGeometry, QString* p_pError)
{
    // Opened as given: on this platform a "\" is a character of a file name.
    const QString sPath = p_sPath;
    QFile file(sPath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (p_pError != nullptr)
            *p_pError = QStringLiteral("cannot open ") + sPath;
        return false;
    }
    // Bounded: a camera file is a few kilobytes; anything far larger is not one.
    const QByteArray content = file.read(1 << 20);
    static const QRegularExpression s_Hactive(QStringLiteral("Hactive_Px\\s*=\\s*(\\d{1,6})\\s*;"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression s_Vactive(QStringLiteral("Vactive_Ln\\s*=\\s*(\\d{1,6})\\s*;"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QString sText = QString::fromLatin1(content);
    // The last definition wins, as when the grabber reads the file top to bottom.
    CameraFileGeometry g;
    QRegularExpressionMatchIterator it = s_Hactive.globalMatch(sText);
    while (it.hasNext())
        g.activePixels = it.next().captured(1).toInt();
    it = s_Vactive.globalMatch(sText);
    while (it.hasNext())
        g.activeLines = it.next().captured(1).toInt();
    // Lines beyond 8192 pixels or lines are no camera the grabber can take.
    if (g.activePixels <= 0 || g.activeLines <= 0 || g.activePixels > 8192 || g.activeLines > 8192) {
        if (p_pError != nullptr)
            *p_pError = QStringLiteral("no usable Hactive_Px / Vactive_Ln in ") + sPath;
        return false;
    }
    *p_pGeometry = g;
    return true;
}
