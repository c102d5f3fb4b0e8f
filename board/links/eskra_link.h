// The serial-port board link (Eskra): the first listed port, the per-frame read cycle on the GUI thread and its two worker threads, the commands between frames.
#pragma once

#include "board/board_link.h"
#include "board/links/eskra_link_state.h"

#include <functional>
#include <memory>
#include <vector>

class QSerialPort;

// Formats one command and writes it to p_pPort, then waits for the board to
// take it: 0 = sent, -1 when the value is refused, there is no port or the
// write fails.
int WriteEskraRegister(QSerialPort* p_pPort, int p_iRegisterId, int p_iValue);

class EskraLink final : public BoardLink
{
public:
    EskraLink();
    ~EskraLink() override;
    EskraLink(const EskraLink&) = delete;
    EskraLink& operator=(const EskraLink&) = delete;

    BoardKind kind() const override { return BoardKind::Eskra; }
    QString connectionLabel() const override { return QStringLiteral("Serial port"); }

    // The board has no command link apart from its frame port, which opens in
    // prepare(): nothing to open here.
    int connect() override;
    bool connected() const override;
    void releaseConnection() override;
    // The board is not asked: it runs its one proxy.
    std::optional<BoardIdentification> identify() override;

    // Opens the first port the system lists and sets the line up.
    PrepareResult prepare(const PrepareRequest& p_Request) override;
    // The fixed 84 x 80 geometry; the sums start from 0.
    InitResult init() override;
    // Frames go to p_Sink from the next pump() on; nothing reads the port by itself.
    bool start(FrameSink& p_Sink) override;
    void stop() override;
    FramePathRules framePathRules() const override { return FramePathRules{}; }

    // One read cycle, on the thread that owns the port (the GUI thread, which
    // must have processed its events before, so that the port holds the bytes
    // that arrived): takes the port's bytes, joins the read thread, checks the
    // sums, joins the process thread. A completed frame goes to the sink, then
    // p_BetweenFrames runs (the register changes the board takes only between
    // two frames); when nothing arrived the line is given a moment. True when
    // a frame was completed.
    bool pump(const std::function<void()>& p_BetweenFrames = {}) override;

    int writeRegister(BoardRegisterId p_Id, uint32_t p_uValue) override;
    bool sendText(const QByteArray& p_Text) override;
    // The port carries the frame stream: a reply cannot be told from it.
    QByteArray readReply() override { return QByteArray(); }
    // The sensor of this board is not parked before a tear-down.
    std::vector<RegisterWrite> safeRegisters(int p_iProxyIndex) const override
    {
        (void)p_iProxyIndex;
        return {};
    }

    // Whether the last prepare() found a port in the system's list.
    bool portFound() const { return m_bPortFound; }
    bool prepareRefusedByBoard() const override { return portFound(); }

    EskraLinkState& state() { return m_State; }
    const EskraLinkState& state() const { return m_State; }

private:
    EskraLinkState m_State;
    std::unique_ptr<QSerialPort> m_pOwnPort;
    // The double buffer used while nobody gave the state one.
    std::vector<unsigned char> m_OwnBuffers[2];
    FrameSink* m_pSink = nullptr;
    bool m_bPortFound = false;
};
