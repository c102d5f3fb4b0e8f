// The windowing window: form, presets, limits, estimates, and SET on a simulated Belmor+ up to the restarted stream.
#include "ui_MainWindow.h"
#include "ui_MW_ProxyBelmor.h"

#include "board/road_bench.h"
#include "support/build_speed.h"

#include "tools/MW_Windowing.h"
#include "ui_MW_Windowing.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QSpinBox>

using namespace sim;

namespace {

// Z671P: 640 x 480, divisor 1, 8 blind columns, one of the windowing models.
constexpr int kZ671P = 10;
// Z641: 320 x 240.
constexpr int kZ641 = 18;
// Z602: 80 x 80, no windowing.
constexpr int kZ602 = 5;
// Z668: 640 x 480 with 10 blind columns in a 640-pixel line, no windowing.
constexpr int kZ668 = 2;

struct WindowBench
{
    TestAppFolder Folder;
    BoxRecorder Recorder;
    MW_Windowing Window;
    WindowBench() { InitProxyParameterTable(); }
    Ui::MW_Windowing* ui() { return Window.ui; }
    QList<int> corners()
    {
        return {ui()->spinBox_XFirst->value(), ui()->spinBox_XLast->value(), ui()->spinBox_YFirst->value(),
                ui()->spinBox_YLast->value()};
    }
};

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A corner command as the wire carries it: the text, zero-filled to 8 bytes.
QByteArray Corner(const char* p_szText)
{
    QByteArray bytes(p_szText);
    bytes.append(QByteArray(8 - bytes.size(), '\0'));
    return bytes;
}

// Types p_sText into a spin box as the operator does: select all, type, Enter.
void TypeInto(QSpinBox* p_pBox, const QString& p_sText)
{
    p_pBox->setFocus();
    p_pBox->selectAll();
    QTest::keyClicks(p_pBox, p_sText);
    QTest::keyClick(p_pBox, Qt::Key_Enter);
}

// The camera-file paths the frame grabber was handed, in order.
QStringList CamFilesHandedToTheGrabber()
{
    QStringList paths;
    for (const multicam_test::ParamCall& c : multicam_test::ParamCalls())
        if (c.kind == 'S' && c.param == MC_CamFile)
            paths << QString::fromStdString(c.text);
    return paths;
}

} // namespace

class TestWindowingWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetFastMode(true); }
    void formAtCreation();
    void proxyModels_data();
    void proxyModels();
    void presetsAndTheirWarning();
    void typedSizeMovesTheLastCorner_data();
    void typedSizeMovesTheLastCorner();
    void sizeLimitsEnableTheButton_data();
    void sizeLimitsEnableTheButton();
    void frameRateRingAndEstimate();
    void cameraFileCopyFailureSendsNothing();
    void setOnBelmorPlusRewritesSendsAndRestarts();
    void typedSizeOnAStreamingArvex();
    void lifeCycleFromTheMainWindow();
};

void TestWindowingWindow::formAtCreation()
{
    WindowBench b;
    QCOMPARE(b.Window.windowTitle(), QStringLiteral("Windowing configuration"));
    QVERIFY(!b.ui()->pushButton_SetWindow->isEnabled());
    QCOMPARE(b.corners(), (QList<int>{0, 0, 0, 0}));
    QCOMPARE(b.ui()->spinBox_TINTMax->maximum(), 9999);
    QCOMPARE(b.ui()->spinBox_EstimatedFramerate->maximum(), 9999);
    QCOMPARE(b.ui()->comboBox_windowing->count(), 3);
    QVERIFY(!b.ui()->Image_Windowing->pixmap()->isNull());
}

void TestWindowingWindow::proxyModels_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<QList<int>>("corners");
    QTest::addColumn<QString>("size");
    QTest::newRow("Z671P") << kZ671P << true << QList<int>{0, 639, 0, 479} << "640x480";
    QTest::newRow("Z641") << kZ641 << true << QList<int>{0, 319, 0, 239} << "320x240";
    // Not a windowing model: disabled, showing the full sensor.
    QTest::newRow("Z602") << kZ602 << false << QList<int>{0, 79, 0, 79} << "80x80";
    // Its full sensor passes the size limits, but it has no windowing either.
    QTest::newRow("Z668") << kZ668 << false << QList<int>{0, 639, 0, 479} << "640x480";
}

void TestWindowingWindow::proxyModels()
{
    QFETCH(int, record);
    QFETCH(bool, offered);
    QFETCH(QList<int>, corners);
    QFETCH(QString, size);
    WindowBench b;
    b.Window.setProxy(ProxyModelName(record), record);
    QCOMPARE(b.ui()->label_ProxyName->text(), QString(ProxyModelName(record)));
    QCOMPARE(b.ui()->label_DefaultImageSize->text(), size);
    QCOMPARE(b.ui()->comboBox_windowing->isEnabled(), offered);
    QCOMPARE(b.ui()->spinBox_XLast->isEnabled(), offered);
    QCOMPARE(b.ui()->spinBox_XAcqSize->isEnabled(), offered);
    QCOMPARE(b.ui()->spinBox_YAcqSize->isEnabled(), offered);
    QCOMPARE(b.corners(), corners);
    // The full sensor is a window the button takes, on a model that has windowing.
    QCOMPARE(b.ui()->pushButton_SetWindow->isEnabled(), offered);
    QCOMPARE(b.ui()->pushButton_SetWindow->toolTip(),
             offered ? QString() : QString("Windowing is not available with this proxy"));
    QVERIFY(b.Window.windowingCamFilePath().endsWith(
        "/../Camfiles/Windowing/CamFile_Windowing_" + QString(ProxyModelName(record)) + ".cam"));
    // The second camera file is taken at the next setProxy.
    b.Window.setSecondCamFile(true);
    b.Window.setProxy(ProxyModelName(record), record);
    QVERIFY(b.Window.windowingCamFilePath().endsWith("_2.cam"));
    QVERIFY(b.Window.sourceCamFilePath().endsWith("/../Camfiles/CamFile_" + QString(ProxyModelName(record)) + "_2.cam"));
}

void TestWindowingWindow::presetsAndTheirWarning()
{
    WindowBench b;
    b.Window.setProxy("Z671P", kZ671P);
    b.ui()->comboBox_windowing->setCurrentText("QVGA centered");
    QCOMPARE(b.corners(), (QList<int>{160, 479, 120, 359}));
    QCOMPARE(b.ui()->spinBox_XAcqSize->value(), 320);
    QCOMPARE(b.ui()->spinBox_YAcqSize->value(), 240);
    QCOMPARE(b.ui()->spinBox_TINTMax->value(), 307);
    QVERIFY(b.ui()->pushButton_SetWindow->isEnabled());
    b.ui()->comboBox_windowing->setCurrentText("VGA centered");
    QCOMPARE(b.corners(), (QList<int>{0, 639, 0, 479}));
    QVERIFY(b.Recorder.Boxes.isEmpty());

    WindowBench small;
    small.Window.setProxy("Z641", kZ641);
    small.ui()->spinBox_XFirst->setValue(5);
    small.ui()->comboBox_windowing->setCurrentText("VGA centered");
    QCOMPARE(small.Recorder.Boxes, QStringList{"Incorrect Size|This Windowing is not available with this sensor"});
    QCOMPARE(small.corners(), (QList<int>{5, 319, 0, 239}));
    // Back to the user's choice: the corners stay.
    small.ui()->comboBox_windowing->setCurrentText("User defined");
    QCOMPARE(small.corners(), (QList<int>{5, 319, 0, 239}));
}

void TestWindowingWindow::typedSizeMovesTheLastCorner_data()
{
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<QString>("xSize");
    QTest::addColumn<QString>("ySize");
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("from the origin") << QList<int>{0, 639, 0, 479} << "320" << "240" << QList<int>{0, 319, 0, 239};
    QTest::newRow("first corners stay") << QList<int>{100, 639, 50, 479} << "320" << "240"
                                        << QList<int>{100, 419, 50, 289};
    // Past the sensor's edge the window is moved back inside it.
    QTest::newRow("moved inside") << QList<int>{500, 639, 400, 479} << "320" << "240"
                                  << QList<int>{320, 639, 240, 479};
    QTest::newRow("whole sensor") << QList<int>{200, 300, 100, 200} << "640" << "480"
                                  << QList<int>{0, 639, 0, 479};
}

void TestWindowingWindow::typedSizeMovesTheLastCorner()
{
    QFETCH(QList<int>, before);
    QFETCH(QString, xSize);
    QFETCH(QString, ySize);
    QFETCH(QList<int>, after);
    WindowBench b;
    b.Window.setProxy("Z671P", kZ671P);
    b.Window.setImageSize(648, 480);
    for (int i = 0; i < 15; ++i)
        b.Window.setCurrentFps(30);
    b.ui()->spinBox_XFirst->setValue(before[0]);
    b.ui()->spinBox_XLast->setValue(before[1]);
    b.ui()->spinBox_YFirst->setValue(before[2]);
    b.ui()->spinBox_YLast->setValue(before[3]);
    TypeInto(b.ui()->spinBox_XAcqSize, xSize);
    TypeInto(b.ui()->spinBox_YAcqSize, ySize);
    QCOMPARE(b.corners(), after);
    QCOMPARE(b.ui()->spinBox_XAcqSize->value(), xSize.toInt());
    QCOMPARE(b.ui()->spinBox_YAcqSize->value(), ySize.toInt());
    QCOMPARE(b.ui()->spinBox_TINTMax->value(), xSize.toInt() - 13);
    QCOMPARE(b.ui()->spinBox_EstimatedFramerate->value(), 640 * 480 * 30 / xSize.toInt() / ySize.toInt());
    QVERIFY(b.ui()->pushButton_SetWindow->isEnabled());
}

void TestWindowingWindow::sizeLimitsEnableTheButton_data()
{
    QTest::addColumn<QList<int>>("corners");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("xSize");
    QTest::newRow("160 x 120") << QList<int>{100, 259, 10, 129} << true << 160;
    QTest::newRow("159 columns") << QList<int>{100, 258, 10, 129} << false << 159;
    QTest::newRow("119 rows") << QList<int>{100, 259, 10, 128} << false << 160;
    QTest::newRow("full sensor") << QList<int>{0, 639, 0, 479} << true << 640;
    // A last column before the first: no size, no button.
    QTest::newRow("inverted") << QList<int>{400, 100, 0, 479} << false << 0;
}

void TestWindowingWindow::sizeLimitsEnableTheButton()
{
    QFETCH(QList<int>, corners);
    QFETCH(bool, enabled);
    QFETCH(int, xSize);
    WindowBench b;
    b.Window.setProxy("Z671P", kZ671P);
    b.ui()->spinBox_XFirst->setValue(corners[0]);
    b.ui()->spinBox_XLast->setValue(corners[1]);
    b.ui()->spinBox_YFirst->setValue(corners[2]);
    b.ui()->spinBox_YLast->setValue(corners[3]);
    QCOMPARE(b.ui()->pushButton_SetWindow->isEnabled(), enabled);
    QCOMPARE(b.ui()->spinBox_XAcqSize->value(), xSize);
}

void TestWindowingWindow::frameRateRingAndEstimate()
{
    WindowBench b;
    b.Window.setProxy("Z671P", kZ671P);
    // The delivered line holds the 8 blind columns.
    b.Window.setImageSize(648, 480);
    QCOMPARE(b.ui()->label_ActualImageSize->text(), QStringLiteral("640x480"));
    // The ring starts at zero: the mean ramps up over 15 seconds.
    b.Window.setCurrentFps(30);
    QCOMPARE(b.Window.currentFrameRate(), uint16_t(2));
    QCOMPARE(b.ui()->spinBox_EstimatedFramerate->value(), 2);
    for (int i = 0; i < 14; ++i)
        b.Window.setCurrentFps(30);
    QCOMPARE(b.Window.currentFrameRate(), uint16_t(30));
    QCOMPARE(b.ui()->spinBox_EstimatedFramerate->value(), 30);
    b.ui()->comboBox_windowing->setCurrentText("QVGA centered");
    QCOMPARE(b.ui()->spinBox_EstimatedFramerate->value(), 120);
    // The oldest entry goes first.
    b.Window.setCurrentFps(45);
    QCOMPARE(b.Window.currentFrameRate(), uint16_t(31));
}

void TestWindowingWindow::cameraFileCopyFailureSendsNothing()
{
    WindowBench b;
    // A model without a camera file to copy from.
    b.Window.setProxy("Z671P", kZ671P);
    QVERIFY(QFile::remove(b.Window.sourceCamFilePath()));
    int writes = 0;
    b.Window.setRegisterWriter([&writes](int, int) { return ++writes, 0; });
    QSignalSpy configured(&b.Window, &MW_Windowing::Windowing_configured);
    QTest::mouseClick(b.ui()->pushButton_SetWindow, Qt::LeftButton);
    QCOMPARE(b.Recorder.Boxes, QStringList{"Copy failed|The Windowing CamFile has not been created. Please check "
                                           "Kestivo have access to the files"});
    QCOMPARE(writes, 0);
    QCOMPARE(configured.count(), 0);

    // A corner the board refuses: the rest is not sent and nothing restarts.
    QVERIFY(QFile::copy(b.Folder.rootPath() + "/Camfiles/CamFile_Z671.cam", b.Window.sourceCamFilePath()));
    QList<int> ids;
    b.Window.setRegisterWriter([&ids](int p_iId, int) { return ids << p_iId, p_iId == 6 ? 1 : 0; });
    QTest::mouseClick(b.ui()->pushButton_SetWindow, Qt::LeftButton);
    QCOMPARE(ids, (QList<int>{5, 6}));
    QCOMPARE(configured.count(), 0);
}

void TestWindowingWindow::setOnBelmorPlusRewritesSendsAndRestarts()
{
    Road road(BoardKind::BelmorPlus, kZ671P);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(3);
    road.press();
    QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    QCOMPARE(w.CurrentProxyIndex.load(), kZ671P);

    w.ActionWindowing();
    QPointer<MW_Windowing> pWindow = w.WindowingWindow;
    QVERIFY(pWindow);
    QVERIFY(pWindow->isVisible());
    pWindow->ui->comboBox_windowing->setCurrentText("QVGA centered");
    const QString sCamFile = pWindow->windowingCamFilePath();
    QVERIFY(!QFile::exists(sCamFile));

    // Once the restarted stream runs, its geometry is read and the stream stopped.
    int seenWidth = 0, seenHeight = 0, seenFrames = 0;
    bool bWindowingChecked = false;
    auto* pPoll = new QTimer(&w);
    QObject::connect(pPoll, &QTimer::timeout, &w, [&]() {
        if (!w.Connected || w.StopAcquisition || w.FrameCounter <= 0
            || road.ui()->pushButton_Start->text() != "Safe\ndisconnection")
            return;
        pPoll->stop();
        seenWidth = w.FrameWidth;
        seenHeight = w.FrameHeight;
        seenFrames = w.FrameCounter;
        bWindowingChecked = road.ui()->checkBox_WindowingEnabled->isChecked();
        road.press();
    });
    pPoll->start(20);
    ClearRecordedMessages(BoardKind::BelmorPlus);
    QTest::mouseClick(pWindow->ui->pushButton_SetWindow, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(seenFrames > 0, 15000 * BuildSlowdown);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 5000 * BuildSlowdown);

    QVERIFY(road.Recorder.Boxes.contains("Copy sucessful|The Windowing CamFile has been created"));
    const QList<QByteArray> sent = RecordedBytes(BoardKind::BelmorPlus);
    // The corners go out as the 8-byte zero-filled texts on every Camera Link board.
    const QList<QByteArray> corners{Corner("!70120"), Corner("!80359"), Corner("!90160"), Corner("!A0479")};
    const int iAt = sent.indexOf(corners.first());
    QVERIFY2(iAt >= 0, qPrintable(QString::fromLatin1(sent.join(' '))));
    QCOMPARE(sent.mid(iAt, 4), corners);

    // 320 columns + 8 blind columns, 240 rows, read by the grabber at the restart.
    const QByteArray camFile = ReadAll(sCamFile);
    QVERIFY(camFile.contains("    Hactive_Px =           328;       <=\r\n"));
    QVERIFY(camFile.contains("    Vactive_Ln =          240;       <=\r\n"));
    QVERIFY(bWindowingChecked);
    QCOMPARE(seenWidth, 328);
    QCOMPARE(seenHeight, 240);
}

void TestWindowingWindow::typedSizeOnAStreamingArvex()
{
    Road road(BoardKind::Arvex, kZ671P);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(1);
    road.press();
    QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    QCOMPARE(w.CurrentProxyIndex.load(), kZ671P);
    multicam_test::ClearParamCalls();

    // The Camera Link start streams inside the main button's press: the steps
    // run from a poll while it does, first on the proxy's own stream, then on
    // the stream that SET WINDOWING restarts.
    auto streaming = [&]() {
        return w.Connected && !w.StopAcquisition && w.FrameCounter > 0
               && road.ui()->pushButton_Start->text() == "Safe\ndisconnection";
    };
    int stage = 0;
    QStringList started, restarted;
    QString sizeBefore, sizeAfter, xSizeAfter, ySizeAfter;
    QList<int> cornersTyped;
    int tintMaxTyped = 0, tintBefore = 0, tintAfter = 0, widthAfter = 0, heightAfter = 0;
    int estimateAfter = -1, rateAfter = -2;
    QPointer<MW_Windowing> pWindow;
    QElapsedTimer restartClock;
    auto* pPoll = new QTimer(&w);
    QObject::connect(pPoll, &QTimer::timeout, &w, [&]() {
        if (stage == 0 && streaming()) {
            stage = 1;
            started = CamFilesHandedToTheGrabber();
            tintBefore = road.ui()->spinBox_TINT->value();
            road.ui()->action_WindowingConfiguration->trigger();
            pWindow = w.WindowingWindow;
            if (!pWindow)
                return;
            Ui::MW_Windowing* wui = pWindow->ui;
            sizeBefore = wui->label_ActualImageSize->text();
            TypeInto(wui->spinBox_XAcqSize, "320");
            TypeInto(wui->spinBox_YAcqSize, "240");
            cornersTyped = {wui->spinBox_XFirst->value(), wui->spinBox_XLast->value(), wui->spinBox_YFirst->value(),
                            wui->spinBox_YLast->value()};
            tintMaxTyped = wui->spinBox_TINTMax->value();
            ClearRecordedMessages(BoardKind::Arvex);
            multicam_test::ClearParamCalls();
            restartClock.start();
            // The click runs the restarted stream until stage 2 ends it: from
            // a timer of its own, so that this poll goes on meanwhile.
            QTimer::singleShot(0, &w, [wui]() { QTest::mouseClick(wui->pushButton_SetWindow, Qt::LeftButton); });
            return;
        }
        if (stage != 1 || !pWindow || !streaming())
            return;
        // The window hears of the new geometry with the next one-second tick.
        const bool bFollowed = pWindow->ui->label_ActualImageSize->text() != sizeBefore;
        if (!bFollowed && restartClock.elapsed() < 20000 * BuildSlowdown)
            return;
        stage = 2;
        Ui::MW_Windowing* wui = pWindow->ui;
        restarted = CamFilesHandedToTheGrabber();
        widthAfter = int(w.FrameWidth);
        heightAfter = int(w.FrameHeight);
        sizeAfter = wui->label_ActualImageSize->text();
        xSizeAfter = wui->spinBox_XAcqSize->text();
        ySizeAfter = wui->spinBox_YAcqSize->text();
        estimateAfter = wui->spinBox_EstimatedFramerate->value();
        rateAfter = pWindow->currentFrameRate();
        tintAfter = road.ui()->spinBox_TINT->value();
        pPoll->stop();
        road.press();
    });
    pPoll->start(20);
    road.press();
    QTRY_VERIFY_WITH_TIMEOUT(stage == 2 && !w.Connected, 60000 * BuildSlowdown);

    // The proxy's own camera file was handed to the grabber with "/" separators.
    QCOMPARE(started.size(), 1);
    QVERIFY2(started.first().endsWith("/../Camfiles/CamFile_Z671P.cam"), qPrintable(started.first()));
    QVERIFY(!started.first().contains('\\'));
    QVERIFY(QFileInfo::exists(started.first()));
    // 648 delivered pixels less the 8 blind columns.
    QCOMPARE(sizeBefore, QStringLiteral("640x480"));
    QCOMPARE(cornersTyped, (QList<int>{0, 319, 0, 239}));
    QCOMPARE(tintMaxTyped, 307);
    QVERIFY(road.Recorder.Boxes.contains("Copy sucessful|The Windowing CamFile has been created"));

    // The typed window's corners, in their order, on the wire.
    const QList<QByteArray> sent = RecordedBytes(BoardKind::Arvex);
    const QList<QByteArray> corners{Corner("!70000"), Corner("!80239"), Corner("!90000"), Corner("!A0319")};
    const int iAt = sent.indexOf(corners.first());
    QVERIFY2(iAt >= 0, qPrintable(QString::fromLatin1(sent.join(' ').replace('\0', '.'))));
    QCOMPARE(sent.mid(iAt, 4), corners);

    // The restarted stream: the windowing camera file, 320 + 8 blind columns by 240 rows.
    QVERIFY(!restarted.isEmpty());
    QVERIFY2(restarted.last().endsWith("/../Camfiles/Windowing/CamFile_Windowing_Z671P.cam"),
             qPrintable(restarted.last()));
    QVERIFY(!restarted.last().contains('\\'));
    QCOMPARE(widthAfter, 328);
    QCOMPARE(heightAfter, 240);
    QVERIFY(pWindow);
    QVERIFY(ReadAll(pWindow->windowingCamFilePath()).contains("    Hactive_Px =           328;       <=\r\n"));

    // What the window shows follows the stream: the window's size, and an
    // estimate that is the measured rate now that the stream is the window.
    QCOMPARE(sizeAfter, QStringLiteral("320x240"));
    QCOMPARE(xSizeAfter, QStringLiteral("320"));
    QCOMPARE(ySizeAfter, QStringLiteral("240"));
    QCOMPARE(estimateAfter, rateAfter);
    // A start with windowing on takes the window's largest integration time.
    QVERIFY(tintBefore != tintMaxTyped);
    QCOMPARE(tintAfter, tintMaxTyped);
    pWindow->close();
}

void TestWindowingWindow::lifeCycleFromTheMainWindow()
{
    Road road(BoardKind::BelmorPlus, kZ671P);
    MainWindow& w = *road.Window;
    // No connection: refused with the box and a log line.
    w.ActionWindowing();
    QVERIFY(!w.WindowingWindow);
    QCOMPARE(road.Recorder.Boxes,
             QStringList{"Start connexion first|Connexion has not been established yet. Please click on Connect "
                         "button first."});

    w.Connected = true;
    road.ui()->action_WindowingConfiguration->setEnabled(true);
    road.ui()->action_WindowingConfiguration->trigger();
    QPointer<MW_Windowing> pFirst = w.WindowingWindow;
    QVERIFY(pFirst);
    QVERIFY(!pFirst->testAttribute(Qt::WA_QuitOnClose));
    // A second trigger brings the same window forward.
    w.ActionWindowing();
    QCOMPARE(w.WindowingWindow.data(), pFirst.data());
    // The one-second timer feeds the window while it exists.
    QVERIFY(bool(w.WindowingCurrentFps));
    w.WindowingCurrentFps(30);
    QCOMPARE(pFirst->currentFrameRate(), uint16_t(2));

    pFirst->close();
    QVERIFY(!w.WindowingWindow);
    QVERIFY(!w.WindowingCurrentFps);
    QTRY_VERIFY(!pFirst);
    // Closed: the next trigger makes a new window.
    w.ActionWindowing();
    QPointer<MW_Windowing> pSecond = w.WindowingWindow;
    QVERIFY(pSecond);
    QVERIFY(pSecond.data() != pFirst.data());
    pSecond->close();
    QTRY_VERIFY(!pSecond);
    const QString sLog = QString::fromUtf8(ReadAll(w.Log->filePath()));
    QVERIFY(sLog.contains("Windowing configuration can't be opened because no connection with a DigiBoard is made"));
    QVERIFY(sLog.contains("Opening Windowing Configuration Window"));
    QVERIFY(sLog.contains("Close Windowing Configuration Window"));
    w.Connected = false;
}

QTEST_MAIN(TestWindowingWindow)
#include "tst_windowing_window.moc"
