// The bad-pixel detection window: form and modes, and detection runs against a small stand-in sensor that follows the GSK the window sends.
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/bad_pixel_detection.h"
#include "support/test_app_folder.h"
#include "tools/Window_DetectBP.h"
#include "ui_Window_DetectBP.h"

#include <QFile>

#include <functional>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(cv::Mat)

namespace {

// Record 2 (Z668): GSK on DAC B, blind columns 0x37 (7 left, 3 right).
constexpr int kRecord = 2;
constexpr int kWaitDivisor = 10;
constexpr int kWidth = 40;
constexpr int kHeight = 12;

// Answers every box with the button named in Answers (by title), else button 0.
struct Boxes
{
    QStringList Shown;
    QMap<QString, int> Answers;
    Boxes()
    {
        SetMessageBoxPresenter([this](const MessageBoxRequest& r) {
            Shown << r.title + "|" + r.text;
            return Answers.value(r.title, 0);
        });
    }
    ~Boxes() { SetMessageBoxPresenter({}); }
};

// A sensor whose uniform level is Base + Slope x (GSK - 1000), with a dead
// pixel, a hot pixel and one in the left blind columns. It follows the DAC
// signal only once PushButton_SetParam is emitted, and sends a frame every
// 10 ms while the detection status is on, as the main window does (the
// window's waits are shortened ten times, kWaitDivisor).
// MostlyFlat: a 300 x 240 frame where only one pixel in 2500 follows the
// GSK, so every scanned pixel is bad (more than 65535 of them).
struct FakeSensor : QObject
{
    int PendingGsk = -1;
    int Gsk = 1000;
    int Base = 30000;
    int Slope = 400;
    bool Forwarding = false;
    bool Silent = false;
    bool MostlyFlat = false;
    // Called at each PushButton_SetParam, after the GSK is taken.
    std::function<void()> OnSetParam;
    QList<int> SentGsk;
    QList<bool> Statuses;
    int SetParams = 0;
    QTimer Timer;
    Window_DetectBP* Window;

    explicit FakeSensor(Window_DetectBP* w) : Window(w)
    {
        connect(w, &Window_DetectBP::ValueDAC_B_changed, this, [this](int v) { PendingGsk = v; });
        connect(w, &Window_DetectBP::PushButton_SetParam, this, [this]() {
            ++SetParams;
            if (PendingGsk >= 0) {
                Gsk = PendingGsk;
                SentGsk << Gsk;
            }
            if (OnSetParam)
                OnSetParam();
        });
        connect(w, &Window_DetectBP::BadPixelDetectionStaus, this, [this](bool b) {
            Forwarding = b;
            Statuses << b;
        });
        connect(&Timer, &QTimer::timeout, this, [this]() {
            if (Forwarding && !Silent)
                Window->setImageForAnalysis(frame());
        });
        Timer.start(10);
    }
    cv::Mat frame() const
    {
        const int level = std::clamp(Base + Slope * (Gsk - 1000), 0, 65535);
        if (MostlyFlat) {
            cv::Mat m(240, 300, CV_16UC1, cv::Scalar(Base));
            for (int r = 0; r < m.rows; r += 50)
                for (int c = 0; c < m.cols; c += 50)
                    m.at<uint16_t>(r, c) = uint16_t(level);
            return m;
        }
        cv::Mat m(kHeight, kWidth, CV_16UC1, cv::Scalar(level));
        // A little per-pixel spread, well inside 0.75..1.25 of the difference.
        for (int r = 0; r < kHeight; ++r)
            for (int c = 0; c < kWidth; ++c)
                m.at<uint16_t>(r, c) = uint16_t(std::clamp(level + ((r * 7 + c * 3) % 5) * 10, 0, 65535));
        m.at<uint16_t>(3, 20) = 200;      // dead
        m.at<uint16_t>(9, 8) = 65000;     // hot
        m.at<uint16_t>(5, 2) = 200;       // dead, but in a blind column
        return m;
    }
};

struct Bench
{
    TestAppFolder Folder;
    Boxes Box;
    Window_DetectBP Window;
    FakeSensor Sensor{&Window};
    Bench(int p_iRecord = kRecord)
    {
        InitProxyParameterTable();
        SetCurrent(p_iRecord, ProxyParameterId::DAC_B, 1000);
        Window.setProxyIndex(uint16_t(p_iRecord));
        Window.Configured = true;
        Window.setCurrentGSK(1000);
        Window.setWaitDivisor(kWaitDivisor);
        Window.show();
    }
    Ui::Window_DetectBP* ui() { return Window.ui; }
    QString mapPath(const QString& p_sSerial = "000000000")
    {
        return Folder.rootPath() + "/BadPixelsFiles/BP_" + p_sSerial + ".csv";
    }
    void start() { QTest::mouseClick(ui()->pushButton_Start, Qt::LeftButton); }
};

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QByteArray kExpectedMap("Ligne,Colonne\n3,20\n9,8\n");

} // namespace

class TestDetectBPWindow : public QObject
{
    Q_OBJECT

private slots:
    void formAndModes();
    void currentGsk_data();
    void currentGsk();
    void gskAdjustmentRunWritesTheMap();
    void imageLevelRunStepsDownThenUp();
    void refusals_data();
    void refusals();
    void noFrameAbortsAndWritesNothing();
    void outOfRangeRestoresTheGsk();
    void existingFileAnsweredNoIsKept();
    void closeDuringARunEndsItFirst();
    void countBeyond16Bits();
};

void TestDetectBPWindow::formAndModes()
{
    Bench b;
    auto* ui = b.ui();
    QCOMPARE(b.Window.windowTitle(), QStringLiteral("Automatic BadPixel Detection"));
    QVERIFY(!ui->pushButton_Start->isEnabled());
    QVERIFY(ui->checkBox_GenerateCSV->isChecked());
    QCOMPARE(ui->lineEdit_SensorSN->text(), QStringLiteral("000000000"));
    QCOMPARE(ui->tableWidget_Coordinates->columnCount(), 2);
    QCOMPARE(ui->tableWidget_Coordinates->horizontalHeaderItem(0)->text(), QStringLiteral("Y"));
    QCOMPARE(ui->tableWidget_Coordinates->horizontalHeaderItem(1)->text(), QStringLiteral("X"));
    QCOMPARE(ui->spinBox_ImageLevel_Min->value(), 25);
    QCOMPARE(ui->spinBox_ImageLevel_Max->value(), 75);

    ui->checkBox_ImgLevel->click();
    QVERIFY(ui->pushButton_Start->isEnabled());
    QVERIFY(ui->spinBox_ImageLevel_Min->isEnabled());
    QVERIFY(!ui->spinBox_GSK_Min->isEnabled());
    ui->checkBoxGSKAdjustment->click();   // checking one unchecks the other
    QVERIFY(!ui->checkBox_ImgLevel->isChecked());
    QVERIFY(!ui->spinBox_ImageLevel_Min->isEnabled());
    QVERIFY(ui->spinBox_GSK_Max->isEnabled());
    ui->checkBoxGSKAdjustment->click();   // no mode: Start off
    QVERIFY(!ui->pushButton_Start->isEnabled());

    b.Window.addBadPixelRow("5", "7");
    QCOMPARE(ui->tableWidget_Coordinates->item(0, 0)->text(), QStringLiteral("7"));
    QCOMPARE(ui->tableWidget_Coordinates->item(0, 1)->text(), QStringLiteral("5"));
}

void TestDetectBPWindow::currentGsk_data()
{
    QTest::addColumn<int>("gsk");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::newRow("20") << 20 << 0 << 70;
    QTest::newRow("4080") << 4080 << 4030 << 4095;
    QTest::newRow("1000") << 1000 << 950 << 1050;
}

void TestDetectBPWindow::currentGsk()
{
    QFETCH(int, gsk);
    QFETCH(int, min);
    QFETCH(int, max);
    Window_DetectBP w;
    w.setCurrentGSK(gsk);
    QCOMPARE(w.ui->spinBox_GSK_Min->value(), min);
    QCOMPARE(w.ui->spinBox_GSK_Max->value(), max);
    QCOMPARE(w.ui->label_CurrentGSKValue->text(), "Current GSK value: " + QString::number(gsk));
}

void TestDetectBPWindow::gskAdjustmentRunWritesTheMap()
{
    Bench b;
    b.ui()->checkBoxGSKAdjustment->click();
    b.start();
    QVERIFY(!b.Window.isRunning());
    // Two frames, low at 950 and high at 1050, then the GSK restored to 1000.
    QCOMPARE(b.Sensor.SentGsk, (QList<int>{950, 1050, 1000}));
    QCOMPARE(b.Sensor.Statuses.last(), false);
    QVERIFY(b.Box.Shown.isEmpty());
    QCOMPARE(b.ui()->label_NumberBP->text(), QStringLiteral("Number of BadPixel detected: 2"));
    QCOMPARE(b.ui()->tableWidget_Coordinates->rowCount(), 2);
    QCOMPARE(ReadAll(b.mapPath()), kExpectedMap);
    QCOMPARE(b.ui()->label_PathCSVfile->text(), b.Folder.binPath() + "/../BadPixelsFiles/BP_000000000.csv");
    QVERIFY(b.ui()->pushButton_Start->isEnabled());
    QVERIFY(b.ui()->lineEdit_SensorSN->isEnabled());

    // A second run with the file there, answered Yes: replaced, not appended to.
    b.Sensor.SentGsk.clear();
    b.start();
    QCOMPARE(b.Box.Shown, (QStringList{"File already exists|The file already exists, do you want to replace it ?"}));
    QCOMPARE(ReadAll(b.mapPath()), kExpectedMap);
}

void TestDetectBPWindow::imageLevelRunStepsDownThenUp()
{
    // Level 30000 at GSK 1000, 2000 per step of 5: Lmin 42 % (27524.7) is
    // reached after two steps down (26000), Lmax 50 % (32767.5) after four up (34000).
    Bench b;
    b.ui()->checkBox_ImgLevel->click();
    b.ui()->spinBox_ImageLevel_Min->setValue(42);
    b.ui()->spinBox_ImageLevel_Max->setValue(50);
    b.ui()->checkBox_GenerateCSV->setChecked(false);
    b.start();
    QCOMPARE(b.Sensor.SentGsk, (QList<int>{995, 990, 995, 1000, 1005, 1010, 1000}));
    QCOMPARE(b.ui()->label_NumberBP->text(), QStringLiteral("Number of BadPixel detected: 2"));
    QCOMPARE(b.ui()->tableWidget_Coordinates->item(0, 0)->text(), QStringLiteral("3"));
    QCOMPARE(b.ui()->tableWidget_Coordinates->item(0, 1)->text(), QStringLiteral("20"));
    QVERIFY(!QFile::exists(b.mapPath()));
    QVERIFY(b.ui()->label_PathCSVfile->text().isEmpty());
}

void TestDetectBPWindow::refusals_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("box");
    QTest::newRow("not configured") << "configured" << "";
    QTest::newRow("No Proxy") << "noproxy" << "";
    QTest::newRow("min level not below max") << "levels"
                                             << "Invalid parameter|The minimum level must be below the maximum level.";
}

void TestDetectBPWindow::refusals()
{
    QFETCH(QString, what);
    QFETCH(QString, box);
    Bench b;
    b.ui()->checkBox_ImgLevel->click();
    if (what == "configured")
        b.Window.Configured = false;
    if (what == "noproxy")
        b.Window.setProxyIndex(13);
    if (what == "levels") {
        b.ui()->spinBox_ImageLevel_Min->setValue(60);
        b.ui()->spinBox_ImageLevel_Max->setValue(60);
    }
    b.ui()->tableWidget_Coordinates->setRowCount(3);   // a previous run's rows stay
    b.start();
    QCOMPARE(b.Box.Shown, box.isEmpty() ? QStringList() : QStringList{box});
    QVERIFY(b.Sensor.Statuses.isEmpty());
    QVERIFY(b.Sensor.SentGsk.isEmpty());
    QCOMPARE(b.ui()->tableWidget_Coordinates->rowCount(), 3);
}

void TestDetectBPWindow::noFrameAbortsAndWritesNothing()
{
    // An old map stays as it is: the loader would take an empty one for "no bad pixels".
    Bench b;
    QDir().mkpath(b.Folder.rootPath() + "/BadPixelsFiles");
    {
        QFile f(b.mapPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Ligne,Colonne\n1,1\n");
    }
    b.Sensor.Silent = true;
    b.Window.setImageForAnalysis(b.Sensor.frame());   // a frame from before the run
    b.ui()->checkBoxGSKAdjustment->click();
    b.start();
    QCOMPARE(b.Box.Shown.size(), 1);
    QVERIFY(b.Box.Shown.first().startsWith("No image|"));
    QCOMPARE(b.Sensor.SentGsk, (QList<int>{950, 1000}));   // restored
    QCOMPARE(b.Sensor.Statuses.last(), false);
    QCOMPARE(ReadAll(b.mapPath()), QByteArray("Ligne,Colonne\n1,1\n"));
    QCOMPARE(b.ui()->label_NumberBP->text(), QStringLiteral("Number of BadPixel detected"));
    QVERIFY(b.ui()->pushButton_Start->isEnabled());
}

void TestDetectBPWindow::outOfRangeRestoresTheGsk()
{
    // GSK 5 with the image too bright: one step to 0, then the failure; the
    // starting value is sent back rather than 0 left on the DAC.
    Bench b;
    SetCurrent(kRecord, ProxyParameterId::DAC_B, 5);
    b.Sensor.Gsk = 5;
    b.Sensor.Slope = 0;
    b.Sensor.Base = 60000;
    b.ui()->checkBox_ImgLevel->click();
    b.start();
    QCOMPARE(b.Box.Shown, (QStringList{"ERROR|The sensor is not well configured, please check"}));
    QCOMPARE(b.Sensor.SentGsk, (QList<int>{0, 5}));
    QCOMPARE(b.Sensor.Statuses.last(), false);
    QCOMPARE(b.ui()->tableWidget_Coordinates->rowCount(), 0);
    QVERIFY(!QFile::exists(b.mapPath()));
}

void TestDetectBPWindow::existingFileAnsweredNoIsKept()
{
    Bench b;
    b.ui()->lineEdit_SensorSN->setText("SN42");
    QDir().mkpath(b.Folder.rootPath() + "/BadPixelsFiles");
    {
        QFile f(b.mapPath("SN42"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    b.Box.Answers["File already exists"] = 1;   // No
    b.ui()->checkBoxGSKAdjustment->click();
    b.start();
    QCOMPARE(ReadAll(b.mapPath("SN42")), QByteArray("old"));
    QCOMPARE(b.ui()->label_NumberBP->text(), QStringLiteral("Number of BadPixel detected: 2"));

    // A serial number with a path in it is refused before anything is written.
    b.Box.Shown.clear();
    b.ui()->lineEdit_SensorSN->setText("../../escape");
    b.start();
    QCOMPARE(b.Box.Shown.size(), 1);
    QVERIFY(b.Box.Shown.first().startsWith("Invalid serial number|"));
    QVERIFY(!QFile::exists(b.Folder.rootPath() + "/BadPixelsFiles/BP_../../escape.csv"));
    QVERIFY(!QFile::exists(QDir(b.Folder.rootPath()).absoluteFilePath("../escape.csv")));
}

void TestDetectBPWindow::closeDuringARunEndsItFirst()
{
    Bench b;
    b.ui()->checkBoxGSKAdjustment->click();
    bool bClosedWhileRunning = false;
    // Closed by the operator right after the first GSK step, inside the run's wait.
    b.Sensor.OnSetParam = [&]() {
        b.Sensor.OnSetParam = nullptr;
        QTimer::singleShot(0, &b.Window, [&]() {
            QVERIFY(b.Window.isRunning());
            QVERIFY(!b.ui()->pushButton_Start->isEnabled());
            bClosedWhileRunning = !b.Window.close();   // refused now, done by the run
        });
    };
    b.start();
    QVERIFY(bClosedWhileRunning);
    QVERIFY(!b.Window.isRunning());
    QVERIFY(!b.Window.isVisible());
    QCOMPARE(b.Sensor.SentGsk, (QList<int>{950, 1000}));
    QCOMPARE(b.Sensor.Statuses.last(), false);
    QVERIFY(!QFile::exists(b.mapPath()));
}

void TestDetectBPWindow::countBeyond16Bits()
{
    // 290 scanned columns x 240 rows, all bad: the count is not taken modulo 65536.
    Bench b;
    b.Sensor.MostlyFlat = true;
    b.ui()->checkBoxGSKAdjustment->click();
    b.start();
    QVERIFY(b.Box.Shown.isEmpty());
    QCOMPARE(b.Window.badPixelCount(), uint32_t(290 * 240));
    QCOMPARE(b.ui()->label_NumberBP->text(), QStringLiteral("Number of BadPixel detected: 69600"));
    QCOMPARE(b.ui()->tableWidget_Coordinates->rowCount(), 290 * 240);
    const QByteArray map = ReadAll(b.mapPath());
    QCOMPARE(map.count('\n'), 1 + 290 * 240);
    QVERIFY(map.startsWith("Ligne,Colonne\n0,7\n0,8\n"));
    QVERIFY(map.endsWith("\n239,296\n"));
}

QTEST_MAIN(TestDetectBPWindow)
#include "tst_detect_bp_window.moc"
