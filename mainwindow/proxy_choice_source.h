// What the main window asks of the board set-up window: the proxy chosen there.
#pragma once

#include <QString>

class ProxyChoiceSource
{
public:
    virtual ~ProxyChoiceSource() = default;
    // The proxy's text as the set-up window shows it (a model name, or "No Proxy").
    virtual QString ProxyText() const = 0;
};
