// The transport state of the serial-port board link (Eskra): the port, the frame double buffer, the three sums and the receiver.
#pragma once

#include "board/eskra_frame_stream.h"

#include <QByteArray>
#include <QList>
#include <QSerialPortInfo>

class BoardLink;
class QSerialPort;

// Owned by the link. The read and process threads get a pointer to it; the
// GUI thread writes it before it creates each thread and reads it after the
// join, so the create and join order every access.
struct EskraLinkState
{
    // The board's port; the main window's constructor creates it, else the
    // link makes its own at the first prepare().
    QSerialPort* SerialPort = nullptr;
    QList<QSerialPortInfo> PortList;
    // The port as the port list named it.
    QByteArray PortName;
    // Transmitted checksum, running sum, recomputed sum of the last frame.
    int Checksums[3] = {0, 0, 0};
    // The two halves of the double buffer, a spare frame and the decoded pixel
    // pairs; the main window's InitPointers makes them. Null: the link streams
    // into its own double buffer.
    unsigned char* Buffers[3] = {nullptr, nullptr, nullptr};
    unsigned char* PixelBuffer = nullptr;
    // The parser state of the one serial-port board, kept between read cycles.
    EskraReceiver& Receiver = g_EskraReceiver;

    // What the GUI thread took from the port for the read thread.
    QByteArray Fetched;
    bool PortOpen = false;
    // Where the process thread decodes the frame (the sink's buffer); null: nowhere.
    unsigned short* DecodeTarget = nullptr;
};

// The state of a serial-port board link (p_rLink must be one).
EskraLinkState& EskraLinkStateOf(BoardLink& p_rLink);
