// The proxy-board test's sequence without its window: the order of its writes, presses and prompts, its waits, progress and verdict.
#include "tools/proxy_test_sequence.h"

#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(ProxyTestChoices)

namespace {

// The board, the writer and the window in one: every call in order as
// "name value", waits as "wait ms". A wait passes on a clock of its own, at
// once, when the bench drives the sequence.
struct Bench : ProxyTestBoard, ProxyTestHost
{
    QStringList Calls;
    QList<int> Progress;
    ProxyTestChoices Choices;
    bool Connected = false;
    int Presses = 0;
    int64_t NowNs = 0;
    bool Waiting = false;
    int WaitMs = 0;
    // When set, the board goes down once the clock reaches it.
    int64_t DownAtNs = -1;
    // Called after the call of the same name is noted.
    std::function<void()> OnStarted, OnDisconnect, OnPress, OnSend;
    ProxyTestSequence Sequence{*this, *this};

    Bench()
    {
        ParameterWriter writer;
        writer.SetValue = [this](ParameterBox p_Box, int p_iValue) {
            static const char* const names[] = {"TINT", "DACA", "DACB", "DACC", "DACD", "Gain", "Offset"};
            Calls << QString("%1 %2").arg(names[int(p_Box)]).arg(p_iValue);
        };
        writer.Send = [this]() {
            Calls << "SetParam";
            if (OnSend)
                OnSend();
        };
        Sequence.setWriter(writer);
        // By default the first two presses connect and start, the third takes the board down.
        OnPress = [this]() { Connected = Presses < 3; };
    }

    bool isConnected() const override { return Connected; }
    void requestDisconnect() override
    {
        Calls << "Disconnect";
        if (OnDisconnect)
            OnDisconnect();
    }
    void pressConnect() override
    {
        ++Presses;
        Calls << "Connect";
        if (OnPress)
            OnPress();
    }
    void takeFpn() override { Calls << "TakeFPN"; }
    void saveImage(const QString& p_sName) override { Calls << "Save " + p_sName; }

    ProxyTestChoices choices() const override { return Choices; }
    void startWait(int p_iMs) override
    {
        Calls << QString("wait %1").arg(p_iMs);
        Waiting = true;
        WaitMs = p_iMs;
    }
    bool isWaiting() const override { return Waiting; }
    void stopWait() override { Waiting = false; }
    int64_t nowNs() const override { return NowNs; }
    void showPrompt(ShutterPrompt p_Prompt) override { Calls << (p_Prompt == ShutterPrompt::Put ? "Put shutter" : "Remove shutter"); }
    void closePrompt(ShutterPrompt p_Prompt) override
    {
        Calls << (p_Prompt == ShutterPrompt::Put ? "close Put shutter" : "close Remove shutter");
    }
    void hidePrompts() override { Calls << "hide prompts"; }
    void setProgress(int p_iPercent) override { Progress << p_iPercent; }
    void runStarted() override
    {
        Calls << "started";
        if (OnStarted)
            OnStarted();
    }
    void runEnded() override { Calls << "ended"; }

    // Starts a run and lets every wait pass until it ends.
    void run()
    {
        Sequence.start();
        while (Waiting && Sequence.isRunning()) {
            Waiting = false;
            NowNs += int64_t(WaitMs) * 1000000;
            if (DownAtNs >= 0 && NowNs >= DownAtNs) {
                Connected = false;
                DownAtNs = -1;
            }
            Sequence.resume();
        }
    }
};

ProxyTestChoices Standard()
{
    ProxyTestChoices c;
    c.ChangeBias = true;
    c.Tint = 100;
    c.DacA = 1000;
    c.DacB = 4050;
    c.DacC = 3;
    c.DacD = 4;
    c.ObservationMs = 200;
    c.SaveBmp = true;
    c.Nuc = true;
    c.Gain = 12;
    c.Offset = 2500;
    c.GskVariation = true;
    c.Variation = 100;
    c.GskChannel = GskDac::B;
    return c;
}

// The calls of a run from the disconnected state, up to the first opening press.
const QStringList kOpening{"started", "wait 0", "wait 0", "wait 500", "Connect", "wait 500", "Connect"};
// From the closing press to the end, the board going down at once.
const QStringList kClosing{"Connect", "wait 0", "wait 0", "ended"};

} // namespace

class TestProxyTestSequence : public QObject
{
    Q_OBJECT

private slots:
    void completeRun_data();
    void completeRun();
    void progressStepsThenHundred();
    void choicesReadWhenTheirStepComes();
    void connectedBoardIsTakenDownFirst();
    void boardThatStaysUp_data();
    void boardThatStaysUp();
    void stops_data();
    void stops();
    void secondStartDuringARunIsIgnored();
};

void TestProxyTestSequence::completeRun_data()
{
    QTest::addColumn<ProxyTestChoices>("choices");
    QTest::addColumn<QStringList>("middle");

    ProxyTestChoices off;
    off.ObservationMs = 300;
    // Bias, observe, save/put, FPN/remove, gain/offset, observe, GSK up, GSK down.
    QTest::newRow("every option off") << off
                                      << QStringList{"wait 0", "wait 300", "wait 0", "wait 0", "wait 0", "wait 300",
                                                     "wait 0", "wait 0"};
    // The window neither clamps the GSK sums nor restores the DAC.
    QTest::newRow("standard, GSK on DAC B")
        << Standard()
        << QStringList{"TINT 100",   "DACA 1000",      "DACB 4050",   "DACC 3",           "DACD 4",
                       "SetParam",   "wait 2000",      "wait 200",    "Save Test.bmp",    "Put shutter",
                       "wait 2000",  "close Put shutter", "TakeFPN", "Remove shutter", "wait 2000",
                       "close Remove shutter", "Gain 12", "Offset 2500", "wait 0", "wait 200",
                       "DACB 4150",  "SetParam",       "wait 200",    "DACB 3950",        "SetParam",
                       "wait 200"};
    ProxyTestChoices onA = Standard();
    onA.GskChannel = GskDac::A;
    onA.ChangeBias = false;
    onA.SaveBmp = false;
    onA.Nuc = false;
    QTest::newRow("GSK on DAC A only") << onA
                                       << QStringList{"wait 0", "wait 200", "wait 0", "wait 0", "wait 0",
                                                      "wait 200", "DACA 1100", "SetParam", "wait 200", "DACA 900",
                                                      "SetParam", "wait 200"};
    // Without a GSK channel the parameters are still sent, unchanged.
    ProxyTestChoices none = onA;
    none.GskChannel = GskDac::None;
    none.ObservationMs = 100;
    QTest::newRow("GSK without a channel")
        << none
        << QStringList{"wait 0", "wait 100", "wait 0", "wait 0", "wait 0", "wait 100", "SetParam", "wait 100",
                       "SetParam", "wait 100"};
}

void TestProxyTestSequence::completeRun()
{
    QFETCH(ProxyTestChoices, choices);
    QFETCH(QStringList, middle);
    Bench b;
    b.Choices = choices;
    b.run();
    QCOMPARE(b.Calls, kOpening + middle + kClosing);
    QCOMPARE(b.Sequence.verdict(), ProxyTestSequence::Verdict::Completed);
    QVERIFY(!b.Sequence.isRunning());
    QCOMPARE(b.Progress.last(), 100);
}

void TestProxyTestSequence::progressStepsThenHundred()
{
    // Fourteen steps: after each but the last, the share of them that ran.
    Bench b;
    b.Choices = Standard();
    b.run();
    QCOMPARE(b.Progress, (QList<int>{0, 7, 14, 21, 28, 35, 42, 50, 57, 64, 71, 78, 85, 92, 100}));
}

void TestProxyTestSequence::choicesReadWhenTheirStepComes()
{
    // The operator unticks NUC and GSK variation while the bias goes out:
    // neither the shutter part nor the GSK steps run.
    Bench b;
    b.Choices = Standard();
    b.OnSend = [&b]() {
        b.Choices.Nuc = false;
        b.Choices.GskVariation = false;
    };
    b.run();
    QVERIFY(!b.Calls.contains("Put shutter"));
    QVERIFY(!b.Calls.contains("TakeFPN"));
    QCOMPARE(b.Calls.count("SetParam"), 1);
    QCOMPARE(b.Calls.filter("DACB").size(), 1);
}

void TestProxyTestSequence::connectedBoardIsTakenDownFirst()
{
    // The board goes down 300 ms after it is asked: polled every 50 ms until then.
    Bench b;
    b.Connected = true;
    b.OnDisconnect = [&b]() { b.DownAtNs = b.NowNs + 300 * 1000000LL; };
    b.run();
    QCOMPARE(b.Calls.mid(0, 11), (QStringList{"started", "Disconnect", "wait 0", "wait 50", "wait 50", "wait 50",
                                               "wait 50", "wait 50", "wait 50", "wait 0", "wait 500"}));
    QCOMPARE(b.Calls.count("Disconnect"), 1);
    QCOMPARE(b.Calls.count("Connect"), 3);
    QCOMPARE(b.Sequence.verdict(), ProxyTestSequence::Verdict::Completed);
}

void TestProxyTestSequence::boardThatStaysUp_data()
{
    QTest::addColumn<bool>("atTheStart");
    QTest::newRow("before the presses") << true;
    QTest::newRow("after the closing press") << false;
}

void TestProxyTestSequence::boardThatStaysUp()
{
    // 30 s of polls every 50 ms. Before the presses the run ends there, cut
    // short and without pressing; after the closing press it ends anyway.
    QFETCH(bool, atTheStart);
    Bench b;
    b.Connected = atTheStart;
    b.OnPress = [&b]() { b.Connected = true; };
    b.run();
    QCOMPARE(b.Calls.count("wait 50"), 30000 / 50);
    QCOMPARE(b.Calls.count("Connect"), atTheStart ? 0 : 3);
    QCOMPARE(b.Sequence.verdict(),
             atTheStart ? ProxyTestSequence::Verdict::CutShort : ProxyTestSequence::Verdict::Completed);
    QCOMPARE(b.Progress.last(), atTheStart ? 7 : 100);
    QCOMPARE(b.Calls.last(), QStringLiteral("ended"));
}

void TestProxyTestSequence::stops_data()
{
    // Where the run is stopped, what follows the stop, and the last progress shown.
    QTest::addColumn<QString>("where");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("progress");
    // Stopped by the main window as the run begins: nothing is pressed.
    QTest::newRow("as it starts") << "started" << QStringList{"hide prompts", "ended"} << 0;
    // Stopped while the board is being taken down: the presses are not made.
    QTest::newRow("before the presses") << "disconnect" << QStringList{"hide prompts", "ended"} << 0;
    // Parameters refused: straight to the closing press, from the timer.
    QTest::newRow("parameters refused")
        << "send" << (QStringList{"hide prompts", "wait 0"} + kClosing) << 92;
    // Stopped while the board goes down after the closing press: the wait for it goes on.
    QTest::newRow("after the closing press")
        << "closing" << QStringList{"hide prompts", "wait 0", "wait 50", "wait 50", "wait 0", "ended"} << 92;
}

void TestProxyTestSequence::stops()
{
    QFETCH(QString, where);
    QFETCH(QStringList, after);
    QFETCH(int, progress);
    Bench b;
    b.Choices = Standard();
    auto stop = [&b]() {
        b.Calls << "<stop>";
        b.Sequence.stop();
    };
    if (where == "started")
        b.OnStarted = stop;
    if (where == "disconnect") {
        b.Connected = true;
        b.OnDisconnect = stop;
    }
    if (where == "send")
        b.OnSend = stop;
    if (where == "closing") {
        // The board takes 100 ms to go down after the closing press.
        b.OnPress = [&b, stop]() {
            b.Connected = true;
            if (b.Presses == 3) {
                b.DownAtNs = b.NowNs + 100 * 1000000LL;
                stop();
            }
        };
    }
    b.run();
    const int iStop = b.Calls.indexOf("<stop>");
    QVERIFY(iStop > 0);
    QCOMPARE(b.Calls.count("<stop>"), 1);
    QCOMPARE(b.Calls.mid(iStop + 1), after);
    QCOMPARE(b.Sequence.verdict(), ProxyTestSequence::Verdict::CutShort);
    QCOMPARE(b.Progress.last(), progress);
    QVERIFY(!b.Sequence.isRunning());
}

void TestProxyTestSequence::secondStartDuringARunIsIgnored()
{
    Bench b;
    b.Choices = Standard();
    b.OnSend = [&b]() {
        if (b.Calls.count("SetParam") == 1)
            b.Sequence.start();
    };
    b.run();
    QCOMPARE(b.Calls.count("started"), 1);
    QCOMPARE(b.Calls.count("Connect"), 3);
    QCOMPARE(b.Sequence.verdict(), ProxyTestSequence::Verdict::Completed);
}

QTEST_MAIN(TestProxyTestSequence)
#include "tst_proxy_test_sequence.moc"
