// A serial-port board that is not the simulator's, on a pseudo-terminal the operator names in "Kestivo.ini",
// through the main window's one-press connection.
#include "support/build_speed.h"
#include "acquisition_bench.h"

#include "board/acquisition_state.h"
#include "board/eskra_frame_stream.h"
#include "platform/serialports/serial_ports.h"
#include "sim/eskra/eskra_board.h"

#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A board of its own: a pseudo-terminal whose master sends framed 84 x 80 frames every 100 ms
// (or nothing at all) and swallows what the program writes.
class ForeignBoard
{
public:
    explicit ForeignBoard(bool p_bSilent) : m_bSilent(p_bSilent)
    {
        m_iMaster = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_iMaster < 0 || grantpt(m_iMaster) != 0 || unlockpt(m_iMaster) != 0)
            return;
        char szName[128] = {};
        if (ptsname_r(m_iMaster, szName, sizeof szName) != 0)
            return;
        m_sPath = QString::fromLatin1(szName);
        // Held open so the line stays up while the program opens and closes it; raw, no echo.
        m_iSlave = ::open(szName, O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio {};
        if (m_iSlave >= 0 && tcgetattr(m_iSlave, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(m_iSlave, TCSANOW, &tio);
        }
        fcntl(m_iMaster, F_SETFL, fcntl(m_iMaster, F_GETFL) | O_NONBLOCK);
        m_Thread = std::thread([this]() { run(); });
    }
    ~ForeignBoard()
    {
        m_bStop = true;
        if (m_Thread.joinable())
            m_Thread.join();
        if (m_iSlave >= 0)
            ::close(m_iSlave);
        if (m_iMaster >= 0)
            ::close(m_iMaster);
    }
    QString path() const { return m_sPath; }
    int framesSent() const { return m_iFrames.load(); }

private:
    void run()
    {
        std::vector<uint16_t> samples(sim::kEskraPixels);
        for (int i = 0; i < sim::kEskraPixels; ++i)
            samples[size_t(i)] = uint16_t(4000 + (i % sim::kEskraWidth) * 20);
        const std::vector<unsigned char> frame = sim::EncodeEskraFrame(samples.data(), sim::kEskraPixels);
        while (!m_bStop) {
            char buffer[256];
            while (::read(m_iMaster, buffer, sizeof buffer) > 0) {
            }
            if (!m_bSilent) {
                size_t uDone = 0;
                while (uDone < frame.size() && !m_bStop) {
                    const ssize_t n = ::write(m_iMaster, frame.data() + uDone, frame.size() - uDone);
                    if (n > 0)
                        uDone += size_t(n);
                    else
                        std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
                ++m_iFrames;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    bool m_bSilent;
    int m_iMaster = -1;
    int m_iSlave = -1;
    QString m_sPath;
    std::thread m_Thread;
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_iFrames{0};
};

} // namespace

class tst_eskra_foreign_port : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        sim::ShutdownSharedEskraBoard();
        g_EskraReceiver.reset();
    }
    void cleanup() { sim::ShutdownSharedEskraBoard(); }

    // The port named in the settings file is listed first and survives a restart (a new read of the file).
    void namedPortComesFirst()
    {
        TestAppFolder folder;
        QVERIFY(ConfiguredSerialPortName().isEmpty());
        SetConfiguredSerialPortName("/dev/pts/77");
        QCOMPARE(ConfiguredSerialPortName(), QString("pts/77"));
        QCOMPARE(SerialPortSettingsFilePath(), folder.binPath() + "/Kestivo.ini");
        const QStringList names = AvailableSerialPortNames();
        QCOMPARE(names.value(0), QString("pts/77"));
        QCOMPARE(names.count("pts/77"), 1);
        SetConfiguredSerialPortName(QString());
        QVERIFY(ConfiguredSerialPortName().isEmpty());
        QVERIFY(AvailableSerialPortNames().value(0) != "pts/77");
    }

    void streamsThroughTheMainWindow()
    {
        AcquisitionBench bench(5, sim::BoardKind::Eskra, 5);
        sim::SimulationSettings().setBoardPresent(sim::BoardKind::Eskra, false);
        ForeignBoard board(false);
        QVERIFY(!board.path().isEmpty());
        // Written by hand, as the operator would.
        QFile ini(bench.Folder.binPath() + "/Kestivo.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Eskra]\nSerialPort=" + board.path().toLatin1() + "\n");
        ini.close();
        MainWindow& w = bench.w();
        w.Connected = false;
        w.ui->comboBox_SelectDigiBoard->setCurrentIndex(5);
        QCOMPARE(w.DigiBoardKind.load(), BoardKind::Eskra);
        QString rate;
        // The most frames the window counted within one second; the count
        // starts again at each tick, so one look could fall right after one.
        int frames = 0;
        bool bPressScheduled = false;
        // Read two one-second ticks after the first frame: a slow start on a
        // loaded machine does not count in the rate.
        QTimer firstFrame;
        QObject::connect(&firstFrame, &QTimer::timeout, &w, [&]() {
            frames = std::max(frames, w.FrameCounter.load());
            if (frames <= 0 || bPressScheduled)
                return;
            bPressScheduled = true;
            QTimer::singleShot(2300, &w, [&]() {
                firstFrame.stop();
                rate = w.ui->label_Framerate_Acq_Val->text();
                QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
            });
        });
        firstFrame.start(10);
        QTest::mouseClick(w.ui->pushButton_Start, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(bench.idle(), 15000);
        QVERIFY2(bench.log().contains("Serial Port : " + board.path().mid(5)), qPrintable(bench.log()));
        QVERIFY2(bench.Recorder.Boxes.isEmpty(), qPrintable(bench.Recorder.Boxes.join('\n')));
        // The board sends ten frames a second; a one-second figure of several frames was shown.
        const int fps = rate.section(' ', 0, 0).toInt();
        QVERIFY2(fps >= MinimumForBuild(3), qPrintable(rate));
        QVERIFY2(frames >= MinimumForBuild(3), qPrintable(QString::number(frames)));
        QVERIFY(board.framesSent() >= 15);
    }

    // A named port on which nothing ever comes: the watchdog's box at the eleventh silent second.
    void silentNamedPortEndsAtTheWatchdog()
    {
        AcquisitionBench bench(5, sim::BoardKind::Eskra, 5);
        sim::SimulationSettings().setBoardPresent(sim::BoardKind::Eskra, false);
        ForeignBoard board(true);
        SetConfiguredSerialPortName(board.path());
        MainWindow& w = bench.w();
        QTimer::singleShot(50, &w, [&]() {
            w.Timers.OneSecond->stop();
            for (int i = 0; i < 11; ++i) {
                w.FrameCounter = 0;
                w.TimeOut1s();
            }
        });
        w.StartAcquisitionSequence();
        QVERIFY(bench.idle());
        QVERIFY2(bench.log().contains("Serial Port : " + board.path().mid(5)), qPrintable(bench.log()));
        QCOMPARE(bench.Recorder.Boxes, QStringList{"Critical|Eskra is deconnected...\nPlease check connexion"});
    }
};

QTEST_MAIN(tst_eskra_foreign_port)
#include "tst_eskra_foreign_port.moc"
