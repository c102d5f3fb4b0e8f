// The GigE Vision board link (Dunstel): device choice, UART bridge, stream set-up, pipeline and tear-down.
#pragma once

#include "board/board_link.h"
#include "board/links/gige_link_state.h"

class GigELink final : public BoardLink
{
public:
    GigELink() = default;
    ~GigELink() override;
    GigELink(const GigELink&) = delete;
    GigELink& operator=(const GigELink&) = delete;

    BoardKind kind() const override { return BoardKind::Dunstel; }
    QString connectionLabel() const override { return QStringLiteral("Ethernet"); }

    // The device finder's choice, then the device and its UART bridge.
    int connect() override;
    bool connected() const override;
    void releaseConnection() override;
    // "!p" then "!f", each reply read into a cleared buffer.
    std::optional<BoardIdentification> identify() override;

    // Mono16, the stream, the device's and the stream's features, the edge
    // sensitivity of the proxy, no test pattern and the proxy's image size.
    PrepareResult prepare(const PrepareRequest& p_Request) override;
    InitResult init() override;
    bool start(FrameSink& p_Sink) override;
    void stop() override;
    FramePathRules framePathRules() const override;

    int writeRegister(BoardRegisterId p_Id, uint32_t p_uValue) override;
    // The PERSO pair: PERSO_ADDR, then PERSO_VALUE.
    bool hasIndirect() const override { return true; }
    int writeIndirectAddress(int p_iAddress) override;
    int writeIndirectValue(int p_iValue) override;
    bool sendText(const QByteArray& p_Text) override;
    QByteArray readReply() override;
    TerminalMode terminalMode() const override { return TerminalMode::Text; }
    QByteArray readTerminalReply() override;
    // The bridge's raw read: what arrived, nothing on a time-out.
    QByteArray pollText() override;
    // The GigE board gets the integration time the operator may have changed.
    std::vector<RegisterWrite> safeRegisters(int p_iProxyIndex) const override
    {
        return SafeSensorRegisters(p_iProxyIndex, true);
    }

    // Before start(): the stream's destination on the device.
    void setupDestination() override;

    GigELinkState& state() { return m_State; }
    const GigELinkState& state() const { return m_State; }

private:
    GigELinkState m_State;
};
