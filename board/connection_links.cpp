// How the connection code reaches main-window steps that live in other files.
#include "board/connection_links.h"

#include <QMetaObject>
#include <QObject>

bool InvokeSlotIfPresent(QObject* p_pObject, const char* p_szSlot)
{
    if (!p_pObject)
        return false;
    const QByteArray signature = QByteArray(p_szSlot) + "()";
    if (p_pObject->metaObject()->indexOfMethod(signature.constData()) < 0)
        return false;
    return QMetaObject::invokeMethod(p_pObject, p_szSlot, Qt::DirectConnection);
}
