// The record of every message the simulated boards received, for tests and diagnostics.
#pragma once

#include "sim/core/board_kind.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <vector>

namespace sim {

struct RecordedMessage
{
    BoardKind board;
    QByteArray channel;     // the transport's path, e.g. "serial", "uart", "feature", "property"
    QByteArray bytes;       // exactly what arrived, as one message
    int64_t timestampNs;    // steady clock, nanoseconds since the recorder's start
};

// Transports call RecordMessage for each message as it reaches the board. Any thread.
void RecordMessage(BoardKind p_Board, const QByteArray& p_Channel, const QByteArray& p_Bytes);

// All messages of one board in arrival order; an empty channel matches every channel.
std::vector<RecordedMessage> RecordedMessages(BoardKind p_Board, const QByteArray& p_Channel = QByteArray());
// Only the bytes, for comparing with an expected list.
QList<QByteArray> RecordedBytes(BoardKind p_Board, const QByteArray& p_Channel = QByteArray());
void ClearRecordedMessages();
void ClearRecordedMessages(BoardKind p_Board);

} // namespace sim
