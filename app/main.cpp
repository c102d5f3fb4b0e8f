// Program entry: the application object, the one main window and the event loop.
#include "app/app_font.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QEvent>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The form's absolute layout is drawn for a small dialog font; the desktop's
    // larger default would clip its captions.
    ApplyApplicationFont();
    {
        MainWindow mainWindow;
        mainWindow.show();
        // The exit code is not used: the program always ends with 0.
        app.exec();
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    }
    // Windows scheduled for deletion during shut-down go before the application object.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
