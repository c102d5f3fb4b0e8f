// The proxy-board test's sequence: connect, bias, saved image, shuttered NUC, GSK variation, disconnect, as steps on the window's timer.
#pragma once

#include "pipeline/bad_pixel_detection.h"
#include "tools/parameter_writer.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The operator's choices, read again by every step that uses them.
struct ProxyTestChoices
{
    bool ChangeBias = false;
    int Tint = 0;
    int DacA = 0;
    int DacB = 0;
    int DacC = 0;
    int DacD = 0;
    int ObservationMs = 0;
    bool SaveBmp = false;
    bool Nuc = false;
    int Gain = 0;
    int Offset = 0;
    bool GskVariation = false;
    int Variation = 0;
    // The DAC that carries the selected proxy's GSK.
    GskDac GskChannel = GskDac::None;
};

// The main window as the test drives it: its connection state and button,
// its FPN button and its image saving.
class ProxyTestBoard
{
public:
    virtual ~ProxyTestBoard() = default;
    virtual bool isConnected() const = 0;
    // Asks for the board to be taken down; it may go some time later.
    virtual void requestDisconnect() = 0;
    // May run the board's frame loop until the acquisition ends before it returns.
    virtual void pressConnect() = 0;
    virtual void takeFpn() = 0;
    virtual void saveImage(const QString& p_sName) = 0;
};

enum class ShutterPrompt { Put, Remove };

// The window around the sequence: one timer, a monotonic clock, the
// operator's prompts and the progress bar.
class ProxyTestHost
{
public:
    virtual ~ProxyTestHost() = default;
    virtual ProxyTestChoices choices() const = 0;
    // Arms the one wait (replacing any); once it has passed, the host calls
    // ProxyTestSequence::resume().
    virtual void startWait(int p_iMs) = 0;
    virtual bool isWaiting() const = 0;
    virtual void stopWait() = 0;
    virtual int64_t nowNs() const = 0;
    virtual void showPrompt(ShutterPrompt p_Prompt) = 0;
    // Closes the prompt and lets the events it leaves be handled.
    virtual void closePrompt(ShutterPrompt p_Prompt) = 0;
    virtual void hidePrompts() = 0;
    virtual void setProgress(int p_iPercent) = 0;
    // The run has begun and no step has run yet; the sequence may be stopped from here.
    virtual void runStarted() = 0;
    // The run is over (ended, stopped, or cut short before its presses).
    virtual void runEnded() = 0;
};

// The sequence is a list of steps rather than one routine with nested
// waits: a connection press can itself run the board's frame loop until the
// acquisition ends, and the sequence must go on meanwhile to observe, save
// and finally disconnect. Each step returns the wait before the next one.
class ProxyTestSequence
{
public:
    enum class Verdict {
        // No run has ended yet.
        None,
        // Every step ran; the progress reached 100.
        Completed,
        // Stopped before its end; the progress stays where it stopped.
        CutShort,
    };

    ProxyTestSequence(ProxyTestBoard& p_rBoard, ProxyTestHost& p_rHost);

    void setWriter(ParameterWriter p_Writer) { m_Writer = std::move(p_Writer); }

    // Starts a run unless one is under way.
    void start();
    // The host's wait has passed: the next step runs.
    void resume();
    // Ends a run before its time: the board is disconnected again if the run
    // connected it, the prompts go, and the progress stays where it stopped.
    void stop();

    bool isRunning() const { return m_bRunning; }
    Verdict verdict() const { return m_Verdict; }

    // The waits the sequence asks for, before any shortening by the host.
    static constexpr int PressMs = 500;
    static constexpr int BiasMs = 2000;
    static constexpr int ShutterMs = 2000;
    static constexpr int DisconnectPollMs = 50;
    static constexpr int64_t DisconnectLimitMs = 30000;

private:
    // One step: runs, then returns the wait in ms before the next one, or -1
    // when it has armed the wait itself.
    using Step = std::function<int()>;
    void build();
    void runNextStep();
    void endRun();
    Step awaitDisconnected(bool p_bClosing);
    void writeGsk(const ProxyTestChoices& p_Choices, int p_iDelta);

    ProxyTestBoard& m_rBoard;
    ProxyTestHost& m_rHost;
    ParameterWriter m_Writer;
    // Gone with the sequence: a step that outlives it touches nothing more.
    std::shared_ptr<char> m_pAlive = std::make_shared<char>();
    bool m_bRunning = false;
    bool m_bCutShort = false;
    bool m_bShutterPart = false;
    bool m_bGskPart = false;
    Verdict m_Verdict = Verdict::None;
    // Changes whenever a stop or the end takes over the course of the run.
    uint64_t m_uEpoch = 0;
    // First opening press and the closing press, as indexes of m_Steps.
    size_t m_uFirstPress = 0;
    size_t m_uClosingPress = 0;
    int64_t m_iDisconnectStartNs = 0;
    std::vector<Step> m_Steps;
    size_t m_uNextStep = 0;
};
