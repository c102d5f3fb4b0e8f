// The About window: the logo, the program's version and when it was built.
#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class Window_AboutKestivo;
}

// "Kestivo version <version>\nCompilation date: <Mmm dd yyyy> - <hh:mm:ss>".
QString AboutVersionText(const QString& p_sVersion, const char* p_szBuildDate, const char* p_szBuildTime);

class Window_AboutKestivo : public QWidget
{
public:
    explicit Window_AboutKestivo(QWidget* parent = nullptr);
    ~Window_AboutKestivo() override;

    Ui::Window_AboutKestivo* ui = nullptr;
};
