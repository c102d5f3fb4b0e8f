// The calibration window on its own: settings and START rule, the checks before a capture, each Cancel, the two steps fed frame by frame, failures reported, the folder choice and the window closed during a capture.
#include "tools/Window_Calibration.h"

#include "ui_Window_Calibration.h"

#include "calibration_bench.h"
#include "support/test_app_folder.h"
#include "support/url_catcher.h"

#include "app/kv_log.h"
#include "pipeline/blackbody_calibration.h"

#include <QPointer>
#include <QSignalSpy>
#include <QUrl>

#include <vector>

namespace {

constexpr uint32_t kWidth = 16;
constexpr uint32_t kHeight = 6;

// A window as the main window leaves it after opening it.
void Fill(Window_Calibration& p_rWindow)
{
    p_rWindow.setXSize(kWidth);
    p_rWindow.setYSize(kHeight);
    p_rWindow.setLeftTemperatureColumns(2);
    p_rWindow.setRightTemperatureColumns(1);
    p_rWindow.setProxyName("Z668");
    p_rWindow.setParameters(120, 2048, 1536, 7, 9, 3, 0x21);
    p_rWindow.setParameterTexts("TINT", "GFID", "GSK", "", "VBUS", "CKDIV", "GMS");
    p_rWindow.ui->lineEdit_SensorSN->setText("SN42");
    p_rWindow.ui->lineEdit_Lens->setText("25 mm");
    p_rWindow.ui->spinBox_NumberImage->setValue(10);
}

QByteArray Bytes(const std::vector<uint16_t>& p_Frame)
{
    return QByteArray(reinterpret_cast<const char*>(p_Frame.data()), int(p_Frame.size() * 2));
}

std::vector<uint16_t> Frame(int p_iTag)
{
    std::vector<uint16_t> frame(kWidth * kHeight);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint16_t(p_iTag * 100 + int(i));
    return frame;
}

// Hands p_iCount frames to the window as the frame path would, the event loop running between them.
void Feed(Window_Calibration& p_rWindow, int p_iFirstTag, int p_iCount)
{
    for (int i = 0; i < p_iCount; ++i) {
        const std::vector<uint16_t> frame = Frame(p_iFirstTag + i);
        if (p_rWindow.isCapturing())
            p_rWindow.receiveRawImage(frame.data(), FrameGeometry{int(kWidth), int(kHeight), int(kWidth * 2)});
        QCoreApplication::processEvents();
    }
}

QStringList FilesIn(const QString& p_sFolder)
{
    QStringList files = QDir(p_sFolder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(files.begin(), files.end());
    return files;
}

QStringList RawNames(int p_iCount)
{
    QStringList names;
    for (int i = 0; i < p_iCount; ++i)
        names << QString("Image%1.raw").arg(i);
    std::sort(names.begin(), names.end());
    return names;
}

bool ControlsEnabled(const Window_Calibration& p_rWindow)
{
    const Ui::Window_Calibration* u = p_rWindow.ui;
    return u->pushButton_ChangeFolder->isEnabled() && u->pushButton_Start->isEnabled()
           && u->spinBox_NumberImage->isEnabled() && u->SpinBox_TempBB1->isEnabled() && u->SpinBox_TempBB2->isEnabled()
           && u->lineEdit_SensorSN->isEnabled() && u->lineEdit_Lens->isEnabled() && u->pushButton_Refresh->isEnabled();
}

} // namespace

class tst_calibration_window : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        TestAppFolder folder;
        Window_Calibration w;
        QCOMPARE(w.windowTitle(), QString("Calibration Window"));
        QCOMPARE(w.savingFolder(), folder.rootPath() + "/CalibrationFile");
        QCOMPARE(w.ui->label_SavingLocation_val->text(), w.savingFolder());
        QCOMPARE(w.ui->label_Prerequis->text(),
                 QString("Required :\n\t- 2 temperature stabilized BlackBodies\n\t- The camera has to be working since "
                         "15 min minimum\n\t- The RAW stream has to be at correct grey scale\n"));
        QCOMPARE(w.ui->spinBox_NumberImage->value(), 100);
        QCOMPARE(w.ui->spinBox_NumberImage->minimum(), 10);
        QCOMPARE(w.ui->spinBox_NumberImage->maximum(), 5000);
        QCOMPARE(w.ui->SpinBox_TempBB1->value(), 20.0);
        QCOMPARE(w.ui->SpinBox_TempBB2->value(), 35.0);
        QCOMPARE(w.ui->SpinBox_TempBB1->minimum(), -50.0);
        QCOMPARE(w.ui->SpinBox_TempBB2->maximum(), 100.0);
        QVERIFY(w.ui->lineEdit_SensorSN->text().isEmpty() && w.ui->lineEdit_Lens->text().isEmpty());
        QVERIFY(!w.ui->label_picture->pixmap(Qt::ReturnByValue).isNull());
        QCOMPARE(w.ui->label_ImageSize_val->text(), QString("0*0"));
        QVERIFY(!w.ui->label_TINT_val->isEnabled() && !w.ui->label_GMS_val->isEnabled());
        QVERIFY(!w.ui->pushButton_Start->isEnabled());
        QVERIFY(!w.isCapturing());
    }

    // START needs a proxy name and a frame geometry.
    void startRule_data()
    {
        QTest::addColumn<QString>("proxy");
        QTest::addColumn<uint>("width");
        QTest::addColumn<uint>("height");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("streaming") << "Z668" << 640u << 480u << true;
        QTest::newRow("opened before the first acquisition") << "Z668" << 0u << 0u << false;
        QTest::newRow("no height") << "Z668" << 640u << 0u << false;
        QTest::newRow("no proxy") << "" << 640u << 480u << false;
    }
    void startRule()
    {
        QFETCH(QString, proxy);
        QFETCH(uint, width);
        QFETCH(uint, height);
        QFETCH(bool, enabled);
        TestAppFolder folder;
        Window_Calibration w;
        w.setXSize(width);
        w.setYSize(height);
        w.setProxyName(proxy);
        QCOMPARE(w.ui->pushButton_Start->isEnabled(), enabled);
        QCOMPARE(w.ui->label_ImageSize_val->text(), QString("%1*%2").arg(width).arg(height));
        QCOMPARE(w.ui->label_Proxy_val->text(), proxy);
    }

    // Values and captions as the main window pushes them; an empty caption
    // hides caption and value; Refresh asks for them again.
    void parametersAndCaptions()
    {
        TestAppFolder folder;
        Window_Calibration w;
        QSignalSpy refresh(&w, &Window_Calibration::RefreshParameter);
        w.setParameters(1, 2, 3, 4, 5, 6, 4294967295u);
        w.setParameterTexts("TINT", "GFID", "GSK", "", "VBUS", "CKDIV", "GMS");
        QCOMPARE(w.ui->label_TINT_val->text(), QString("1"));
        QCOMPARE(w.ui->label_GMS_val->text(), QString("4294967295"));
        QCOMPARE(w.ui->label_ADD02->text(), QString("GFID"));
        QVERIFY(w.ui->label_ADD0C->text().isEmpty());
        QVERIFY(w.ui->label_ADD0C_val->text().isEmpty());
        QCOMPARE(w.ui->label_ADD0D->text(), QString("VBUS"));
        QTest::mouseClick(w.ui->pushButton_Refresh, Qt::LeftButton);
        QCOMPARE(refresh.count(), 1);
        // 15 is "no count": the stored one stays.
        w.setLeftTemperatureColumns(3);
        w.setLeftTemperatureColumns(15);
        w.setRightTemperatureColumns(15);
        QCOMPARE(w.leftTemperatureColumns(), 3u);
        QCOMPARE(w.rightTemperatureColumns(), 0u);
    }

    // The checks before a capture: each stops with its box and changes nothing.
    void checksBeforeTheCapture_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("lens");
        QTest::addColumn<QString>("box");
        QTest::newRow("no serial number")
            << "" << "25 mm"
            << "Please enter a Sensor Serial Number|No Sensor Serial Number entered, please enter one before start";
        QTest::newRow("no lens") << "SN42" << ""
                                 << "Please enter a lens|No lens entered, please enter one before start";
    }
    void checksBeforeTheCapture()
    {
        QFETCH(QString, serial);
        QFETCH(QString, lens);
        QFETCH(QString, box);
        TestAppFolder folder;
        BoxAnswers answers;
        Window_Calibration w;
        Fill(w);
        QSignalSpy refresh(&w, &Window_Calibration::RefreshParameter);
        w.ui->lineEdit_SensorSN->setText(serial);
        w.ui->lineEdit_Lens->setText(lens);
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        QCOMPARE(answers.Boxes, QStringList{box});
        QCOMPARE(refresh.count(), 0);
        QVERIFY(!QDir(w.savingFolder() + "/BB1").exists());
        QVERIFY(ControlsEnabled(w));
        QVERIFY(!w.isCapturing());
    }

    // An existing description is asked about; Cancel leaves everything as it was.
    void existingDescriptionCancelled()
    {
        TestAppFolder folder;
        BoxAnswers answers;
        answers.ByTitle["File existed"] = 1;
        Window_Calibration w;
        Fill(w);
        QVERIFY(QDir().mkpath(w.savingFolder()));
        QFile old(w.savingFolder() + "/_Config.txt");
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        QCOMPARE(answers.Boxes,
                 QStringList{"File existed|A configuration has already been saved. Are you sure you want to erase it ?"});
        QCOMPARE(FilesIn(w.savingFolder()), QStringList{"_Config.txt"});
        QCOMPARE(ReadWholeFile(w.savingFolder() + "/_Config.txt"), QByteArray("old"));
        QVERIFY(ControlsEnabled(w));
    }

    // Cancel at the first step: both folders made, no file, the controls back, no program.
    void cancelAtStepOne()
    {
        TestAppFolder folder;
        QVERIFY(WriteStandInCalibrationProgram(folder.rootPath()));
        BoxAnswers answers;
        answers.ByTitle["Step 1"] = 1;
        Window_Calibration w;
        Fill(w);
        QSignalSpy refresh(&w, &Window_Calibration::RefreshParameter);
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        QCOMPARE(answers.Boxes, QStringList{"Step 1|Please place the camera in front of the BlackBody 1 at 20 "
                                            "degrees.\nOnce done, click on OK"});
        QCOMPARE(refresh.count(), 1);
        QVERIFY(!w.isCapturing());
        Feed(w, 0, 12);
        QCOMPARE(FilesIn(w.savingFolder()), (QStringList{"BB1", "BB2"}));
        QVERIFY(FilesIn(w.savingFolder() + "/BB1").isEmpty());
        QVERIFY(FilesIn(w.savingFolder() + "/BB2").isEmpty());
        QVERIFY(ControlsEnabled(w));
        QCOMPARE(w.imagesPerBlackbody(), 10u);
        QTest::qWait(100);
        QVERIFY(!QFile::exists(StandInArgumentsPath(folder.rootPath())));
        // The next Start asks again from the first question.
        answers.Boxes.clear();
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        QCOMPARE(answers.titles(), QStringList{"Step 1"});
    }

    // A folder that cannot be made stops the capture; BB1 made before a failed BB2 stays.
    void folderThatCannotBeMade_data()
    {
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("BB1") << "BB1" << "Error creating folder|The folder \"BB1\" can't be created, abort"
                             << QStringList{"BB1"};
        QTest::newRow("BB2") << "BB2" << "Error creating folder|The folder \"BB2\" can't be created, abort"
                             << QStringList{"BB1", "BB2"};
    }
    void folderThatCannotBeMade()
    {
        QFETCH(QString, blocked);
        QFETCH(QString, box);
        QFETCH(QStringList, left);
        TestAppFolder folder;
        BoxAnswers answers;
        Window_Calibration w;
        Fill(w);
        QVERIFY(QDir().mkpath(w.savingFolder()));
        QFile file(w.savingFolder() + "/" + blocked);   // a file where the folder should be
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        QCOMPARE(answers.Boxes, QStringList{box});
        QCOMPARE(FilesIn(w.savingFolder()), left);
        QVERIFY(ControlsEnabled(w));
    }

    // The whole capture fed frame by frame: N files per folder, the Step 2
    // question closed without an answer going on like OK, the description,
    // the program with its two arguments, the controls back.
    void wholeCapture()
    {
        TestAppFolder folder;
        QVERIFY(WriteStandInCalibrationProgram(folder.rootPath()));
        BoxAnswers answers;
        answers.ByTitle["Step 2"] = -1;
        Window_Calibration w;
        Fill(w);
        w.ui->SpinBox_TempBB1->setValue(-12.25);
        w.ui->SpinBox_TempBB2->setValue(35.5);
        w.ui->spinBox_NumberImage->setValue(12);
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        QVERIFY(w.isCapturing());
        QVERIFY(!ControlsEnabled(w) && w.ui->pushButton_OpenFolder->isEnabled());
        Feed(w, 0, 12);
        QVERIFY(w.isCapturing());
        Feed(w, 100, 15);
        QVERIFY(!w.isCapturing());
        QCOMPARE(answers.Boxes,
                 (QStringList{"Step 1|Please place the camera in front of the BlackBody 1 at -12.25 degrees.\nOnce "
                              "done, click on OK",
                              "Step 2|Please place the camera in front of the BlackBody 2 at 35.5 degrees.\nOnce "
                              "done, click on OK",
                              "Finished|The RAW images has been correctly saved"}));
        const QString sRoot = w.savingFolder();
        QCOMPARE(FilesIn(sRoot + "/BB1"), RawNames(12));
        QCOMPARE(FilesIn(sRoot + "/BB2"), RawNames(12));
        for (int n = 0; n < 12; ++n) {
            QCOMPARE(ReadWholeFile(BlackbodyRawFramePath(sRoot, 1, uint32_t(n))), Bytes(Frame(n)));
            QCOMPARE(ReadWholeFile(BlackbodyRawFramePath(sRoot, 2, uint32_t(n))), Bytes(Frame(100 + n)));
        }
        QCOMPARE(ReadWholeFile(sRoot + "/_Config.txt"),
                 QByteArray("ProxyBoard:\nZ668\nSensor S/N:\nSN42\nLens:\n25 mm\nTINT\n120\nGFID\n2048\nGSK\n1536\n"
                            "\n7\nVBUS\n9\nCKDIV\n3\nGMS\n33\nImage X Size:\n16\nImage Y Size:\n6\n"
                            "Number of Left Temperature columns:\n2\nNumber of Right Temperature columns:\n1\n"
                            "BlackBody 1 temperature:\n-12.25\nBlackBody 2 temperature:\n35.5\n"
                            "Number of image saved for each BlackBody:\n12\nFiles path:\n")
                     + sRoot.toUtf8() + "\n");
        QVERIFY(ControlsEnabled(w));
        QTRY_COMPARE(ReadWholeFile(StandInArgumentsPath(folder.rootPath())), "-i\n" + sRoot.toUtf8() + "/_Config.txt\n");

        // A second capture with a smaller N overwrites from Image0 and leaves the rest.
        QFile::remove(StandInArgumentsPath(folder.rootPath()));
        answers.Boxes.clear();
        answers.ByTitle.remove("Step 2");
        w.ui->spinBox_NumberImage->setValue(10);
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        Feed(w, 200, 10);
        Feed(w, 300, 10);
        QCOMPARE(answers.titles(), (QStringList{"File existed", "Step 1", "Step 2", "Finished"}));
        QCOMPARE(FilesIn(sRoot + "/BB1"), RawNames(12));
        QCOMPARE(ReadWholeFile(BlackbodyRawFramePath(sRoot, 1, 0)), Bytes(Frame(200)));
        QCOMPARE(ReadWholeFile(BlackbodyRawFramePath(sRoot, 1, 9)), Bytes(Frame(209)));
        QCOMPARE(ReadWholeFile(BlackbodyRawFramePath(sRoot, 1, 11)), Bytes(Frame(11)));
        QVERIFY(ReadWholeFile(sRoot + "/_Config.txt").contains("Number of image saved for each BlackBody:\n10\n"));
        QTRY_VERIFY(QFile::exists(StandInArgumentsPath(folder.rootPath())));
    }

    // A raw file that cannot be written is counted and reported instead of
    // "correctly saved"; the capture and the program still go on.
    void failedRawFileIsReported()
    {
        TestAppFolder folder;
        QVERIFY(WriteStandInCalibrationProgram(folder.rootPath()));
        BoxAnswers answers;
        Window_Calibration w;
        Fill(w);
        QVERIFY(QDir().mkpath(w.savingFolder() + "/BB2/Image3.raw"));   // a folder in the way of a file
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        Feed(w, 0, 10);
        Feed(w, 100, 10);
        QCOMPARE(answers.titles(), (QStringList{"Step 1", "Step 2", "Finished"}));
        const QString sFinished = answers.Boxes.last();
        QVERIFY2(sFinished.startsWith("Finished|1 of the 20 RAW images could not be saved.\n" + w.savingFolder()
                                      + "/BB2/Image3.raw: "),
                 qPrintable(sFinished));
        QVERIFY(QFile::exists(w.savingFolder() + "/_Config.txt"));
        QTRY_VERIFY(QFile::exists(StandInArgumentsPath(folder.rootPath())));
    }

    // A description that cannot be written is reported, and the program is not started without it.
    void failedDescriptionIsReported()
    {
        TestAppFolder folder;
        QVERIFY(WriteStandInCalibrationProgram(folder.rootPath()));
        BoxAnswers answers;
        Window_Calibration w;
        Fill(w);
        QVERIFY(QDir().mkpath(w.savingFolder() + "/_Config.txt"));
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        Feed(w, 0, 10);
        Feed(w, 100, 10);
        QCOMPARE(answers.titles(), (QStringList{"File existed", "Step 1", "Step 2", "Finished", "Error"}));
        QVERIFY2(answers.Boxes.last().startsWith("Error|The configuration file can't be written, the calibration "
                                                 "program is not started.\n" + w.savingFolder() + "/_Config.txt: "),
                 qPrintable(answers.Boxes.last()));
        QVERIFY(ControlsEnabled(w));
        QTest::qWait(200);
        QVERIFY(!QFile::exists(StandInArgumentsPath(folder.rootPath())));
    }

    // Closed during the first step: the capture ends at once, nothing more is
    // written, and the window goes only when asked to.
    void closedDuringAStep()
    {
        TestAppFolder folder;
        QVERIFY(WriteStandInCalibrationProgram(folder.rootPath()));
        BoxAnswers answers;
        QPointer<Window_Calibration> w = new Window_Calibration;
        Fill(*w);
        QSignalSpy closed(w.data(), &Window_Calibration::CloseWindow);
        std::shared_ptr<BlackbodyCapture> capture = w->capture();
        const QString sRoot = w->savingFolder();
        w->show();
        QTest::mouseClick(w->ui->pushButton_Start, Qt::LeftButton);
        Feed(*w, 0, 4);
        w->close();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!w->isCapturing());
        // The frame path may still hold the capture: it writes nothing more.
        const std::vector<uint16_t> frame = Frame(9);
        capture->receiveRawImage(frame.data(), FrameGeometry{int(kWidth), int(kHeight), int(kWidth * 2)});
        w->dispose();
        QTRY_VERIFY(w.isNull());
        QCOMPARE(FilesIn(sRoot + "/BB1"), (QStringList{"Image0.raw", "Image1.raw", "Image2.raw", "Image3.raw"}));
        QVERIFY(!QFile::exists(sRoot + "/_Config.txt"));
        QCOMPARE(answers.titles(), QStringList{"Step 1"});
        QVERIFY(!QFile::exists(StandInArgumentsPath(folder.rootPath())));
    }

    // Closed while the Step 2 question is open (a disconnection does that):
    // the question ends, the window is disposed of only after the slot that
    // asked it has returned, and the second step never starts.
    void closedDuringTheStepTwoQuestion()
    {
        TestAppFolder folder;
        BoxAnswers answers;
        QPointer<Window_Calibration> w = new Window_Calibration;
        Fill(*w);
        w->show();
        bool bAliveAfterDispose = false;
        answers.OnBox = [&](const MessageBoxRequest& p_Request) {
            if (p_Request.title != "Step 2")
                return;
            w->close();
            w->dispose();
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            bAliveAfterDispose = !w.isNull();
        };
        QTest::mouseClick(w->ui->pushButton_Start, Qt::LeftButton);
        const QString sRoot = w->savingFolder();
        Feed(*w, 0, 10);
        QTRY_VERIFY(w.isNull());
        QVERIFY(bAliveAfterDispose);
        QCOMPARE(answers.titles(), (QStringList{"Step 1", "Step 2"}));
        QCOMPARE(FilesIn(sRoot + "/BB1"), RawNames(10));
        QVERIFY(FilesIn(sRoot + "/BB2").isEmpty());
        QVERIFY(!QFile::exists(sRoot + "/_Config.txt"));
    }

    // The folder dialog: the folder it last reported is taken, accepted or
    // not; a folder with blanks stays one argument of the program.
    void folderChoice_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("chosen") << true;
        QTest::newRow("cancelled") << false;
    }
    void folderChoice()
    {
        QFETCH(bool, accept);
        TestAppFolder folder;
        QVERIFY(WriteStandInCalibrationProgram(folder.rootPath()));
        BoxAnswers answers;
        Window_Calibration w;
        Fill(w);
        const QString sChosen = folder.rootPath() + "/Calibration runs/first one";
        QVERIFY(QDir().mkpath(sChosen));
        ChooseFolderWhenAsked(sChosen, accept);
        QTest::mouseClick(w.ui->pushButton_ChangeFolder, Qt::LeftButton);
        QCOMPARE(w.savingFolder(), sChosen);
        QCOMPARE(w.ui->label_SavingLocation_val->text(), sChosen);
        if (!accept)
            return;
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        Feed(w, 0, 10);
        Feed(w, 100, 10);
        QCOMPARE(FilesIn(sChosen), (QStringList{"BB1", "BB2", "_Config.txt"}));
        QTRY_COMPARE(ReadWholeFile(StandInArgumentsPath(folder.rootPath())),
                     "-i\n" + sChosen.toUtf8() + "/_Config.txt\n");
    }

    void openFolder()
    {
        TestAppFolder folder;
        KV_Log log;
        log.setLogDirectory(folder.filePath("Logs"));
        log.createLogFile();
        Window_Calibration w;
        w.SetLog(&log);
        {
            UrlCatcher desktop;
            QTest::mouseClick(w.ui->pushButton_OpenFolder, Qt::LeftButton);
            QCOMPARE(desktop.Urls, QList<QUrl>{QUrl::fromLocalFile(w.savingFolder())});
        }
        QVERIFY(ReadWholeFile(log.filePath()).contains(" : Open Calibration files folder: " + w.savingFolder().toUtf8()));
    }
};

QTEST_MAIN(tst_calibration_window)
#include "tst_calibration_window.moc"
