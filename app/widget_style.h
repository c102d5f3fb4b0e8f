// Icons and style sheets set again and again on the same widgets, without a new pixmap-cache entry each time.
#pragma once

#include <QIcon>
#include <QString>

class QWidget;

// The icon of the image file at p_sPath, made at the first call and then the
// same object: every new QIcon gets a new key in Qt's pixmap cache, so a
// button whose icon is set at each connection would leave another copy of its
// pixmaps there each time. GUI thread only.
const QIcon& SharedIcon(const QString& p_sPath);

// Sets the style sheet only when it differs: setting one, even the same,
// gives the widget a new palette, and the style caches its drawing under each
// new palette again.
void SetStyleSheetIfChanged(QWidget* p_pWidget, const QString& p_sStyleSheet);
