// The main window's side of the About window.
#include "mainwindow/MainWindow.h"

#include "tools/Window_AboutKestivo.h"

void MainWindow::Action_AboutKestivo()
{
    // No parent, and not one that keeps the program running once the main window closes.
    AboutWindow = new Window_AboutKestivo(nullptr);
    AboutWindow->setAttribute(Qt::WA_DeleteOnClose);
    AboutWindow->setAttribute(Qt::WA_QuitOnClose, false);
    AboutWindow->show();
}
