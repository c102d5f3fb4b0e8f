// The serial command protocol of the simulated Camera Link boards.
#include "sim/cameralink/cameralink_board.h"

#include "sim/core/board_registry.h"
#include "sim/core/message_recorder.h"

#include "params/register_letters.h"

#include <QRegularExpression>

namespace sim {

namespace {

// The letters the boards' firmware decodes are the program's own table:
// params/register_letters.h.
int BangLetterId(BoardKind p_Kind, char p_cLetter)
{
    if (p_Kind == BoardKind::Arvex)
        return RegisterIdForLetter(RegisterFamily::Arvex, p_cLetter, 0, ArvexLastBangRegister);
    return RegisterIdForLetter(RegisterFamily::Belmor, p_cLetter);
}

// "*" letters of the Arvex board.
int StarLetterId(char p_cLetter)
{
    return RegisterIdForLetter(RegisterFamily::Arvex, p_cLetter, ArvexLastBangRegister + 1);
}

constexpr int kFpgaBoardAddress = 2;
constexpr int kNucFpgaRegister = 6;
constexpr int kNucCorrectionOff = 0x1;

} // namespace

bool ParseDecimal(const QByteArray& p_Text, int* p_pValue)
{
    if (p_Text.isEmpty() || p_Text.size() > 11)
        return false;
    int i = 0;
    if (p_Text[0] == '-' || p_Text[0] == '+')
        i = 1;
    if (i >= p_Text.size())
        return false;
    for (int k = i; k < p_Text.size(); ++k)
        if (p_Text[k] < '0' || p_Text[k] > '9')
            return false;
    bool bOk = false;
    const qlonglong v = p_Text.toLongLong(&bOk);
    if (!bOk || v < INT32_MIN || v > INT32_MAX)
        return false;
    *p_pValue = static_cast<int>(v);
    return true;
}

bool IsCameraLinkKind(BoardKind p_Kind)
{
    return p_Kind == BoardKind::Arvex || p_Kind == BoardKind::Belmor || p_Kind == BoardKind::BelmorPlus;
}

CameraLinkBoard& CameraLinkBoardFor(BoardKind p_Kind)
{
    static CameraLinkBoard s_Arvex(BoardKind::Arvex);
    static CameraLinkBoard s_Belmor(BoardKind::Belmor);
    static CameraLinkBoard s_BelmorPlus(BoardKind::BelmorPlus);
    switch (p_Kind) {
    case BoardKind::Arvex: return s_Arvex;
    case BoardKind::Belmor: return s_Belmor;
    default: return s_BelmorPlus;
    }
}

CameraLinkBoard::CameraLinkBoard(BoardKind p_Kind)
    : m_Kind(p_Kind)
{
}

QByteArray CameraLinkBoard::identification() const
{
    switch (m_Kind) {
    case BoardKind::Arvex: return QByteArrayLiteral("Arvex DigiBoard V2.3");
    case BoardKind::Belmor: return QByteArrayLiteral("Belmor DigiBoard V1.8");
    default: return QByteArrayLiteral("Belmor+ DigiBoard V3.1");
    }
}

int CameraLinkBoard::proxyNumberOnWire(int p_iProxyIndex) const
{
    // The Arvex firmware reports its proxy number one below the number it was
    // given; the program's table for that board counts the same way.
    return m_Kind == BoardKind::Arvex ? p_iProxyIndex - 1 : p_iProxyIndex;
}

int CameraLinkBoard::proxyIndexFromWire(int p_iNumber) const
{
    return p_iNumber;
}

QByteArray CameraLinkBoard::receive(const QByteArray& p_Message)
{
    RecordMessage(m_Kind, QByteArrayLiteral("serial"), p_Message);

    // The Arvex board always receives 8 bytes; the command is the text before
    // the zero fill. The other boards get the text alone.
    QByteArray text = p_Message;
    const int iZero = text.indexOf('\0');
    if (iZero >= 0)
        text.truncate(iZero);
    if (text.isEmpty())
        return QByteArray();

    std::shared_ptr<SensorModel> pSensor = SensorFor(m_Kind);
    const bool bArvex = m_Kind == BoardKind::Arvex;
    const char cQuery = bArvex ? '*' : '!';

    if (text == "v")
        return identification();
    if (text.size() == 2 && text[0] == cQuery) {
        switch (text[1]) {
        case 'p': return QByteArray::number(proxyNumberOnWire(pSensor->proxyIndex()));
        case 'f': return QByteArray::number(pSensor->frameRateCode());
        case 's':
            {
                std::lock_guard<std::mutex> lock(m_Mutex);
                m_bFpnReference = true;
            }
            updateCorrectedOutput();
            return QByteArray();
        default: break;
        }
    }
    if (text.startsWith('#')) {
        handleFpgaText(text);
        return QByteArray();
    }
    if (text.startsWith('!')) {
        handleRegisterText(text);
        return QByteArray();
    }
    if (bArvex && text.startsWith('*')) {
        handleStarText(text);
        return QByteArray();
    }
    // Anything else (a line typed in a terminal) is ignored, as the firmware does.
    return QByteArray();
}

bool CameraLinkBoard::handleRegisterText(const QByteArray& p_Text)
{
    if (p_Text.size() < 3)
        return false;
    const int iId = BangLetterId(m_Kind, p_Text[1]);
    int iValue = 0;
    if (iId < 0 || !ParseDecimal(p_Text.mid(2), &iValue))
        return false;
    writeRegister(iId, iValue);
    return true;
}

bool CameraLinkBoard::handleStarText(const QByteArray& p_Text)
{
    if (p_Text.size() < 3)
        return false;
    const int iId = StarLetterId(p_Text[1]);
    int iValue = 0;
    if (iId < 0 || !ParseDecimal(p_Text.mid(2), &iValue))
        return false;
    writeRegister(iId, iValue & 0xFFFF);
    return true;
}

bool CameraLinkBoard::handleFpgaText(const QByteArray& p_Text)
{
    static const QRegularExpression s_Re(QStringLiteral("^#A(\\d{1,3})#R(\\d{1,3})#D(\\d{1,5})$"));
    const QRegularExpressionMatch m = s_Re.match(QString::fromLatin1(p_Text));
    if (!m.hasMatch())
        return false;
    if (m.captured(1).toInt() != kFpgaBoardAddress)
        return false;
    SensorFor(m_Kind)->setFpgaRegister(m.captured(2).toInt(), m.captured(3).toInt());
    updateCorrectedOutput();
    return true;
}

void CameraLinkBoard::writeRegister(int p_iId, int p_iValue)
{
    std::shared_ptr<SensorModel> pSensor = SensorFor(m_Kind);
    pSensor->setRegister(p_iId, p_iValue);
    if (p_iId == Register::PERSO_VALUE)
        updateCorrectedOutput();
    if (p_iId == Register::FrameRateProxy) {
        const int iIndex = proxyIndexFromWire(p_iValue);
        if (iIndex >= 0 && iIndex <= 24)
            pSensor->setProxyIndex(iIndex);
        return;
    }
    if (m_Kind != BoardKind::Arvex)
        return;
    std::lock_guard<std::mutex> lock(m_Mutex);
    switch (p_iId) {
    case Register::BadPixelMode: m_iBadPixelMode = p_iValue; break;
    case Register::BadPixelIndex: m_iBadPixelSlot = p_iValue; break;
    case Register::BadPixelColumn: m_BadPixels[m_iBadPixelSlot].column = p_iValue; break;
    case Register::BadPixelRow: m_BadPixels[m_iBadPixelSlot].row = p_iValue; break;
    default: break;
    }
}

std::map<int, CameraLinkBoard::BadPixelEntry> CameraLinkBoard::badPixelMemory() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_BadPixels;
}

int CameraLinkBoard::badPixelCorrectionMode() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_iBadPixelMode;
}

void CameraLinkBoard::updateCorrectedOutput()
{
    std::shared_ptr<SensorModel> pSensor = SensorFor(m_Kind);
    bool bReference;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        bReference = m_bFpnReference;
    }
    pSensor->setBoardCorrectedOutput(bReference && (pSensor->fpgaRegister(kNucFpgaRegister) & kNucCorrectionOff) == 0);
}

void CameraLinkBoard::powerCycle()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bFpnReference = false;
    m_BadPixels.clear();
    m_iBadPixelSlot = 0;
    m_iBadPixelMode = -1;
}

} // namespace sim
