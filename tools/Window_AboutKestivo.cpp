// The About window: the logo, the program's version and when it was built.
#include "tools/Window_AboutKestivo.h"

#include "ui_Window_AboutKestivo.h"

#include "app/app_paths.h"
#include "app/header_constants.h"

#include <QPixmap>

QString AboutVersionText(const QString& p_sVersion, const char* p_szBuildDate, const char* p_szBuildTime)
{
    return QStringLiteral("Kestivo version ") + p_sVersion + QStringLiteral("\nCompilation date: ")
           + QString::fromLatin1(p_szBuildDate) + QStringLiteral(" - ") + QString::fromLatin1(p_szBuildTime);
}

Window_AboutKestivo::Window_AboutKestivo(QWidget* parent) : QWidget(parent), ui(new Ui::Window_AboutKestivo)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("About Kestivo"));
    // The logo from the application's own folder; a missing file leaves the label empty.
    ui->label_picture->setPixmap(QPixmap(ApplicationDirPath() + QStringLiteral("/Images/Logos/Logo.png")));
    // __DATE__ reads "Mmm dd yyyy" with the day padded by a blank, __TIME__ "hh:mm:ss":
    // both fixed when this file is compiled.
    ui->label_Version->setText(AboutVersionText(HeaderConstants::VersionText, __DATE__, __TIME__));
}

Window_AboutKestivo::~Window_AboutKestivo()
{
    delete ui;
}
