// The Camera Link board link (Arvex, Belmor, Belmor+): serial port selection, identification, the frame grabber's channel and its frames.
#pragma once

#include "board/board_link.h"
#include "board/links/cameralink_link_state.h"

#include <QString>

#include <atomic>
#include <functional>
#include <vector>

// The three boards share the grabber and the serial link; their dialects
// differ: Arvex takes 8-byte "*"/"!" texts and answers "*p"/"*f", Belmor+
// takes "!" texts and answers "!p"/"!f", Belmor takes "!" texts and is not
// asked (the operator chooses its proxy).
class CameraLinkLink final : public BoardLink
{
public:
    // p_Kind: Arvex, Belmor or BelmorPlus.
    explicit CameraLinkLink(BoardKind p_Kind);
    ~CameraLinkLink() override;
    CameraLinkLink(const CameraLinkLink&) = delete;
    CameraLinkLink& operator=(const CameraLinkLink&) = delete;

    BoardKind kind() const override { return m_Kind; }
    QString connectionLabel() const override { return QStringLiteral("Camera Link"); }
    // Whether the board takes the Arvex's 8-byte star texts.
    bool starDialect() const { return m_Kind == BoardKind::Arvex; }

    // Probes the serial ports for the one the board answers on; on a failure
    // the selection's text is in lastMessage().
    int connect() override;
    bool connected() const override;
    // Closes the serial port.
    void releaseConnection() override;
    // Arvex: "*p", then "*f"; Belmor+: "!p" then "!f"; Belmor: nothing.
    std::optional<BoardIdentification> identify() override;

    // What the channel is set up with, before prepare().
    void setCameraFile(const QString& p_sProxyName, bool p_bWindowingDisabled, bool p_bTwoTap) override;
    // Opens the grabber and sets up, activates and registers the channel with
    // the camera file; frames reach the sink given to setFrameSink() from then on.
    PrepareResult prepare(const PrepareRequest& p_Request) override;
    // The channel's geometry, read once prepare() succeeded.
    InitResult init() override;
    // The frames go to p_Sink (the channel already runs since prepare()).
    bool start(FrameSink& p_Sink) override;
    // Closes the channel, then the serial port.
    void stop() override;
    // Idles and deletes the channel and closes the grabber; no frame reaches
    // the sink after it. The serial port stays open.
    void closeChannel();
    void tearDown(bool p_bKeepConnection) override
    {
        if (!p_bKeepConnection)
            releaseConnection();
        closeChannel();
    }
    FramePathRules framePathRules() const override;

    // Where the channel's frames go; null: they are not used.
    void setFrameSink(FrameSink* p_pSink) override { m_pSink = p_pSink; }
    // Called on the grabber thread when the channel stops streaming: true for
    // an acquisition failure (a cable pulled), false for another signal.
    void setStreamEnded(std::function<void(bool)> p_StreamEnded) { m_StreamEnded = std::move(p_StreamEnded); }
    // One signal of the channel; the grabber thread.
    void handleSignal(PMCSIGNALINFO p_pSignalInfo);

    // Arvex: the 8-byte star texts; Belmor and Belmor+: the "!" texts.
    int writeRegister(BoardRegisterId p_Id, uint32_t p_uValue) override;
    // Every Camera Link board takes the corners as the Arvex's star texts.
    int writeWindowCorner(BoardRegisterId p_Id, uint32_t p_uValue) override;
    // Arvex and Belmor+: the PERSO pair, in the "!" texts on both (the
    // Arvex's own alphabet has no letters for it). Belmor: none.
    bool hasIndirect() const override { return m_Kind == BoardKind::Arvex || m_Kind == BoardKind::BelmorPlus; }
    int writeIndirectAddress(int p_iAddress) override;
    int writeIndirectValue(int p_iValue) override;
    bool sendText(const QByteArray& p_Text) override;
    QByteArray readReply() override;
    // Arvex: "*s", Belmor+: "!s"; the Belmor has none.
    int takeHardwareReference() override;
    // Arvex and Belmor+ take their own reference with their NUC, only while connected;
    // on the Belmor+ the reference ticks no box.
    ReferenceRule referenceRule() const override;
    TerminalMode terminalMode() const override { return TerminalMode::Text; }
    // The reply with its log line.
    QByteArray readTerminalReply() override;
    QByteArray pollText() override { return readReply(); }

    // The text of the last failed port selection or channel set-up (zero-terminated).
    const char* lastMessage() const override { return m_Message.data(); }
    std::vector<QString> prepareFailureLog() const override
    {
        return {QStringLiteral("... FAILED"), "ISSUE : " + QString::fromLatin1(lastMessage())};
    }

    CameraLinkLinkState& state() { return m_State; }

private:
    BoardKind m_Kind;
    CameraLinkLinkState& m_State;
    std::vector<char> m_Message;
    QString m_sProxyName;
    bool m_bWindowingDisabled = true;
    bool m_bTwoTap = false;
    FrameGeometry m_Geometry;
    bool m_bChannelOpen = false;
    std::atomic<FrameSink*> m_pSink{nullptr};
    std::function<void(bool)> m_StreamEnded;
};

// The link of a Camera Link kind (p_rLink must be one).
CameraLinkLink& CameraLinkLinkOf(BoardLink& p_rLink);
