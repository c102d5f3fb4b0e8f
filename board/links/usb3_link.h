// The USB3 board link (Corvane): the capture library's presence check, identification, asynchronous capture and tear-down.
#pragma once

#include "board/board_link.h"

#include <functional>

class Usb3Link final : public BoardLink
{
public:
    Usb3Link() = default;
    ~Usb3Link() override;
    Usb3Link(const Usb3Link&) = delete;
    Usb3Link& operator=(const Usb3Link&) = delete;

    BoardKind kind() const override { return BoardKind::Corvane; }
    QString connectionLabel() const override { return QStringLiteral("USB 3.0"); }

    // Opens the capture once to see that the board is there and initialises,
    // then closes it again. Connected; CorvaneAbsent when no capture device
    // exists; LinkFailed when the capture did not initialise.
    int connect() override;
    // A capture that does not initialise is retried as an absent board until the last attempt.
    int connectFailure(int p_iResult, bool p_bLastAttempt) const override;
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

    // A board parameter, validated by the board's latch; the image gain and
    // offset go to the processing board's registers 7 and 8.
    int writeRegister(BoardRegisterId p_Id, uint32_t p_uValue) override;
    // The processing-board commands and the image gain and offset are the
    // board's own commands, not parameters the operator set.
    bool namesOperatorParameter(BoardRegisterId p_Id) const override;
    // Parameters FpgaRegisterAddress and FpgaRegisterValue; a failure shows
    // the parameter writer's box. The interface board's FPGA commands go to
    // the processing board instead.
    bool hasIndirect() const override { return true; }
    bool takesFpgaCommands() const override { return false; }
    int writeIndirectAddress(int p_iAddress) override;
    int writeIndirectValue(int p_iValue) override;
    // A board parameter as it is, without the gain and offset routing of
    // writeRegister() (parameter 20 is the pixel clock's inversion here), as
    // the operator's own write: a failure below parameter 50 shows the
    // parameter writer's box.
    int writeParameter(int p_iParameter, int p_iValue);
    bool sendText(const QByteArray& p_Text) override;
    QByteArray readReply() override;
    // The board takes its own reference when its parameter 54 is written to 0.
    int takeHardwareReference() override;
    // With its NUC the board takes the reference, and only "Apply NUC" is ticked.
    ReferenceRule referenceRule() const override;
    TerminalMode terminalMode() const override { return TerminalMode::ParameterCommands; }

    // A register of one of the board's processing boards, through the
    // library's board call: its status.
    int writeProcessingRegister(int p_iBoard, int p_iRegister, int p_iValue);

    // What one step of a processing-board command returned: the parameter,
    // its value and the write's status.
    using CommandStep = std::function<void(BoardRegisterId, int, int)>;
    // A register of the processing board p_iBoard behind the USB3 board, as
    // parameters: ProcessingBoard, ProcessingRegister, ProcessingValue, then
    // ProcessingCommand := 0. Every step is made and handed to p_Step; the
    // first failure is the result.
    int writeProcessingCommand(int p_iBoard, int p_iRegister, int p_iValue, const CommandStep& p_Step = {});

    // The status of the last capture opening by prepare().
    int captureStatus() const { return m_iCaptureStatus; }
    std::vector<QString> prepareFailureLog() const override
    {
        return {"Failed while initializing Corvane - ERROR " + QString::number(captureStatus())};
    }

    // The sink the frame callbacks hand frames to; null while no link streams.
    static FrameSink* activeSink();

private:
    bool m_bConnected = false;
    int m_iProxyIndex = 0;
    int m_iCaptureStatus = 0;
};
