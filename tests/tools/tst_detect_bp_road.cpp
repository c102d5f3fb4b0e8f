// The bad-pixel detection run end to end: opened from the streaming main window on a simulated GigE or Camera Link board, its GSK steps written to the simulated sensor, its map file read back by the bad-pixel loader.
#include "ui_MainWindow.h"
#include "ui_MW_ProxyBelmor.h"

#include "board/road_bench.h"
#include "support/build_speed.h"

#include "board/bad_pixel_map.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/bad_pixel_detection.h"
#include "sim/core/board_registry.h"
#include "tools/Window_DetectBP.h"
#include "ui_Window_DetectBP.h"

#include <QFile>

#include <cctype>
#include <functional>

using namespace sim;

namespace {

// The search's waits, shortened: a quarter in a Release build. A sanitizer
// build on a loaded machine may take longer than that quarter for the first
// frame after a GSK step, so it waits half.
constexpr int kSearchWaitDivisor = BuildSlowdown > 1 ? 2 : 4;

// Z668: 640 x 480, blind columns 0x37 (7 left, 3 right), GSK on DAC B.
constexpr int kZ668 = 2;

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The planted dead and hot pixels inside the columns the detection scans, in row-major order.
QVector<DetectedPixel> PlantedPixels(int p_iWidth, int p_iHeight, int p_iRecord)
{
    const BlindColumns blind = BlindColumnsFromCell(GetDefault(p_iRecord, ProxyParameterId::BlindColumns));
    QVector<DetectedPixel> planted;
    for (int y = 0; y < p_iHeight; ++y)
        for (int x = blind.Left; x < p_iWidth - blind.Right; ++x)
            if (SensorModel::DefectAt(x, y) != PixelDefect::None)
                planted.append(DetectedPixel{y, x});
    return planted;
}

// The GSK values the board received on DAC B (ADD03), in order: the "!3" command
// over the GigE UART bridge or the Camera Link serial port.
QList<int> DacBWrites(BoardKind p_Board)
{
    QList<int> out;
    for (const QByteArray& b : RecordedBytes(p_Board, p_Board == BoardKind::Dunstel ? "uart" : "serial")) {
        if (!b.startsWith("!3"))
            continue;
        int i = 2;
        while (i < b.size() && std::isdigit(static_cast<unsigned char>(b[i])))
            ++i;
        out << b.mid(2, i - 2).toInt();
    }
    return out;
}

// Connects and starts p_Board, runs p_Work once frames stream, then disconnects.
void WhileStreaming(QObject* p_pContext, Road& p_Road, BoardKind p_Board, const std::function<void()>& p_Work)
{
    MainWindow& w = *p_Road.Window;
    p_Road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(BoardKindIndex(p_Board));
    p_Road.press();   // connect
    QVERIFY2(w.Connected, qPrintable(p_Road.Recorder.Boxes.join('\n')));
    bool bDone = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, p_pContext, [&]() {
        // Streaming: the start sequence has ended its waits and frames reach the view.
        if (w.StopAcquisition || w.FrameCounter <= 3 || p_Road.ui()->pushButton_Start->text() != "Safe\ndisconnection"
            || !p_Road.ui()->pushButton_Start->isEnabled())
            return;
        poll.stop();
        p_Work();
        p_Road.press();   // safe disconnection
        bDone = true;
    });
    poll.start(20);
    p_Road.press();   // start the acquisition; returns once disconnected
    QTRY_VERIFY_WITH_TIMEOUT(bDone, 120000);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 10000);
}

} // namespace

class TestDetectBPRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetFastMode(true); }
    void cleanupTestCase() { SetFastMode(false); }
    void detectionOnAStreamingBoardFindsThePlantedPixels_data();
    void detectionOnAStreamingBoardFindsThePlantedPixels();
    void searchEndsWithAMessageWhenTheGskRangeRunsOut_data();
    void searchEndsWithAMessageWhenTheGskRangeRunsOut();

private:
    // Runs inside the acquisition's event loop (the start press returns at the disconnection).
    void detectWhileStreaming(Road& p_Road, BoardKind p_Board, bool p_bImageLevel);
    void runOutOfGskRange(Road& p_Road, BoardKind p_Board);
};

void TestDetectBPRoad::detectionOnAStreamingBoardFindsThePlantedPixels_data()
{
    QTest::addColumn<int>("board");
    QTest::addColumn<bool>("imageLevel");
    QTest::newRow("Dunstel GSK adjustment") << int(BoardKind::Dunstel) << false;
    QTest::newRow("Dunstel image level") << int(BoardKind::Dunstel) << true;
    // Arvex with its own NUC: the board-corrected path forwards its frames too.
    QTest::newRow("Arvex GSK adjustment") << int(BoardKind::Arvex) << false;
    QTest::newRow("Arvex image level") << int(BoardKind::Arvex) << true;
}

void TestDetectBPRoad::detectionOnAStreamingBoardFindsThePlantedPixels()
{
    QFETCH(int, board);
    QFETCH(bool, imageLevel);
    Road road(BoardKind(board), kZ668);
    WhileStreaming(this, road, BoardKind(board), [&]() { detectWhileStreaming(road, BoardKind(board), imageLevel); });
}

void TestDetectBPRoad::searchEndsWithAMessageWhenTheGskRangeRunsOut_data()
{
    QTest::addColumn<int>("board");
    QTest::newRow("Dunstel") << int(BoardKind::Dunstel);
    QTest::newRow("Arvex") << int(BoardKind::Arvex);
}

void TestDetectBPRoad::searchEndsWithAMessageWhenTheGskRangeRunsOut()
{
    QFETCH(int, board);
    Road road(BoardKind(board), kZ668);
    WhileStreaming(this, road, BoardKind(board), [&]() { runOutOfGskRange(road, BoardKind(board)); });
}

void TestDetectBPRoad::runOutOfGskRange(Road& p_Road, BoardKind p_Board)
{
    Road& road = p_Road;
    MainWindow& w = *road.Window;
    if (p_Board == BoardKind::Arvex)
        QVERIFY(!w.SoftwareNUC);
    const std::shared_ptr<SensorModel> sensor = SensorFor(p_Board);
    sensor->setLensCovered(true);
    // The GSK near the top of its range: the covered sensor's level stays
    // below 90 % there, whatever the GSK.
    road.ui()->spinBox_DAC_B->setValue(4060);
    w.PushButtonSetParameter_ProxyTest();
    QCOMPARE(static_cast<int>(GetCurrent(kZ668, ProxyParameterId::DAC_B)), 4060);

    road.ui()->actionDetectBP->setEnabled(true);
    road.ui()->actionDetectBP->trigger();
    QPointer<Window_DetectBP> window = w.DetectBPWindow.data();
    QVERIFY(window);
    Ui::Window_DetectBP* ui = window->ui;
    QCOMPARE(ui->label_CurrentGSKValue->text(), QStringLiteral("Current GSK value: 4060"));
    window->setWaitDivisor(kSearchWaitDivisor);
    ui->checkBox_ImgLevel->click();
    ui->spinBox_ImageLevel_Min->setValue(90);
    ui->spinBox_ImageLevel_Max->setValue(99);
    const QString sCountBefore = ui->label_NumberBP->text();
    ClearRecordedMessages(p_Board);
    road.Recorder.Boxes.clear();

    // The label follows the search.
    QStringList labels;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, this, [&]() {
        if (window && (labels.isEmpty() || labels.last() != ui->label_CurrentGSKValue->text()))
            labels << ui->label_CurrentGSKValue->text();
    });
    sampler.start(50);
    QTest::mouseClick(ui->pushButton_Start, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window && !window->isRunning(), 60000);
    sampler.stop();

    QCOMPARE(road.Recorder.Boxes, QStringList{"ERROR|The sensor is not well configured, please check"});
    // Up in steps of 5 to 4095, where no step is left; then the start value back.
    QCOMPARE(DacBWrites(p_Board), (QList<int>{4065, 4070, 4075, 4080, 4085, 4090, 4095, 4060}));
    QCOMPARE(sensor->registerValue(Register::ADD03), 4060);
    QVERIFY(labels.contains(QStringLiteral("Current GSK value: 4095")));
    QCOMPARE(ui->label_CurrentGSKValue->text(), QStringLiteral("Current GSK value: 4060"));
    QVERIFY(!w.BadPixelDetectionRunning);
    QCOMPARE(ui->tableWidget_Coordinates->rowCount(), 0);
    QCOMPARE(ui->label_NumberBP->text(), sCountBefore);
    QVERIFY(ui->pushButton_Start->isEnabled());
    QVERIFY(!QFile::exists(road.Folder.rootPath() + "/BadPixelsFiles/BP_000000000.csv"));
    window->close();
    QTRY_VERIFY(window.isNull());
}

void TestDetectBPRoad::detectWhileStreaming(Road& p_Road, BoardKind p_Board, bool p_bImageLevel)
{
    Road& road = p_Road;
    MainWindow& w = *road.Window;
    QCOMPARE(w.CurrentProxyIndex.load(), kZ668);
    if (p_Board == BoardKind::Arvex)
        QVERIFY(!w.SoftwareNUC);
    // The operator covers the lens, as the window asks.
    const std::shared_ptr<SensorModel> sensor = SensorFor(p_Board);
    sensor->setLensCovered(true);
    const int iStartGsk = static_cast<int>(GetCurrent(kZ668, ProxyParameterId::DAC_B));
    QCOMPARE(sensor->registerValue(Register::ADD03), iStartGsk);

    road.ui()->actionDetectBP->setEnabled(true);
    road.ui()->actionDetectBP->trigger();
    QPointer<Window_DetectBP> window = w.DetectBPWindow.data();
    QVERIFY(window);
    Ui::Window_DetectBP* ui = window->ui;
    QCOMPARE(ui->spinBox_GSK_Min->value(), iStartGsk - 50);
    QCOMPARE(ui->spinBox_GSK_Max->value(), iStartGsk + 50);
    if (p_bImageLevel) {
        // Thirteen steps of 4 s each at the operator's pace: a quarter of it here.
        window->setWaitDivisor(kSearchWaitDivisor);
        ui->checkBox_ImgLevel->click();
    } else {
        ui->checkBoxGSKAdjustment->click();
    }
    ui->lineEdit_SensorSN->setText("SIM668");
    ClearRecordedMessages(p_Board);
    road.Recorder.Boxes.clear();

    // The level follows the GSK the run writes: sampled while the run waits.
    QList<int> levelsSeen;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, this, [&]() {
        if (!window || window->LatestFrame.empty())
            return;
        const int iLevel = static_cast<int>(RoundedMean(window->LatestFrame));
        if (levelsSeen.isEmpty() || std::abs(levelsSeen.last() - iLevel) > 2000)
            levelsSeen << iLevel;
    });
    sampler.start(100);
    QTest::mouseClick(ui->pushButton_Start, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window && !window->isRunning(), 60000);
    sampler.stop();
    QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));

    if (p_bImageLevel) {
        // The covered sensor's level is 9000 + 15000 x (1 + 0.05 x (GSK - start)): three steps of 5
        // down to 12750 (below 25 %), ten up to 50250 (75 % or more), then the start value back.
        QList<int> expected;
        for (int d : {-5, -10, -15, -10, -5, 0, 5, 10, 15, 20, 25, 30, 35, 0})
            expected << iStartGsk + d;
        QCOMPARE(DacBWrites(p_Board), expected);
        QVERIFY(RoundedMean(window->LowFrame) <= 16383);
        QVERIFY(RoundedMean(window->HighFrame) >= 49152);
    } else {
        // Low frame at GSK - 50, high at GSK + 50, then the start value back.
        QCOMPARE(DacBWrites(p_Board), (QList<int>{iStartGsk - 50, iStartGsk + 50, iStartGsk}));
    }
    QCOMPARE(sensor->registerValue(Register::ADD03), iStartGsk);
    QVERIFY(!w.BadPixelDetectionRunning);
    QVERIFY2(levelsSeen.size() >= 2, qPrintable(QString::number(levelsSeen.size())));
    QVERIFY(RoundedMean(window->HighFrame) > RoundedMean(window->LowFrame) + 10000);

    const int iWidth = window->LowFrame.cols;
    const int iHeight = window->LowFrame.rows;
    QCOMPARE(iWidth, 640);
    QCOMPARE(iHeight, 480);
    const QVector<DetectedPixel> planted = PlantedPixels(iWidth, iHeight, kZ668);
    QVERIFY(planted.size() > 50);
    QCOMPARE(window->badPixelCount(), uint32_t(planted.size()));
    QCOMPARE(ui->label_NumberBP->text(), "Number of BadPixel detected: " + QString::number(planted.size()));

    // The file: "Ligne,Colonne", then row,column of every planted pixel.
    const QString sPath = road.Folder.rootPath() + "/BadPixelsFiles/BP_SIM668.csv";
    QByteArray expected("Ligne,Colonne\n");
    for (const DetectedPixel& p : planted)
        expected += QByteArray::number(p.Row) + ',' + QByteArray::number(p.Column) + '\n';
    QCOMPARE(ReadAll(sPath), expected);

    // The loader reads it back into the same pixels.
    const BadPixelMap map = ReadBadPixelCsv(ReadAll(sPath));
    QCOMPARE(map.Separator, ',');
    QVERIFY(!map.StoppedEarly);
    QCOMPARE(map.Pairs.size(), planted.size());
    for (int i = 0; i < planted.size(); ++i) {
        QCOMPARE(map.Pairs[i].Row, int64_t(planted[i].Row));
        QCOMPARE(map.Pairs[i].Column, int64_t(planted[i].Column));
    }
    // The software correction's list (Arvex takes the map into the board pixel by pixel instead).
    if (p_Board == BoardKind::Dunstel) {
        QVERIFY(w.OpenBadPixelFile(sPath));
        const uint32_t* pList = w.BadPixelIndexList[0];
        QVERIFY(pList);
        QCOMPARE(pList[0], uint32_t(planted.size()));
        for (int i = 0; i < planted.size(); ++i)
            QCOMPARE(pList[1 + i], uint32_t(planted[i].Row * iWidth + planted[i].Column));
    }

    window->close();
    QTRY_VERIFY(window.isNull());
}

QTEST_MAIN(TestDetectBPRoad)
#include "tst_detect_bp_road.moc"
