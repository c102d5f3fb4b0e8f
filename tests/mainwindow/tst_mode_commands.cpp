// What HDR, inversion and the FPN correction store and send per board kind, the AGC offset take-back and the size-preset windows.
#include "mainwindow/mode_commands.h"

#include <QtTest>

Q_DECLARE_METATYPE(ModeRoute)

namespace {
enum Kind { None = 0, Arvex = 1, Belmor = 2, BelmorPlus = 3, Dunstel = 4, Eskra = 5, Corvane = 6 };
constexpr int kChecked = 2;
} // namespace

class tst_mode_commands : public QObject
{
    Q_OBJECT

private slots:
    void hdr_data();
    void hdr();
    void invertBW_data();
    void invertBW();
    void applyFpn_data();
    void applyFpn();
    void agcOffset();
    void sizePresets();
};

void tst_mode_commands::hdr_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("softwareNUC");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("applyNUC");
    QTest::addColumn<int>("proxy");
    QTest::addColumn<int>("frameRate");
    QTest::addColumn<bool>("store");
    QTest::addColumn<ModeRoute>("route");
    QTest::addColumn<uint>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("sends");
    QTest::addColumn<QString>("failure");

    using R = ModeRoute;
    QTest::newRow("Arvex 12 @100 on, NUC") << int(Arvex) << false << kChecked << true << 12 << 100 << true
                                           << R::CameraLinkText << 6u << QByteArray("#A002#R006#D00006") << 2
                                           << "Couldn't set HDR to 0x06.\n";
    QTest::newRow("Arvex 9 @100 on, no NUC") << int(Arvex) << true << kChecked << false << 9 << 100 << true
                                             << R::CameraLinkText << 7u << QByteArray("#A002#R006#D00007") << 2
                                             << "Couldn't set HDR to 0x07.\n";
    QTest::newRow("Arvex 9 @100 off, NUC") << int(Arvex) << false << 0 << true << 9 << 100 << true
                                           << R::CameraLinkText << 2u << QByteArray("#A002#R006#D00002") << 2
                                           << "Couldn't set HDR to 0x02.\n";
    QTest::newRow("Arvex 9 @100 off, no NUC") << int(Arvex) << false << 0 << false << 9 << 100 << true
                                              << R::CameraLinkText << 3u << QByteArray("#A002#R006#D00003") << 2
                                              << "Couldn't set HDR to 0x03.\n";
    QTest::newRow("Arvex 9 @254 on") << int(Arvex) << false << kChecked << true << 9 << 254 << true
                                     << R::CameraLinkText << 4u << QByteArray("#A002#R006#D00004") << 1
                                     << "Couldn't set HDR to 0x04.\n";
    QTest::newRow("Arvex 9 @80 on") << int(Arvex) << false << kChecked << true << 9 << 80 << true
                                    << R::CameraLinkText << 4u << QByteArray("#A002#R006#D00004") << 1
                                    << "Couldn't set HDR to 0x04.\n";
    QTest::newRow("Arvex 10 @100 off") << int(Arvex) << false << 0 << false << 10 << 100 << true
                                       << R::CameraLinkText << 0u << QByteArray("#A002#R006#D00000") << 1
                                       << "Couldn't set HDR to 0x00.\n";
    QTest::newRow("Belmor+ on") << int(BelmorPlus) << false << kChecked << true << 10 << 30 << true << R::Register
                                << 4u << QByteArray() << 1 << "Couldn't set HDR to 4.\n";
    QTest::newRow("Belmor+ off") << int(BelmorPlus) << false << 0 << true << 10 << 30 << true << R::Register << 251u
                                 << QByteArray() << 1 << "Couldn't set HDR to 251.\n";
    QTest::newRow("Belmor+ software") << int(BelmorPlus) << true << 0 << true << 10 << 30 << true << R::None << 0u
                                      << QByteArray() << 1 << QString();
    QTest::newRow("Corvane on, NUC") << int(Corvane) << false << kChecked << true << 2 << 30 << true
                                     << R::CorvaneIndirect << 4u << QByteArray() << 1 << "Couldn't set HDR to 4.\n";
    QTest::newRow("Corvane off, no NUC") << int(Corvane) << false << 0 << false << 2 << 30 << true
                                         << R::CorvaneIndirect << 1u << QByteArray() << 1
                                         << "Couldn't set HDR to 1.\n";
    QTest::newRow("Belmor") << int(Belmor) << false << kChecked << true << 2 << 30 << true << R::None << 0u
                            << QByteArray() << 1 << QString();
    QTest::newRow("Dunstel") << int(Dunstel) << false << kChecked << true << 2 << 30 << true << R::None << 0u
                             << QByteArray() << 1 << QString();
    QTest::newRow("Eskra") << int(Eskra) << true << kChecked << true << 2 << 30 << false << R::None << 0u
                           << QByteArray() << 1 << QString();
    QTest::newRow("no board") << int(None) << true << kChecked << true << 2 << 30 << false << R::None << 0u
                              << QByteArray() << 1 << QString();
    // Every kind, and an index that is no kind, with the program's NUC correction.
    QTest::newRow("Corvane software") << int(Corvane) << true << kChecked << false << 2 << 30 << true << R::None
                                      << 0u << QByteArray() << 1 << QString();
    QTest::newRow("Belmor software") << int(Belmor) << true << kChecked << true << 2 << 30 << true << R::None << 0u
                                     << QByteArray() << 1 << QString();
    QTest::newRow("Dunstel software") << int(Dunstel) << true << 0 << true << 2 << 30 << true << R::None << 0u
                                      << QByteArray() << 1 << QString();
    QTest::newRow("Eskra hardware") << int(Eskra) << false << kChecked << true << 2 << 30 << false << R::None << 0u
                                    << QByteArray() << 1 << QString();
    QTest::newRow("no board, hardware") << int(None) << false << kChecked << true << 2 << 30 << false << R::None
                                        << 0u << QByteArray() << 1 << QString();
    QTest::newRow("index 9") << 9 << false << kChecked << true << 2 << 30 << false << R::None << 0u << QByteArray()
                             << 1 << QString();
}

// Whatever a board is sent, the cell holds the check state: the frame path
// clamps exactly while HDR is unchecked (Belmor+ used to store 251 there).
void tst_mode_commands::hdr()
{
    QFETCH(int, kind);
    QFETCH(bool, softwareNUC);
    QFETCH(int, state);
    QFETCH(bool, applyNUC);
    QFETCH(int, proxy);
    QFETCH(int, frameRate);
    QFETCH(bool, store);
    QFETCH(ModeRoute, route);
    QFETCH(uint, value);
    QFETCH(QByteArray, text);
    QFETCH(int, sends);
    QFETCH(QString, failure);
    const ModeCommand c = HdrModeCommand(kind, softwareNUC, state, applyNUC, proxy, frameRate);
    QCOMPARE(c.Store, store);
    if (store)
        QCOMPARE(c.CellValue, uint32_t(state));
    QCOMPARE(c.Route, route);
    if (route != ModeRoute::None)
        QCOMPARE(c.Value, uint32_t(value));
    QCOMPARE(c.Text, text);
    QCOMPARE(c.Sends, sends);
    QCOMPARE(c.FailureText, failure);
    if (route == ModeRoute::Register)
        QCOMPARE(c.RegisterId, 22);
}

void tst_mode_commands::invertBW_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("softwareNUC");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("store");
    QTest::addColumn<ModeRoute>("route");
    QTest::addColumn<uint>("value");
    using R = ModeRoute;
    QTest::newRow("Belmor+ on") << int(BelmorPlus) << false << kChecked << true << R::Register << 2u;
    QTest::newRow("Belmor+ off") << int(BelmorPlus) << false << 0 << true << R::Register << 253u;
    QTest::newRow("Arvex on") << int(Arvex) << false << kChecked << true << R::Register << 1u;
    QTest::newRow("Arvex off") << int(Arvex) << false << 0 << true << R::Register << 0u;
    QTest::newRow("Belmor+ software") << int(BelmorPlus) << true << 0 << true << R::None << 0u;
    QTest::newRow("Corvane") << int(Corvane) << false << kChecked << true << R::None << 0u;
    QTest::newRow("Eskra hardware") << int(Eskra) << false << kChecked << false << R::None << 0u;
    QTest::newRow("Eskra software") << int(Eskra) << true << kChecked << true << R::None << 0u;
    QTest::newRow("Arvex software") << int(Arvex) << true << kChecked << true << R::None << 0u;
    QTest::newRow("Corvane software") << int(Corvane) << true << 0 << true << R::None << 0u;
    QTest::newRow("Belmor") << int(Belmor) << false << kChecked << true << R::None << 0u;
    QTest::newRow("Dunstel") << int(Dunstel) << false << 0 << true << R::None << 0u;
    QTest::newRow("no board hardware") << int(None) << false << kChecked << false << R::None << 0u;
    QTest::newRow("no board software") << int(None) << true << kChecked << true << R::None << 0u;
    QTest::newRow("index 9 hardware") << 9 << false << kChecked << false << R::None << 0u;
    QTest::newRow("index 9 software") << 9 << true << 0 << true << R::None << 0u;
}

void tst_mode_commands::invertBW()
{
    QFETCH(int, kind);
    QFETCH(bool, softwareNUC);
    QFETCH(int, state);
    QFETCH(bool, store);
    QFETCH(ModeRoute, route);
    QFETCH(uint, value);
    const ModeCommand c = InvertBWModeCommand(kind, softwareNUC, state);
    QCOMPARE(c.Store, store);
    if (store)
        QCOMPARE(c.CellValue, uint32_t(state));
    QCOMPARE(c.Route, route);
    if (route == ModeRoute::Register) {
        QCOMPARE(c.RegisterId, 23);
        QCOMPARE(c.Value, uint32_t(value));
        QCOMPARE(c.FailureText, QStringLiteral("Couldn't set INVERT_BW_DISPLAY to %1.\n").arg(value));
    }
}

void tst_mode_commands::applyFpn_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("softwareNUC");
    QTest::addColumn<bool>("on");
    QTest::addColumn<bool>("hdr");
    QTest::addColumn<int>("proxy");
    QTest::addColumn<int>("frameRate");
    QTest::addColumn<int>("setupFrequency");
    QTest::addColumn<int>("measured");
    QTest::addColumn<ModeRoute>("route");
    QTest::addColumn<uint>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("enabledCell");
    QTest::addColumn<QString>("log");
    using R = ModeRoute;
    const QString with = "Enabling NUC ... with ReadPhase";
    const QString without = "Enabling NUC ... without ReadPhase";
    QTest::newRow("Arvex 9 @100 on") << int(Arvex) << false << true << false << 9 << 100 << 0 << 0 << R::CameraLinkText
                                     << 2u << QByteArray("#A002#R006#D00002") << 0 << with;
    QTest::newRow("Arvex 9 @100 on HDR") << int(Arvex) << true << true << true << 9 << 100 << 0 << 0
                                         << R::CameraLinkText << 6u << QByteArray("#A002#R006#D00006") << 0 << with;
    QTest::newRow("Arvex 9 @254 on") << int(Arvex) << false << true << false << 9 << 254 << 0 << 0 << R::CameraLinkText
                                     << 0u << QByteArray("#A002#R006#D00000") << 0 << without;
    QTest::newRow("Arvex 12 @255 on HDR") << int(Arvex) << false << true << true << 12 << 255 << 0 << 0
                                          << R::CameraLinkText << 4u << QByteArray("#A002#R006#D00004") << 0 << without;
    QTest::newRow("Arvex 10 @100 on") << int(Arvex) << false << true << false << 10 << 100 << 0 << 0
                                      << R::CameraLinkText << 0u << QByteArray("#A002#R006#D00000") << 0 << without;
    QTest::newRow("Arvex off") << int(Arvex) << false << false << false << 9 << 100 << 0 << 0 << R::CameraLinkText
                               << 1u << QByteArray("#A002#R006#D00001") << 1 << QString();
    QTest::newRow("Arvex off HDR") << int(Arvex) << false << false << true << 9 << 100 << 0 << 0 << R::CameraLinkText
                                   << 5u << QByteArray("#A002#R006#D00005") << 1 << QString();
    QTest::newRow("Belmor+ 9 fast") << int(BelmorPlus) << false << true << true << 9 << 100 << 100 << 99
                                    << R::FpgaRegister << 6u << QByteArray() << 0 << with;
    QTest::newRow("Belmor+ 9 measured slow") << int(BelmorPlus) << false << true << false << 9 << 100 << 100 << 80
                                             << R::FpgaRegister << 0u << QByteArray() << 0 << without;
    QTest::newRow("Belmor+ off") << int(BelmorPlus) << false << false << false << 9 << 100 << 100 << 100
                                 << R::FpgaRegister << 1u << QByteArray() << 1 << QString();
    QTest::newRow("Corvane 12 fast") << int(Corvane) << false << true << false << 12 << 30 << 120 << 120
                                     << R::CorvaneIndirect << 2u << QByteArray() << 0 << with;
    QTest::newRow("Belmor+ software") << int(BelmorPlus) << true << true << false << 9 << 100 << 100 << 100 << R::None
                                      << 0u << QByteArray() << -1 << QString();
    QTest::newRow("Corvane software") << int(Corvane) << true << false << false << 9 << 100 << 100 << 100 << R::None
                                      << 0u << QByteArray() << -1 << QString();
    QTest::newRow("Dunstel") << int(Dunstel) << false << true << false << 9 << 100 << 100 << 100 << R::None << 0u
                             << QByteArray() << -1 << QString();
    QTest::newRow("Corvane off HDR") << int(Corvane) << false << false << true << 12 << 30 << 120 << 120
                                     << R::CorvaneIndirect << 5u << QByteArray() << 1 << QString();
    QTest::newRow("Belmor") << int(Belmor) << false << true << false << 9 << 100 << 100 << 100 << R::None << 0u
                            << QByteArray() << -1 << QString();
    QTest::newRow("Eskra") << int(Eskra) << false << true << false << 9 << 100 << 100 << 100 << R::None << 0u
                           << QByteArray() << -1 << QString();
    QTest::newRow("no board") << int(None) << false << false << false << 9 << 100 << 100 << 100 << R::None << 0u
                              << QByteArray() << -1 << QString();
    QTest::newRow("index 9") << 9 << false << true << false << 9 << 100 << 100 << 100 << R::None << 0u
                             << QByteArray() << -1 << QString();
}

void tst_mode_commands::applyFpn()
{
    QFETCH(int, kind);
    QFETCH(bool, softwareNUC);
    QFETCH(bool, on);
    QFETCH(bool, hdr);
    QFETCH(int, proxy);
    QFETCH(int, frameRate);
    QFETCH(int, setupFrequency);
    QFETCH(int, measured);
    QFETCH(ModeRoute, route);
    QFETCH(uint, value);
    QFETCH(QByteArray, text);
    QFETCH(int, enabledCell);
    QFETCH(QString, log);
    const FpnCommand c = ApplyFpnCommand(kind, softwareNUC, on, hdr, proxy, frameRate, setupFrequency, measured);
    QCOMPARE(c.Route, route);
    if (route != ModeRoute::None)
        QCOMPARE(c.Value, uint32_t(value));
    QCOMPARE(c.Text, text);
    QCOMPARE(c.EnabledCell, enabledCell);
    QCOMPARE(c.LogLine, log);
}

void tst_mode_commands::agcOffset()
{
    // offset + 2 * ((centre * 256) / gain), the division truncated:
    // 100 + 2 * 640, -50 + 2 * 109.
    QCOMPARE(OffsetAfterAgc(100, 10, 4), 1380);
    QCOMPARE(OffsetAfterAgc(-50, 3, 7), 168);
    QCOMPARE(OffsetAfterAgc(0, 0, 9), 0);
    // A gain of 0 counts as 1 instead of dividing by zero: 5 + 2 * 512.
    QCOMPARE(OffsetAfterAgc(5, 2, 0), 1029);
}

void tst_mode_commands::sizePresets()
{
    WindowPresets p;
    p.Divisor = 2;
    p.DivisorDefault = 2;
    p.BlindColumnsDefault = 0x22; // 2 + 2 blind columns, / 2 = 2
    p.FullLastColumn = 319;
    p.FullRows = 480;
    p.SizeALastColumn = 159;
    p.SizeARows = 240;
    p.SizeBLastColumn = 79;
    p.SizeBRows = 120;
    // Xc = ((319 + 1 + 2) * 2) / 2 = 322, Yc = 240.
    const WindowCorners a = SizePresetWindow(true, false, p);
    QVERIFY(a.Set);
    // Size A: 162 columns of 2 each side of the centre, 120 rows above it.
    QCOMPARE(a.XFirst, 160);
    QCOMPARE(a.XLast, 483);
    QCOMPARE(a.YFirst, 120);
    QCOMPARE(a.YLast, 359);
    const WindowCorners b = SizePresetWindow(false, true, p);
    QCOMPARE(b.XFirst, 240);
    QCOMPARE(b.YLast, 299);
    const WindowCorners full = SizePresetWindow(true, true, p);
    QCOMPARE(full.XFirst, 0);
    QCOMPARE(full.XLast, 644);
    QCOMPARE(full.YFirst, 0);
    QCOMPARE(full.YLast, 479);
    QVERIFY(!SizePresetWindow(false, false, p).Set);
    // A proxy without a windowing divisor default does not divide by zero.
    p.DivisorDefault = 0;
    QVERIFY(SizePresetWindow(true, false, p).Set);
}

QTEST_GUILESS_MAIN(tst_mode_commands)
#include "tst_mode_commands.moc"
