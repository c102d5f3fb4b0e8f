// The process-wide fault table.
#include "sim/core/fault_injector.h"

#include <mutex>

namespace sim {

namespace {
struct FaultState
{
    bool armed = false;
    int skip = 0;
    int times = 0;      // -1: unlimited
    int parameter = 0;
};

struct FaultTable
{
    std::mutex mutex;
    FaultState state[kBoardKindCount][kFaultCount];
};

FaultTable& Table()
{
    static FaultTable s_Table;
    return s_Table;
}

FaultState* Find(FaultTable& p_Table, BoardKind p_Board, Fault p_Fault)
{
    const int b = BoardSlot(p_Board), f = static_cast<int>(p_Fault);
    if (b < 0 || b >= kBoardKindCount || f < 0 || f >= kFaultCount)
        return nullptr;
    return &p_Table.state[b][f];
}
} // namespace

void InjectFault(BoardKind p_Board, Fault p_Fault, int p_iTimes, int p_iSkipCalls, int p_iParameter)
{
    FaultTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (FaultState* s = Find(t, p_Board, p_Fault))
        *s = FaultState{p_iTimes != 0, p_iSkipCalls < 0 ? 0 : p_iSkipCalls, p_iTimes, p_iParameter};
}

void ClearFault(BoardKind p_Board, Fault p_Fault)
{
    FaultTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (FaultState* s = Find(t, p_Board, p_Fault))
        *s = FaultState{};
}

void ClearAllFaults()
{
    FaultTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (auto& board : t.state)
        for (FaultState& s : board)
            s = FaultState{};
}

bool ConsumeFault(BoardKind p_Board, Fault p_Fault)
{
    FaultTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    FaultState* s = Find(t, p_Board, p_Fault);
    if (s == nullptr || !s->armed)
        return false;
    if (s->skip > 0) {
        --s->skip;
        return false;
    }
    if (s->times > 0 && --s->times == 0)
        s->armed = false;
    return true;
}

bool FaultPending(BoardKind p_Board, Fault p_Fault)
{
    FaultTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const FaultState* s = Find(t, p_Board, p_Fault);
    return s != nullptr && s->armed && s->skip == 0;
}

int FaultParameter(BoardKind p_Board, Fault p_Fault)
{
    FaultTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const FaultState* s = Find(t, p_Board, p_Fault);
    return s != nullptr ? s->parameter : 0;
}

} // namespace sim
