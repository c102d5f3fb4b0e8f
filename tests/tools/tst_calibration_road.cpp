// The calibration capture through the main window on each kind of frame path: the raw files are the frames the display path handed over, byte for byte, then the description and the program; a disconnection closes the window.
#include "board/road_bench.h"

#include "calibration_bench.h"
#include "support/build_speed.h"

#include "pipeline/blackbody_calibration.h"
#include "pipeline/raw_frame_receiver.h"
#include "tools/Window_Calibration.h"
#include "ui_MW_ProxyBelmor.h"
#include "ui_MainWindow.h"
#include "ui_Window_Calibration.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// The width x height image of every frame the display path hands to the
// calibration while it captures, in the order handed over.
struct HandedFrames
{
    std::mutex Mutex;
    std::vector<QByteArray> Images;

    void add(const unsigned short* p_pFrame, const FrameGeometry& p_Geometry)
    {
        QByteArray image;
        const char* p = reinterpret_cast<const char*>(p_pFrame);
        for (int row = 0; row < p_Geometry.Height; ++row)
            image.append(p + size_t(row) * size_t(p_Geometry.Pitch), p_Geometry.Width * 2);
        std::lock_guard<std::mutex> lock(Mutex);
        Images.push_back(image);
    }
    size_t count()
    {
        std::lock_guard<std::mutex> lock(Mutex);
        return Images.size();
    }
};

// Each file of the folder, Image0 first, is one of the handed frames, later
// than the one before it; the index of the last is returned (-1: a mismatch).
int MatchInOrder(const QString& p_sFolder, int p_iStep, int p_iCount, const std::vector<QByteArray>& p_Images,
                 int p_iAfter, QString* p_pWhy)
{
    int at = p_iAfter;
    for (int n = 0; n < p_iCount; ++n) {
        const QByteArray file = ReadWholeFile(BlackbodyRawFramePath(p_sFolder, p_iStep, uint32_t(n)));
        int found = -1;
        for (int i = at + 1; i < int(p_Images.size()); ++i) {
            if (p_Images[size_t(i)] == file) {
                found = i;
                break;
            }
        }
        if (found < 0) {
            *p_pWhy = QString("BB%1/Image%2.raw (%3 bytes) is no frame handed over after frame %4 of %5")
                          .arg(p_iStep)
                          .arg(n)
                          .arg(file.size())
                          .arg(at)
                          .arg(p_Images.size());
            return -1;
        }
        at = found;
    }
    return at;
}

// Stands between the frame path and the window's capture: records each frame
// handed over while the capture wants frames, then passes it on.
struct SpyingReceiver : RawFrameReceiver
{
    std::shared_ptr<RawFrameReceiver> Capture;
    HandedFrames* Handed = nullptr;

    bool isCapturing() const override { return Capture->isCapturing(); }
    void receiveRawImage(const uint16_t* p_pFrame, const FrameGeometry& p_Delivered) override
    {
        Handed->add(p_pFrame, p_Delivered);
        Capture->receiveRawImage(p_pFrame, p_Delivered);
    }
};

// Puts the stand-in calibration program in place before the main window
// starts, so that the window offers its calibration action; *p_pWritten
// tells whether it could.
std::function<void(const QString&)> WithStandInProgram(bool* p_pWritten)
{
    return [p_pWritten](const QString& p_sRoot) { *p_pWritten = WriteStandInCalibrationProgram(p_sRoot); };
}

} // namespace

class tst_calibration_road : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(false); }

    void captureWhileStreaming_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("board");
        QTest::addColumn<int>("proxy");
        // The grabber's thread, the GigE pipeline's, the USB3 capture worker's,
        // and the serial-port board, whose frames arrive inside event processing.
        QTest::newRow("Arvex") << 1 << int(sim::BoardKind::Arvex) << 2;
        QTest::newRow("Dunstel") << 4 << int(sim::BoardKind::Dunstel) << 2;
        QTest::newRow("Corvane") << 6 << int(sim::BoardKind::Corvane) << 2;
        QTest::newRow("Eskra") << 5 << int(sim::BoardKind::Eskra) << 5;
    }
    void captureWhileStreaming()
    {
        QFETCH(int, kind);
        QFETCH(int, board);
        QFETCH(int, proxy);
        bool bStandIn = false;
        Road road{sim::BoardKind(board), proxy, WithStandInProgram(&bStandIn)};
        MainWindow& w = *road.Window;
        const QString sRoot = road.Folder.rootPath();
        QVERIFY(bStandIn);
        const QStringList& boxes = road.Recorder.Boxes;
        QVERIFY(road.ui()->action_CablibrationScript->isVisible());

        HandedFrames handed;

        road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(kind);
        if (kind != 5) {
            road.press();
            QVERIFY2(w.Connected, qPrintable(boxes.join('\n')));
        }

        QPointer<Window_Calibration> pWindow;
        QByteArray expectedConfig;
        QString sFolder;
        uint32_t width = 0, height = 0;
        bool bDone = false;
        bool bStarted = false;
        auto* pPoll = new QTimer(&w);
        QObject::connect(pPoll, &QTimer::timeout, &w, [&]() {
            if (!bStarted) {
                if (road.ui()->pushButton_Start->text() != "Safe\ndisconnection" || w.FrameCounter < 3
                    || !road.ui()->action_CablibrationScript->isEnabled())
                    return;
                bStarted = true;
                road.ui()->action_CablibrationScript->trigger();
                pWindow = w.CalibrationWindow;
                if (!pWindow || !w.CalibrationWindowOpen) {
                    bDone = true;
                    return;
                }
                // No capture has started yet: the spy sees every frame the capture is handed.
                auto pSpy = std::make_shared<SpyingReceiver>();
                pSpy->Capture = std::atomic_load(&w.CalibrationCapture);
                pSpy->Handed = &handed;
                std::atomic_store(&w.CalibrationCapture, std::shared_ptr<RawFrameReceiver>(pSpy));
                width = uint32_t(w.FrameWidth.load());
                height = uint32_t(w.FrameHeight.load());
                sFolder = pWindow->savingFolder();
                pWindow->ui->lineEdit_SensorSN->setText("SN 7");
                pWindow->ui->lineEdit_Lens->setText("F/1.0");
                pWindow->ui->spinBox_NumberImage->setValue(10);
                const uint32_t blind = GetCurrent(w.CurrentProxyIndex, ProxyParameterId::BlindColumns);
                auto count = [](uint32_t n) { return n == 15 ? 0u : n; };
                const Ui::MainWindow* u = w.ui;
                QStringList lines{"ProxyBoard:", w.ProxyName, "Sensor S/N:", "SN 7", "Lens:", "F/1.0",
                                  u->label_TINT->text(), QString::number(u->spinBox_TINT->value()),
                                  u->label_ADD02->text(), QString::number(u->spinBox_DAC_A->value()),
                                  u->label_ADD03->text(), QString::number(u->spinBox_DAC_B->value()),
                                  u->label_ADD0C->text(), QString::number(u->spinBox_DAC_C->value()),
                                  u->label_ADD0D->text(), QString::number(u->spinBox_DAC_D->value()),
                                  u->label_CKDIV->text(), QString::number(u->spinBox_CKDIV->value()),
                                  u->checkBox_GMS->text(), QString::number(w.getGMSValue()),
                                  "Image X Size:", QString::number(width), "Image Y Size:", QString::number(height),
                                  "Number of Left Temperature columns:", QString::number(count(blind & 0xF)),
                                  "Number of Right Temperature columns:", QString::number(count((blind >> 4) & 0xF)),
                                  "BlackBody 1 temperature:", "20", "BlackBody 2 temperature:", "35",
                                  "Number of image saved for each BlackBody:", "10", "Files path:", sFolder};
                expectedConfig = (lines.join('\n') + '\n').toUtf8();
                QTest::mouseClick(pWindow->ui->pushButton_Start, Qt::LeftButton);
                return;
            }
            if (!QFile::exists(StandInArgumentsPath(sRoot)) && !BoxTitles(boxes).contains("Error"))
                return;
            pPoll->stop();
            road.press();   // safe disconnection: closes the calibration window
            bDone = true;
        });
        pPoll->start(20);
        road.press();
        QTRY_VERIFY2_WITH_TIMEOUT(bDone,
                                  qPrintable(QString("started %1, window %2, capturing %3, saved %4, handed %5, boxes %6")
                                                 .arg(bStarted)
                                                 .arg(!pWindow.isNull())
                                                 .arg(pWindow && pWindow->isCapturing())
                                                 .arg(pWindow ? pWindow->capture()->savedCount() : 0)
                                                 .arg(handed.count())
                                                 .arg(boxes.join(" / "))),
                                  20000 * BuildSlowdown);
        QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 10000 * BuildSlowdown);
        QVERIFY2(bStarted && !sFolder.isEmpty(), qPrintable(boxes.join('\n')));

        QCOMPARE(BoxTitles(boxes), (QStringList{"Step 1", "Step 2", "Finished"}));
        QCOMPARE(boxes.last(), QString("Finished|The RAW images has been correctly saved"));
        QVERIFY(width > 0 && height > 0);
        QStringList names;
        for (int n = 0; n < 10; ++n)
            names << QString("Image%1.raw").arg(n);
        names.sort();
        for (const char* szSub : {"/BB1", "/BB2"}) {
            QStringList files = QDir(sFolder + szSub).entryList(QDir::Files);
            files.sort();
            QCOMPARE(files, names);
        }
        std::vector<QByteArray> images;
        {
            std::lock_guard<std::mutex> lock(handed.Mutex);
            images = handed.Images;
        }
        QString sWhy;
        const int lastOfFirst = MatchInOrder(sFolder, 1, 10, images, -1, &sWhy);
        QVERIFY2(lastOfFirst >= 0, qPrintable(sWhy));
        QVERIFY2(MatchInOrder(sFolder, 2, 10, images, lastOfFirst, &sWhy) >= 0, qPrintable(sWhy));
        QCOMPARE(images.front().size(), int(width * height * 2));

        QCOMPARE(ReadWholeFile(sFolder + "/_Config.txt"), expectedConfig);
        QCOMPARE(ReadWholeFile(StandInArgumentsPath(sRoot)), "-i\n" + sFolder.toUtf8() + "/_Config.txt\n");

        // The disconnection closed the window, which is then disposed of.
        QVERIFY(!w.CalibrationWindowOpen);
        QVERIFY(!w.CalibrationWindow);
        QTRY_VERIFY(pWindow.isNull());
        QVERIFY(!std::atomic_load(&w.CalibrationCapture));
        QVERIFY(ReadWholeFile(w.Log->filePath()).contains(" : Close Calibration Window\n"));
    }

    // The window made on first use with what the main window holds, brought
    // forward by a second use, and forgotten when closed.
    void lifeCycle()
    {
        bool bStandIn = false;
        Road road{sim::BoardKind::Dunstel, 2, WithStandInProgram(&bStandIn)};
        QVERIFY(bStandIn);
        MainWindow& w = *road.Window;
        road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(4);
        w.Action_CalibrationScript();
        QPointer<Window_Calibration> pFirst = w.CalibrationWindow;
        QVERIFY(pFirst && pFirst->isVisible());
        QVERIFY(w.CalibrationWindowOpen);
        QVERIFY(!pFirst->testAttribute(Qt::WA_QuitOnClose));
        // Opened before any acquisition: no geometry, START stays disabled.
        QCOMPARE(pFirst->ui->label_ImageSize_val->text(), QString("0*0"));
        QVERIFY(!pFirst->ui->pushButton_Start->isEnabled());
        QCOMPARE(pFirst->ui->label_Proxy_val->text(), w.ProxyName);
        QCOMPARE(pFirst->ui->label_TINT_val->text(), QString::number(w.ui->spinBox_TINT->value()));
        QCOMPARE(pFirst->ui->label_GMS_val->text(), QString::number(w.getGMSValue()));
        QCOMPARE(pFirst->ui->label_TINT->text(), w.ui->label_TINT->text());
        // Refresh takes the main window's current values.
        w.ui->spinBox_TINT->setValue(w.ui->spinBox_TINT->value() == 5 ? 6 : 5);
        QTest::mouseClick(pFirst->ui->pushButton_Refresh, Qt::LeftButton);
        QCOMPARE(pFirst->ui->label_TINT_val->text(), QString::number(w.ui->spinBox_TINT->value()));

        w.Action_CalibrationScript();
        QCOMPARE(w.CalibrationWindow.data(), pFirst.data());
        pFirst->close();
        QVERIFY(!w.CalibrationWindowOpen);
        QVERIFY(!w.CalibrationWindow);
        QTRY_VERIFY(pFirst.isNull());
        w.Action_CalibrationScript();
        QPointer<Window_Calibration> pSecond = w.CalibrationWindow;
        QVERIFY(pSecond && pSecond != pFirst);
        // A fresh window: the defaults again.
        QCOMPARE(pSecond->ui->spinBox_NumberImage->value(), 100);
        QCOMPARE(pSecond->savingFolder(), road.Folder.rootPath() + "/CalibrationFile");
        // Left open: the main window's shut-down takes it with it.
    }
};

QTEST_MAIN(tst_calibration_road)
#include "tst_calibration_road.moc"
