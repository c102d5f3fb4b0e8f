// The process-wide message record.
#include "sim/core/message_recorder.h"

#include <chrono>
#include <mutex>

namespace sim {

namespace {
// Bounded so that a long interactive run does not grow without end.
constexpr size_t kMaxMessagesPerBoard = 200000;

struct Recorder
{
    std::mutex mutex;
    std::vector<RecordedMessage> messages[kBoardKindCount];
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

Recorder& TheRecorder()
{
    static Recorder s_Recorder;
    return s_Recorder;
}

bool ValidBoard(BoardKind p_Board)
{
    return BoardSlot(p_Board) >= 0 && BoardSlot(p_Board) < kBoardKindCount;
}
} // namespace

void RecordMessage(BoardKind p_Board, const QByteArray& p_Channel, const QByteArray& p_Bytes)
{
    if (!ValidBoard(p_Board))
        return;
    Recorder& r = TheRecorder();
    const int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::steady_clock::now() - r.start).count();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto& list = r.messages[BoardSlot(p_Board)];
    if (list.size() >= kMaxMessagesPerBoard)
        list.erase(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(kMaxMessagesPerBoard / 2));
    list.push_back(RecordedMessage{p_Board, p_Channel, p_Bytes, ns});
}

std::vector<RecordedMessage> RecordedMessages(BoardKind p_Board, const QByteArray& p_Channel)
{
    std::vector<RecordedMessage> out;
    if (!ValidBoard(p_Board))
        return out;
    Recorder& r = TheRecorder();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (const RecordedMessage& m : r.messages[BoardSlot(p_Board)])
        if (p_Channel.isEmpty() || m.channel == p_Channel)
            out.push_back(m);
    return out;
}

QList<QByteArray> RecordedBytes(BoardKind p_Board, const QByteArray& p_Channel)
{
    QList<QByteArray> out;
    for (const RecordedMessage& m : RecordedMessages(p_Board, p_Channel))
        out.append(m.bytes);
    return out;
}

void ClearRecordedMessages()
{
    Recorder& r = TheRecorder();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (auto& list : r.messages)
        list.clear();
}

void ClearRecordedMessages(BoardKind p_Board)
{
    if (!ValidBoard(p_Board))
        return;
    Recorder& r = TheRecorder();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.messages[BoardSlot(p_Board)].clear();
}

} // namespace sim
