// The main window on a simulated board as the operator meets it: the Belmor selector, the zoom after a
// reconnection, the bad-pixel offsets, the saved histogram files and files that hold nothing usable.
#include "ui_MainWindow.h"
#include "ui_MW_ProxyBelmor.h"
#include "ui_OffsetBP_Widget.h"

#include "board/road_bench.h"

#include "app/bp_offset_file.h"
#include "pipeline/affichage.h"
#include "tools/OffsetBP_Widget.h"
#include "tools/Window_Histogram.h"
#include "tools/Setup_DigiBoard.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include <functional>

using namespace sim;

namespace {

QByteArray ReadAll(const QString& p_sPath)
{
    QFile file(p_sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString& p_sPath, const QByteArray& p_Content)
{
    QDir().mkpath(QFileInfo(p_sPath).path());
    QFile file(p_sPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(p_Content) == p_Content.size();
}

QString LogText(const MainWindow& p_Window)
{
    return QString::fromUtf8(ReadAll(p_Window.Log->filePath()));
}

// Bytes no text file holds: a picture's start and the noise after it.
QByteArray BinaryGarbage()
{
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    uint32_t state = 12345;
    for (int i = 0; i < 400; ++i) {
        state = state * 1103515245u + 12345u;
        char c = char((state >> 16) & 0xFF);
        bytes.append(c == ';' || c == ',' ? '\0' : c);
    }
    return bytes;
}

// Connects (unless the board connects and starts in one press), starts, runs
// p_While once frames are shown, then disconnects the operator's way.
void StreamOnce(Road& p_Road, bool p_bConnectFirst, const std::function<void()>& p_While)
{
    MainWindow& w = *p_Road.Window;
    if (p_bConnectFirst) {
        p_Road.press();
        QVERIFY2(w.Connected, qPrintable(p_Road.Recorder.Boxes.join('\n')));
    }
    bool bDone = false;
    auto* pPoll = new QTimer(&w);
    QObject::connect(pPoll, &QTimer::timeout, &w, [&, pPoll]() {
        if (p_Road.ui()->pushButton_Start->text() != "Safe\ndisconnection" || !p_Road.ui()->pushButton_Start->isEnabled()
            || w.StopAcquisition || w.FrameCounter <= 2)
            return;
        pPoll->stop();
        pPoll->deleteLater();
        p_While();
        p_Road.press();
        bDone = true;
    });
    pPoll->start(10);
    p_Road.press();
    QTRY_VERIFY_WITH_TIMEOUT(bDone && !w.Connected, 15000);
}

// Answers the file dialogs with a name typed in the given folder, as the
// operator does, and refuses any question that comes up meanwhile (the
// dialog's "replace the file?"), keeping its text.
struct FileDialogAnswers
{
    QString Folder;
    QStringList Names;        // the next names to type, in order
    QStringList Captions;     // of every dialog answered
    QStringList Suffixes;     // their default suffixes
    QStringList Questions;    // texts of the questions refused
    QTimer Poll;
    explicit FileDialogAnswers(const QString& p_sFolder) : Folder(p_sFolder)
    {
        QObject::connect(&Poll, &QTimer::timeout, [this]() {
            for (QWidget* pWidget : QApplication::topLevelWidgets()) {
                if (!pWidget->isVisible())
                    continue;
                auto* pBox = qobject_cast<QMessageBox*>(pWidget);
                // Only the file dialogs' own questions; the program's boxes are its own business.
                if (pBox && qobject_cast<QFileDialog*>(pBox->parentWidget())) {
                    Questions << pBox->text();
                    pBox->reject();
                    return;
                }
            }
            for (QWidget* pWidget : QApplication::topLevelWidgets()) {
                auto* pDialog = qobject_cast<QFileDialog*>(pWidget);
                if (!pDialog || !pDialog->isVisible() || Names.isEmpty())
                    continue;
                Captions << pDialog->windowTitle();
                Suffixes << pDialog->defaultSuffix();
                pDialog->setDirectory(Folder);
                if (auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    pName->setText(Names.takeFirst());
                static_cast<QDialog*>(pDialog)->accept();
                return;
            }
        });
        Poll.start(20);
    }
};

// A real box: it takes the activation while it is up, as on the operator's screen.
struct ShownBoxes
{
    QStringList Titles;
    ShownBoxes()
    {
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            Titles << p_Request.title;
            QMessageBox box(p_Request.icon, p_Request.title, p_Request.text, QMessageBox::Ok, p_Request.parent);
            QTimer::singleShot(300, &box, [&box]() { box.accept(); });
            box.exec();
            return 0;
        });
    }
    // Boxes of the tear-down after the test are not waited for.
    ~ShownBoxes() { SetMessageBoxPresenter([](const MessageBoxRequest&) { return 0; }); }
};

} // namespace

class tst_main_window_road : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetFastMode(true); }
    void belmorWrongCodeKeepsTheSelectorWaiting();
    void firstZoomClickAfterReconnection_data();
    void firstZoomClickAfterReconnection();
    void eskraOffsetsAreSaved();
    void histogramFilesGetTheirSuffix();
    void advancedHistogramFilesGetTheirSuffix();
    void lutFileOfGarbageIsRefused();
    void badPixelMapOfGarbageIsRefused();
};

void tst_main_window_road::belmorWrongCodeKeepsTheSelectorWaiting()
{
    Road road(BoardKind::Belmor, 2);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(2);
    ShownBoxes shown;
    MW_ProxyBelmor* pSelector = w.ProxySelector;
    bool bOpenAfterWrongCode = false;
    bool bConnectedAfterWrongCode = true;
    bool bOpenLater = false;
    bool bConnectedLater = true;
    // The code is typed once the selector is up, however long the connection takes to show it.
    auto* pWaitForSelector = new QTimer(&w);
    QObject::connect(pWaitForSelector, &QTimer::timeout, &w, [&, pWaitForSelector]() {
        if (!pSelector->isVisible())
            return;
        pWaitForSelector->stop();
        pWaitForSelector->deleteLater();
        pSelector->ui->comboBox_SelectProxy->setCurrentIndex(9);
        QTest::keyClicks(pSelector->ui->lineEdit_PW, "ravensdal_kptwv3");
        QTest::mouseClick(pSelector->ui->pushButton_Start, Qt::LeftButton);
        // The box was dismissed: the selector is still there for the next try.
        bOpenAfterWrongCode = pSelector->isVisible();
        bConnectedAfterWrongCode = w.Connected;
        QTimer::singleShot(1800, &w, [&]() {
            bOpenLater = pSelector->isVisible();
            bConnectedLater = w.Connected;
            pSelector->ui->lineEdit_PW->clear();
            QTest::keyClicks(pSelector->ui->lineEdit_PW, "Ravensdal_KPTWv3");
            QTest::keyClick(pSelector->ui->lineEdit_PW, Qt::Key_Return);
        });
    });
    pWaitForSelector->start(20);
    road.press();
    QCOMPARE(shown.Titles, QStringList{"WRONG PASSWORD"});
    QVERIFY(bOpenAfterWrongCode);
    QVERIFY(!bConnectedAfterWrongCode);
    QVERIFY(bOpenLater);
    QVERIFY(!bConnectedLater);
    // Only the right code let the connection go on, with the model chosen.
    QVERIFY(w.Connected);
    QCOMPARE(w.CurrentProxyIndex.load(), 2);
    const QString log = LogText(w);
    QVERIFY(log.indexOf("Wrong password: ravensdal_kptwv3 - Try again !") < log.indexOf("Password correct !"));
    QVERIFY(log.contains("Proxy 2 - Z668 wanted"));
    QCOMPARE(road.ui()->pushButton_Start->text(), QString("Start"));
}

void tst_main_window_road::firstZoomClickAfterReconnection_data()
{
    QTest::addColumn<int>("board");
    QTest::addColumn<int>("comboIndex");
    QTest::newRow("Dunstel") << int(BoardKind::Dunstel) << 4;
    QTest::newRow("Corvane") << int(BoardKind::Corvane) << 6;
}

void tst_main_window_road::firstZoomClickAfterReconnection()
{
    QFETCH(int, board);
    QFETCH(int, comboIndex);
    Road road(BoardKind(board), 2);
    MainWindow& w = *road.Window;
    Affichage* view = w.ImageView;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(comboIndex);

    // A widget point over the frame pixel at the given fractions of the frame, in the fitted view.
    auto over = [&w, view](double p_dX, double p_dY) {
        const double scale = w.DisplayScale.load();
        return QPoint(int(view->frameSize().width() * p_dX * scale), int(view->frameSize().height() * p_dY * scale));
    };

    // First connection: a technical zoom placed, moved, then left.
    bool bCosmeticAtStart = false;
    bool bTechnical = false;
    StreamOnce(road, true, [&]() {
        bCosmeticAtStart = view->isCosmetic();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, over(0.3, 0.3));
        bTechnical = view->isTechnical();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    });
    QVERIFY(bCosmeticAtStart);
    QVERIFY(bTechnical);

    // Second connection: the first click lands on the pixel clicked.
    QPoint centre;
    QPoint wanted;
    bool bSecondTechnical = false;
    StreamOnce(road, true, [&]() {
        const double scale = w.DisplayScale.load();
        const QPoint at = over(0.6, 0.55);
        wanted = QPoint(int(at.x() / scale), int(at.y() / scale));
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
        bSecondTechnical = view->isTechnical();
        centre = view->zoomWindowCentre();
    });
    QVERIFY(bSecondTechnical);
    QVERIFY2(qAbs(centre.x() - wanted.x()) <= 1 && qAbs(centre.y() - wanted.y()) <= 1,
             qPrintable(QString("centre %1,%2, clicked pixel %3,%4")
                            .arg(centre.x()).arg(centre.y()).arg(wanted.x()).arg(wanted.y())));
}

void tst_main_window_road::eskraOffsetsAreSaved()
{
    Road road(BoardKind::Eskra, 5);
    MainWindow& w = *road.Window;
    const QString sPath = road.Folder.filePath(BPOffsetFile::FileName);
    QVERIFY(WriteAll(sPath, "/***** Kestivo BP Offset File *****/\nOther :\nX : 9\nY : 9\n"));
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(5);
    QString sProxy;
    bool bEnabled = false;
    bool bShown = false;
    StreamOnce(road, false, [&]() {
        sProxy = w.SetupWindow->getProxyText();
        bEnabled = road.ui()->action_OpenBPOffsetWindow->isEnabled();
        road.ui()->action_OpenBPOffsetWindow->trigger();
        bShown = w.BPOffsetWindow->isVisible();
        w.BPOffsetWindow->ui->spinBox_X->setValue(3);
        w.BPOffsetWindow->ui->spinBox_Y->setValue(-2);
        road.ui()->action_OpenBPOffsetWindow->trigger();
    });
    QVERIFY(bEnabled);
    QVERIFY(bShown);
    QCOMPARE(sProxy, QString("Z603"));
    QCOMPARE(ReadAll(sPath), QByteArray("/***** Kestivo BP Offset File *****/\nOther :\nX : 9\nY : 9\n"
                                        "\nZ603 :\nX : 3\nY : -2\n"));
    QVERIFY(!LogText(w).contains("No proxy set, the BP offsets are not saved"));
    QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));

    // The next acquisition shows them again.
    int shownX = 0, shownY = 0;
    StreamOnce(road, false, [&]() {
        road.ui()->action_OpenBPOffsetWindow->trigger();
        shownX = w.BPOffsetWindow->ui->spinBox_X->value();
        shownY = w.BPOffsetWindow->ui->spinBox_Y->value();
        road.ui()->action_OpenBPOffsetWindow->trigger();
    });
    QCOMPARE(shownX, 3);
    QCOMPARE(shownY, -2);
}

void tst_main_window_road::histogramFilesGetTheirSuffix()
{
    Road road(BoardKind::Dunstel, 2);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(4);
    const QString sFolder = road.Folder.filePath("Saved");
    QVERIFY(QDir().mkpath(sFolder));
    FileDialogAnswers answers(sFolder);
    answers.Names = QStringList{"hist1", "hist1"};
    StreamOnce(road, true, [&]() {
        // The histogram is drawn once a second: there is one to save after that.
        QTest::qWait(1500);
        QTest::mouseClick(road.ui()->pushButton_SaveHistogramBMP, Qt::LeftButton);
        QTRY_VERIFY2_WITH_TIMEOUT(answers.Captions.size() == 1, qPrintable(road.Recorder.Boxes.join('\n')), 5000);
        QTest::mouseClick(road.ui()->pushButton_SaveHistogramCSV, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(answers.Captions.size() == 2, 5000);
        QTest::qWait(100);
    });
    QCOMPARE(answers.Captions, (QStringList{"Histogram file", "Histogram file"}));
    QCOMPARE(answers.Suffixes, (QStringList{"bmp", "csv"}));
    QVERIFY2(answers.Questions.isEmpty(), qPrintable(answers.Questions.join('\n')));
    QCOMPARE(QDir(sFolder).entryList(QDir::Files), (QStringList{"hist1.bmp", "hist1.csv"}));
    QVERIFY(ReadAll(sFolder + "/hist1.bmp").startsWith("BM"));
    QVERIFY(!ReadAll(sFolder + "/hist1.csv").isEmpty());
    Q_UNUSED(w);
}

void tst_main_window_road::advancedHistogramFilesGetTheirSuffix()
{
    Road road(BoardKind::Dunstel, 2);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(4);
    const QString sFolder = road.Folder.filePath("Saved");
    QVERIFY(QDir().mkpath(sFolder));
    FileDialogAnswers answers(sFolder);
    answers.Names = QStringList{"hist1", "hist1"};
    StreamOnce(road, true, [&]() {
        road.ui()->action_Advanced_Histogram->trigger();
        QWidget* pWindow = w.HistogramWindow.data();
        QVERIFY(pWindow);
        // Its plot is drawn at the next histogram tick.
        QTest::qWait(1500);
        QTest::mouseClick(pWindow->findChild<QPushButton*>("pushButton_SavePNG"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(answers.Captions.size() == 1, 5000);
        QTest::mouseClick(pWindow->findChild<QPushButton*>("pushButton_SaveCSV"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(answers.Captions.size() == 2, 5000);
        QTest::qWait(100);
        pWindow->close();
    });
    QCOMPARE(answers.Suffixes, (QStringList{"png", "csv"}));
    QVERIFY2(answers.Questions.isEmpty(), qPrintable(answers.Questions.join('\n')));
    QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));
    QCOMPARE(QDir(sFolder).entryList(QDir::Files), (QStringList{"hist1.csv", "hist1.png"}));
    QVERIFY(ReadAll(sFolder + "/hist1.png").startsWith("\x89PNG"));
}

void tst_main_window_road::lutFileOfGarbageIsRefused()
{
    Road road(BoardKind::Dunstel, 2);
    MainWindow& w = *road.Window;
    Ui::MainWindow* ui = road.ui();
    const QString sFolder = road.Folder.filePath("Mine");
    QVERIFY(WriteAll(sFolder + "/garbage.csv", BinaryGarbage()));
    ui->action_FireLUT->trigger();
    QVERIFY(w.LutActive);
    const cv::Mat fire = w.ColourLut.clone();

    FileDialogAnswers answers(sFolder);
    answers.Names = QStringList{"garbage.csv"};
    ui->action_CustomLUT->trigger();
    QCOMPARE(answers.Captions.size(), 1);
    QCOMPARE(road.Recorder.Boxes.size(), 1);
    QVERIFY2(road.Recorder.Boxes.first().contains("garbage.csv"), qPrintable(road.Recorder.Boxes.first()));
    // The Fire table stays in use, and the menu says so.
    QVERIFY(w.LutActive);
    QCOMPARE(cv::norm(fire, w.ColourLut, cv::NORM_L1), 0.0);
    QVERIFY(ui->action_FireLUT->isChecked());
    QVERIFY(!ui->action_CustomLUT->isChecked());
    QVERIFY(!ui->action_CoolLUT->isChecked());
    QVERIFY(LogText(w).contains("LUT File selected :" + sFolder + "/garbage.csv"));
}

void tst_main_window_road::badPixelMapOfGarbageIsRefused()
{
    Road road(BoardKind::BelmorPlus, 2);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(3);
    road.press();
    QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    w.FrameWidth = 640;
    w.FrameHeight = 480;
    w.FramePitch = 1280;
    w.InitPointers();
    const QString sFolder = road.Folder.filePath("Maps");
    QVERIFY(WriteAll(sFolder + "/map.csv", "Ligne;Colonne\n12;34\n5;6\n"));
    QVERIFY(WriteAll(sFolder + "/garbage.csv", BinaryGarbage()));
    QVERIFY(WriteAll(sFolder + "/header_then_garbage.csv", "Ligne;Colonne\n" + BinaryGarbage()));
    QVERIFY(w.OpenBadPixelFile(sFolder + "/map.csv"));
    QCOMPARE(w.BadPixelIndexList[0][0], 2u);
    road.Recorder.Boxes.clear();

    FileDialogAnswers answers(sFolder);
    answers.Names = QStringList{"garbage.csv", "header_then_garbage.csv"};
    for (const QString& sName : {QString("garbage.csv"), QString("header_then_garbage.csv")}) {
        w.PushButton_SelectBP_File();
        QVERIFY2(road.Recorder.Boxes.size() == 1, qPrintable(road.Recorder.Boxes.join('\n')));
        QVERIFY2(road.Recorder.Boxes.first().contains(sName), qPrintable(road.Recorder.Boxes.first()));
        road.Recorder.Boxes.clear();
        // The map in use stays loaded and named.
        QCOMPARE(road.ui()->label_BPFile->text(), QString("map.csv"));
        QCOMPARE(w.BadPixelIndexList[0][0], 2u);
        QCOMPARE(w.BadPixelIndexList[0][1], uint32_t(12 * 640 + 34));
        QCOMPARE(w.BadPixelIndexList[3][2], uint32_t(474 * 640 + 633));
    }
    QCOMPARE(answers.Captions.size(), 2);
}

QTEST_MAIN(tst_main_window_road)
#include "tst_main_window_road.moc"
