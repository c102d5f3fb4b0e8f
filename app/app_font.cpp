// The application font, chosen by family and pixel size for the main form's absolute layout.
#include "app/app_font.h"

#include <QApplication>

QFont ApplicationFont()
{
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    return font;
}

void ApplyApplicationFont()
{
    QApplication::setFont(ApplicationFont());
}
