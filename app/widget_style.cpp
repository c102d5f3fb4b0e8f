// Icons and style sheets set again and again on the same widgets.
#include "app/widget_style.h"

#include <QHash>
#include <QWidget>

const QIcon& SharedIcon(const QString& p_sPath)
{
    // Never destroyed: icons must not outlive the application object's end in static destruction.
    static auto* s_pIcons = new QHash<QString, QIcon>;
    auto it = s_pIcons->find(p_sPath);
    if (it == s_pIcons->end())
        it = s_pIcons->insert(p_sPath, QIcon(p_sPath));
    return it.value();
}

void SetStyleSheetIfChanged(QWidget* p_pWidget, const QString& p_sStyleSheet)
{
    if (p_pWidget != nullptr && p_pWidget->styleSheet() != p_sStyleSheet)
        p_pWidget->setStyleSheet(p_sStyleSheet);
}
