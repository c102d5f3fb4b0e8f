// The frame-grabber stand-in: the channel set-up, camera files, the callback thread and its end.
#include "support/frames_stopped.h"
#include "platform/multicam/multicam.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/simulation_settings.h"
#include "support/test_app_folder.h"

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using sim::BoardKind;

namespace {

// What the callback saw; written on the grabber's thread.
struct Observed
{
    std::mutex mutex;
    std::vector<std::chrono::steady_clock::time_point> frames;
    std::vector<std::thread::id> threads;
    std::vector<MCHANDLE> surfaces;
    std::atomic<int> failures{0};
    std::atomic<bool> deleteFromCallback{false};
    // Idle the channel from the callback, then hold the callback until the
    // test has activated the channel again.
    std::atomic<bool> idleFromCallback{false};
    std::atomic<bool> idled{false};
    std::atomic<bool> reactivated{false};
    std::atomic<MCHANDLE> channel{0};
    std::vector<uint16_t> firstFrame;
    int width = 0;
    int height = 0;
};

void Callback(PMCSIGNALINFO p_pInfo)
{
    Observed& o = *static_cast<Observed*>(p_pInfo->Context);
    if (p_pInfo->Signal == MC_SIG_ACQUISITION_FAILURE) {
        o.failures.fetch_add(1);
        return;
    }
    if (p_pInfo->Signal != MC_SIG_SURFACE_PROCESSING)
        return;
    if (o.idleFromCallback.exchange(false)) {
        McSetParamInt(p_pInfo->Instance, MC_ChannelState, MC_ChannelState_IDLE);
        o.idled.store(true);
        for (int i = 0; i < 3000 && !o.reactivated.load(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return;
    }
    void* pAddress = nullptr;
    McGetParamPtr(p_pInfo->SignalInfo, MC_SurfaceAddr, &pAddress);
    std::lock_guard<std::mutex> lock(o.mutex);
    o.frames.push_back(std::chrono::steady_clock::now());
    o.threads.push_back(std::this_thread::get_id());
    o.surfaces.push_back(p_pInfo->SignalInfo);
    if (o.firstFrame.empty() && pAddress != nullptr) {
        const uint16_t* p = static_cast<const uint16_t*>(pAddress);
        o.firstFrame.assign(p, p + size_t(o.width) * o.height);
    }
    if (o.deleteFromCallback.load()) {
        o.deleteFromCallback.store(false);
        McDelete(p_pInfo->Instance);
    }
}

} // namespace

class tst_multicam : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAppFolder> m_pFolder;
    MCHANDLE m_Channel = 0;
    // What the callback writes into; it lives until cleanup has deleted the
    // channel, since the grabber's thread runs until then.
    std::unique_ptr<Observed> m_pObserved;

    // The call sequence of the program's grabber set-up, up to the active channel.
    MCSTATUS setUp(const QString& p_sCamFile, Observed* p_pObserved, bool p_bActivate = true)
    {
        MCSTATUS s = McOpenDriver(nullptr);
        if (s != MC_OK)
            return s;
        if ((s = McSetParamStr(MC_CONFIGURATION, MC_ErrorLog, "error.log")) != MC_OK)
            return s;
        if ((s = McCreate(MC_CHANNEL, &m_Channel)) != MC_OK)
            return s;
        if ((s = McSetParamInt(m_Channel, MC_DriverIndex, 0)) != MC_OK)
            return s;
        if ((s = McSetParamStr(m_Channel, MC_Connector, "M")) != MC_OK)
            return s;
        if ((s = McSetParamInt(m_Channel, MC_AcquisitionMode, MC_AcquisitionMode_VIDEO)) != MC_OK)
            return s;
        if ((s = McSetParamStr(m_Channel, MC_CamFile, p_sCamFile.toLocal8Bit().constData())) != MC_OK)
            return s;
        const std::pair<MCPARAMID, int32_t> trig[] = {
            {MC_TrigMode, 6}, {MC_NextTrigMode, 5}, {MC_TrigLine, 1},
            {MC_TrigEdge, 1}, {MC_TrigFilter, 2},   {MC_TrigCtl, 17}};
        for (const auto& t : trig)
            if ((s = McSetParamInt(m_Channel, t.first, t.second)) != MC_OK)
                return s;
        int32_t x = 0, y = 0, pitch = 0;
        McGetParamInt(m_Channel, MC_ImageSizeX, &x);
        McGetParamInt(m_Channel, MC_ImageSizeY, &y);
        McGetParamInt(m_Channel, MC_BufferPitch, &pitch);
        if (p_pObserved != nullptr) {
            p_pObserved->width = x;
            p_pObserved->height = y;
        }
        if ((s = McSetParamInt(m_Channel, MC_SeqLength_Fr, MC_SeqLength_Fr_INDETERMINATE)) != MC_OK)
            return s;
        if ((s = McRegisterCallback(m_Channel, Callback, p_pObserved)) != MC_OK)
            return s;
        if ((s = McSetParamInt(m_Channel, MC_SignalEnable + MC_SIG_SURFACE_PROCESSING, MC_SignalEnable_ON)) != MC_OK)
            return s;
        if ((s = McSetParamInt(m_Channel, MC_SignalEnable + MC_SIG_ACQUISITION_FAILURE, MC_SignalEnable_ON)) != MC_OK)
            return s;
        if (p_bActivate)
            s = McSetParamInt(m_Channel, MC_ChannelState, MC_ChannelState_ACTIVE);
        return s;
    }
    // The program hands the grabber "/" paths, as a library on this platform takes them.
    QString camFile(const QString& p_sName) const
    {
        return m_pFolder->binPath() + "/../Camfiles/CamFile_" + p_sName + ".cam";
    }
    void tearDown()
    {
        if (m_Channel != 0) {
            McSetParamInt(m_Channel, MC_ChannelState, MC_ChannelState_IDLE);
            McDelete(m_Channel);
            m_Channel = 0;
        }
        if (multicam_test::DriverOpen())
            McCloseDriver();
    }
    int frameCount(Observed& o)
    {
        std::lock_guard<std::mutex> lock(o.mutex);
        return int(o.frames.size());
    }

private slots:
    void init()
    {
        m_pFolder = std::make_unique<TestAppFolder>();
        sim::ResetSimulation();
        sim::ResetCameraLinkSimulation();
        multicam_test::ClearParamCalls();
        m_pObserved = std::make_unique<Observed>();
    }
    void cleanup()
    {
        tearDown();
        m_pObserved.reset();
        sim::ResetSimulation();
        sim::ResetCameraLinkSimulation();
        m_pFolder.reset();
    }

    // Every camera file shipped for a proxy gives a usable geometry.
    void shippedCameraFilesGiveTheirGeometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("Z668") << "Z668" << 640 << 480;
        QTest::newRow("Y1437P") << "Y1437P" << 1028 << 768;
        QTest::newRow("Y1437P two taps") << "Y1437P_2" << 1028 << 768;
        QTest::newRow("Z602") << "Z602" << 84 << 80;
        QTest::newRow("Z1641") << "Z1641" << 2560 << 512;
    }
    void shippedCameraFilesGiveTheirGeometry()
    {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(int, height);
        QCOMPARE(setUp(camFile(name), nullptr, false), MC_OK);
        int32_t x = 0, y = 0, pitch = 0;
        QCOMPARE(McGetParamInt(m_Channel, MC_ImageSizeX, &x), MC_OK);
        QCOMPARE(McGetParamInt(m_Channel, MC_ImageSizeY, &y), MC_OK);
        QCOMPARE(McGetParamInt(m_Channel, MC_BufferPitch, &pitch), MC_OK);
        QCOMPARE(x, width);
        QCOMPARE(y, height);
        QCOMPARE(pitch, 2 * width);
        // The windowing rewrite needs both words in every shipped file.
        QFile f(camFile(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray content = f.readAll();
        QVERIFY(content.contains("Hactive_Px ="));
        QVERIFY(content.indexOf("HSyncAft_Tk =") > content.indexOf("Vactive_Ln ="));
        // The windowing copies land in a folder of their own, which must exist.
        QVERIFY(QFileInfo(m_pFolder->rootPath() + "/Camfiles/Windowing").isDir());
    }

    void theSetUpIsLoggedInItsOrder()
    {
        QCOMPARE(setUp(camFile("Z668"), nullptr, true), MC_OK);
        std::vector<std::pair<MCPARAMID, int32_t>> sets;
        for (const auto& c : multicam_test::ParamCalls())
            if (c.kind == 'I')
                sets.push_back({c.param, c.intValue});
        const std::vector<std::pair<MCPARAMID, int32_t>> expected{
            {MC_DriverIndex, 0}, {MC_AcquisitionMode, 2}, {MC_TrigMode, 6}, {MC_NextTrigMode, 5},
            {MC_TrigLine, 1},    {MC_TrigEdge, 1},        {MC_TrigFilter, 2}, {MC_TrigCtl, 17},
            {MC_SeqLength_Fr, -1}, {0x60001, 5},          {0x60007, 5},     {MC_ChannelState, 2}};
        QVERIFY(sets == expected);
        int32_t timeout = 0;
        QCOMPARE(McGetParamInt(m_Channel, MC_AcqTimeout_ms, &timeout), MC_OK);
        QVERIFY(timeout > 0);
    }

    void badCameraFilesFailTheSetting()
    {
        QCOMPARE(setUp(camFile("Z668"), nullptr, false), MC_OK);
        QCOMPARE(McSetParamStr(m_Channel, MC_CamFile, (m_pFolder->rootPath() + "/Camfiles/CamFile_Nope.cam").toLocal8Bit().constData()),
                 MC_FILE_NOT_FOUND);
        QFile f(m_pFolder->rootPath() + "/Camfiles/CamFile_Broken.cam");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("    Hactive_Px =        640;\r\n    HSyncAft_Tk =       0;\r\n");
        f.close();
        QCOMPARE(McSetParamStr(m_Channel, MC_CamFile, f.fileName().toLocal8Bit().constData()), MC_BAD_CAMFILE);
        // The geometry of the last good file stands.
        int32_t x = 0;
        McGetParamInt(m_Channel, MC_ImageSizeX, &x);
        QCOMPARE(x, 640);
    }

    // A Windows path names no file here: a "\" is part of a file name, not a separator.
    void aBackslashPathIsNotFound()
    {
        QCOMPARE(setUp(camFile("Z668"), nullptr, false), MC_OK);
        const QString sBackslashed = QString(camFile("Z602")).replace('/', '\\');
        QCOMPARE(McSetParamStr(m_Channel, MC_CamFile, sBackslashed.toLocal8Bit().constData()), MC_FILE_NOT_FOUND);
        int32_t x = 0;
        McGetParamInt(m_Channel, MC_ImageSizeX, &x);
        QCOMPARE(x, 640);
        QCOMPARE(McSetParamStr(m_Channel, MC_CamFile, camFile("Z602").toLocal8Bit().constData()), MC_OK);
        McGetParamInt(m_Channel, MC_ImageSizeX, &x);
        QCOMPARE(x, 84);
    }

    void framesArriveOnTheGrabberThreadAtTheBoardRate()
    {
        sim::SimulationSettings().setFrameRateCode(BoardKind::BelmorPlus, 25);
        Observed& o = *m_pObserved;
        QCOMPARE(setUp(camFile("Z602"), &o), MC_OK);
        QTRY_VERIFY_WITH_TIMEOUT(frameCount(o) >= 15, 5000);
        McSetParamInt(m_Channel, MC_ChannelState, MC_ChannelState_IDLE);
        std::lock_guard<std::mutex> lock(o.mutex);
        for (const auto& id : o.threads) {
            QVERIFY(id != std::this_thread::get_id());
            QCOMPARE(id, o.threads.front());
        }
        // Median spacing near 1/25 s: neither the 30 FPS default nor unpaced.
        std::vector<double> gaps;
        for (size_t i = 1; i < o.frames.size(); ++i)
            gaps.push_back(std::chrono::duration<double, std::milli>(o.frames[i] - o.frames[i - 1]).count());
        std::sort(gaps.begin(), gaps.end());
        const double median = gaps[gaps.size() / 2];
        QVERIFY2(median > 36.0 && median < 50.0, qPrintable(QString::number(median)));
        // The surfaces take turns and hold a real image of the camera file's size.
        QVERIFY(o.surfaces[0] != o.surfaces[1]);
        QCOMPARE(int(o.firstFrame.size()), 84 * 80);
        QVERIFY(*std::max_element(o.firstFrame.begin(), o.firstFrame.end())
                > *std::min_element(o.firstFrame.begin(), o.firstFrame.end()));
    }

    void surfaceAddressNeedsThePointerGetter()
    {
        Observed& o = *m_pObserved;
        QCOMPARE(setUp(camFile("Z602"), &o), MC_OK);
        QTRY_VERIFY_WITH_TIMEOUT(frameCount(o) >= 1, 3000);
        MCHANDLE surface = 0;
        {
            std::lock_guard<std::mutex> lock(o.mutex);
            surface = o.surfaces.front();
        }
        void* p = nullptr;
        QCOMPARE(McGetParamPtr(surface, MC_SurfaceAddr, &p), MC_OK);
        QVERIFY(p != nullptr);
        int32_t i = 0;
        if (sizeof(void*) > 4)
            QCOMPARE(McGetParamInt(surface, MC_SurfaceAddr, &i), MC_BAD_PARAM_TYPE);
    }

    void deletingTheChannelJoinsItsThread()
    {
        Observed& o = *m_pObserved;
        QCOMPARE(setUp(camFile("Z602"), &o), MC_OK);
        QTRY_VERIFY_WITH_TIMEOUT(frameCount(o) >= 2, 3000);
        QCOMPARE(multicam_test::ActiveThreadCount(), 1);
        QCOMPARE(McDelete(m_Channel), MC_OK);
        m_Channel = 0;
        QCOMPARE(multicam_test::ActiveThreadCount(), 0);
        const int iAfter = frameCount(o);
        QTest::qWait(150);
        QCOMPARE(frameCount(o), iAfter);
        QCOMPARE(multicam_test::ChannelCount(), 0);
        QCOMPARE(McCloseDriver(), MC_OK);
    }

    // A callback that deletes its own channel must not wait for itself.
    void deleteFromTheCallbackDoesNotHang()
    {
        Observed& o = *m_pObserved;
        o.deleteFromCallback.store(true);
        QCOMPARE(setUp(camFile("Z602"), &o), MC_OK);
        QTRY_COMPARE_WITH_TIMEOUT(multicam_test::ChannelCount(), 0, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(multicam_test::ActiveThreadCount(), 0, 3000);
        m_Channel = 0;
    }

    // The thread of an idled channel ends once its callback returns, also
    // when the channel is active again by then: one thread per channel.
    void idleFromTheCallbackThenActivateAgain()
    {
        Observed& o = *m_pObserved;
        o.idleFromCallback.store(true);
        QCOMPARE(setUp(camFile("Z602"), &o), MC_OK);
        QTRY_VERIFY_WITH_TIMEOUT(o.idled.load(), 3000);
        QCOMPARE(McSetParamInt(m_Channel, MC_ChannelState, MC_ChannelState_ACTIVE), MC_OK);
        o.reactivated.store(true);
        QTRY_VERIFY_WITH_TIMEOUT(frameCount(o) >= 3, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(multicam_test::ActiveThreadCount(), 1, 3000);
        QTest::qWait(100);
        QCOMPARE(multicam_test::ActiveThreadCount(), 1);
    }

    void noBoardOnTheConnectorGivesAcquisitionFailures()
    {
        sim::SetCameraLinkPortLayout({sim::CameraLinkPlug::Nothing});
        Observed& o = *m_pObserved;
        QCOMPARE(setUp(camFile("Z602"), &o), MC_OK);
        QTRY_VERIFY_WITH_TIMEOUT(o.failures.load() >= 2, 3000);
        QCOMPARE(frameCount(o), 0);
    }

    void framesStopWhileTheLinkStaysUp()
    {
        Observed& o = *m_pObserved;
        QCOMPARE(setUp(camFile("Z602"), &o), MC_OK);
        QTRY_VERIFY_WITH_TIMEOUT(frameCount(o) >= 1, 3000);
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::FramesStop);
        QString sWhy;
        QVERIFY2(StaysStopped([&] { return frameCount(o); }, &sWhy), qPrintable(sWhy));
        const int iStopped = frameCount(o);
        QCOMPARE(o.failures.load(), 0);
        sim::ClearAllFaults();
        QTRY_VERIFY_WITH_TIMEOUT(frameCount(o) > iStopped, 3000);
    }

    void refusals()
    {
        // No driver, no channel.
        MCHANDLE h = 0;
        QCOMPARE(McCreate(MC_CHANNEL, &h), MC_DRIVER_NOT_OPEN);
        QCOMPARE(McOpenDriver(nullptr), MC_OK);
        QCOMPARE(McCreate(MC_CHANNEL, &m_Channel), MC_OK);
        // A driver index beyond the grabber's connectors, a channel without camera file.
        QCOMPARE(McSetParamInt(m_Channel, MC_DriverIndex, 1), MC_INVALID_VALUE);
        QCOMPARE(McSetParamInt(m_Channel, MC_ChannelState, MC_ChannelState_ACTIVE), MC_INVALID_VALUE);
        QCOMPARE(McSetParamInt(0x1234, MC_TrigMode, 6), MC_INVALID_HANDLE);
        QCOMPARE(McDelete(0x1234), MC_INVALID_HANDLE);
        tearDown();
        // Simulation off: no grabber.
        sim::SimulationSettings().setSimulationEnabled(false);
        QCOMPARE(McOpenDriver(nullptr), MC_NO_BOARD_FOUND);
    }
};

QTEST_GUILESS_MAIN(tst_multicam)
#include "tst_multicam.moc"
