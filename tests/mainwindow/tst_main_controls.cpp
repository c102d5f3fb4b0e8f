// The main window's left-column controls driven by object name: board texts on the simulated Camera Link link, defaults and the "Set parameters" tint, the two-point NUC gain file.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/globals.h"
#include "board/cameralink_serial.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "platform/clserial/clserial.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "support/test_app_folder.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

namespace {

// A window with boxes answered by title (default: the first button), on a
// Camera Link link to exactly one simulated board.
struct Bench
{
    TestAppFolder Folder;
    QStringList Boxes;
    QMap<QString, int> Answers;
    std::unique_ptr<MainWindow> Window;

    Bench()
    {
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            Boxes << p_Request.title;
            return Answers.value(p_Request.title, 0);
        });
        sim::ResetCameraLinkSimulation();
        Window = std::make_unique<MainWindow>();
    }
    ~Bench()
    {
        CloseCameraLinkSerial();
        Window.reset();
        SetMessageBoxPresenter({});
    }
    Ui::MainWindow* ui() const { return Window->ui; }
    void openLinkTo(sim::BoardKind p_Kind)
    {
        sim::SimulationSettings s;
        for (sim::BoardKind k : {sim::BoardKind::Arvex, sim::BoardKind::Belmor, sim::BoardKind::BelmorPlus})
            s.setBoardPresent(k, k == p_Kind);
        hSerRef ref = nullptr;
        clSerialInit(0, &ref);
        g_hCameraLinkSerial = ref;
        sim::ClearRecordedMessages();
    }
    // Cuts the zero fill of the Arvex's 8-byte commands.
    static QList<QByteArray> Sent(sim::BoardKind p_Kind)
    {
        QList<QByteArray> texts;
        for (QByteArray bytes : sim::RecordedBytes(p_Kind, "serial")) {
            while (bytes.endsWith('\0'))
                bytes.chop(1);
            texts << bytes;
        }
        return texts;
    }
    QString log() const
    {
        QString sText;
        for (const QFileInfo& info : QDir(Folder.filePath("Logs")).entryInfoList({"*.txt"}, QDir::Files)) {
            QFile file(info.absoluteFilePath());
            if (file.open(QIODevice::ReadOnly))
                sText += QString::fromUtf8(file.readAll());
        }
        return sText;
    }
};

} // namespace

class tst_main_controls : public QObject
{
    Q_OBJECT

private slots:
    void boardModeTexts_data();
    void boardModeTexts();
    void defaultsAndSetParametersTint();
    void defaultFlipsPerKind_data();
    void defaultFlipsPerKind();
    void twoPointNucGainFile();
};

void tst_main_controls::boardModeTexts_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("proxy");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("applyNUC"); // ticked beforehand, its own texts not counted
    QTest::addColumn<QList<QByteArray>>("checkedTexts");
    QTest::addColumn<QList<QByteArray>>("uncheckedTexts");
    QTest::addColumn<QString>("logLine");

    using L = QList<QByteArray>;
    QTest::newRow("Arvex HDR proxy 12 @100 NUC on")
        << 1 << 12 << "checkBox_HDR" << true << L{"#A002#R006#D00006", "#A002#R006#D00006"}
        << L{"#A002#R006#D00002", "#A002#R006#D00002"} << "HDR mode : 2";
    QTest::newRow("Arvex FPN proxy 9 @100") << 1 << 9 << "checkBox_ApplyNUC" << false << L{"#A002#R006#D00002"}
                                            << L{"#A002#R006#D00001"} << "Enabling NUC ... with ReadPhase";
    QTest::newRow("Belmor+ HDR") << 3 << 10 << "checkBox_HDR" << false << L{"!H004"} << L{"!H251"}
                                 << "HDR mode : 0";
    QTest::newRow("Belmor+ inversion") << 3 << 10 << "checkBox_InvertBW" << false << L{"!I002"} << L{"!I253"}
                                       << "Invert Black and white mode : 2";
}

void tst_main_controls::boardModeTexts()
{
    QFETCH(int, kind);
    QFETCH(int, proxy);
    QFETCH(QString, box);
    QFETCH(bool, applyNUC);
    QFETCH(QList<QByteArray>, checkedTexts);
    QFETCH(QList<QByteArray>, uncheckedTexts);
    QFETCH(QString, logLine);

    Bench b;
    MainWindow& w = *b.Window;
    w.DigiBoardKind = static_cast<BoardKind>(kind);
    w.CurrentProxyIndex = proxy;
    w.FrameRate = 100;
    w.SoftwareNUC = false;
    const sim::BoardKind board = kind == 1 ? sim::BoardKind::Arvex : sim::BoardKind::BelmorPlus;
    b.openLinkTo(board);
    if (applyNUC) {
        w.ui->checkBox_ApplyNUC->setChecked(true);
        sim::ClearRecordedMessages();
    }
    auto* pBox = w.findChild<QCheckBox*>(box);
    QVERIFY(pBox);
    pBox->setChecked(true);
    QCOMPARE(Bench::Sent(board), checkedTexts);
    sim::ClearRecordedMessages();
    pBox->setChecked(false);
    QCOMPARE(Bench::Sent(board), uncheckedTexts);
    QVERIFY2(b.log().contains(logLine), qPrintable(logLine));
    QVERIFY(b.Boxes.isEmpty());
    // The frame path's cells hold the check state, whatever the board was sent.
    if (box == "checkBox_HDR")
        QCOMPARE(GetCurrent(proxy, ProxyParameterId::HDR), 0u);
    if (box == "checkBox_InvertBW")
        QCOMPARE(GetCurrent(proxy, ProxyParameterId::InvertBW), 0u);
}

void tst_main_controls::defaultsAndSetParametersTint()
{
    Bench b;
    MainWindow& w = *b.Window;
    const int p = 10;
    w.CurrentProxyIndex = p;
    w.DigiBoardKind = BoardKind::BelmorPlus;
    w.ui->spinBox_TINT->setMaximum(100000);
    w.ui->spinBox_CKDIV->setMaximum(100000);
    for (QSpinBox* pBox : {w.ui->spinBox_DAC_A, w.ui->spinBox_DAC_B, w.ui->spinBox_DAC_C, w.ui->spinBox_DAC_D})
        pBox->setMaximum(100000);
    QPushButton* pSet = w.ui->pushButton_SetParameters;

    // Every compared widget equal to the values last sent: no tint.
    auto sendWidgets = [&w] {
        const int values[] = {w.ui->spinBox_TINT->value(),  w.ui->spinBox_DAC_A->value(), w.ui->spinBox_DAC_B->value(),
                              w.ui->spinBox_DAC_C->value(), w.ui->spinBox_DAC_D->value()};
        for (int i = 0; i < 5; ++i)
            w.LastSentParameters[i] = values[i];
        for (int i = 5; i < 20; ++i)
            w.LastSentParameters[i] = 0;
        w.LastSentParameters[20] = w.ui->spinBox_CKDIV->value();
    };
    for (QCheckBox* pBox : w.findChildren<QCheckBox*>())
        pBox->setChecked(false);
    sendWidgets();
    w.PushButton_SetParameter_Color();
    QVERIFY(pSet->styleSheet().isEmpty());
    w.ui->spinBox_TINT->setValue(w.ui->spinBox_TINT->value() + 1);
    QVERIFY(!pSet->styleSheet().isEmpty());
    w.ui->spinBox_TINT->setValue(w.ui->spinBox_TINT->value() - 1);
    QVERIFY(pSet->styleSheet().isEmpty());
    w.ui->checkBox_GMS->setChecked(true); // not compared
    QVERIFY(pSet->styleSheet().isEmpty());

    // Defaults: the 14 cells and their widgets; Belmor+ takes the flips from 348 and 349.
    using namespace ProxyParameterId;
    const int cells[] = {TINT, DAC_A, DAC_B, DAC_C, DAC_D, Gain2, Gain1, Gain0, SizeA, SizeB, DACFilter, CKDIV};
    for (int iCell : cells)
        SetCurrent(p, iCell, GetDefault(p, iCell) + 3);
    SetCurrent(p, HDR, 2);
    w.PushButton_SetDefaultParameter();
    // Spin-box cells take the default; check-box cells then hold what the boxes' own slots store.
    for (int iCell : cells)
        QCOMPARE(GetCurrent(p, iCell) != 0, GetDefault(p, iCell) != 0);
    for (int iCell : {TINT, DAC_A, DAC_B, DAC_C, DAC_D, CKDIV})
        QCOMPARE(GetCurrent(p, iCell), GetDefault(p, iCell));
    QCOMPARE(GetCurrent(p, UpCol), GetDefault(p, UpColAltDefault));
    QCOMPARE(GetCurrent(p, UpRow), GetDefault(p, UpRowAltDefault));
    QCOMPARE(w.ui->checkBox_UpCol->isChecked(), GetDefault(p, UpColAltDefault) != 0);
    QCOMPARE(w.ui->spinBox_TINT->value(), int(GetDefault(p, TINT)));
    QCOMPARE(w.ui->spinBox_DAC_C->value(), int(GetDefault(p, DAC_C)));
    QCOMPARE(w.ui->checkBox_Gain0->isChecked(), GetDefault(p, Gain0) != 0);
    QCOMPARE(GetCurrent(p, HDR), 2u); // not a sensor register: left alone
    QCOMPARE(pSet->styleSheet(), QStringLiteral("QPushButton { background-color: #FFE5CC; }"));
}

void tst_main_controls::defaultFlipsPerKind_data()
{
    QTest::addColumn<BoardKind>("kind");
    QTest::addColumn<bool>("altFlips");
    QTest::newRow("none") << BoardKind::None << false;
    QTest::newRow("Arvex") << BoardKind::Arvex << false;
    QTest::newRow("Belmor") << BoardKind::Belmor << false;
    QTest::newRow("Belmor+") << BoardKind::BelmorPlus << true;
    QTest::newRow("Dunstel") << BoardKind::Dunstel << true;
    QTest::newRow("Eskra") << BoardKind::Eskra << false;
    QTest::newRow("Corvane") << BoardKind::Corvane << false;
}

// "Set default" takes the flips from the alternative defaults on some boards only.
void tst_main_controls::defaultFlipsPerKind()
{
    QFETCH(BoardKind, kind);
    QFETCH(bool, altFlips);
    using namespace ProxyParameterId;
    // A record whose two column-flip defaults differ tells them apart.
    int p = -1;
    for (int r = 1; r < kProxyRecordCount && p < 0; ++r)
        if (GetDefault(r, UpCol) != GetDefault(r, UpColAltDefault) && GetDefault(r, UpCol) != ProxyParameterNotSet
            && GetDefault(r, UpColAltDefault) != ProxyParameterNotSet)
            p = r;
    QVERIFY(p > 0);
    Bench b;
    MainWindow& w = *b.Window;
    w.CurrentProxyIndex = p;
    w.DigiBoardKind = kind;
    w.PushButton_SetDefaultParameter();
    QCOMPARE(GetCurrent(p, UpCol), GetDefault(p, altFlips ? int(UpColAltDefault) : int(UpCol)));
    QCOMPARE(GetCurrent(p, UpRow), GetDefault(p, altFlips ? int(UpRowAltDefault) : int(UpRow)));
}

void tst_main_controls::twoPointNucGainFile()
{
    Bench b;
    MainWindow& w = *b.Window;
    w.CurrentProxyIndex = 4;
    w.FrameWidth = 3;
    w.FrameHeight = 2;
    w.FramePitch = 8; // 4 pixels per row
    w.NUC2ptGainImage = cv::Mat(2, 4, CV_64FC1, cv::Scalar(1.0));
    const double* pGains = w.NUC2ptGainImage.ptr<double>(0);
    QLabel* pLabel = w.ui->label_CalibFileName;
    QCheckBox* pBox = w.ui->checkBox_Enable_NUC2pt;

    auto write = [&b](const QString& p_sName, const QByteArray& p_Bytes) {
        const QString sPath = b.Folder.rootPath() + "/" + p_sName;
        QFile file(sPath);
        file.open(QIODevice::WriteOnly);
        file.write(p_Bytes);
        return sPath;
    };

    // A complete file loads into the frame-buffer matrix in place.
    w.NUC2ptCalibFileInfo = QFileInfo(write("good.csv", "2;3;4;\n5;6;7;\n"));
    pLabel->setText("good.csv");
    pBox->setChecked(true);
    QCOMPARE(GetCurrent(4, ProxyParameterId::NUC2pt), 1u);
    QCOMPARE(w.NUC2ptGainImage.ptr<double>(0), pGains);
    QCOMPARE(w.NUC2ptGainImage.at<double>(1, 2), 7.0);
    QCOMPARE(w.NUC2ptGainImage.at<double>(0, 3), 1.0);
    QVERIFY(b.log().contains("The 2 Points NUC file has too much data"));

    // Unchecking resets the gains and keeps the file for the next check.
    pBox->setChecked(false);
    QCOMPARE(w.NUC2ptGainImage.at<double>(1, 2), 1.0);
    QCOMPARE(pLabel->text(), QStringLiteral("good.csv"));

    // A short file and a word among the values: a warning, nothing loaded, the box off.
    for (const QByteArray& bytes : {QByteArray("2;3;4;5;"), QByteArray("2;3;x;5;6;7;")}) {
        b.Boxes.clear();
        w.NUC2ptCalibFileInfo = QFileInfo(write("bad.csv", bytes));
        pLabel->setText("bad.csv");
        pBox->setChecked(true);
        QCOMPARE(b.Boxes, QStringList{"Warning"});
        QVERIFY(!pBox->isChecked());
        QVERIFY(pLabel->text().isEmpty());
        QCOMPARE(GetCurrent(4, ProxyParameterId::NUC2pt), 0u);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(pGains[i], 1.0);
    }
}

QTEST_MAIN(tst_main_controls)
#include "tst_main_controls.moc"
