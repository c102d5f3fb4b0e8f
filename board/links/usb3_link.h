// The USB3 board link (Corvane): the capture library's presence check, identification, asynchronous capture and tear-down.
#pragma once

#include "board/board_link.h"

class Usb3Link final : public BoardLink
{
public:
    Usb3Link() = default;
    ~Usb3Link() override;
    Usb3Link(const Usb3Link&) = delete;
    Usb3Link& operator=(const Usb3Link&) = delete;

    BoardKind kind() const override { return BoardKind::Corvane; }

    // Opens the capture once to see that the board is there and initialises,
    // then closes it again. Connected; CorvaneAbsent when no capture device
    // exists; LinkFailed when the capture did not initialise.
    int connect() override;
    bool connected() const override { return m_bConnected; }
    void releaseConnection() override { m_bConnected = false; }
    // The proxy and frame-rate numbers the board stores; always an answer
    // (a failed read leaves its part unread).
    std::optional<BoardIdentification> identify() override;

    // Opens the asynchronous capture with the frame callbacks. Failed (with
    // the box's title and text) when the library refuses; captureStatus()
    // then holds its status.
    PrepareResult prepare(const PrepareRequest& p_Request) override;
    // The capture's geometry; the two-tap proxy's transfer lines unfolded.
    InitResult init() override;
    // Frames go to p_Sink from the capture thread; the capture is opened
    // again when a tear-down closed it meanwhile.
    bool start(FrameSink& p_Sink) override;
    // Stops and closes the capture; no frame reaches the sink afterwards.
    void stop() override;
    FramePathRules framePathRules() const override;

    int writeRegister(int p_iRegisterId, uint32_t p_uValue) override;
    bool sendText(const QByteArray& p_Text) override;
    QByteArray readReply() override;

    // A register of one of the board's processing boards, through the
    // library's board call: its status.
    int writeProcessingRegister(int p_iBoard, int p_iRegister, int p_iValue);

    // The status of the last capture opening by prepare().
    int captureStatus() const { return m_iCaptureStatus; }

    // The sink the frame callbacks hand frames to; null while no link streams.
    static FrameSink* activeSink();

private:
    bool m_bConnected = false;
    int m_iProxyIndex = 0;
    int m_iCaptureStatus = 0;
};
