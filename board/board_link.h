// One interface for what differs between the board families: connection, identification, set-up, stream, tear-down and register writes.
#pragma once

#include "app/digiboard_kind.h"
#include "board/board_configuration.h"
#include "board/frame_statistics.h"
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

// One register write of a sequence.
struct RegisterWrite
{
    int Id = 0;
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

class BoardLink
{
public:
    virtual ~BoardLink() = default;

    virtual BoardKind kind() const = 0;
    void attach(const LinkContext& p_Context) { m_Context = p_Context; }
    const LinkContext& context() const { return m_Context; }

    // ---- Connection ----------------------------------------------------------------
    // Opens the board's command link: a ConnectResult code, Connected on success.
    virtual int connect() = 0;
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
    // The geometry the board streams with; read once prepare() succeeded.
    virtual InitResult init() = 0;
    // Starts the frames towards p_Sink, which must outlive stop(). True once
    // the board streams.
    virtual bool start(FrameSink& p_Sink) = 0;
    // Stops the frames and closes every transport object: after it no frame
    // reaches the sink and the board is free for the next connection.
    virtual void stop() = 0;
    // How the frame path treats this link's frames.
    virtual FramePathRules framePathRules() const = 0;
    // The no-frame watchdog's step for one second: p_iFrameCounter frames
    // counted since the start, p_rSeconds the silent seconds so far.
    virtual WatchdogAction noFrameWatchdog(int p_iFrameCounter, int& p_rSeconds, bool p_bDebugRunning) const
    {
        return WatchdogTick(kind(), p_iFrameCounter, p_rSeconds, p_bDebugRunning);
    }

    // ---- Commands ------------------------------------------------------------------------
    // One sensor register through the family's encoder: 0 = sent.
    virtual int writeRegister(int p_iRegisterId, uint32_t p_uValue) = 0;
    // A register behind the board's indirect pair (address, then value): 0 =
    // both sent; the first failure ends the pair. 1 on a board without one.
    virtual int writeIndirect(int p_iAddress, int p_iValue)
    {
        (void)p_iAddress;
        (void)p_iValue;
        return 1;
    }
    // Whether the board takes its own FPN reference; otherwise the program
    // computes it from the frames.
    virtual bool hasHardwareReference() const { return false; }
    // Asks the board for its reference: 0 = asked. 1 on a board without one.
    virtual int takeHardwareReference() { return 1; }
    // A raw text to the board; whether it was sent.
    virtual bool sendText(const QByteArray& p_Text) = 0;
    // The board's reply to the last text; empty on a time-out.
    virtual QByteArray readReply() = 0;
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
