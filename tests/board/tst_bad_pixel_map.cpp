// Bad-pixel map files: the CSV reader and the four orientation lists.
#include "board/bad_pixel_map.h"

#include <QtTest>

#include <vector>

namespace {

using Pairs = QVector<QPair<qint64, qint64>>;

Pairs PairsOf(const BadPixelMap& p_Map)
{
    Pairs out;
    for (const BadPixelPair& p : p_Map.Pairs)
        out.append({p.Row, p.Column});
    return out;
}

// Four lists of p_uWords words each, filled with a marker so untouched words show.
struct Lists
{
    explicit Lists(size_t p_uWords) : words(4, std::vector<uint32_t>(p_uWords, 0xDEADBEEFu))
    {
        for (int k = 0; k < 4; ++k)
            ptr[k] = words[k].data();
    }
    std::vector<std::vector<uint32_t>> words;
    uint32_t* ptr[4] = {};
};

} // namespace

class TestBadPixelMap : public QObject
{
    Q_OBJECT

private slots:
    void reader_data();
    void reader();
    void readable_data();
    void readable();
    void fourListsOfTheReferenceFile();
    void flipsFollowTheFrame_data();
    void flipsFollowTheFrame();
    void outsideTheFrameStopsTheFilling();
    void countIsCappedAtTheListSize();
    void noListsNothingWritten();
};

void TestBadPixelMap::reader_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<char>("separator");
    QTest::addColumn<Pairs>("pairs");
    QTest::addColumn<int>("badLine");
    QTest::newRow("semicolon") << QByteArray("Ligne;Colonne\n12;34\n5;6\n") << ';' << Pairs{{12, 34}, {5, 6}} << 0;
    // The last pair counts without a line break after it.
    QTest::newRow("no final line break") << QByteArray("Ligne;Colonne\n12;34\n5;6") << ';' << Pairs{{12, 34}, {5, 6}}
                                         << 0;
    QTest::newRow("comma, CRLF") << QByteArray("Ligne,Colonne\r\n1,2\r\n3,4\r\n") << ',' << Pairs{{1, 2}, {3, 4}} << 0;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFLigne;Colonne\n7;8\n") << ';' << Pairs{{7, 8}} << 0;
    // C %i: sign, octal with a leading 0, hexadecimal with 0x; blanks before a number.
    QTest::newRow("%i forms") << QByteArray("Ligne;Colonne\n010;0x1F\n-3; +4\n\n\n  9;\n10\n") << ';'
                              << Pairs{{8, 31}, {-3, 4}, {9, 10}} << 0;
    QTest::newRow("header only") << QByteArray("Ligne;Colonne\n") << ';' << Pairs{} << 0;
    QTest::newRow("file ends inside the header") << QByteArray("Ligne;Col") << char(0) << Pairs{} << 0;
    QTest::newRow("other separator") << QByteArray("Ligne\tColonne\n1\t2\n") << char(0) << Pairs{} << 0;
    QTest::newRow("not a map") << QByteArray("Row;Column\n1;2\n") << char(0) << Pairs{} << 0;
    QTest::newRow("empty") << QByteArray() << char(0) << Pairs{} << 0;
    // The reading stops at the first line that is not a pair and says where.
    QTest::newRow("letters") << QByteArray("Ligne;Colonne\n1;2\nab;3\n4;5\n") << ';' << Pairs{{1, 2}} << 3;
    QTest::newRow("blank before the separator") << QByteArray("Ligne;Colonne\n1 ;2\n") << ';' << Pairs{} << 2;
    QTest::newRow("half a pair at the end") << QByteArray("Ligne;Colonne\n1;2\n3;") << ';' << Pairs{{1, 2}} << 3;
    QTest::newRow("extra field") << QByteArray("Ligne;Colonne\n1;2;3\n") << ';' << Pairs{{1, 2}} << 2;
    QTest::newRow("huge values clamp") << QByteArray("Ligne;Colonne\n99999999999999999999;1\n") << ';'
                                       << Pairs{{qint64(1) << 40, 1}} << 0;
}

void TestBadPixelMap::reader()
{
    QFETCH(QByteArray, content);
    QFETCH(char, separator);
    QFETCH(Pairs, pairs);
    QFETCH(int, badLine);
    const BadPixelMap map = ReadBadPixelCsv(content);
    QCOMPARE(map.Separator, separator);
    QCOMPARE(PairsOf(map), pairs);
    QCOMPARE(map.StoppedEarly, badLine != 0);
    QCOMPARE(map.BadLine, badLine);
}

void TestBadPixelMap::readable_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("readable");
    QTest::newRow("pairs") << QByteArray("Ligne;Colonne\n12;34\n") << true;
    QTest::newRow("header only: a map of no pixel") << QByteArray("Ligne,Colonne\n") << true;
    QTest::newRow("pairs, then not a pair") << QByteArray("Ligne;Colonne\n1;2\nab;3\n") << true;
    QTest::newRow("header, then not a pair") << QByteArray("Ligne;Colonne\nab;3\n1;2\n") << false;
    QTest::newRow("no header") << QByteArray("Row;Column\n1;2\n") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\x01\x02", 18) << false;
}

void TestBadPixelMap::readable()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, readable);
    QCOMPARE(IsReadableBadPixelMap(ReadBadPixelCsv(content)), readable);
}

void TestBadPixelMap::fourListsOfTheReferenceFile()
{
    // A 640 x 480 frame, pitch 1280 bytes.
    const BadPixelMap map = ReadBadPixelCsv("Ligne;Colonne\n12;34\n5;6\n");
    Lists lists(640 * 480 * 2);
    const BadPixelFillResult r = FillBadPixelLists(map.Pairs, {640, 480, 1280}, lists.ptr, 640 * 480 * 2);
    QCOMPARE(r.Stored, 2u);
    QVERIFY(!r.OutOfRange && !r.Capped);
    const uint32_t expected[4][3] = {
        {2, 12 * 640 + 34, 5 * 640 + 6},
        {2, 467 * 640 + 34, 474 * 640 + 6},
        {2, 12 * 640 + 605, 5 * 640 + 633},
        {2, 467 * 640 + 605, 474 * 640 + 633},
    };
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 3; ++i)
            QCOMPARE(lists.words[k][i], expected[k][i]);
    QCOMPARE(lists.words[0][3], 0xDEADBEEFu);
}

void TestBadPixelMap::flipsFollowTheFrame_data()
{
    QTest::addColumn<uint>("width");
    QTest::addColumn<uint>("height");
    QTest::addColumn<uint>("pitch");
    // Frames whose acquisition-buffer cells differ from the delivered frame
    // (80 x 80 buffer on a 1024 x 768 sensor, 2560 x 512 on 1280 x 1024): the
    // flips taken from those cells would leave the frame or wrap below 0.
    QTest::newRow("1024x768") << 1024u << 768u << 2048u;
    QTest::newRow("1280x1024") << 1280u << 1024u << 2560u;
    QTest::newRow("pitch wider than the line") << 650u << 512u << 1408u;
}

void TestBadPixelMap::flipsFollowTheFrame()
{
    QFETCH(uint, width);
    QFETCH(uint, height);
    QFETCH(uint, pitch);
    const uint32_t frameElements = height * pitch / 2;
    QVector<BadPixelPair> corners{{0, 0}, {0, width - 1}, {height - 1, 0}, {height - 1, width - 1}};
    Lists lists(frameElements);
    const BadPixelFillResult r = FillBadPixelLists(corners, {width, height, pitch}, lists.ptr, frameElements);
    QCOMPARE(r.Stored, 4u);
    const uint32_t line = pitch / 2;
    const uint32_t last = (height - 1) * line;
    // Each orientation maps the four frame corners onto the four corners.
    const uint32_t expected[4][4] = {
        {0, width - 1, last, last + width - 1},
        {last, last + width - 1, 0, width - 1},
        {width - 1, 0, last + width - 1, last},
        {last + width - 1, last, width - 1, 0},
    };
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(lists.words[k][1 + i], expected[k][i]);
            QVERIFY(lists.words[k][1 + i] < frameElements);
        }
}

void TestBadPixelMap::outsideTheFrameStopsTheFilling()
{
    const QVector<QVector<BadPixelPair>> cases{
        {{1, 1}, {480, 0}, {2, 2}},   // row equal to the height
        {{1, 1}, {0, 640}, {2, 2}},   // column equal to the width
        {{1, 1}, {-1, 0}, {2, 2}},    // negative row
        {{1, 1}, {0, -5}, {2, 2}},
    };
    for (const auto& pairs : cases) {
        Lists lists(100);
        const BadPixelFillResult r = FillBadPixelLists(pairs, {640, 480, 1280}, lists.ptr, 100);
        QVERIFY(r.OutOfRange);
        QCOMPARE(r.OutOfRangeIndex, 1);
        QCOMPARE(r.Stored, 1u);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(lists.words[k][0], 1u);
            QCOMPARE(lists.words[k][2], 0xDEADBEEFu);
        }
    }
}

void TestBadPixelMap::countIsCappedAtTheListSize()
{
    QVector<BadPixelPair> pairs;
    for (int i = 0; i < 10; ++i)
        pairs.append({i, i});
    Lists lists(5);
    const BadPixelFillResult r = FillBadPixelLists(pairs, {640, 480, 1280}, lists.ptr, 4);
    QVERIFY(r.Capped);
    QCOMPARE(r.Stored, 3u);
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(lists.words[k][0], 3u);
        QCOMPARE(lists.words[k][4], 0xDEADBEEFu);
    }
    ClearBadPixelCounts(lists.ptr);
    for (int k = 0; k < 4; ++k)
        QCOMPARE(lists.words[k][0], 0u);
}

void TestBadPixelMap::noListsNothingWritten()
{
    uint32_t* none[4] = {nullptr, nullptr, nullptr, nullptr};
    QCOMPARE(FillBadPixelLists({{1, 1}}, {640, 480, 1280}, none, 100).Stored, 0u);
    ClearBadPixelCounts(none);
    Lists lists(4);
    QCOMPARE(FillBadPixelLists({{1, 1}}, {640, 480, 1280}, lists.ptr, 0).Stored, 0u);
    QCOMPARE(lists.words[0][0], 0xDEADBEEFu);
}

QTEST_GUILESS_MAIN(TestBadPixelMap)
#include "tst_bad_pixel_map.moc"
