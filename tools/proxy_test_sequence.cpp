// The proxy-board test's steps, their waits and progress, and how a stop takes the board down again.
#include "tools/proxy_test_sequence.h"

ProxyTestSequence::ProxyTestSequence(ProxyTestBoard& p_rBoard, ProxyTestHost& p_rHost)
    : m_rBoard(p_rBoard)
    , m_rHost(p_rHost)
{
}

void ProxyTestSequence::start()
{
    if (m_bRunning)
        return;
    m_bRunning = true;
    m_bCutShort = false;
    m_Verdict = Verdict::None;
    m_rHost.setProgress(0);
    m_Steps.clear();
    m_uNextStep = 0;
    m_uFirstPress = 0;
    m_uClosingPress = 0;
    const std::weak_ptr<char> alive = m_pAlive;
    m_rHost.runStarted();
    // The main window refuses a second run beside one in progress.
    if (alive.expired() || !m_bRunning)
        return;
    build();
    m_uNextStep = 0;
    runNextStep();
}

ProxyTestSequence::Step ProxyTestSequence::awaitDisconnected(bool p_bClosing)
{
    // Repeats itself until the board is down. A board that stays up ends the
    // run before the presses, which would then do something else; after the
    // closing press the run ends anyway.
    return [this, p_bClosing]() {
        if (!m_rBoard.isConnected())
            return 0;
        if (m_rHost.nowNs() - m_iDisconnectStartNs >= DisconnectLimitMs * 1000000) {
            if (!p_bClosing)
                stop();
            return 0;
        }
        --m_uNextStep;
        return DisconnectPollMs;
    };
}

void ProxyTestSequence::writeGsk(const ProxyTestChoices& p_Choices, int p_iDelta)
{
    switch (p_Choices.GskChannel) {
    case GskDac::A: m_Writer.set(ParameterBox::DAC_A, p_Choices.DacA + p_iDelta); break;
    case GskDac::B: m_Writer.set(ParameterBox::DAC_B, p_Choices.DacB + p_iDelta); break;
    case GskDac::C: m_Writer.set(ParameterBox::DAC_C, p_Choices.DacC + p_iDelta); break;
    case GskDac::D: m_Writer.set(ParameterBox::DAC_D, p_Choices.DacD + p_iDelta); break;
    case GskDac::None: break;
    }
    m_Writer.send();
}

void ProxyTestSequence::build()
{
    auto observe = [this]() { return m_rHost.choices().ObservationMs; };
    // The presses connect and start from the disconnected state only: a board
    // that streams (or is connected) is taken down first.
    m_Steps.push_back([this]() {
        m_iDisconnectStartNs = m_rHost.nowNs();
        if (m_rBoard.isConnected())
            m_rBoard.requestDisconnect();
        return 0;
    });
    m_Steps.push_back(awaitDisconnected(false));
    m_uFirstPress = m_Steps.size();
    // The next step is timed before the press: the press may not return
    // before the acquisition ends.
    auto press = [this]() {
        m_rHost.startWait(PressMs);
        m_rBoard.pressConnect();
        return -1;
    };
    m_Steps.push_back(press);
    m_Steps.push_back(press);
    m_Steps.push_back([this]() {
        const ProxyTestChoices c = m_rHost.choices();
        if (!c.ChangeBias)
            return 0;
        m_Writer.set(ParameterBox::TINT, c.Tint);
        m_Writer.set(ParameterBox::DAC_A, c.DacA);
        m_Writer.set(ParameterBox::DAC_B, c.DacB);
        m_Writer.set(ParameterBox::DAC_C, c.DacC);
        m_Writer.set(ParameterBox::DAC_D, c.DacD);
        m_Writer.send();
        return BiasMs;
    });
    m_Steps.push_back(observe);
    m_Steps.push_back([this]() {
        if (m_rHost.choices().SaveBmp)
            m_rBoard.saveImage(QStringLiteral("Test.bmp"));
        // The shutter part runs only when the NUC box is checked now.
        m_bShutterPart = m_rHost.choices().Nuc;
        if (!m_bShutterPart)
            return 0;
        m_rHost.showPrompt(ShutterPrompt::Put);
        return ShutterMs;
    });
    m_Steps.push_back([this]() {
        if (!m_bShutterPart)
            return 0;
        m_rHost.closePrompt(ShutterPrompt::Put);
        m_rBoard.takeFpn();
        m_rHost.showPrompt(ShutterPrompt::Remove);
        return ShutterMs;
    });
    m_Steps.push_back([this]() {
        if (!m_bShutterPart)
            return 0;
        m_rHost.closePrompt(ShutterPrompt::Remove);
        m_Writer.set(ParameterBox::ImageGain, m_rHost.choices().Gain);
        m_Writer.set(ParameterBox::ImageOffset, m_rHost.choices().Offset);
        return 0;
    });
    m_Steps.push_back(observe);
    m_Steps.push_back([this, observe]() {
        const ProxyTestChoices c = m_rHost.choices();
        m_bGskPart = c.GskVariation;
        if (!m_bGskPart)
            return 0;
        writeGsk(c, c.Variation);
        return observe();
    });
    m_Steps.push_back([this, observe]() {
        if (!m_bGskPart)
            return 0;
        const ProxyTestChoices c = m_rHost.choices();
        writeGsk(c, -c.Variation);
        return observe();
    });
    m_uClosingPress = m_Steps.size();
    m_Steps.push_back([this]() {
        m_iDisconnectStartNs = m_rHost.nowNs();
        m_rBoard.pressConnect();
        return 0;
    });
    // The run is over once the board is down again.
    m_Steps.push_back(awaitDisconnected(true));
}

void ProxyTestSequence::resume()
{
    runNextStep();
}

void ProxyTestSequence::runNextStep()
{
    if (!m_bRunning)
        return;
    if (m_uNextStep >= m_Steps.size()) {
        endRun();
        return;
    }
    // A copy: the step may outlive the list, and the sequence too.
    const Step step = m_Steps[m_uNextStep++];
    const std::weak_ptr<char> alive = m_pAlive;
    const uint64_t uEpoch = m_uEpoch;
    const int iDelay = step();
    // A stop during the step has set the course already.
    if (alive.expired() || !m_bRunning || uEpoch != m_uEpoch)
        return;
    if (m_uNextStep < m_Steps.size())
        m_rHost.setProgress(static_cast<int>(m_uNextStep * 100 / m_Steps.size()));
    if (iDelay < 0)
        return;
    m_rHost.startWait(iDelay);
}

// The connection is left as the sequence found it when both of its opening
// presses were made (disconnected), otherwise untouched. The closing press
// goes from the host's timer, never from inside the caller that asked for
// the stop.
void ProxyTestSequence::stop()
{
    if (!m_bRunning)
        return;
    ++m_uEpoch;
    m_bCutShort = true;
    m_rHost.hidePrompts();
    if (m_uNextStep > m_uClosingPress) {
        // The closing press is made: the wait for the board goes on.
        if (!m_rHost.isWaiting())
            m_rHost.startWait(0);
        return;
    }
    if (m_uNextStep >= m_uFirstPress + 2) {
        m_uNextStep = m_uClosingPress;
        m_rHost.startWait(0);
        return;
    }
    endRun();
}

void ProxyTestSequence::endRun()
{
    m_rHost.stopWait();
    m_bRunning = false;
    ++m_uEpoch;
    m_Verdict = m_bCutShort ? Verdict::CutShort : Verdict::Completed;
    // A run cut short keeps the progress where it stopped.
    if (!m_bCutShort)
        m_rHost.setProgress(100);
    m_rHost.runEnded();
}
