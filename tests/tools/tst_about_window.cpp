// The About window: its version text, its logo, and a new window at every use of the menu action.
#include "mainwindow/MainWindow.h"
#include "tools/Window_AboutKestivo.h"

#include "ui_MainWindow.h"
#include "ui_Window_AboutKestivo.h"

#include "support/test_app_folder.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

class tst_about_window : public QObject
{
    Q_OBJECT

private slots:
    void versionTextReadsOnTwoLines()
    {
        QCOMPARE(AboutVersionText("5.25", "Dec  1 2026", "09:05:07"),
                 QString("Kestivo version 5.25\nCompilation date: Dec  1 2026 - 09:05:07"));
    }

    void showsTheLogoAndTheBuild()
    {
        TestAppFolder folder;
        Window_AboutKestivo window;
        QCOMPARE(window.windowTitle(), QString("About Kestivo"));
        QVERIFY(!window.ui->label_picture->pixmap(Qt::ReturnByValue).isNull());
        // The build's own date and time: "Mmm dd yyyy - hh:mm:ss".
        const QRegularExpression shape("^Kestivo version 5\\.25\\nCompilation date: [A-Z][a-z]{2} [ 0-9]\\d \\d{4} - "
                                       "\\d\\d:\\d\\d:\\d\\d$");
        QVERIFY2(shape.match(window.ui->label_Version->text()).hasMatch(), qPrintable(window.ui->label_Version->text()));
    }

    void missingLogoLeavesThePictureEmpty()
    {
        TestAppFolder folder;
        QVERIFY(QFile::remove(folder.filePath("Images/Logos/Logo.png")));
        Window_AboutKestivo window;
        QVERIFY(window.ui->label_picture->pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(window.ui->label_Version->text().startsWith("Kestivo version 5.25\n"));
    }

    // Each use opens a new window; closing one deletes it.
    void actionOpensANewWindowEachTime()
    {
        TestAppFolder folder;
        MainWindow w;
        w.ui->action_About_Kestivo->trigger();
        QPointer<Window_AboutKestivo> first = w.AboutWindow;
        QVERIFY(first && first->isVisible());
        w.ui->action_About_Kestivo->trigger();
        QPointer<Window_AboutKestivo> second = w.AboutWindow;
        QVERIFY(second && second != first && second->isVisible());
        QVERIFY(first->isVisible());
        first->close();
        QTRY_VERIFY(first.isNull());
        second->close();
        QTRY_VERIFY(w.AboutWindow.isNull());
    }
};

QTEST_MAIN(tst_about_window)
#include "tst_about_window.moc"
