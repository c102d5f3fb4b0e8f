// GigE save-all at the simulator's fast rate: one frame in flight to the display, whole frames saved.
#include "road_bench.h"

#include "app/app_paths.h"
#include "app/globals.h"

#include <QDir>
#include <QThread>

#include <atomic>

using sim::BoardKind;

class tst_gige_save_all : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void cleanupTestCase() { sim::SetFastMode(false); }

    // While the display slot has not taken a frame, the pipeline thread hands
    // over no other: a second frame in flight would be drawn into the images
    // the display and the saver are still reading.
    void oneFrameInFlightWhileSaving()
    {
        Road road(BoardKind::Dunstel, 2);
        MainWindow& w = *road.Window;
        road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(4);
        road.press();
        QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));

        std::atomic<int> handedOver{0};
        QObject::connect(&w, &MainWindow::ImageReadyToDisplay, &w, [&](cv::Mat, cv::Mat) { ++handedOver; },
                         Qt::DirectConnection);
        int iDuringBlock = -1;
        int iSavedBefore = 0;
        bool bStopped = false;
        QString sFolder;   // named by the proxy once the acquisition has started
        auto* pPoll = new QTimer(&w);
        QObject::connect(pPoll, &QTimer::timeout, &w, [&]() {
            if (w.FrameCounter < 5 || road.ui()->pushButton_Start->text() != "Safe\ndisconnection")
                return;
            pPoll->stop();
            sFolder = ApplicationDirPath() + "/../SavedImages/" + QString::fromUtf8(g_szProxyName);
            QDir().mkpath(sFolder);
            w.SaveAllFramesBmp = true;
            w.SaveAllFramesRaw = false;
            w.NumberFrames = 0;
            w.SaveAllFramesRunning = true;
            iSavedBefore = QDir(sFolder).entryList(QDir::Files).size();
            // The display slot cannot run while the GUI thread sleeps.
            const int iBefore = handedOver;
            const int iFramesBefore = w.FramesReceived;
            QThread::msleep(400);
            iDuringBlock = handedOver - iBefore;
            QVERIFY(w.FramesReceived - iFramesBefore > 3 || w.FrameCounter > 10);   // frames kept coming
            QTimer::singleShot(300, &w, [&]() {
                w.SaveAllFramesRunning = false;
                road.press();
                bStopped = true;
            });
        });
        pPoll->start(10);
        road.press();
        QTRY_VERIFY_WITH_TIMEOUT(bStopped, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 5000);
        QVERIFY2(iDuringBlock >= 0 && iDuringBlock <= 1, qPrintable(QString::number(iDuringBlock)));
        // The series went on once the display took frames again.
        QVERIFY2(QDir(sFolder).entryList(QDir::Files).size() > iSavedBefore, qPrintable(sFolder + " " + QString::number(w.FrameCounter)));
    }
};

QTEST_MAIN(tst_gige_save_all)
#include "tst_gige_save_all.moc"
