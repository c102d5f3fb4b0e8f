// The frame-statistics window: file choice, START checks that leave an existing report alone, the report written frame by frame, the end, the interrupt and auto FPN.
#include "app/message_boxes.h"
#include "support/test_app_folder.h"
#include "tools/Window_Debug.h"
#include "ui_Window_Debug.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

struct Boxes
{
    QStringList Shown;
    Boxes()
    {
        SetMessageBoxPresenter([this](const MessageBoxRequest& r) {
            Shown << r.title + "|" + r.text;
            return 0;
        });
    }
    ~Boxes() { SetMessageBoxPresenter({}); }
};

// Types p_sName into the window's file dialog once it shows (the folder's
// path, then the name in the dialog's name field), or cancels it.
void ChooseFile(Window_Debug& w, const QString& p_sPath, bool p_bAccept = true)
{
    QTimer::singleShot(100, &w, [&w, p_sPath, p_bAccept]() {
        auto* pDialog = w.findChild<QFileDialog*>();
        QVERIFY(pDialog);
        QCOMPARE(pDialog->nameFilters(), QStringList{"CSV files (*.csv)"});
        if (!p_bAccept) {
            pDialog->reject();
            return;
        }
        const QFileInfo info(p_sPath);
        pDialog->setDirectory(info.absolutePath());
        auto* pEdit = pDialog->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(pEdit);
        pEdit->setText(info.fileName());
        static_cast<QDialog*>(pDialog)->accept();
    });
    QTest::mouseClick(w.ui->pushButton_BrowseFile, Qt::LeftButton);
}

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

cv::Mat Raw(uint16_t p_uBase)
{
    cv::Mat m(2, 2, CV_16UC1);
    m.at<uint16_t>(0, 0) = p_uBase;
    m.at<uint16_t>(0, 1) = p_uBase + 1000;
    m.at<uint16_t>(1, 0) = p_uBase + 2000;
    m.at<uint16_t>(1, 1) = p_uBase + 3000;
    return m;
}

cv::Mat Processed()
{
    cv::Mat m(2, 2, CV_8UC1, cv::Scalar(10));
    m.at<uint8_t>(1, 1) = 14;
    return m;
}

// The header values as the main window's answer to signalDebugStart hands them over.
void AnswerStart(Window_Debug& w)
{
    QObject::connect(&w, &Window_Debug::signalDebugStart, &w, [&w]() {
        w.setTINT(1200);
        w.setDAC_A(1);
        w.setDAC_B(2);
        w.setDAC_C(3);
        w.setDAC_D(4);
        w.setGain(5);
        w.setOffset(6);
        w.setCKDIV(7);
        w.setGMSGain0(1);
        w.setGMSGain1(0);
        w.setGMSGain2(1);
        w.setGMSUpCol(0);
        w.setGMSUpRow(1);
        w.setFrequency(30);
        w.setProxyName("Z668");
        w.setDigiName("Corvane");
        w.isNUCApply(false);
    });
}

} // namespace

class TestDebugWindow : public QObject
{
    Q_OBJECT

private slots:
    void formAtCreation();
    void fileChoice();
    void startChecksLeaveTheFileAlone_data();
    void startChecksLeaveTheFileAlone();
    void reportOfTwoFrames();
    void interruptAndProcessedOnly();
};

void TestDebugWindow::formAtCreation()
{
    Window_Debug w;
    QVERIFY(!w.ui->lineEdit_FilePath->isEnabled());
    QCOMPARE(w.ui->spinBox_NumberImages->value(), 1);
    QCOMPARE(w.ui->spinBox_NumberImages->maximum(), 99999);
    QCOMPARE(w.ui->pushButton_StartDebug->text(), QStringLiteral("START"));
    QVERIFY(!w.testAttribute(Qt::WA_QuitOnClose));
    QCOMPARE(w.windowTitle(), QStringLiteral("Debug Window"));
}

void TestDebugWindow::fileChoice()
{
    TestAppFolder folder;
    Window_Debug w;
    w.show();
    ChooseFile(w, folder.filePath("report"));
    QCOMPARE(w.filePath(), folder.filePath("report.csv"));
    QCOMPARE(w.ui->lineEdit_FilePath->text(), folder.filePath("report.csv"));
    ChooseFile(w, folder.filePath("Second.CSV"));
    QCOMPARE(w.filePath(), folder.filePath("Second.CSV"));
    // Cancel keeps the previous choice.
    ChooseFile(w, QString(), false);
    QCOMPARE(w.filePath(), folder.filePath("Second.CSV"));
}

void TestDebugWindow::startChecksLeaveTheFileAlone_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("box");
    QTest::newRow("no file") << "nofile" << "No file selected|Please select a valid file";
    QTest::newRow("no image") << "noimage" << "No image selected|Please check an image type to analyze";
    QTest::newRow("no information") << "noinfo" << "No information selected|Please check information to save";
    QTest::newRow("file cannot be made") << "baddir" << "Error when creating the file|This file can't be created";
}

void TestDebugWindow::startChecksLeaveTheFileAlone()
{
    QFETCH(QString, setup);
    QFETCH(QString, box);
    TestAppFolder folder;
    Boxes boxes;
    Window_Debug w;
    w.show();
    const QString sPath = folder.filePath("old.csv");
    {
        QFile f(sPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("earlier report");
    }
    if (setup == "baddir") {
        // The chosen file's folder is gone by the time START opens it.
        QDir().mkpath(folder.filePath("gone"));
        ChooseFile(w, folder.filePath("gone/r.csv"));
        QVERIFY(QDir(folder.filePath("gone")).removeRecursively());
    } else if (setup != "nofile") {
        ChooseFile(w, sPath);
    }
    if (setup != "noimage")
        w.ui->checkBox_RAWImages->setChecked(true);
    if (setup != "noinfo")
        w.ui->checkBox_MeanVal->setChecked(true);
    QSignalSpy started(&w, &Window_Debug::signalDebugStart);
    QTest::mouseClick(w.ui->pushButton_StartDebug, Qt::LeftButton);
    QCOMPARE(boxes.Shown, QStringList{box});
    QCOMPARE(started.count(), 0);
    QVERIFY(!w.isRunning());
    QCOMPARE(ReadAll(sPath), QByteArray("earlier report"));
}

void TestDebugWindow::reportOfTwoFrames()
{
    TestAppFolder folder;
    Boxes boxes;
    Window_Debug w;
    w.show();
    AnswerStart(w);
    ChooseFile(w, folder.filePath("r"));
    w.ui->checkBox_RAWImages->setChecked(true);
    w.ui->checkBox_ProcessedImages->setChecked(true);
    w.ui->checkBox_MeanVal->setChecked(true);
    w.ui->checkBox_MaxVal->setChecked(true);
    w.ui->checkBox_AutoFPN->setChecked(true);
    w.ui->spinBox_NumberImages->setValue(2);
    QSignalSpy stopped(&w, &Window_Debug::signalDebugStop);
    QSignalSpy fpn(&w, &Window_Debug::signalTakeFPN);
    QTest::mouseClick(w.ui->pushButton_StartDebug, Qt::LeftButton);
    QVERIFY(w.isRunning());
    QVERIFY(!w.ui->pushButton_StartDebug->isEnabled());
    QCOMPARE(w.ui->pushButton_StartDebug->text(), QStringLiteral("In progress ..."));
    QVERIFY(!w.ui->checkBox_MeanVal->isEnabled());

    w.calculateDebug(Raw(1000), Processed());
    QCOMPARE(w.ui->pushButton_StartDebug->text(), QStringLiteral("In progress ...\n1 over 2"));
    w.calculateDebug(Raw(2000), Processed());
    QVERIFY(w.isRunning());   // ends on the frame after the last line
    QCOMPARE(fpn.count(), 2);
    w.calculateDebug(Raw(3000), Processed());
    QVERIFY(!w.isRunning());
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(w.ui->pushButton_StartDebug->text(), QStringLiteral("START"));
    QVERIFY(w.ui->checkBox_MeanVal->isEnabled());
    w.calculateDebug(Raw(3000), Processed());   // idle: nothing
    QCOMPARE(stopped.count(), 1);

    const QByteArray text = ReadAll(folder.filePath("r.csv"));
    const QByteArray nb("\xC2\xA0");
    const QList<QByteArray> lines = text.split('\n');
    QVERIFY(QRegularExpression("^Starting Time: \\d{4} \\d\\d \\d\\d \\d\\d \\d\\d \\d\\d \\d{1,3}$")
                .match(QString::fromUtf8(lines[0])).hasMatch());
    const QByteArray body = text.mid(text.indexOf('\n') + 1, text.indexOf("\nEnding Time: ") - text.indexOf('\n') - 1);
    QCOMPARE(body, QByteArray("Digi Board: Corvane\nProxy Board: Z668\nFramerate: 30\n"
                              "----- Sensor Parameters -----\nTINT : 1")
                       + nb + "200\nADD02: 1\nADD03: 2\nADD0C: 3\nADD0D: 4\nCKDIV: 7\nGain0: 1\nGain1: 0\n"
                       + "Gain2: 1\nUpCol: 0\nUpRow: 1\n----- Image processing -----\nNUC Apply: 0\nGain: 5\n"
                       + "Offset: 6\n\n----- ANALYZE -----\n;RAW Image;;;;Processed Image\n"
                       + "#Measure;Mean;Std;Min;Max;Mean;Std;Min;Max\n"
                       + "1;2" + nb + "500;;;4" + nb + "000;11;;;14;\n"
                       + "2;3" + nb + "500;;;5" + nb + "000;11;;;14;\n");
    QVERIFY(QRegularExpression("\n\nEnding Time: \\d{4} \\d\\d \\d\\d \\d\\d \\d\\d \\d\\d \\d{1,3}\n$")
                .match(QString::fromUtf8(text)).hasMatch());
}

void TestDebugWindow::interruptAndProcessedOnly()
{
    TestAppFolder folder;
    Boxes boxes;
    Window_Debug w;
    w.show();
    ChooseFile(w, folder.filePath("p.csv"));
    w.ui->checkBox_ProcessedImages->setChecked(true);
    w.ui->checkBox_MinVal->setChecked(true);
    w.ui->checkBox_AutoFPN->setChecked(true);   // ignored: the raw box is off
    w.ui->spinBox_NumberImages->setValue(5);
    QSignalSpy stopped(&w, &Window_Debug::signalDebugStop);
    QSignalSpy fpn(&w, &Window_Debug::signalTakeFPN);
    QTest::mouseClick(w.ui->pushButton_StartDebug, Qt::LeftButton);
    w.close();   // hides; the report goes on
    QVERIFY(!w.isVisible());
    w.calculateDebug(Raw(1000), Processed());
    // An interrupt that arrives inside the frame's event processing stops that frame too.
    QTimer::singleShot(0, &w, &Window_Debug::InterruptDebug);
    w.calculateDebug(Raw(1000), Processed());
    QVERIFY(!w.isRunning());
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(fpn.count(), 0);
    w.InterruptDebug();
    QCOMPARE(stopped.count(), 1);
    const QByteArray text = ReadAll(folder.filePath("p.csv"));
    QVERIFY(text.endsWith("#Measure;Mean;Std;Min;Max;Mean;Std;Min;Max\n1;;;;;;;10;;\n"));
    QVERIFY(!text.contains("Ending Time"));
}

QTEST_MAIN(TestDebugWindow)
#include "tst_debug_window.moc"
