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

bool InvokeSlotIfPresent(QObject* p_pObject, const char* p_szSlot, int p_iFirst, int p_iSecond)
{
    if (!p_pObject)
        return false;
    const QByteArray signature = QByteArray(p_szSlot) + "(int,int)";
    if (p_pObject->metaObject()->indexOfMethod(signature.constData()) < 0)
        return false;
    return QMetaObject::invokeMethod(p_pObject, p_szSlot, Qt::DirectConnection, Q_ARG(int, p_iFirst),
                                     Q_ARG(int, p_iSecond));
}

bool InvokeInitIfPresent(QObject* p_pObject, bool* p_pbWindowingDisabled, bool* p_pbFailed)
{
    if (!p_pObject || p_pObject->metaObject()->indexOfMethod("Init(bool*)") < 0)
        return false;
    bool bFailed = true;
    const bool bCalled = QMetaObject::invokeMethod(p_pObject, "Init", Qt::DirectConnection,
                                                   Q_RETURN_ARG(bool, bFailed), Q_ARG(bool*, p_pbWindowingDisabled));
    *p_pbFailed = bFailed;
    return bCalled;
}
