// Bad-pixel map loading through the main window: software lists, the Arvex and Corvane uploads with their progress window.
#include "road_bench.h"

#include "app/app_paths.h"
#include "board/bad_pixel_map.h"
#include "tools/Window_SendingProgressBP.h"
#include "ui_Window_SendingProgressBP.h"

#include <QApplication>
#include <QFileDialog>
#include <QProgressBar>

using namespace sim;

namespace {

QString WriteMap(const TestAppFolder& p_Folder, const QByteArray& p_Content)
{
    const QString sPath = p_Folder.rootPath() + "/BadPixelsFiles/map.csv";
    QDir().mkpath(QFileInfo(sPath).path());
    QFile f(sPath);
    if (!f.open(QIODevice::WriteOnly) || f.write(p_Content) != p_Content.size())
        return QString();
    return sPath;
}

// The board connected, with the geometry of a running 640 x 480 acquisition.
void ConnectWithFrame(Road& p_Road, int p_iComboIndex)
{
    MainWindow& w = *p_Road.Window;
    p_Road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(p_iComboIndex);
    p_Road.press();
    QVERIFY2(w.Connected, qPrintable(p_Road.Recorder.Boxes.join('\n')));
    w.FrameWidth = 640;
    w.FrameHeight = 480;
    w.FramePitch = 1280;
    w.InitPointers();
    p_Road.Recorder.Boxes.clear();
}

Window_SendingProgressBP* ProgressWindow()
{
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<Window_SendingProgressBP*>(pWidget))
            return p;
    return nullptr;
}

// Samples the progress window every few milliseconds while an upload runs.
struct ProgressSampler
{
    QStringList States;
    QString Title;
    QTimer Timer;
    std::function<void(const QString&)> OnState;
    ProgressSampler()
    {
        QObject::connect(&Timer, &QTimer::timeout, [this]() {
            Window_SendingProgressBP* p = ProgressWindow();
            if (!p)
                return;
            Title = p->windowTitle();
            const QString s = p->ui->label_Progress->text() + "/" + QString::number(p->ui->progressBar->value());
            if (States.isEmpty() || States.last() != s) {
                States << s;
                if (OnState)
                    OnState(s);
            }
        });
        // At every pass of the event loop, the upload's one pass after each pixel included.
        Timer.start(0);
    }
};

// The Arvex texts of the bad-pixel memory, without the zero fill.
QList<QByteArray> ArvexBadPixelTexts()
{
    QList<QByteArray> out;
    for (QByteArray b : RecordedBytes(BoardKind::Arvex)) {
        while (b.endsWith('\0'))
            b.chop(1);
        if (b.startsWith("*w") || b.startsWith("*x") || b.startsWith("*y"))
            out << b;
    }
    return out;
}

} // namespace

class TestBadPixelLoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetFastMode(true); }
    void softwareListsOnBelmorPlus();
    void softwareListsStopAtAPairOutsideTheFrame();
    void noOpenFile();
    void fileChosenInTheDialog();
    void arvexUploadWithProgress();
    void arvexUploadStopsWhenDisconnected();
    void corvaneUploadTwelveWritesPerPair();
};

void TestBadPixelLoad::softwareListsOnBelmorPlus()
{
    Road road(BoardKind::BelmorPlus, 2);
    ConnectWithFrame(road, 3);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_BPCorrectionMode->setCurrentIndex(2);
    SetCurrent(2, ProxyParameterId::BPCorrectionMode, 3);

    const QString sPath = WriteMap(road.Folder, "Ligne;Colonne\n12;34\n5;6\n");
    QVERIFY(w.OpenBadPixelFile(sPath));
    const uint32_t expected[4][3] = {
        {2, 12 * 640 + 34, 5 * 640 + 6},
        {2, 467 * 640 + 34, 474 * 640 + 6},
        {2, 12 * 640 + 605, 5 * 640 + 633},
        {2, 467 * 640 + 605, 474 * 640 + 633},
    };
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 3; ++i)
            QCOMPARE(w.BadPixelIndexList[k][i], expected[k][i]);
    QCOMPARE(road.ui()->comboBox_BPCorrectionMode->currentIndex(), 0);
    QCOMPARE(GetCurrent(2, ProxyParameterId::BPCorrectionMode), 0u);
    QCOMPARE(road.ui()->label_BPFile->text(), QStringLiteral("map.csv"));
    QVERIFY(!w.StopAcquisition);
    QVERIFY(!w.BadPixelUploadRunning);
    QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));

    // A second file replaces the first; the last pair counts without a final line break.
    QVERIFY(w.OpenBadPixelFile(WriteMap(road.Folder, "Ligne,Colonne\r\n1,2\r\n3,4")));
    QCOMPARE(w.BadPixelIndexList[0][0], 2u);
    QCOMPARE(w.BadPixelIndexList[0][2], uint32_t(3 * 640 + 4));
    QCOMPARE(w.BadPixelIndexList[1][3], 0u);
}

void TestBadPixelLoad::softwareListsStopAtAPairOutsideTheFrame()
{
    Road road(BoardKind::BelmorPlus, 2);
    ConnectWithFrame(road, 3);
    MainWindow& w = *road.Window;
    QVERIFY(w.OpenBadPixelFile(WriteMap(road.Folder, "Ligne;Colonne\n1;1\n480;0\n2;2\nx;y\n")));
    QCOMPARE(w.BadPixelIndexList[0][0], 1u);
    QCOMPARE(w.BadPixelIndexList[3][0], 1u);
    QCOMPARE(road.Recorder.Boxes,
             (QStringList{"Warning|Line 5 of the bad pixel map is not a row and column pair.\nThe File reading has "
                          "been interrupted: 3 pairs read before it.",
                          "Out of range coordinates|The last coordinates read were out of image size.\nThe File "
                          "reading has been interrupted."}));
    QVERIFY(!w.StopAcquisition);
}

void TestBadPixelLoad::noOpenFile()
{
    Road road(BoardKind::BelmorPlus, 2);
    ConnectWithFrame(road, 3);
    MainWindow& w = *road.Window;
    w.BadPixelIndexList[0][0] = 7;
    w.Load_BadPixel_File();
    QCOMPARE(road.Recorder.Boxes, QStringList{"Critical|Bad Pixel Map file .csv load fail"});
    QCOMPARE(w.BadPixelIndexList[0][0], 0u);
    QVERIFY(!w.StopAcquisition);
    QVERIFY(!w.BadPixelUploadRunning);
    // A file that cannot be opened.
    QVERIFY(!w.OpenBadPixelFile(road.Folder.rootPath() + "/missing.csv"));
    QCOMPARE(road.Recorder.Boxes.last(), QStringLiteral("Error|Error when opening BP file"));
}

void TestBadPixelLoad::fileChosenInTheDialog()
{
    Road road(BoardKind::BelmorPlus, 2);
    ConnectWithFrame(road, 3);
    MainWindow& w = *road.Window;
    const QString sPath = WriteMap(road.Folder, "Ligne;Colonne\n12;34\n5;6\n");
    QStringList places;
    bool bModal = true;
    QTimer::singleShot(0, &w, [&]() {
        auto* pDialog = w.findChild<QFileDialog*>();
        QVERIFY(pDialog);
        bModal = pDialog->isModal();
        for (const QUrl& url : pDialog->sidebarUrls())
            places << url.toLocalFile();
        pDialog->selectFile(sPath);
        static_cast<QDialog*>(pDialog)->accept();
    });
    w.PushButton_SelectBP_File();
    QVERIFY(!bModal);
    QVERIFY(!places.isEmpty());
    QCOMPARE(places.last(), ApplicationDirPath());
    QCOMPARE(w.BadPixelIndexList[0][0], 2u);
    QCOMPARE(road.ui()->label_BPFile->text(), QStringLiteral("map.csv"));

    // Cancel: the loaded map stays.
    QTimer::singleShot(0, &w, [&]() {
        auto* pDialog = w.findChild<QFileDialog*>();
        QVERIFY(pDialog);
        pDialog->reject();
    });
    w.PushButton_SelectBP_File();
    QCOMPARE(w.BadPixelIndexList[0][0], 2u);
    QTRY_VERIFY(!w.findChild<QFileDialog*>());
}

void TestBadPixelLoad::arvexUploadWithProgress()
{
    Road road(BoardKind::Arvex, 2);
    ConnectWithFrame(road, 1);
    MainWindow& w = *road.Window;
    ClearRecordedMessages(BoardKind::Arvex);
    ProgressSampler sampler;
    QVERIFY(w.OpenBadPixelFile(WriteMap(road.Folder, "Ligne;Colonne\n12;34\n5;6\n7;8\n")));
    QCOMPARE(ArvexBadPixelTexts(), (QList<QByteArray>{"*w0000", "*x0034", "*y0012", "*w0001", "*x0006", "*y0005",
                                                      "*w0002", "*x0008", "*y0007"}));
    QCOMPARE(sampler.Title, QStringLiteral("Progressing ..."));
    // The bar shows the share sent before each pixel, so it never reaches 100.
    QStringList states = sampler.States;
    states.removeAll("Progress/0");
    QCOMPARE(states, (QStringList{"1 over 3/0", "2 over 3/33", "3 over 3/66"}));
    QTRY_VERIFY(!ProgressWindow());
    // The board corrects: the software lists stay empty.
    for (int k = 0; k < 4; ++k)
        QCOMPARE(w.BadPixelIndexList[k][0], 0u);
    QVERIFY(!w.StopAcquisition);
    QVERIFY(!w.BadPixelUploadRunning);
    QVERIFY(road.ui()->pushButton_SelectBPFile->isEnabled());
}

void TestBadPixelLoad::arvexUploadStopsWhenDisconnected()
{
    Road road(BoardKind::Arvex, 2);
    ConnectWithFrame(road, 1);
    MainWindow& w = *road.Window;
    ClearRecordedMessages(BoardKind::Arvex);
    ProgressSampler sampler;
    // The operator disconnects once the first pixel is on the board.
    sampler.OnState = [&w](const QString& s) {
        if (s.startsWith("1 over"))
            w.Deinit();
    };
    QVERIFY(w.OpenBadPixelFile(WriteMap(road.Folder, "Ligne;Colonne\n12;34\n5;6\n7;8\n")));
    QVERIFY(!w.Connected);
    QCOMPARE(ArvexBadPixelTexts(), (QList<QByteArray>{"*w0000", "*x0034", "*y0012"}));
    // The stop of the disconnection stands.
    QVERIFY(w.StopAcquisition);
    QVERIFY(!w.BadPixelUploadRunning);
    QTRY_VERIFY(!ProgressWindow());
}

void TestBadPixelLoad::corvaneUploadTwelveWritesPerPair()
{
    Road road(BoardKind::Corvane, 2);
    ConnectWithFrame(road, 6);
    MainWindow& w = *road.Window;
    w.BadPixelCorrectionOn = false;
    ClearRecordedMessages(BoardKind::Corvane);
    ProgressSampler sampler;
    QVERIFY(w.OpenBadPixelFile(WriteMap(road.Folder, "Ligne;Colonne\n12;34\n5;6\n")));
    QList<QByteArray> writes;
    for (const QByteArray& b : RecordedBytes(BoardKind::Corvane, "register"))
        if (b.startsWith("50=") || b.startsWith("51=") || b.startsWith("52=") || b.startsWith("53="))
            writes << b;
    const QList<QByteArray> expected{"51=2", "52=10", "53=0", "50=0", "51=2", "52=11", "53=34", "50=0",
                                     "51=2", "52=12", "53=12", "50=0", "51=2", "52=10", "53=1", "50=0",
                                     "51=2", "52=11", "53=6",  "50=0", "51=2", "52=12", "53=5",  "50=0"};
    QCOMPARE(writes, expected);
    QCOMPARE(RecordedBytes(BoardKind::Corvane, "board").mid(RecordedBytes(BoardKind::Corvane, "board").size() - 6),
             (QList<QByteArray>{"2,10,0", "2,11,34", "2,12,12", "2,10,1", "2,11,6", "2,12,5"}));
    QStringList states = sampler.States;
    states.removeAll("Progress/0");
    QCOMPARE(states, (QStringList{"1 over 2/0", "2 over 2/50"}));
    QCOMPARE(w.BadPixelIndexList[0][0], 0u);
    QVERIFY(!w.StopAcquisition);
}

QTEST_MAIN(TestBadPixelLoad)
#include "tst_bad_pixel_load.moc"
