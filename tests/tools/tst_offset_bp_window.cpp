// The bad-pixel offset window: its form, its spin boxes, the offset file it reads and saves, and the main window's toggle.
#include "ui_MainWindow.h"
#include "ui_MW_ProxyBelmor.h"

#include "board/road_bench.h"

#include "app/bp_offset_file.h"
#include "tools/OffsetBP_Widget.h"
#include "tools/Setup_DigiBoard.h"
#include "ui_OffsetBP_Widget.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>

namespace {

const QByteArray First = "/***** Kestivo BP Offset File *****/";

QByteArray ReadAll(const QString& p_sPath)
{
    QFile file(p_sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString& p_sPath, const QByteArray& p_Content)
{
    QFile file(p_sPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(p_Content) == p_Content.size();
}

QSpinBox* Spin(QWidget* p_pWindow, const char* p_szName)
{
    return p_pWindow->findChild<QSpinBox*>(QString::fromLatin1(p_szName));
}

// Steps a spin box with the arrow keys, as the operator does.
void Step(QSpinBox* p_pSpin, int p_iSteps)
{
    for (int i = 0; i < qAbs(p_iSteps); ++i)
        QTest::keyClick(p_pSpin, p_iSteps > 0 ? Qt::Key_Up : Qt::Key_Down);
}

// A window with its own log, in a fresh application folder, every box recorded.
struct WindowBench
{
    TestAppFolder Folder;
    BoxRecorder Recorder;
    KV_Log Log;
    OffsetBP_Widget Window;
    WindowBench()
    {
        Log.setLogDirectory(Folder.binPath() + "/Logs/");
        Log.createLogFile();
        Window.SetLog(&Log);
    }
    QString path() const { return Folder.filePath(BPOffsetFile::FileName); }
    QString log() const
    {
        QFile f(Log.filePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

} // namespace

class TestOffsetBPWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }

    void form()
    {
        TestAppFolder folder;
        OffsetBP_Widget window;
        QCOMPARE(window.windowTitle(), QString("BP Offset"));
        QCOMPARE(window.minimumSize(), QSize(200, 115));
        QCOMPARE(window.maximumSize(), QSize(200, 115));
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(window.windowFlags() & Qt::WindowMinimizeButtonHint));
        for (const char* name : {"spinBox_X", "spinBox_Y"}) {
            QSpinBox* pSpin = Spin(&window, name);
            QVERIFY(pSpin);
            QCOMPARE(pSpin->minimum(), -100);
            QCOMPARE(pSpin->maximum(), 100);
            QCOMPARE(pSpin->value(), 0);
        }
        QCOMPARE(window.findChild<QLabel*>("label_X")->text(), QString("X offset"));
        QCOMPARE(window.findChild<QLabel*>("label_Y")->text(), QString("Y offset"));
        QCOMPARE(window.findChild<QLabel*>("label_title")->text(), QString("BadPixel Offset Adjustment"));
        // Built without reading or writing the file.
        QVERIFY(!QFile::exists(folder.filePath(BPOffsetFile::FileName)));
    }

    void spinBoxesEmitTheirValues()
    {
        WindowBench bench;
        QSignalSpy xSpy(&bench.Window, &OffsetBP_Widget::XOffsetChanged);
        QSignalSpy ySpy(&bench.Window, &OffsetBP_Widget::YOffsetChanged);
        Step(Spin(&bench.Window, "spinBox_X"), 3);
        Step(Spin(&bench.Window, "spinBox_Y"), -2);
        QCOMPARE(xSpy.count(), 3);
        QCOMPARE(xSpy.last().at(0).toInt(), 3);
        QCOMPARE(ySpy.count(), 2);
        QCOMPARE(ySpy.last().at(0).toInt(), -2);
        QCOMPARE(bench.Window.XOffset(), 3);
        QCOMPARE(bench.Window.YOffset(), -2);
        // The range ends hold.
        Step(Spin(&bench.Window, "spinBox_X"), 120);
        QCOMPARE(bench.Window.XOffset(), 100);
    }

    // Z668 met, its offsets edited in the shown window, a second proxy met.
    void fileLifeThroughTheWindow()
    {
        WindowBench bench;
        OffsetBP_Widget& window = bench.Window;
        window.SetProxyName("Z668");
        window.ReadBPOffsetFile();
        QCOMPARE(ReadAll(bench.path()), First + "\nZ668 :\nX : 0\nY : 0");
        QVERIFY(bench.log().contains("Creating BP Offset File done (BP_Offset.txt)"));
        QVERIFY(!window.EndReached());

        // Edited while never shown: nothing is written.
        Step(Spin(&window, "spinBox_X"), 2);
        window.SaveBPOffsetFile();
        QCOMPARE(ReadAll(bench.path()), First + "\nZ668 :\nX : 0\nY : 0");

        window.SetShownFlag(true);
        window.show();
        Step(Spin(&window, "spinBox_X"), 3);
        Step(Spin(&window, "spinBox_Y"), -4);
        window.close();
        QVERIFY(!window.ShownFlag());
        QCOMPARE(ReadAll(bench.path()), First + "\nZ668 :\nX : 5\nY : -4\n");

        window.SetProxyName("A123");
        window.ReadBPOffsetFile();
        QCOMPARE(Spin(&window, "spinBox_X")->value(), 0);
        QCOMPARE(Spin(&window, "spinBox_Y")->value(), 0);
        QCOMPARE(ReadAll(bench.path()), First + "\nZ668 :\nX : 5\nY : -4\n\nA123 :\nX : 0\nY : 0");

        // Met again: its values come back and the file is left as it is.
        window.SetProxyName("Z668");
        QVERIFY(bench.log().contains("Proxy present in the BP Offset File"));
        window.ReadBPOffsetFile();
        QCOMPARE(Spin(&window, "spinBox_X")->value(), 5);
        QCOMPARE(Spin(&window, "spinBox_Y")->value(), -4);
        QCOMPARE(ReadAll(bench.path()), First + "\nZ668 :\nX : 5\nY : -4\n\nA123 :\nX : 0\nY : 0");
        QVERIFY2(bench.Recorder.Boxes.isEmpty(), qPrintable(bench.Recorder.Boxes.join('\n')));
    }

    // A value outside the spin range shows clamped and is saved clamped.
    void outOfRangeValueIsClamped()
    {
        WindowBench bench;
        QVERIFY(WriteAll(bench.path(), First + "\nZ668 :\nX : 250\nY : -7\n\nB :\nX : 1\nY : 1"));
        bench.Window.SetProxyName("Z668");
        bench.Window.ReadBPOffsetFile();
        QCOMPARE(Spin(&bench.Window, "spinBox_X")->value(), 100);
        QCOMPARE(Spin(&bench.Window, "spinBox_Y")->value(), -7);
        bench.Window.SetShownFlag(true);
        bench.Window.SaveBPOffsetFile();
        QCOMPARE(ReadAll(bench.path()), First + "\nZ668 :\nX : 100\nY : -7\nB :\nX : 1\nY : 1");
    }

    // Values that cannot be read: told clearly, zeros used, and the rest of the file kept.
    void unreadableValues()
    {
        WindowBench bench;
        QVERIFY(WriteAll(bench.path(), First + "\nZ668 :\nX : five\nY : 2\n"));
        Step(Spin(&bench.Window, "spinBox_X"), 9);
        bench.Window.SetProxyName("Z668");
        bench.Window.ReadBPOffsetFile();
        QCOMPARE(Spin(&bench.Window, "spinBox_X")->value(), 0);
        QCOMPARE(Spin(&bench.Window, "spinBox_Y")->value(), 0);
        QCOMPARE(bench.Recorder.Boxes.size(), 1);
        QVERIFY(bench.Recorder.Boxes.at(0).startsWith("Problem with file|The BP offset file holds no readable offsets "
                                                      "for Z668"));
        QVERIFY(bench.log().contains("the offsets of Z668 cannot be read"));
        bench.Window.SetShownFlag(true);
        bench.Window.SaveBPOffsetFile();
        QCOMPARE(ReadAll(bench.path()), First + "\nZ668 :\nX : 0\nY : 0\nX : five\nY : 2\n");
    }

    // A file that cannot be opened: the boxes and log lines, nothing lost, and a later save tries again.
    void fileProblems()
    {
        WindowBench bench;
        QVERIFY(QDir().mkpath(bench.path()));
        Step(Spin(&bench.Window, "spinBox_X"), 4);
        bench.Window.SetProxyName("Z668");
        bench.Window.ReadBPOffsetFile();
        QCOMPARE(Spin(&bench.Window, "spinBox_X")->value(), 4);
        QCOMPARE(bench.Recorder.Boxes,
                 QStringList({"Problem with file|A problem occured while creating a BP offset file.",
                              "Problem with file|A problem occured while creating a BP offset file."}));
        QVERIFY(bench.log().contains("Problem while opening BP Offset File, no values can be read ... Init to 0"));

        bench.Recorder.Boxes.clear();
        bench.Window.SetShownFlag(true);
        bench.Window.SaveBPOffsetFile();
        QCOMPARE(bench.Recorder.Boxes,
                 QStringList({"Problem with file|A problem occured while opening the BP offset file."}));
        QVERIFY(bench.log().contains("Problem while opening BP Offset file, the values entered won't be saved"));
        QVERIFY(bench.Window.ShownFlag());

        QVERIFY(QDir(bench.path()).removeRecursively());
        bench.Window.SaveBPOffsetFile();
        QCOMPARE(ReadAll(bench.path()), QByteArray("Z668 :\nX : 4\nY : 0\n"));
        QVERIFY(!bench.Window.ShownFlag());
    }

    // The menu action shows and hides the one window; its values reach the main window.
    void mainWindowToggleAndOffsets()
    {
        TestAppFolder folder;
        BoxRecorder recorder;
        auto pMain = std::make_unique<MainWindow>();
        MainWindow& w = *pMain;
        OffsetBP_Widget* pWindow = w.BPOffsetWindow;
        QVERIFY(pWindow);
        QVERIFY(!w.ui->action_OpenBPOffsetWindow->isEnabled());
        w.SetupWindow->findChild<QComboBox*>("comboBox_SelectProxy")->setCurrentText("Z668");
        QCOMPARE(w.SetupWindow->getProxyText(), QString("Z668"));
        w.ReadBPOffsetForAcquisition();
        QCOMPARE(ReadAll(folder.filePath(BPOffsetFile::FileName)), First + "\nZ668 :\nX : 0\nY : 0");

        w.ui->action_OpenBPOffsetWindow->setEnabled(true);
        w.ui->action_OpenBPOffsetWindow->trigger();
        QVERIFY(pWindow->isVisible());
        QVERIFY(pWindow->ShownFlag());
        Step(Spin(pWindow, "spinBox_X"), -3);
        Step(Spin(pWindow, "spinBox_Y"), 2);
        QCOMPARE(w.BadPixelOffsetX.load(), -3);
        QCOMPARE(w.BadPixelOffsetY.load(), 2);

        w.ui->action_OpenBPOffsetWindow->trigger();
        QVERIFY(!pWindow->isVisible());
        QCOMPARE(w.BPOffsetWindow, pWindow);
        QCOMPARE(ReadAll(folder.filePath(BPOffsetFile::FileName)), First + "\nZ668 :\nX : -3\nY : 2\n");

        QFile logFile(w.Log->filePath());
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        const QString log = QString::fromUtf8(logFile.readAll());
        const int open = log.indexOf("Open Offset BP Window");
        const int changed = log.indexOf("Offset X BP changed: -3");
        const int close = log.indexOf("Close Offset BP Window");
        QVERIFY(open >= 0 && changed > open && close > changed);
        QVERIFY(log.contains("Offset Y BP changed: 2"));

        // Opened again then left open: the program's end keeps the edit.
        w.ui->action_OpenBPOffsetWindow->trigger();
        Step(Spin(pWindow, "spinBox_X"), 1);
        pMain.reset();
        QCOMPARE(ReadAll(folder.filePath(BPOffsetFile::FileName)), First + "\nZ668 :\nX : -2\nY : 2\n");
        QVERIFY(recorder.Boxes.isEmpty());
    }

    // Through the main button on a streaming board: the file is set up at the
    // start, the offsets follow the window, and the stop saves and closes it.
    void acquisitionStartAndStop()
    {
        Road road(sim::BoardKind::BelmorPlus, 2);
        MainWindow& w = *road.Window;
        road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(3);
        road.press();
        QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
        const QString sProxy = w.SetupWindow->getProxyText();
        QVERIFY(!sProxy.isEmpty());
        const QString sPath = road.Folder.filePath(BPOffsetFile::FileName);
        QVERIFY(WriteAll(sPath, First + "\nOther :\nX : 9\nY : 9\n\n" + sProxy.toUtf8() + " :\nX : 6\nY : -5\n"));

        QByteArray atStart;
        bool bOpen = false;
        road.whenStreaming([&]() {
            atStart = ReadAll(sPath);
            QVERIFY(road.ui()->action_OpenBPOffsetWindow->isEnabled());
            road.ui()->action_OpenBPOffsetWindow->trigger();
            bOpen = w.BPOffsetWindow->isVisible();
            Step(Spin(w.BPOffsetWindow, "spinBox_Y"), 1);
            road.press();
        });
        road.press();
        QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 5000);
        QCOMPARE(atStart, First + "\nOther :\nX : 9\nY : 9\n\n" + sProxy.toUtf8() + " :\nX : 6\nY : -5\n");
        QVERIFY(bOpen);
        QCOMPARE(w.BadPixelOffsetX.load(), 6);
        QCOMPARE(w.BadPixelOffsetY.load(), -4);
        QVERIFY(!w.BPOffsetWindow->isVisible());
        QCOMPARE(ReadAll(sPath), First + "\nOther :\nX : 9\nY : 9\n\n" + sProxy.toUtf8() + " :\nX : 6\nY : -4\n");
        QVERIFY(road.ui()->action_OpenBPOffsetWindow->isEnabled());
        QFile logFile(w.Log->filePath());
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        const QString log = QString::fromUtf8(logFile.readAll());
        QVERIFY(log.contains("Configuring the BP Offset file and read the previous value saved"));
        QVERIFY(log.indexOf("Closing OffsetBP Window ...") < log.lastIndexOf("... OK"));
        QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));
    }
};

QTEST_MAIN(TestOffsetBPWindow)
#include "tst_offset_bp_window.moc"
