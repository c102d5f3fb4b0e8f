// The bad-pixel search without its window: the GSK it writes, its waits, the frames it counts, and each of its ends.
#include "tools/bad_pixel_search.h"

#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

// A sensor that follows the DAC B box once the parameters are sent, with a
// uniform level of Base + Slope x (GSK - 1000); it sends a frame in every
// wait while frames are forwarded. Every call of the search is noted in
// order ("DACB 950", "SetParam", "wait 4000", ...).
struct Bench
{
    QStringList Calls;
    BadPixelSearch Search;
    BadPixelSearchSettings Settings;
    int PendingGsk = -1;
    int Gsk = 1000;
    int Base = 30000;
    int Slope = 400;
    // The window turns forwarding on before the search starts.
    bool Forwarding = true;
    // Frames stop once this many sends were made (-1: never).
    int SilentAfterSends = -1;
    int Sends = 0;
    cv::Mat Latest;
    // How the wait of that index (0: the notice's) ends; the others go on.
    QMap<int, BadPixelSearch::Course> Ends;
    int Waits = 0;

    Bench()
    {
        Settings.GskMin = 950;
        Settings.GskMax = 1050;
        Settings.StartGsk = 1000;
        Settings.Channel = GskDac::B;
    }
    cv::Mat frame() const
    {
        return cv::Mat(4, 6, CV_16UC1, cv::Scalar(std::clamp(Base + Slope * (Gsk - 1000), 0, 65535)));
    }
    BadPixelSearch::Io io()
    {
        BadPixelSearch::Io io;
        io.Writer.SetValue = [this](ParameterBox p_Box, int p_iValue) {
            static const char* const names[] = {"TINT", "DACA", "DACB", "DACC", "DACD", "Gain", "Offset"};
            Calls << QString("%1 %2").arg(names[int(p_Box)]).arg(p_iValue);
            if (p_Box == ParameterBox::DAC_B)
                PendingGsk = p_iValue;
        };
        io.Writer.Send = [this]() {
            Calls << "SetParam";
            ++Sends;
            if (PendingGsk >= 0)
                Gsk = PendingGsk;
        };
        io.GskShown = [this](uint32_t v) { Calls << QString("shown %1").arg(v); };
        io.SetForwarding = [this](bool b) {
            Calls << (b ? "fwd on" : "fwd off");
            Forwarding = b;
        };
        io.Wait = [this](int p_iMs) {
            Calls << QString("wait %1").arg(p_iMs);
            const bool bSilent = SilentAfterSends >= 0 && Sends >= SilentAfterSends;
            if (Forwarding && !bSilent) {
                Latest = frame();
                Search.frameArrived();
            }
            return Ends.value(Waits++, BadPixelSearch::Course::GoOn);
        };
        io.LatestFrame = [this]() -> const cv::Mat& { return Latest; };
        io.ShowNotice = [this]() { Calls << "notice"; };
        io.CloseNotice = [this]() { Calls << "notice closed"; };
        io.Error = [this](const QString& t, const QString& s) { Calls << "error " + t + "|" + s; };
        return io;
    }
    BadPixelSearch::Result run() { return Search.run(Settings, io()); }
    QList<int> gskWrites() const
    {
        QList<int> values;
        for (const QString& s : Calls)
            if (s.startsWith("DACB "))
                values << s.mid(5).toInt();
        return values;
    }
};

const QStringList kRestore{"fwd off", "DACB 1000", "shown 1000", "SetParam"};

} // namespace

class TestBadPixelSearch : public QObject
{
    Q_OBJECT

private slots:
    void gskAdjustmentTakesBothFrames();
    void imageLevel_data();
    void imageLevel();
    void noFrameReceived_data();
    void noFrameReceived();
    void endsInAWait_data();
    void endsInAWait();
    void withoutAGskChannel();
};

void TestBadPixelSearch::gskAdjustmentTakesBothFrames()
{
    Bench b;
    const BadPixelSearch::Result r = b.run();
    QCOMPARE(b.Calls, (QStringList{"notice", "wait 2000", "notice closed",
                                   "fwd on", "DACB 950", "shown 950", "SetParam", "wait 4000", "fwd off", "wait 1000",
                                   "fwd on", "DACB 1050", "shown 1050", "SetParam", "wait 4000", "fwd off", "wait 1000"}
                       + kRestore));
    QCOMPARE(r.End, BadPixelSearch::Outcome::Done);
    QCOMPARE(RoundedMean(r.Low), 10000);
    QCOMPARE(RoundedMean(r.High), 50000);
    // The frames are the search's own copies.
    QVERIFY(r.Low.data != b.Latest.data && r.High.data != b.Latest.data);
}

void TestBadPixelSearch::imageLevel_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("slope");
    QTest::addColumn<int>("minLevel");
    QTest::addColumn<int>("maxLevel");
    QTest::addColumn<QList<int>>("writes");
    QTest::addColumn<bool>("outOfRange");
    // 2000 per step of 5 from 30000: 42 % (27524.7) after two steps down, 50 % (32767.5) after four up.
    QTest::newRow("down, then up") << 1000 << 30000 << 400 << 42 << 50
                                   << QList<int>{995, 990, 995, 1000, 1005, 1010, 1000} << false;
    // Too bright at the bottom of the range: one step to 0, then the end; the start value goes back.
    QTest::newRow("end of the range, down") << 5 << 60000 << 0 << 25 << 75 << QList<int>{0, 5} << true;
    // Too dark at the top: one step to 4095, then the end.
    QTest::newRow("end of the range, up") << 4090 << 1000 << 0 << 25 << 75 << QList<int>{4095, 4090} << true;
}

void TestBadPixelSearch::imageLevel()
{
    QFETCH(int, start);
    QFETCH(int, base);
    QFETCH(int, slope);
    QFETCH(int, minLevel);
    QFETCH(int, maxLevel);
    QFETCH(QList<int>, writes);
    QFETCH(bool, outOfRange);
    Bench b;
    b.Gsk = start;
    b.Base = base;
    b.Slope = slope;
    b.Settings.SearchMode = BadPixelSearchSettings::Mode::ImageLevel;
    b.Settings.StartGsk = uint32_t(start);
    b.Settings.MinLevel = minLevel;
    b.Settings.MaxLevel = maxLevel;
    const BadPixelSearch::Result r = b.run();
    QCOMPARE(b.gskWrites(), writes);
    // Each step: forwarding on, the value, 3 s for frames, forwarding off, 1 s.
    const int iSteps = writes.size() - 1;
    QCOMPARE(b.Calls.count("wait 3000"), iSteps);
    QCOMPARE(b.Calls.count("wait 1000"), iSteps);
    QCOMPARE(b.Calls.count("fwd on"), iSteps);
    const QString sError = "error " + BadPixelSearch::OutOfRangeTitle() + "|" + BadPixelSearch::OutOfRangeText();
    QCOMPARE(sError, QStringLiteral("error ERROR|The sensor is not well configured, please check"));
    if (outOfRange) {
        QCOMPARE(r.End, BadPixelSearch::Outcome::OutOfRange);
        // The error first, then the start value back.
        const QString sStart = QString::number(start);
        QCOMPARE(b.Calls.mid(b.Calls.indexOf(sError)),
                 (QStringList{sError, "fwd off", "DACB " + sStart, "shown " + sStart, "SetParam"}));
    } else {
        QCOMPARE(r.End, BadPixelSearch::Outcome::Done);
        QVERIFY(!b.Calls.contains(sError));
        QVERIFY(!AboveLevel(RoundedMean(r.Low), minLevel));
        QVERIFY(!BelowLevel(RoundedMean(r.High), maxLevel));
        QCOMPARE(b.Calls.mid(b.Calls.size() - 4), kRestore);
    }
}

void TestBadPixelSearch::noFrameReceived_data()
{
    QTest::addColumn<bool>("imageLevel");
    QTest::addColumn<int>("silentAfterSends");
    QTest::addColumn<QList<int>>("writes");
    // A frame from before the search is there, but does not count.
    QTest::newRow("adjustment, no frame at all") << false << 0 << QList<int>{950, 1000};
    QTest::newRow("adjustment, none after the second step") << false << 2 << QList<int>{950, 1050, 1000};
    QTest::newRow("image level, no frame at all") << true << 0 << QList<int>{1000};
    QTest::newRow("image level, none after the first step") << true << 1 << QList<int>{995, 1000};
}

void TestBadPixelSearch::noFrameReceived()
{
    QFETCH(bool, imageLevel);
    QFETCH(int, silentAfterSends);
    QFETCH(QList<int>, writes);
    Bench b;
    b.Latest = b.frame();
    b.Search.frameArrived();
    b.Search.restartFrameCount();
    b.SilentAfterSends = silentAfterSends;
    if (imageLevel) {
        b.Settings.SearchMode = BadPixelSearchSettings::Mode::ImageLevel;
        b.Settings.MinLevel = 25;
        b.Settings.MaxLevel = 75;
    }
    const BadPixelSearch::Result r = b.run();
    QCOMPARE(r.End, BadPixelSearch::Outcome::NoFrame);
    QCOMPARE(b.gskWrites(), writes);
    QCOMPARE(b.Calls.mid(b.Calls.size() - 4), kRestore);
    QVERIFY(b.Calls.filter("error").isEmpty());
    QCOMPARE(BadPixelSearch::NoFrameTitle(), QStringLiteral("No image"));
}

void TestBadPixelSearch::endsInAWait_data()
{
    QTest::addColumn<int>("wait");
    QTest::addColumn<int>("course");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("tail");
    const int closeAsked = int(BadPixelSearch::Course::CloseAsked);
    const int gone = int(BadPixelSearch::Course::WindowGone);
    QTest::newRow("closed in the notice's wait")
        << 0 << closeAsked << int(BadPixelSearch::Outcome::Closed) << (QStringList{"wait 2000"} + kRestore);
    QTest::newRow("closed after the first step")
        << 1 << closeAsked << int(BadPixelSearch::Outcome::Closed) << (QStringList{"wait 4000"} + kRestore);
    QTest::newRow("closed while settling")
        << 2 << closeAsked << int(BadPixelSearch::Outcome::Closed) << (QStringList{"wait 1000"} + kRestore);
    // Nothing after a wait the window did not outlive, not even the GSK put back.
    QTest::newRow("window gone in the notice's wait")
        << 0 << gone << int(BadPixelSearch::Outcome::Gone) << QStringList{"notice", "wait 2000"};
    QTest::newRow("window gone after the second step")
        << 3 << gone << int(BadPixelSearch::Outcome::Gone) << QStringList{"SetParam", "wait 4000"};
}

void TestBadPixelSearch::endsInAWait()
{
    QFETCH(int, wait);
    QFETCH(int, course);
    QFETCH(int, outcome);
    QFETCH(QStringList, tail);
    Bench b;
    b.Ends[wait] = BadPixelSearch::Course(course);
    const BadPixelSearch::Result r = b.run();
    QCOMPARE(int(r.End), outcome);
    QCOMPARE(b.Waits, wait + 1);
    QCOMPARE(b.Calls.mid(b.Calls.size() - tail.size()), tail);
}

void TestBadPixelSearch::withoutAGskChannel()
{
    // No DAC and no label, but the parameters still go out at every step.
    Bench b;
    b.Settings.Channel = GskDac::None;
    const BadPixelSearch::Result r = b.run();
    QCOMPARE(r.End, BadPixelSearch::Outcome::Done);
    QVERIFY(b.Calls.filter("DAC").isEmpty());
    QVERIFY(b.Calls.filter("shown").isEmpty());
    QCOMPARE(b.Calls.count("SetParam"), 3);
}

QTEST_MAIN(TestBadPixelSearch)
#include "tst_bad_pixel_search.moc"
