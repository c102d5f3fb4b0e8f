// Where the proxy-driven controls reach windows and links that other parts of the program own.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Each hook stands for one call into a tool window or board link. The owner
// of that window or link sets the hook once it exists; an empty hook makes
// the caller use its fallback (named at the call), never crash.
struct ControlHooks
{
    // MW_ProxyBelmor::ReadProxyNumber and MW_ProxyBelmor::getNameProxy: the
    // Belmor proxy selector. Empty: the current record stays selected.
    std::function<int()> BelmorProxyNumber;
    std::function<QByteArray()> BelmorProxyName;
};
