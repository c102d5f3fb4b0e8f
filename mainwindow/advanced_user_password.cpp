// The advanced-user password check.
#include "mainwindow/advanced_user_password.h"

#include <QByteArray>
#include <QString>

int CompareAdvancedUserPassword(const QString& p_sTyped)
{
    static const QByteArray stored = QByteArrayLiteral("quartzine");
    const QByteArray typed = p_sTyped.toLocal8Bit().toLower();
    const int iCommon = qMin(stored.size(), typed.size());
    for (int i = 0; i < iCommon; ++i) {
        const auto a = static_cast<unsigned char>(stored.at(i));
        const auto b = static_cast<unsigned char>(typed.at(i));
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (stored.size() == typed.size())
        return 0;
    return stored.size() < typed.size() ? -1 : 1;
}
