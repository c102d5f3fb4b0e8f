// The main window's set-window button on the simulated boards: guard, refusals, camera file, registers, set and reset.
#include "road_bench.h"
#include "support/build_speed.h"

#include "app/app_paths.h"
#include "board/windowing_camfile.h"
#include "sim/core/message_recorder.h"

using namespace sim;

namespace {

namespace P = ProxyParameterId;
// Z668 on Belmor+: 640 x 480, divisor 1, 10 blind columns, minimum 160 x 120.
constexpr int kRecord = 2;

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void SetUserWindow(Ui::MainWindow* p_pUi, int p_iXFirst, int p_iXLast, int p_iYFirst, int p_iYLast)
{
    for (QSpinBox* pBox : {p_pUi->spinBox_XFirst, p_pUi->spinBox_XLast, p_pUi->spinBox_YFirst, p_pUi->spinBox_YLast})
        pBox->setRange(0, 2000);
    p_pUi->spinBox_XFirst->setValue(p_iXFirst);
    p_pUi->spinBox_XLast->setValue(p_iXLast);
    p_pUi->spinBox_YFirst->setValue(p_iYFirst);
    p_pUi->spinBox_YLast->setValue(p_iYLast);
    SetCurrent(kRecord, P::SizeAActive, 0);
    SetCurrent(kRecord, P::SizeBActive, 0);
}

// The widget's own enabled state; its group box may be disabled around it.
bool OwnEnabled(const QWidget* p_pWidget)
{
    return p_pWidget->isEnabledTo(p_pWidget->parentWidget());
}

// Runs p_Step once, from inside the acquisition, when p_Ready holds.
void WhenReady(MainWindow& p_Window, std::function<bool()> p_Ready, std::function<void()> p_Step)
{
    auto* pPoll = new QTimer(&p_Window);
    QObject::connect(pPoll, &QTimer::timeout, &p_Window, [pPoll, p_Ready, p_Step]() {
        if (!p_Ready())
            return;
        pPoll->stop();
        pPoll->deleteLater();
        p_Step();
    });
    pPoll->start(20);
}

} // namespace

class TestWindowingPress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetFastMode(true); }
    void cameraLinkBeforeStartIsRefused();
    void refusedWindowChangesNothing_data();
    void refusedWindowChangesNothing();
    void cameraFileWithoutTheWords();
    void belmorPlusSetThenResetWindow();
    void dunstelWindowRegisters();
};

void TestWindowingPress::cameraLinkBeforeStartIsRefused()
{
    AcquisitionBench bench(3, BoardKind::BelmorPlus, kRecord);
    MainWindow& w = bench.w();
    g_bWindowingInProgress = true;
    w.PushButton_SetWindow();
    QCOMPARE(bench.Recorder.Boxes, QStringList{"Warning|CameraLink Driver not initialized, Start the camera first"});
    QVERIFY(!g_bWindowingInProgress);
    QVERIFY(w.FullFrameWindow);
}

void TestWindowingPress::refusedWindowChangesNothing_data()
{
    QTest::addColumn<QList<int>>("corners");
    QTest::addColumn<QString>("box");
    // Cell 261 is 120: YLast - YFirst = 119 is one row short.
    QTest::newRow("119 rows apart") << QList<int>{0, 400, 0, 119}
                                    << "Critical|Change windowing Y parameter: minimum window size.";
    QTest::newRow("columns inverted") << QList<int>{500, 100, 0, 300}
                                      << "Critical|Change windowing X parameter: minimum window size.";
}

void TestWindowingPress::refusedWindowChangesNothing()
{
    QFETCH(QList<int>, corners);
    QFETCH(QString, box);
    AcquisitionBench bench(3, BoardKind::BelmorPlus, kRecord);
    MainWindow& w = bench.w();
    w.bInitDriverDone = true;
    SetUserWindow(w.ui, corners[0], corners[1], corners[2], corners[3]);
    const QString sText = w.ui->pushButton_Start->text();
    w.PushButton_SetWindow();
    QCOMPARE(bench.Recorder.Boxes, QStringList{box});
    QVERIFY(!g_bWindowingInProgress);
    QVERIFY(OwnEnabled(w.ui->pushButton_SetWindow));
    QVERIFY(OwnEnabled(w.ui->pushButton_SetParameters));
    QVERIFY(w.FullFrameWindow);
    QVERIFY(w.Connected);
    QCOMPARE(w.ui->pushButton_Start->text(), sText);
    QVERIFY(GetCurrent(kRecord, P::AcqX) <= 1024u);
}

void TestWindowingPress::cameraFileWithoutTheWords()
{
    AcquisitionBench bench(3, BoardKind::BelmorPlus, kRecord);
    MainWindow& w = bench.w();
    w.bInitDriverDone = true;
    w.DefaultImageSizeCode = 1;
    const QString sCamFile = WindowingCamFileBase(ApplicationDirPath(), w.ProxyName, false) + ".cam";
    const QByteArray content = ";--- Active area ---\r\n    Hactive_Px =        648;\r\n    Vactive_Ln =        480;\r\n";
    QFile f(sCamFile);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    SetUserWindow(w.ui, 100, 419, 50, 289);
    w.PushButton_SetWindow();
    QCOMPARE(bench.Recorder.Boxes,
             QStringList{"Critical|Camfiles error, missing 'Hactive_Px =' or 'HSyncAft_Tk =' words"});
    QCOMPARE(ReadAll(sCamFile), content);
    QVERIFY(!QFile::exists(WindowingCamFileBase(ApplicationDirPath(), w.ProxyName, false) + ".txt"));
    QVERIFY(!g_bWindowingInProgress);
    QVERIFY(OwnEnabled(w.ui->pushButton_SetWindow));
    QVERIFY(w.FullFrameWindow);
}

void TestWindowingPress::belmorPlusSetThenResetWindow()
{
    Road road(BoardKind::BelmorPlus, kRecord);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(3);
    road.press();
    QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    const QString sCamFile = WindowingCamFileBase(ApplicationDirPath(), w.ProxyName, false) + ".cam";
    auto streaming = [&w, &road](int p_iWidth) {
        return w.Connected && !w.StopAcquisition && w.FrameCounter > 0 && w.FrameWidth == p_iWidth
               && road.ui()->pushButton_Start->text() == "Safe\ndisconnection";
    };

    QList<QByteArray> setCommands;
    QByteArray camFileAfterSet;
    QString captionAfterSet;
    bool bSizeBoxesLocked = false;
    int windowHeight = 0;
    bool bDone = false;
    // Full frame streaming: set a user window.
    WhenReady(w, [&]() { return streaming(640); }, [&]() {
        SetUserWindow(road.ui(), 100, 419, 50, 289);
        ClearRecordedMessages(BoardKind::BelmorPlus);
        // The window streaming: note what the press did, then reset.
        WhenReady(w, [&]() { return streaming(330); }, [&]() {
            setCommands = RecordedBytes(BoardKind::BelmorPlus);
            camFileAfterSet = ReadAll(sCamFile);
            captionAfterSet = road.ui()->pushButton_SetWindow->text();
            bSizeBoxesLocked = !OwnEnabled(road.ui()->checkBox_SizeA) && !OwnEnabled(road.ui()->checkBox_SizeB);
            windowHeight = w.FrameHeight;
            // The full frame again: stop.
            WhenReady(w, [&]() { return streaming(640); }, [&]() {
                bDone = true;
                road.press();
            });
            w.PushButton_SetWindow();
        });
        w.PushButton_SetWindow();
    });
    road.press();
    QTRY_VERIFY_WITH_TIMEOUT(bDone, 30000 * BuildSlowdown);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 5000 * BuildSlowdown);

    // The user window: corners as they stand, then the SerData word.
    const QList<QByteArray> corners{"!70050", "!80289", "!90100", "!A0419"};
    const int iAt = setCommands.indexOf(corners.first());
    QVERIFY2(iAt >= 0, qPrintable(QString::fromLatin1(setCommands.join(' '))));
    QCOMPARE(setCommands.mid(iAt, 4), corners);
    QVERIFY(setCommands.value(iAt + 4).startsWith("!6"));
    // 320 columns + 10 blind columns; the kept HSyncAft_Tk line follows.
    QVERIFY(camFileAfterSet.contains("    Hactive_Px =        330;               <==\r\n"
                                     "    Vactive_Ln =        240;               <==\r\n"
                                     "    HSyncAft_Tk ="));
    QCOMPARE(windowHeight, 240);
    QCOMPARE(captionAfterSet, QStringLiteral("Reset Window"));
    QVERIFY(bSizeBoxesLocked);
    // The reset: full frame from the ordinary camera file, boxes ticked and free.
    QCOMPARE(road.ui()->pushButton_SetWindow->text(), QStringLiteral("Set Window"));
    QVERIFY(road.ui()->checkBox_SizeA->isChecked() && road.ui()->checkBox_SizeB->isChecked());
    QVERIFY(OwnEnabled(road.ui()->checkBox_SizeA));
    QVERIFY(w.FullFrameWindow);
    QVERIFY(!g_bWindowingInProgress);
}

void TestWindowingPress::dunstelWindowRegisters()
{
    Road road(BoardKind::Dunstel, kRecord);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(4);
    road.press();
    QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    bool bPressed = false;
    WhenReady(w, [&]() { return w.Connected && !w.StopAcquisition && w.FrameCounter > 0; }, [&]() {
        SetUserWindow(road.ui(), 10, 301, 0, 299);
        ClearRecordedMessages(BoardKind::Dunstel);
        bPressed = true;
        w.PushButton_SetWindow();
    });
    road.press();
    QTRY_VERIFY_WITH_TIMEOUT(bPressed, 15000 * BuildSlowdown);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 10000 * BuildSlowdown);
    // XLast down to the even column 300.
    QCOMPARE(road.ui()->spinBox_XLast->value(), 300);
    QList<QByteArray> sent;
    for (const QByteArray& b : RecordedBytes(BoardKind::Dunstel, "uart"))
        if (b.startsWith('!'))
            sent << b;
    // TINT at most 20 first, the window's own TINT (290 columns - 20) after the size.
    const QList<QByteArray> expected{"!10020\n\r",
                                     "!B0291\n\r",
                                     "!C0299\n\r",
                                     "!6",
                                     "!10270\n\r",
                                     "!70000\n\r",
                                     "!80299\n\r",
                                     "!90010\n\r",
                                     "!A0300\n\r"};
    QVERIFY2(sent.size() >= 9, qPrintable(QString::fromLatin1(sent.join(' '))));
    QCOMPARE(sent.mid(0, 3), expected.mid(0, 3));
    QVERIFY(sent.at(3).startsWith("!6"));
    QCOMPARE(sent.mid(4, 5), expected.mid(4, 5));
    QVERIFY(sent.value(9).startsWith("!2"));
}

QTEST_MAIN(TestWindowingPress)
#include "tst_windowing_press.moc"
