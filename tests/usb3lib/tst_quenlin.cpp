// The USB3 capture library against the simulated Corvane board: discovery, register link, frames, correction, life cycle.
#include "support/frames_stopped.h"
#include "quenlin_test_support.h"

#include "platform/mediacapture/media_foundation.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "sim/usb3/corvane_board.h"

#include <QProcess>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

using namespace sim;

namespace {

// What the asynchronous frame callback saw.
struct Delivered
{
    std::atomic<int> frames{0};
    std::atomic<unsigned> lastLength{0};
    std::mutex mutex;
    std::vector<uint16_t> lastFrame;
    std::atomic<bool> keepFrame{false};
};
Delivered g_Delivered;

void OnFrame(unsigned short* p_pPixels, unsigned int* p_pLength)
{
    g_Delivered.lastLength.store(*p_pLength);
    if (g_Delivered.keepFrame.load()) {
        std::lock_guard<std::mutex> lock(g_Delivered.mutex);
        g_Delivered.lastFrame.assign(p_pPixels, p_pPixels + *p_pLength / 2);
    }
    *p_pLength = 0;   // a change must not reach the library
    ++g_Delivered.frames;
}

void OnDropped() {}

// The application closes the capture from its frame callback when its main
// window is going away: the library is then torn down on the capture thread.
std::atomic<int> g_iDeinitFromCallback{-2};
void OnFrameDeinit(unsigned short*, unsigned int*)
{
    ++g_Delivered.frames;
    int iExpected = -2;
    if (g_iDeinitFromCallback.compare_exchange_strong(iExpected, -3))
        g_iDeinitFromCallback.store(deinitCapture(1));
}

std::vector<uint16_t> LastFrame()
{
    std::lock_guard<std::mutex> lock(g_Delivered.mutex);
    return g_Delivered.lastFrame;
}

QList<QByteArray> BoardCommandWrites(int p_iBoard, int p_iRegister, int p_iValue)
{
    QList<QByteArray> list;
    for (const auto& w : {std::pair<int, int>{51, p_iBoard}, {52, p_iRegister}, {53, p_iValue}, {50, 0}}) {
        list << "8," + QByteArray::number(w.first) << "0," + QByteArray::number(w.second) << "1,1";
    }
    return list;
}

// The sensor's first frame, as the board renders it before sending it high byte first.
std::vector<uint16_t> ExpectedFirstFrame(int p_iWidth, int p_iHeight)
{
    std::vector<uint16_t> frame(static_cast<size_t>(p_iWidth) * static_cast<size_t>(p_iHeight));
    SensorFor(BoardKind::Corvane)->renderFrame(0, frame.data(), p_iWidth, p_iHeight, p_iWidth);
    return frame;
}

struct Geometry
{
    int width = 0, height = 0, pitch = 0;
};

Geometry OpenGeometry()
{
    Geometry g;
    getWidth(&g.width);
    getHeight(&g.height);
    getPitch(&g.pitch);
    return g;
}

} // namespace

class TestQuenlin : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_pFolder = std::make_unique<TestAppFolder>();
        ResetSimulation();
        ResetCaptureDevices();
        SetFastMode(false);
        ResetLibrarySettings();
        g_Delivered.frames = 0;
        g_Delivered.keepFrame = false;
    }
    void cleanup()
    {
        CloseCapture(m_bRecoveryPossible);
        m_bRecoveryPossible = false;
        ResetLibrarySettings();
        ClearAllFaults();
        ResetCaptureDevices();
        // Every reader and device the library opened is gone again.
        QTRY_COMPARE(LiveSourceReadersForTests(), 0);
        m_pFolder.reset();
    }

    void versionAndSettingsExports()
    {
        QCOMPARE(QByteArray(getLibraryVersion()), QByteArray("Vantrel Corvane Library v2.2"));
        QCOMPARE(openSerialCOM(), 0);
        QCOMPARE(setVerbose(0x101), 1);
        QCOMPARE(setWindowsVersion(0xC0), 0xC0);
        QCOMPARE(setProcessingBoardAvailable(0x201), 0x201);
        QCOMPARE(int(isProcessingBoardAvailable()), 1);
        QCOMPARE(setInvBWCorrection(0x100), 0x100);
        QCOMPARE(int(getInvBWStatus()), 0);   // with the board present: not readable
        setProcessingBoardAvailable(0);
        QCOMPARE(int(getInvBWStatus()), 0);   // the low byte of 0x100
        QCOMPARE(getNumberOfPixels(), 0);
        QCOMPARE(getFPNReferenceImage(), 0);
    }

    // The library exports its C interface under the plain names and nothing else.
    void exportsExactlyTheCInterface()
    {
        const QStringList expected = {
            "_GetParameter", "_GetParameterCustom", "_SetParameter", "deinitCapture", "getContrast",
            "getDeviceName", "getFPNReferenceImage", "getFPSNumber", "getHeight", "getInvBWStatus",
            "getLibraryVersion", "getLuminance", "getNUCStatus", "getNumberOfPixels", "getPitch",
            "getPixelSize", "getProxyNumber", "getStreamBack", "getSyncFrame", "getValidationLatch",
            "getWidth", "initAsyncCapture", "initSyncCapture", "isInitialized", "isProcessingBoardAvailable",
            "openSerialCOM", "processInvBW", "processNUC", "reinitCapture", "resetFPNReferenceImage",
            "setBadPixel", "setContrast", "setDisabledNUC", "setEnabledNUC", "setFPNReferenceImage",
            "setInvBWCorrection", "setLuminance", "setParameter", "setParameterToBoard",
            "setProcessingBoardAvailable", "setVerbose", "setWindowsVersion", "startCapture", "stopCapture",
            "takeFPNReference"};
        QCOMPARE(expected.size(), 45);
        QProcess nm;
        nm.start("nm", {"-D", "--defined-only", QStringLiteral(QUENLIN_LIBRARY_FILE)});
        QVERIFY(nm.waitForFinished(20000));
        QCOMPARE(nm.exitCode(), 0);
        QStringList names;
        for (const QByteArray& line : nm.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() == 3)
                names << QString::fromLatin1(fields[2]);
        }
        names.sort();
        QCOMPARE(names, expected);
    }

    // What loading the library brings into a process: the video-capture
    // stand-in and the simulated USB3 board it stands on, and none of the
    // widgets, serial ports, other stand-ins or the parameter table.
    void linksOnlyWhatItNeeds_data()
    {
        QTest::addColumn<QString>("library");   // file name up to ".so"
        QTest::addColumn<bool>("loaded");

        QTest::newRow("video-capture stand-in") << "libkestivo_mediacapture" << true;
        QTest::newRow("simulated USB3 board") << "libkestivo_sim_usb3" << true;
        QTest::newRow("Qt Core") << "libQt5Core" << true;
        QTest::newRow("Qt Widgets") << "libQt5Widgets" << false;
        QTest::newRow("Qt Gui") << "libQt5Gui" << false;
        QTest::newRow("Qt SerialPort") << "libQt5SerialPort" << false;
        QTest::newRow("parameter table") << "libkestivo_params" << false;
        QTest::newRow("other stand-ins") << "libkestivo_platform" << false;
        QTest::newRow("other simulated boards") << "libkestivo_sim" << false;
    }
    void linksOnlyWhatItNeeds()
    {
        QFETCH(QString, library);
        QFETCH(bool, loaded);
        QProcess ldd;
        ldd.start("ldd", {QStringLiteral(QUENLIN_LIBRARY_FILE)});
        QVERIFY(ldd.waitForFinished(20000));
        QCOMPARE(ldd.exitCode(), 0);
        QStringList names;   // every library the loader resolves, whoever needs it
        for (const QByteArray& line : ldd.readAllStandardOutput().split('\n')) {
            const QByteArray name = line.simplified().split(' ').value(0);
            QVERIFY2(!line.contains("not found"), line.constData());
            if (!name.isEmpty())
                names << QString::fromLatin1(name).section('/', -1);
        }
        const bool found = std::any_of(names.begin(), names.end(), [&library](const QString& p_Name) {
            return p_Name.startsWith(library + ".so");
        });
        QVERIFY2(found == loaded, qPrintable(names.join(' ')));
    }

    void discovery_data()
    {
        QTest::addColumn<QString>("otherDevice");   // empty: none
        QTest::addColumn<bool>("otherFirst");
        QTest::addColumn<bool>("boardListed");
        QTest::addColumn<QByteArray>("deviceName");
        QTest::addColumn<QByteArray>("analyzed");   // the cut names, in order
        QTest::addColumn<bool>("fallback");

        QTest::newRow("board alone") << QString() << false << true << QByteArray(kCorvaneFriendlyName)
                                     << QByteArray("Vantrel_Corvane") << false;
        QTest::newRow("webcam listed first") << "Integrated Webcam HD" << true << true
                                             << QByteArray(kCorvaneFriendlyName)
                                             << QByteArray("Integrated Webc|Vantrel_Corvane") << false;
        QTest::newRow("prefix with other case") << "vantrel_corvane clone" << true << true
                                                << QByteArray(kCorvaneFriendlyName)
                                                << QByteArray("vantrel_corvane|Vantrel_Corvane") << false;
        QTest::newRow("no board: first device") << "Cam" << true << false << QByteArray()
                                                << QByteArray("Cam") << true;
    }
    void discovery()
    {
        QFETCH(QString, otherDevice);
        QFETCH(bool, otherFirst);
        QFETCH(bool, boardListed);
        QFETCH(QByteArray, deviceName);
        QFETCH(QByteArray, analyzed);
        QFETCH(bool, fallback);
        if (!otherDevice.isEmpty())
            AddCaptureDevice(otherDevice, FrameGeometry{64, 32}, otherFirst);
        if (!boardListed)
            SimulationSettings().setBoardPresent(BoardKind::Corvane, false);

        StreamCapture err;
        QCOMPARE(initSyncCapture(0), 0);
        QCOMPARE(isInitialized(), 1);
        QCOMPARE(QByteArray(getDeviceName()), deviceName);
        const QByteArray text = err.text();
        QByteArray expected;
        for (const QByteArray& name : analyzed.split('|'))
            expected += "Camera's name analyze: " + name + "\n";
        if (!fallback)
            expected += "Found camera : " + QByteArray(kCorvaneFriendlyName) + "\n";
        else
            expected += "Couldn't find board automatically. Setting it to the default one.\n";
        QVERIFY2(text.startsWith(expected), text.constData());
        QVERIFY(text.contains("Init succeedded\nRefresh frame Dimensions.\n"));

        const Geometry g = OpenGeometry();
        QCOMPARE(g.width, boardListed ? 640 : 64);
        QCOMPARE(g.height, boardListed ? 480 : 32);
        QCOMPARE(g.pitch, g.width * 2);
        int iPixelSize = 0;
        QCOMPARE(getPixelSize(&iPixelSize), 0);
        QCOMPARE(iPixelSize, 2);
        QCOMPARE(getNumberOfPixels(), g.width * g.height);
    }

    // A matching device that fails to open is retried as the last match; its name is not kept then.
    void discoveryRetriesAFailedActivation()
    {
        InjectFault(BoardKind::Corvane, Fault::ActivationFailure, 1);
        StreamCapture err;
        QCOMPARE(initSyncCapture(0), 0);
        QCOMPARE(QByteArray(getDeviceName()), QByteArray());
        const QByteArray text = err.text();
        QVERIFY(text.startsWith("Camera's name analyze: Vantrel_Corvane\nInit succeedded\n"));
        QVERIFY(!text.contains("Couldn't find board automatically"));
    }

    // With the verbose switch off only the diagnostics that are always written remain.
    void verboseOffKeepsTheAlwaysWrittenDiagnostics()
    {
        setVerbose(0);
        StreamCapture err;
        QCOMPARE(initSyncCapture(0), 0);
        QCOMPARE(deinitCapture(1), 0);
        QCOMPARE(deinitCapture(1), -1);
        QCOMPARE(setBadPixel(0, 0, 0), -4);
        QCOMPARE(err.text(), QByteArray("Init succeedded\nRefresh frame Dimensions.\n"
                                        "Can't send a BadPixel to the Processing Board.\n"));
    }

    void discoveryWithoutAnyDevice()
    {
        SimulationSettings().setBoardPresent(BoardKind::Corvane, false);
        StreamCapture err;
        QCOMPARE(initSyncCapture(0), QUENLIN_MF_E_NOT_FOUND);
        QCOMPARE(isInitialized(), 0);
        QVERIFY(err.text().contains("Couldn't init device. Is your device well plugged ? ABORT INIT\n"));
        int iNumber = 7;
        QCOMPARE(getProxyNumber(&iNumber), QUENLIN_MF_E_NOT_FOUND);
        QCOMPARE(iNumber, -255);
        QVERIFY(err.text().contains("Get Proxy Number\nCouldn't init device. Is your device well plugged ?\n"));
        QCOMPARE(LiveMediaSourcesForTests(), 0);
    }

    void boardNumbersAreRangeDefaults()
    {
        int iProxy = -1, iFps = -1;
        QCOMPARE(getProxyNumber(&iProxy), 0);
        QCOMPARE(iProxy, CorvaneBoard::instance().proxyNumber());
        QCOMPARE(getFPSNumber(&iFps), 0);
        QCOMPARE(iFps, 30);
        // During a capture the open device answers; it is not activated twice.
        QCOMPARE(initSyncCapture(0), 0);
        const int iSources = LiveMediaSourcesForTests();
        QCOMPARE(getFPSNumber(&iFps), 0);
        QCOMPARE(iFps, 30);
        QCOMPARE(LiveMediaSourcesForTests(), iSources);
    }

    void boardCommandPropertySequence()
    {
        QCOMPARE(initSyncCapture(0), 0);
        ClearRecordedMessages();
        QCOMPARE(setParameterToBoard(2, 6, 1), 0);
        const QList<QByteArray> expected = {"8,51", "0,2", "1,1", "8,52", "0,6", "1,1",
                                            "8,53", "0,1", "1,1", "8,50", "0,0", "1,1"};
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "property"), expected);
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "board"), QList<QByteArray>{"2,6,1"});
    }

    void boardCommandStopsAtFirstFailure_data()
    {
        QTest::addColumn<int>("passing");
        for (int i : {0, 1, 2, 3, 5, 11})
            QTest::newRow(qPrintable(QString("after %1 sets").arg(i))) << i;
    }
    void boardCommandStopsAtFirstFailure()
    {
        QFETCH(int, passing);
        QCOMPARE(initSyncCapture(0), 0);
        ClearRecordedMessages();
        InjectFault(BoardKind::Corvane, Fault::WriteFailure, 1, passing);
        StreamCapture err;
        const int hr = setParameterToBoard(2, 6, 1);
        QVERIFY(hr < 0);
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "property"), BoardCommandWrites(2, 6, 1).mid(0, passing));
        QVERIFY(RecordedBytes(BoardKind::Corvane, "board").isEmpty());
        QVERIFY(err.text().endsWith("Could not set parameter.\nCould not send command to specific board.\n"));
    }

    void registerWriteAndLatch()
    {
        // Outside a capture the write is refused.
        QCOMPARE(setParameter(0, 100), QUENLIN_E_FAIL);
        QCOMPARE(setParameterToBoard(2, 8, 1), QUENLIN_E_FAIL);
        QCOMPARE(initSyncCapture(0), 0);
        CorvaneBoard::instance().setLatchClearReads(2);
        ClearRecordedMessages();
        QCOMPARE(setParameter(3, 1234), 0);
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "register"), QList<QByteArray>{"3=1234"});
        int iLatch = -1;
        QCOMPARE(getValidationLatch(&iLatch), 0);
        QCOMPARE(iLatch, 1);
        QCOMPARE(getValidationLatch(&iLatch), 0);
        QCOMPARE(iLatch, 1);
        QCOMPARE(getValidationLatch(&iLatch), 0);
        QCOMPARE(iLatch, 0);
        int iValue = 0;
        QCOMPARE(_GetParameter(&iValue), 0);
        QCOMPARE(iValue, 1234);
        QCOMPARE(_GetParameterCustom(8, &iValue), 0);
        QCOMPARE(iValue, 3);
        QCOMPARE(_GetParameterCustom(5, &iValue), static_cast<int>(E_PROP_ID_UNSUPPORTED));
        // The direct write works on the activated device, open or not.
        QCOMPARE(deinitCapture(1), 0);
        QCOMPARE(_SetParameter(4, 77), QUENLIN_E_FAIL);   // torn down: no device any more
        int iNumber = 0;
        QCOMPARE(getProxyNumber(&iNumber), 0);   // activates the board
        QCOMPARE(_SetParameter(4, 77), 0);
        QCOMPARE(CorvaneBoard::instance().registerValue(4), 77);
    }

    // Without a register port nothing is transferred, and that is a failure.
    void registerOperationsWithoutPortFail()
    {
        SimulationSettings().setBoardPresent(BoardKind::Corvane, false);
        int iValue = 5, iLatch = 5;
        // No device (or, after an earlier discovery, one that went away).
        QVERIFY(_SetParameter(1, 2) < 0);
        QVERIFY(_GetParameter(&iValue) < 0);
        QVERIFY(getValidationLatch(&iLatch) < 0);
        QCOMPARE(iValue, 5);
        QCOMPARE(iLatch, 5);
        // A capture device without the register port (the fallback device).
        AddCaptureDevice("Webcam", FrameGeometry{32, 16}, true);
        QCOMPARE(initSyncCapture(0), 0);
        QCOMPARE(setParameter(1, 2), QUENLIN_E_FAIL);
        QCOMPARE(_SetParameter(1, 2), QUENLIN_E_FAIL);
        QCOMPARE(_GetParameterCustom(0, &iValue), QUENLIN_E_FAIL);
        QCOMPARE(getValidationLatch(&iLatch), QUENLIN_E_FAIL);
        QCOMPARE(setParameterToBoard(2, 6, 0), QUENLIN_E_FAIL);
        int iNumber = 0;
        QVERIFY(getProxyNumber(&iNumber) < 0);
        QCOMPARE(iNumber, -255);
    }

    void synchronousFrameIsTheBoardsFrame()
    {
        QCOMPARE(initSyncCapture(0), 0);
        const Geometry g = OpenGeometry();
        std::vector<uint16_t> frame(static_cast<size_t>(g.height * g.pitch / 2), 0);
        unsigned int uLength = 0;
        QCOMPARE(getSyncFrame(frame.data(), &uLength), 0);
        QCOMPARE(uLength, unsigned(g.height * g.pitch));
        QVERIFY(frame == ExpectedFirstFrame(g.width, g.height));
        QCOMPARE(getSyncFrame(nullptr, &uLength), -1);
    }

    void bigEndianSamples_data()
    {
        QTest::addColumn<QByteArray>("sample");
        QTest::addColumn<QVector<int>>("pixels");
        QTest::newRow("12 34") << QByteArray("\x12\x34", 2) << QVector<int>{0x1234};
        QTest::newRow("two pixels") << QByteArray("\x00\xFF\xFF\x00", 4) << QVector<int>{0x00FF, 0xFF00};
        QTest::newRow("odd length") << QByteArray("\x12\x34\xAB\xCD\xEF", 5) << QVector<int>{0x1234, 0xABCD};
    }
    void bigEndianSamples()
    {
        QFETCH(QByteArray, sample);
        QFETCH(QVector<int>, pixels);
        SimulationSettings().setBoardPresent(BoardKind::Corvane, false);
        AddCaptureDeviceWithSample("Vantrel_Corvane test", FrameGeometry{4, 1},
                                   std::vector<uint8_t>(sample.begin(), sample.end()), true);

        // Synchronous read.
        QCOMPARE(initSyncCapture(0), 0);
        std::vector<uint16_t> frame(4, 0xEEEE);
        unsigned int uLength = 0;
        QCOMPARE(getSyncFrame(frame.data(), &uLength), 0);
        QCOMPARE(uLength, unsigned(sample.size()));
        for (int i = 0; i < pixels.size(); ++i)
            QCOMPARE(int(frame[size_t(i)]), pixels[i]);
        QCOMPARE(int(frame[size_t(pixels.size())]), 0xEEEE);   // nothing past length / 2
        QCOMPARE(deinitCapture(1), 0);

        // Asynchronous delivery.
        g_Delivered.keepFrame = true;
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QVERIFY(startCapture() >= 0);
        QTRY_VERIFY(g_Delivered.frames.load() >= 2);
        QCOMPARE(g_Delivered.lastLength.load(), unsigned(sample.size()));
        const std::vector<uint16_t> delivered = LastFrame();
        QCOMPARE(int(delivered.size()), pixels.size());
        for (int i = 0; i < pixels.size(); ++i)
            QCOMPARE(int(delivered[size_t(i)]), pixels[i]);
    }

    // A sample longer than the announced frame never overruns the caller's buffer.
    void synchronousReadIsCappedToTheFrame()
    {
        SimulationSettings().setBoardPresent(BoardKind::Corvane, false);
        AddCaptureDeviceWithSample("Vantrel_Corvane test", FrameGeometry{2, 1},
                                   std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}, true);
        QCOMPARE(initSyncCapture(0), 0);
        std::vector<uint16_t> frame(2, 0);   // the frame the capture announces
        unsigned int uLength = 0;
        QCOMPARE(getSyncFrame(frame.data(), &uLength), 0);
        QCOMPARE(uLength, 4u);
        QCOMPARE(int(frame[0]), 0x0102);
        QCOMPARE(int(frame[1]), 0x0304);
        // The FPN copy and the NUC work on the reference's size as well.
        QCOMPARE(deinitCapture(1), 0);
        g_Delivered.keepFrame = true;
        setEnabledNUC();
        takeFPNReference();
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QVERIFY(startCapture() >= 0);
        QTRY_VERIFY(g_Delivered.frames.load() >= 2);
        const std::vector<uint16_t> delivered = LastFrame();
        QCOMPARE(int(delivered.size()), 4);
        QCOMPARE(int(delivered[0]), 0);   // corrected against itself
        QCOMPARE(int(delivered[1]), 0);
        QCOMPARE(int(delivered[2]), 0x0506);   // beyond the reference: untouched
        QCOMPARE(int(delivered[3]), 0x0708);
    }

    // The length a synchronous read reports never covers more than the frame
    // it wrote: an odd byte beyond a whole frame is not counted.
    void synchronousLengthStaysWithinTheFrame_data()
    {
        QTest::addColumn<int>("sampleBytes");
        QTest::addColumn<int>("reportedBytes");
        QTest::newRow("odd, shorter") << 3 << 3;
        QTest::newRow("whole frame") << 4 << 4;
        QTest::newRow("frame and one byte") << 5 << 4;
        QTest::newRow("longer, odd") << 9 << 4;
    }
    void synchronousLengthStaysWithinTheFrame()
    {
        QFETCH(int, sampleBytes);
        QFETCH(int, reportedBytes);
        SimulationSettings().setBoardPresent(BoardKind::Corvane, false);
        std::vector<uint8_t> sample(static_cast<size_t>(sampleBytes));
        for (size_t i = 0; i < sample.size(); ++i)
            sample[i] = static_cast<uint8_t>(i + 1);
        AddCaptureDeviceWithSample("Vantrel_Corvane test", FrameGeometry{2, 1}, sample, true);
        QCOMPARE(initSyncCapture(0), 0);
        std::vector<uint16_t> frame(3, 0xEEEE);   // the frame of 2 pixels and a guard
        unsigned int uLength = 0;
        QCOMPARE(getSyncFrame(frame.data(), &uLength), 0);
        QCOMPARE(int(uLength), reportedBytes);
        QCOMPARE(int(frame[0]), 0x0102);
        QCOMPARE(int(frame[2]), 0xEEEE);
    }

    void emptyReadsFail()
    {
        QCOMPARE(initSyncCapture(0), 0);
        InjectFault(BoardKind::Corvane, Fault::FramesStop);
        std::vector<uint16_t> frame(640 * 480, 0);
        unsigned int uLength = 12345;
        StreamCapture err;
        QCOMPARE(getSyncFrame(frame.data(), &uLength), QUENLIN_E_FAIL);
        QCOMPARE(uLength, 12345u);
        QVERIFY(err.text().contains("Couldn't read sample from source reader.\n"));
    }

    void softwareCorrectionClamps_data()
    {
        QTest::addColumn<bool>("luminance");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stored");
        QTest::newRow("luminance above") << true << 200000 << 131071;
        QTest::newRow("luminance below") << true << -200000 << -131072;
        QTest::newRow("luminance at max") << true << 131071 << 131071;
        QTest::newRow("luminance inside") << true << -5 << -5;
        QTest::newRow("contrast above") << false << 300 << 256;
        QTest::newRow("contrast below") << false << -5 << 0;
        QTest::newRow("contrast inside") << false << 17 << 17;
    }
    void softwareCorrectionClamps()
    {
        QFETCH(bool, luminance);
        QFETCH(int, value);
        QFETCH(int, stored);
        QCOMPARE(luminance ? setLuminance(value) : setContrast(value), 0);
        QCOMPARE(luminance ? getLuminance() : getContrast(), stored);
    }

    void softwareNucAndInversion_data()
    {
        QTest::addColumn<int>("gain");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QVector<int>>("reference");
        QTest::addColumn<QVector<int>>("pixels");
        QTest::addColumn<QVector<int>>("corrected");
        QTest::newRow("gain 1") << 1 << 0 << QVector<int>{40, 40, 0} << QVector<int>{100, 10, 65535}
                                << QVector<int>{60, 0, 65535};
        QTest::newRow("gain 256") << 256 << 0 << QVector<int>{0, 0, 0, 0} << QVector<int>{255, 256, 300, 65535}
                                  << QVector<int>{65280, 65535, 65535, 65535};
        QTest::newRow("offset") << 2 << -10 << QVector<int>{5, 5, 5} << QVector<int>{20, 15, 10}
                                << QVector<int>{10, 0, 0};
        QTest::newRow("gain 0") << 0 << 100 << QVector<int>{0, 0} << QVector<int>{5, 60000}
                                << QVector<int>{0, 0};
    }
    void softwareNucAndInversion()
    {
        QFETCH(int, gain);
        QFETCH(int, offset);
        QFETCH(QVector<int>, reference);
        QFETCH(QVector<int>, pixels);
        QFETCH(QVector<int>, corrected);
        QCOMPARE(initSyncCapture(0), 0);   // gives the reference its frame size
        setContrast(gain);
        setLuminance(offset);
        const std::vector<uint16_t> ref(reference.begin(), reference.end());
        QVERIFY(setFPNReferenceImage(ref.data(), int(ref.size())) != nullptr);
        QCOMPARE(setFPNReferenceImage(ref.data(), 0), static_cast<unsigned short*>(nullptr));
        std::vector<uint16_t> px(pixels.begin(), pixels.end());
        QCOMPARE(processNUC(px.data(), int(px.size())), 0);
        QCOMPARE(QVector<int>(px.begin(), px.end()), corrected);

        std::vector<uint16_t> inv(px);
        QCOMPARE(processInvBW(inv.data(), unsigned(inv.size())), unsigned(inv.size()));
        for (size_t i = 0; i < px.size(); ++i)
            QCOMPARE(int(inv[i]), 65535 - int(px[i]));
        QCOMPARE(processInvBW(inv.data(), 0), 0u);

        // With the Processing Board declared, the software NUC stays off.
        setProcessingBoardAvailable(1);
        std::vector<uint16_t> untouched(pixels.begin(), pixels.end());
        processNUC(untouched.data(), int(untouched.size()));
        QCOMPARE(QVector<int>(untouched.begin(), untouched.end()), pixels);
    }

    void referenceCopiesAreCappedToTheFrame()
    {
        SimulationSettings().setBoardPresent(BoardKind::Corvane, false);
        AddCaptureDevice("Small", FrameGeometry{4, 2}, true);
        QCOMPARE(initSyncCapture(0), 0);
        std::vector<uint16_t> big(100, 7);
        unsigned short* pEnd = setFPNReferenceImage(big.data(), int(big.size()));
        QVERIFY(pEnd != nullptr);
        // NUC over more pixels than the reference holds leaves the rest alone.
        std::vector<uint16_t> px(100, 10);
        processNUC(px.data(), int(px.size()));
        for (size_t i = 0; i < px.size(); ++i)
            QCOMPARE(int(px[i]), i < 8 ? 3 : 10);
        QCOMPARE(resetFPNReferenceImage(), 0);
        processNUC(px.data(), 8);
        QCOMPARE(int(px[0]), 3);
        QCOMPARE(deinitCapture(1), 0);
        QCOMPARE(resetFPNReferenceImage(), QUENLIN_E_FAIL);
    }

    // Frame order: the reference copy, then NUC, then inversion.
    void deliveredFramesAreCorrected_data()
    {
        QTest::addColumn<bool>("nuc");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<int>("firstPixel");   // negative: the board's pixel inverted
        QTest::newRow("reference with NUC") << true << false << 0;
        QTest::newRow("reference with NUC and inversion") << true << true << 65535;
        QTest::newRow("inversion only") << false << true << -2;
    }
    void deliveredFramesAreCorrected()
    {
        QFETCH(bool, nuc);
        QFETCH(bool, invert);
        QFETCH(int, firstPixel);
        QCOMPARE(initSyncCapture(0), 0);
        const Geometry g = OpenGeometry();
        if (nuc)
            setEnabledNUC();
        setInvBWCorrection(invert ? 1 : 0);
        QCOMPARE(takeFPNReference(), 0);
        std::vector<uint16_t> frame(static_cast<size_t>(g.height * g.pitch / 2));
        unsigned int uLength = 0;
        QCOMPARE(getSyncFrame(frame.data(), &uLength), 0);
        const std::vector<uint16_t> raw = ExpectedFirstFrame(g.width, g.height);
        for (size_t i : {size_t(0), size_t(1), frame.size() / 2, frame.size() - 1}) {
            const int expected = firstPixel >= 0 ? firstPixel : 65535 - raw[i];
            QCOMPARE(int(frame[i]), expected);
        }
        QCOMPARE(int(getNUCStatus()), nuc ? 1 : 0);
        QCOMPARE(int(getInvBWStatus()), invert ? 1 : 0);
    }

    // A whole frame of several thousand pixels (blocks of the frame path and a
    // remainder), every pixel against the per-pixel arithmetic: byte order,
    // then NUC against a reference of varied values, then inversion, on the
    // synchronous read and on the asynchronous delivery.
    void wholeFramesMatchThePerPixelArithmetic_data()
    {
        QTest::addColumn<bool>("nuc");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<int>("gain");
        QTest::addColumn<int>("offset");
        QTest::newRow("conversion only") << false << false << 1 << 0;
        QTest::newRow("NUC") << true << false << 3 << -700;
        QTest::newRow("NUC and inversion") << true << true << 1 << 250;
        QTest::newRow("inversion") << false << true << 1 << 0;
    }
    void wholeFramesMatchThePerPixelArithmetic()
    {
        QFETCH(bool, nuc);
        QFETCH(bool, invert);
        QFETCH(int, gain);
        QFETCH(int, offset);
        constexpr int kWidth = 97, kHeight = 131;   // 12,707 pixels
        constexpr size_t kPixels = size_t(kWidth) * kHeight;
        std::vector<uint8_t> bytes(kPixels * 2);
        std::vector<uint16_t> reference(kPixels);
        uint32_t rng = 0x1234567u;
        for (size_t i = 0; i < kPixels; ++i) {
            rng = rng * 1664525u + 1013904223u;
            bytes[2 * i] = uint8_t(rng >> 24);
            bytes[2 * i + 1] = uint8_t(rng >> 16);
            reference[i] = uint16_t(rng >> 3);
        }
        std::vector<uint16_t> expected(kPixels);
        for (size_t i = 0; i < kPixels; ++i) {
            int32_t v = bytes[2 * i] * 256 + bytes[2 * i + 1];
            if (nuc)
                v = std::clamp((v - int32_t(reference[i]) + offset) * gain, 0, 65535);
            if (invert)
                v = 65535 - v;
            expected[i] = uint16_t(v);
        }
        SimulationSettings().setBoardPresent(BoardKind::Corvane, false);
        AddCaptureDeviceWithSample("Vantrel_Corvane test", FrameGeometry{kWidth, kHeight}, bytes, true);
        auto configure = [&] {
            setContrast(gain);
            setLuminance(offset);
            QVERIFY(setFPNReferenceImage(reference.data(), int(kPixels)) != nullptr);
            if (nuc)
                setEnabledNUC();
            else
                setDisabledNUC();
            setInvBWCorrection(invert ? 1 : 0);
        };

        QCOMPARE(initSyncCapture(0), 0);
        configure();
        std::vector<uint16_t> frame(kPixels);
        unsigned int uLength = 0;
        QCOMPARE(getSyncFrame(frame.data(), &uLength), 0);
        QCOMPARE(uLength, unsigned(kPixels * 2));
        QVERIFY(frame == expected);
        QCOMPARE(deinitCapture(1), 0);

        g_Delivered.keepFrame = true;
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QVERIFY(startCapture() >= 0);
        // The first sample of a capture renews the reference buffer: the
        // reference is set once the stream runs.
        QTRY_VERIFY(g_Delivered.frames.load() >= 1);
        configure();
        const int iConfigured = g_Delivered.frames.load();
        QTRY_VERIFY(g_Delivered.frames.load() >= iConfigured + 2);
        QVERIFY(LastFrame() == expected);

        // A reference taken from a delivered frame is the converted frame
        // itself, before NUC: with NUC on, that frame and the next ones read
        // the offset alone (times the gain), and inverted when asked.
        if (nuc) {
            QCOMPARE(takeFPNReference(), 0);
            const int iTaken = g_Delivered.frames.load();
            QTRY_VERIFY(g_Delivered.frames.load() >= iTaken + 2);
            const uint16_t flat = uint16_t(std::clamp(offset * gain, 0, 65535));
            for (uint16_t v : LastFrame())
                QCOMPARE(int(v), int(invert ? 65535 - flat : flat));
        }
    }

    void processingBoardCommands()
    {
        setProcessingBoardAvailable(1);
        // Closed capture: the commands fail, the reference request stands.
        QCOMPARE(takeFPNReference(), QUENLIN_E_FAIL);
        QCOMPARE(initSyncCapture(0), 0);
        ClearRecordedMessages();
        QCOMPARE(setLuminance(1234), 0);
        QCOMPARE(setContrast(99), 0);
        QCOMPARE(setEnabledNUC(), 0);
        QCOMPARE(setDisabledNUC(), 0);
        QCOMPARE(takeFPNReference(), 0);
        StreamCapture err;
        QCOMPARE(getLuminance(), 0);
        QCOMPARE(getContrast(), 0);
        QCOMPARE(int(getNUCStatus()), 0);
        QCOMPARE(resetFPNReferenceImage(), 0);
        QCOMPARE(err.text(), QByteArray("Can't read value from the Processing Board.\n"
                                        "Can't read value from the Processing Board.\n"
                                        "Can't read value from the Processing Board.\n"
                                        "Can't reset FPN Reference image on the Processing Board.\n"));
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "board"),
                 (QList<QByteArray>{"2,8,1234", "2,7,99", "2,6,0", "2,6,1", "15,1,0"}));
        // The software values were not touched by the board commands.
        setProcessingBoardAvailable(0);
        QCOMPARE(getLuminance(), 0);
        QCOMPARE(getContrast(), 1);
    }

    void badPixelResults_data()
    {
        QTest::addColumn<bool>("board");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("failingSet");   // -1: none
        QTest::addColumn<int>("result");
        QTest::newRow("no board") << false << true << 0 << 0 << 0 << -1 << -4;
        QTest::newRow("index 4096") << true << true << 4096 << 0 << 0 << -1 << -2;
        QTest::newRow("column = width") << true << true << 0 << 640 << 0 << -1 << -1;
        QTest::newRow("line = height") << true << true << 0 << 0 << 480 << -1 << -1;
        QTest::newRow("bad coordinates before bad index") << true << true << 5000 << 640 << 0 << -1 << -1;
        QTest::newRow("stored") << true << true << 4095 << 639 << 479 << -1 << 0;
        QTest::newRow("index write fails") << true << true << 1 << 2 << 3 << 0 << 0;
        QTest::newRow("line write fails") << true << true << 1 << 2 << 3 << 24 << -3;
        QTest::newRow("closed") << true << false << 0 << 0 << 0 << -1 << QUENLIN_E_FAIL;
    }
    void badPixelResults()
    {
        QFETCH(bool, board);
        QFETCH(bool, open);
        QFETCH(int, index);
        QFETCH(int, column);
        QFETCH(int, line);
        QFETCH(int, failingSet);
        QFETCH(int, result);
        setProcessingBoardAvailable(board ? 1 : 0);
        if (open)
            QCOMPARE(initSyncCapture(0), 0);
        ClearRecordedMessages();
        if (failingSet >= 0)
            InjectFault(BoardKind::Corvane, Fault::WriteFailure, 1, failingSet);
        QCOMPARE(setBadPixel(ushort(index), ushort(column), ushort(line)), result);
        if (result == 0 && failingSet < 0)
            QCOMPARE(RecordedBytes(BoardKind::Corvane, "board"),
                     (QList<QByteArray>{"2,10," + QByteArray::number(index), "2,11," + QByteArray::number(column),
                                        "2,12," + QByteArray::number(line)}));
        if (result == -1 || result == -2 || result == -4)
            QVERIFY(RecordedBytes(BoardKind::Corvane, "property").isEmpty());
    }

    void lifeCycleResults()
    {
        StreamCapture err;
        QCOMPARE(deinitCapture(1), -1);
        QCOMPARE(isInitialized(), 0);
        QVERIFY(err.text().contains("Capture was not initialized.\n"));
        int iValue = 123;
        QCOMPARE(getWidth(&iValue), QUENLIN_E_FAIL);
        QCOMPARE(getPixelSize(&iValue), QUENLIN_E_FAIL);
        QCOMPARE(iValue, 123);
        unsigned int uLength = 0;
        unsigned short px[4];
        QCOMPARE(getSyncFrame(px, &uLength), QUENLIN_E_FAIL);

        QCOMPARE(initSyncCapture(0), 0);
        QCOMPARE(QByteArray(getDeviceName()), QByteArray(kCorvaneFriendlyName));
        QCOMPARE(startCapture(), -1);
        QVERIFY(err.text().contains("Capture was not initialized on asynchronous mode.\n"));
        // A second initialisation replaces the open capture instead of adding one.
        QCOMPARE(initSyncCapture(0), 0);
        QCOMPARE(LiveMediaSourcesForTests(), 1);
        QCOMPARE(LiveSourceReadersForTests(), 1);
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QCOMPARE(LiveMediaSourcesForTests(), 1);
        QCOMPARE(LiveSourceReadersForTests(), 1);
        QCOMPARE(getSyncFrame(px, &uLength), QUENLIN_E_FAIL);
        QVERIFY(err.text().contains("Capture was not set on synchronous mode.\n"));

        QCOMPARE(deinitCapture(1), 0);
        QCOMPARE(isInitialized(), 0);
        QCOMPARE(QByteArray(getDeviceName()), QByteArray());
        QCOMPARE(getNumberOfPixels(), 0);
        QCOMPARE(LiveMediaSourcesForTests(), 0);
        QCOMPARE(MFStartupCountForTests(), 0);
    }

    void windowsVersionAttributes_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("tooOld");
        QTest::newRow("Windows 7") << 0x90 << true;
        QTest::newRow("between") << 0x98 << false;
        QTest::newRow("Windows 10") << 0xC0 << false;
    }
    void windowsVersionAttributes()
    {
        QFETCH(int, version);
        QFETCH(bool, tooOld);
        setWindowsVersion(version);
        StreamCapture err;
        QCOMPARE(initSyncCapture(0), 0);
        QCOMPARE(err.text().contains("The operating system is too old, optimal paramters can't be set.\n"), tooOld);
    }

    void asynchronousStreamStartsAndStops()
    {
        StreamCapture err;
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QVERIFY(err.text().contains("Capture init succeeded.\n"));
        QCOMPARE(startCapture(), 0);
        QVERIFY(err.text().contains("Initializing ...\nCallBackStarted was false.\n"));
        QTRY_VERIFY(g_Delivered.frames.load() >= 3);
        QCOMPARE(g_Delivered.lastLength.load(), 640u * 480u * 2u);
        QCOMPARE(stopCapture(), 0);
        QTRY_VERIFY(err.text().contains("Stopcapture active.\n"));
        QString sWhy;
        QVERIFY2(StaysStopped([] { return g_Delivered.frames.load(); }, &sWhy), qPrintable(sWhy));
        const int iFrames = g_Delivered.frames.load();
        // Started again on the open capture, the stream resumes.
        QCOMPARE(startCapture(), 0);
        QTRY_VERIFY(g_Delivered.frames.load() > iFrames + 2);
        // A re-initialisation keeps the callbacks and the mode.
        QCOMPARE(reinitCapture(1), 0);
        QCOMPARE(isInitialized(), 1);
        const int iBefore = g_Delivered.frames.load();
        QCOMPARE(startCapture(), 0);
        QTRY_VERIFY(g_Delivered.frames.load() > iBefore + 2);
        QVERIFY(getStreamBack() >= 0);
        QTRY_VERIFY(g_Delivered.frames.load() > iBefore + 5);
    }

    // Without a frame callback the samples are still consumed and requested again.
    void nullFrameCallbackKeepsTheStreamGoing()
    {
        StreamCapture err;
        QCOMPARE(initAsyncCapture(nullptr, nullptr, 0, 1), 0);
        QCOMPARE(startCapture(), 0);
        QTRY_VERIFY(err.count("Pointer to callback function was set to NULL or wait too long.\n") >= 3);
    }

    // A sample of another length is a new format: the geometry is read again before the frame goes out.
    void changedSampleSizeRefreshesTheGeometry()
    {
        StreamCapture err;
        g_Delivered.keepFrame = true;
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QCOMPARE(startCapture(), 0);
        QTRY_VERIFY(g_Delivered.frames.load() >= 2);
        QCOMPARE(err.count("Capture dimensions changed.\n"), 1);
        InjectFault(BoardKind::Corvane, Fault::ChangedSampleSize, -1, 0, 240);
        QTRY_VERIFY(g_Delivered.lastLength.load() == 640u * 240u * 2u);
        QCOMPARE(err.count("Capture dimensions changed.\n"), 2);
        int iHeight = 0;
        QCOMPARE(getHeight(&iHeight), 0);
        QCOMPARE(iHeight, 240);
        QCOMPARE(getNumberOfPixels(), 640 * 240);
        QCOMPARE(int(LastFrame().size()), 640 * 240);
        // The reference was renewed for the new size: it covers 640 x 240 pixels.
        std::vector<uint16_t> ones(640 * 480, 1), px(640 * 480, 10);
        setFPNReferenceImage(ones.data(), int(ones.size()));
        processNUC(px.data(), int(px.size()));
        QCOMPARE(int(px[640 * 240 - 1]), 9);
        QCOMPARE(int(px[640 * 240]), 10);
    }

    // A non-zero register-16 value is written to the board before the capture is reopened.
    void initialisationWritesRegister16()
    {
        ClearRecordedMessages();
        QCOMPARE(initSyncCapture(3), 0);
        QCOMPARE(isInitialized(), 1);
        QCOMPARE(CorvaneBoard::instance().registerValue(16), 3);
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "property"), (QList<QByteArray>{"8,16", "0,3", "1,1"}));
        QCOMPARE(LiveSourceReadersForTests(), 1);
        QCOMPARE(LiveMediaSourcesForTests(), 1);
    }

    // The reopening after the register write is part of the initialisation: a
    // device that does not come back fails it instead of leaving it closed
    // behind a success.
    void initialisationFailsWhenTheReopeningFails()
    {
        InjectFault(BoardKind::Corvane, Fault::ActivationFailure, -1, 1);
        QVERIFY(initSyncCapture(3) < 0);
        QCOMPARE(isInitialized(), 0);
        QCOMPARE(CorvaneBoard::instance().registerValue(16), 3);
        ClearAllFaults();
        QVERIFY(initAsyncCapture(OnFrame, OnDropped, 0, 1) == 0);
        QCOMPARE(deinitCapture(1), 0);
        InjectFault(BoardKind::Corvane, Fault::ActivationFailure, -1, 1);
        QVERIFY(initAsyncCapture(OnFrame, OnDropped, 5, 1) < 0);
        QCOMPARE(isInitialized(), 0);
    }

    // startCapture on a closed library opens an asynchronous capture with the stored callbacks.
    void startCaptureOpensWithStoredCallbacks()
    {
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QCOMPARE(deinitCapture(1), 0);
        StreamCapture err;
        QCOMPARE(startCapture(), 0);
        QVERIFY(err.text().contains("Device not initialized. Trying to initialize with default values.\n"));
        QTRY_VERIFY(g_Delivered.frames.load() >= 2);
    }

    // The wait for the first frame ends: a board that sends nothing fails the start.
    void startCaptureWaitIsBounded()
    {
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        InjectFault(BoardKind::Corvane, Fault::FramesStop);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(startCapture() < 0);
        QVERIFY(timer.elapsed() < 8000);
        QCOMPARE(g_Delivered.frames.load(), 0);
    }

    void deviceLossIsRecovered()
    {
        m_bRecoveryPossible = true;
        StreamCapture err;
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QCOMPARE(startCapture(), 0);
        QTRY_VERIFY(g_Delivered.frames.load() >= 3);
        // The device disappears for 700 ms at its next sample.
        InjectFault(BoardKind::Corvane, Fault::DeviceLostMidStream, 1, 0, 700);
        QTRY_VERIFY_WITH_TIMEOUT(err.text().contains("Device lost, recovering.\n"), 5000);
        const QByteArray text = err.text();
        QVERIFY(text.contains("Sample reading failed.\nCouldn't relaunch capture.\nHRESULT : c00d3ea2\n"
                              "Device lost, recovering.\n"));
        const int iAtLoss = g_Delivered.frames.load();
        QTRY_VERIFY_WITH_TIMEOUT(g_Delivered.frames.load() > iAtLoss + 3, 10000);
        QVERIFY(err.text().contains("Recovery in progress...\n"));
        QCOMPARE(isInitialized(), 1);
        QCOMPARE(LiveSourceReadersForTests(), 1);
    }

    // Tearing the capture down from inside the frame callback neither blocks
    // nor leaves its reader behind, and no frame follows.
    void deinitFromTheFrameCallback()
    {
        g_iDeinitFromCallback = -2;
        QCOMPARE(initAsyncCapture(OnFrameDeinit, OnDropped, 0, 1), 0);
        QCOMPARE(startCapture(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(g_iDeinitFromCallback.load(), 0, 5000);
        QCOMPARE(isInitialized(), 0);
        QTRY_COMPARE(LiveSourceReadersForTests(), 0);
        const int iFrames = g_Delivered.frames.load();
        QTest::qWait(300);
        QCOMPARE(g_Delivered.frames.load(), iFrames);
        // The library opens again afterwards.
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QCOMPARE(startCapture(), 0);
        QTRY_VERIFY(g_Delivered.frames.load() > iFrames + 2);
    }

    // A stop during the recovery ends it; nothing is reopened behind the application's back.
    void stopDuringRecovery()
    {
        m_bRecoveryPossible = true;
        StreamCapture err;
        QCOMPARE(initAsyncCapture(OnFrame, OnDropped, 0, 1), 0);
        QCOMPARE(startCapture(), 0);
        QTRY_VERIFY(g_Delivered.frames.load() >= 2);
        InjectFault(BoardKind::Corvane, Fault::DeviceLostMidStream, 1, 0, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(err.text().contains("Recovery in progress...\n"), 5000);
        QCOMPARE(stopCapture(), 0);
        while (isInitialized() != 0)
            deinitCapture(1);
        QTest::qWait(1500);
        QCOMPARE(isInitialized(), 0);
        QCOMPARE(LiveSourceReadersForTests(), 0);
    }

private:
    std::unique_ptr<TestAppFolder> m_pFolder;
    bool m_bRecoveryPossible = false;   // the test lost the device mid-stream
};

QTEST_GUILESS_MAIN(TestQuenlin)
#include "tst_quenlin.moc"
