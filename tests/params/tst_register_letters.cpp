// The register-letter table read both ways, against each family's encoder and the simulated Camera Link boards.
#include "params/register_letters.h"

#include "board/cameralink_commands.h"
#include "board/eskra_command.h"
#include "board/gige_link.h"
#include "sim/cameralink/cameralink_board.h"
#include "sim/core/board_registry.h"
#include "sim/core/sensor_model.h"
#include "support/test_app_folder.h"

#include <QtTest>

Q_DECLARE_METATYPE(RegisterFamily)

namespace {

// Each family's letters by register id 0..41 as the boards' firmware reads
// them ('.': no command), written out once more by hand so that a slip in
// the shared table shows here.
const char* LettersById(RegisterFamily p_Family)
{
    switch (p_Family) {
    case RegisterFamily::Belmor: return "12346789ABCDE.......FGHIab.PQRSTUVWXY.....";
    case RegisterFamily::Arvex: return "12346789ABCDE.......GO.K...PQ.ST...X.ILwxy";
    case RegisterFamily::GigE: return "12346789ABCDE...........ab.PQRSTU..X......";
    case RegisterFamily::Eskra: return "12345789ABCDE.............................";
    }
    return "";
}

QByteArray Encode(RegisterFamily p_Family, int p_iId, int p_iValue)
{
    switch (p_Family) {
    case RegisterFamily::Belmor: return FormatBelmorCommand(p_iId, p_iValue);
    case RegisterFamily::Arvex: return FormatArvexCommand(p_iId, p_iValue);
    case RegisterFamily::GigE: return FormatGigECommand(p_iId, p_iValue);
    case RegisterFamily::Eskra: {
        const QString sText = FormatEskraCommand(p_iId, p_iValue);
        return sText == QStringLiteral("NONE") ? QByteArray() : sText.toLatin1();
    }
    }
    return QByteArray();
}

int DecodedId(RegisterFamily p_Family, const QByteArray& p_Text)
{
    if (p_Family == RegisterFamily::Arvex)
        return p_Text.startsWith('*') ? RegisterIdForLetter(p_Family, p_Text[1], ArvexLastBangRegister + 1)
                                      : RegisterIdForLetter(p_Family, p_Text[1], 0, ArvexLastBangRegister);
    return RegisterIdForLetter(p_Family, p_Text[1]);
}

void AddFamilies()
{
    QTest::addColumn<RegisterFamily>("family");
    QTest::newRow("Belmor") << RegisterFamily::Belmor;
    QTest::newRow("Arvex") << RegisterFamily::Arvex;
    QTest::newRow("GigE") << RegisterFamily::GigE;
    QTest::newRow("Eskra") << RegisterFamily::Eskra;
}

} // namespace

class TestRegisterLetters : public QObject
{
    Q_OBJECT

private slots:
    void letterOfEveryId_data() { AddFamilies(); }
    void letterOfEveryId()
    {
        QFETCH(RegisterFamily, family);
        const QByteArray expected(LettersById(family));
        for (int iId = -1; iId <= 45; ++iId) {
            const char cWant = iId >= 0 && iId < expected.size() && expected[iId] != '.' ? expected[iId] : 0;
            QCOMPARE(RegisterLetter(family, iId), cWant);
            // The encoder sends that letter, or nothing at all.
            const QByteArray text = Encode(family, iId, 1);
            if (cWant == 0) {
                QVERIFY2(text.isEmpty(), text.constData());
                continue;
            }
            QCOMPARE(text.at(1), cWant);
            // ... and the decoder reads the text back as the same register.
            QCOMPARE(DecodedId(family, text), iId);
        }
    }

    // A letter the family does not use, and a letter of the other prefix, decode to nothing.
    void unknownLettersDecodeToNothing()
    {
        QCOMPARE(RegisterIdForLetter(RegisterFamily::Eskra, '6'), -1);
        QCOMPARE(RegisterIdForLetter(RegisterFamily::Belmor, '5'), -1);
        QCOMPARE(RegisterIdForLetter(RegisterFamily::GigE, 'F'), -1);
        QCOMPARE(RegisterIdForLetter(RegisterFamily::Belmor, 0), -1);
        QCOMPARE(RegisterIdForLetter(RegisterFamily::Arvex, 'I', 0, ArvexLastBangRegister), -1);
        QCOMPARE(RegisterIdForLetter(RegisterFamily::Arvex, '1', ArvexLastBangRegister + 1), -1);
    }

    // Field widths and 16-bit folding stay each family's own.
    void commandTexts_data()
    {
        QTest::addColumn<RegisterFamily>("family");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("Belmor TINT") << RegisterFamily::Belmor << 0 << 100 << QByteArray("!10100");
        QTest::newRow("Belmor offset, 5 digits, 16 bits") << RegisterFamily::Belmor << 21 << 70000 << QByteArray("!G04464");
        QTest::newRow("Belmor 3 digits") << RegisterFamily::Belmor << 22 << 7 << QByteArray("!H007");
        QTest::newRow("Belmor FPGA value") << RegisterFamily::Belmor << 25 << 12 << QByteArray("!b012");
        QTest::newRow("Belmor last") << RegisterFamily::Belmor << 36 << 5 << QByteArray("!Y0005");
        QTest::newRow("Arvex bang") << RegisterFamily::Arvex << 4 << 3 << QByteArray("!60003");
        QTest::newRow("Arvex star 5 digits") << RegisterFamily::Arvex << 21 << 65537 << QByteArray("*O00001");
        QTest::newRow("Arvex star gain") << RegisterFamily::Arvex << 20 << 5 << QByteArray("*G0005");
        QTest::newRow("Arvex star 16 bits") << RegisterFamily::Arvex << 41 << 70000 << QByteArray("*y4464");
        QTest::newRow("GigE line end") << RegisterFamily::GigE << 35 << 12 << QByteArray("!X0012\n\r");
        QTest::newRow("Eskra GMS") << RegisterFamily::Eskra << 4 << 1 << QByteArray("!50001");
    }
    void commandTexts()
    {
        QFETCH(RegisterFamily, family);
        QFETCH(int, id);
        QFETCH(int, value);
        QFETCH(QByteArray, text);
        QCOMPARE(Encode(family, id, value), text);
    }

    // What the program sends to a Camera Link board lands in the register it meant.
    void cameraLinkBoardsStoreWhatIsSent_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("Belmor") << static_cast<int>(BoardKind::Belmor);
        QTest::newRow("Belmor+") << static_cast<int>(BoardKind::BelmorPlus);
        QTest::newRow("Arvex") << static_cast<int>(BoardKind::Arvex);
    }
    void cameraLinkBoardsStoreWhatIsSent()
    {
        QFETCH(int, kind);
        TestAppFolder folder;
        const BoardKind boardKind = static_cast<BoardKind>(kind);
        sim::CameraLinkBoard& board = sim::CameraLinkBoardFor(boardKind);
        const bool bArvex = boardKind == BoardKind::Arvex;
        for (int iId : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 20, 21, 28, 30, 31}) {
            const QByteArray text = bArvex ? FormatArvexCommand(iId, 40 + iId) : FormatBelmorCommand(iId, 40 + iId);
            if (text.isEmpty())
                continue;
            board.receive(text);
            const std::shared_ptr<sim::SensorModel> model = sim::SensorFor(boardKind);
            QVERIFY(model);
            QCOMPARE(model->registerValue(iId), 40 + iId);
        }
    }
};

QTEST_MAIN(TestRegisterLetters)
#include "tst_register_letters.moc"
