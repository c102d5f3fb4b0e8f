// One interface for what differs between the board families: connection, identification, set-up, stream, tear-down and register writes.
#pragma once

#include "app/digiboard_kind.h"
#include "board/board_configuration.h"
#include "board/frame_statistics.h"
#include "board/links/board_traits.h"
#include "params/board_register_id.h"
#include "pipeline/frame_sink.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class KV_Log;

// What a link is given by whoever drives it. The link writes its own log
// lines there and returns its failures; it shows no box and reads no widget.
struct LinkContext
{
    KV_Log* Log = nullptr;
};

// How the terminal window talks to a board.
enum class TerminalMode {
    None,               // the board takes no terminal lines
    Text,               // the line is sent as it is; the board answers in text
    ParameterCommands,  // the line is a "!" letter-and-value command, written as a register
};

// One register write of a sequence.
struct RegisterWrite
{
    int Id = 0;   // a BoardRegisterId
    uint32_t Value = 0;
};

// The sensor registers written before a tear-down, so that the sensor is
// left with its shortest integration time, its "zero" channel at 0 and its
// full-scale channel at 4095 (the channels the proxy names; none when unset).
// p_bCurrentTint: the integration time the operator may have changed, else the
// proxy's default.
std::vector<RegisterWrite> SafeSensorRegisters(int p_iProxyIndex, bool p_bCurrentTint);

// What the board is asked to do before it streams.
struct PrepareRequest
{
    int ProxyIndex = 0;
    // Called once the frame transport is open, before the board is set up
    // (the tool windows' stream browser takes the stream there).
    std::function<void()> TransportOpened;
};

struct PrepareResult
{
    enum Outcome {
        Ready,         // the board streams the proxy's geometry once started
        Failed,        // nothing usable opened: Title and Text say why; the connection stays
        SizeRefused,   // the board kept another geometry (RequestedWidth x RequestedHeight not taken)
    };
    Outcome Result = Ready;
    QString Title;
    QString Text;
    int RequestedWidth = 0;
    int RequestedHeight = 0;
    int Width = 0;    // the geometry the board reports
    int Height = 0;
};

// The geometry the board streams now.
struct InitResult
{
    bool InBounds = false;   // false: no usable size (Width, Height 0)
    int Width = 0;
    int Height = 0;
    int Pitch = 0;   // bytes per line
};

// The correction boxes that taking an FPN reference ticks on.
enum class ReferenceBoxes {
    None,
    ApplyNuc,         // "Apply NUC" alone
    Nuc2ptAndApply,   // the two-point NUC, then "Apply NUC"
};

// How the "Take FPN Reference" button runs on a board.
struct ReferenceRule
{
    // With the board's own correction (NUC "Hardware") the board is asked for
    // its reference through takeHardwareReference(); otherwise, and on a board
    // without one, the program computes it from the next frames.
    bool BoardTakesReference = false;
    // Neither the board nor the program takes the reference while the board is not connected.
    bool OnlyWhileConnected = false;
    // The boxes ticked after the program's reference and after the board's.
    ReferenceBoxes ProgramBoxes = ReferenceBoxes::Nuc2ptAndApply;
    ReferenceBoxes BoardBoxes = ReferenceBoxes::Nuc2ptAndApply;
    // The log line when the board could not be asked.
    QString NotSentLine;
};

class BoardLink
{
public:
    virtual ~BoardLink() = default;

    virtual BoardKind kind() const = 0;
    // What the kind differs in as data.
    const BoardTraits& traits() const { return BoardTraitsOf(kind()); }
    // What the main window's connection label reads for this board.
    virtual QString connectionLabel() const = 0;
    void attach(const LinkContext& p_Context) { m_Context = p_Context; }
    const LinkContext& context() const { return m_Context; }

    // ---- Connection ----------------------------------------------------------------
    // Opens the board's command link: a ConnectResult code, Connected on success.
    virtual int connect() = 0;
    // What a failed connect() (p_iResult) tells the connection's retry loop;
    // p_bLastAttempt: no attempt follows.
    virtual int connectFailure(int p_iResult, bool p_bLastAttempt) const
    {
        (void)p_bLastAttempt;
        return p_iResult;
    }
    // Whether the command link is open.
    virtual bool connected() const = 0;
    // Frees what an attempt that failed after connect() left open.
    virtual void releaseConnection() = 0;
    // Asks the board which proxy and frame rate it runs; nothing when the
    // question could not be sent (then nothing about the board is known).
    virtual std::optional<BoardIdentification> identify() = 0;

    // ---- Acquisition -------------------------------------------------------------------
    // Opens the frame transport and sets the board up for the proxy.
    virtual PrepareResult prepare(const PrepareRequest& p_Request) = 0;
    // What the window logs after a refused prepare(), in order.
    virtual std::vector<QString> prepareFailureLog() const { return {}; }
    // Whether the refusal came from the board itself (a board was found and answered wrong).
    virtual bool prepareRefusedByBoard() const { return false; }
    // The driver's last message, for the operator; empty when the link keeps none.
    virtual const char* lastMessage() const { return ""; }
    // The camera file a channel is built from; links without one ignore it.
    virtual void setCameraFile(const QString& p_sProxyName, bool p_bWindowingDisabled, bool p_bTwoTap)
    {
        (void)p_sProxyName;
        (void)p_bWindowingDisabled;
        (void)p_bTwoTap;
    }
    // Where frames go from the moment the transport runs, before start();
    // links that stream only from start() ignore it.
    virtual void setFrameSink(FrameSink* p_pSink) { (void)p_pSink; }
    // The geometry the board streams with; read once prepare() succeeded.
    virtual InitResult init() = 0;
    // Starts the frames towards p_Sink, which must outlive stop(). True once
    // the board streams.
    virtual bool start(FrameSink& p_Sink) = 0;
    // Stops the frames and closes every transport object: after it no frame
    // reaches the sink and the board is free for the next connection.
    virtual void stop() = 0;
    // The tear-down of a disconnection: stop(), unless p_bKeepConnection asks a
    // link that can to keep its command link open (a windowing restart).
    virtual void tearDown(bool p_bKeepConnection)
    {
        (void)p_bKeepConnection;
        stop();
    }
    // Sets the stream's destination up once the program is ready for frames;
    // links whose stream needs none ignore it.
    virtual void setupDestination() {}
    // One cycle of a link that reads its transport only when asked (p_BetweenFrames
    // runs between two frames); whether a frame came. Others stream by themselves.
    virtual bool pump(const std::function<void()>& p_BetweenFrames)
    {
        (void)p_BetweenFrames;
        return false;
    }
    // How the frame path treats this link's frames.
    virtual FramePathRules framePathRules() const = 0;
    // The no-frame watchdog's step for one second: p_iFrameCounter frames
    // counted since the start, p_rSeconds the silent seconds so far.
    virtual WatchdogAction noFrameWatchdog(int p_iFrameCounter, int& p_rSeconds, bool p_bDebugRunning) const
    {
        return WatchdogTick(traits().Watchdog, p_iFrameCounter, p_rSeconds, p_bDebugRunning);
    }

    // ---- Commands ------------------------------------------------------------------------
    // One sensor register through the family's encoder: 0 = sent.
    virtual int writeRegister(BoardRegisterId p_Id, uint32_t p_uValue) = 0;
    // One corner of the sensor window (Yfirst to Xlast), or another register of
    // a windowing set-up; as writeRegister unless the family takes these in
    // another encoding.
    virtual int writeWindowCorner(BoardRegisterId p_Id, uint32_t p_uValue) { return writeRegister(p_Id, p_uValue); }
    // Whether a failed write of p_Id names a parameter the operator set (and
    // so may be shown in a box), rather than a command of the board's own.
    virtual bool namesOperatorParameter(BoardRegisterId p_Id) const
    {
        (void)p_Id;
        return true;
    }

    // Whether the board has an indirect pair (an address register, then a
    // value register, of the FPGA behind it).
    virtual bool hasIndirect() const { return false; }
    // Whether the interface board's FPGA commands go through that pair; a
    // board that has none, or routes them to a processing board, takes none.
    virtual bool takesFpgaCommands() const { return hasIndirect(); }
    // The two halves of the pair: 0 = sent, 1 on a board without one.
    virtual int writeIndirectAddress(int p_iAddress)
    {
        (void)p_iAddress;
        return 1;
    }
    virtual int writeIndirectValue(int p_iValue)
    {
        (void)p_iValue;
        return 1;
    }
    // A register behind the pair, address then value: 0 = both sent; the
    // first failure ends the pair. 1 on a board without one.
    int writeIndirect(int p_iAddress, int p_iValue);

    // Whether the board takes its own FPN reference; otherwise the program
    // computes it from the frames.
    virtual bool hasHardwareReference() const { return false; }
    // Asks the board for its reference: 0 = asked. 1 on a board without one.
    virtual int takeHardwareReference() { return 1; }
    // How the reference button runs on this board.
    virtual ReferenceRule referenceRule() const { return {}; }
    // A raw text to the board; whether it was sent.
    virtual bool sendText(const QByteArray& p_Text) = 0;
    // The board's reply to the last text; empty on a time-out.
    virtual QByteArray readReply() = 0;
    // How the terminal window's lines reach the board.
    virtual TerminalMode terminalMode() const { return TerminalMode::None; }
    // The board's answer to a terminal line: whatever arrived, also before a time-out.
    virtual QByteArray readTerminalReply() { return readReply(); }
    // What the board sent since the last poll, unasked; empty when nothing.
    virtual QByteArray pollText() { return QByteArray(); }
    // The registers that leave the sensor safe before a tear-down.
    virtual std::vector<RegisterWrite> safeRegisters(int p_iProxyIndex) const
    {
        return SafeSensorRegisters(p_iProxyIndex, false);
    }
    // Writes safeRegisters(); every write is made, the first failure is the result.
    int writeSafeRegisters(int p_iProxyIndex);

protected:
    void logLine(const QString& p_sLine) const;

private:
    LinkContext m_Context;
};
