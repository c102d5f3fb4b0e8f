// Board-kind names and the fast-mode switch.
#include "sim/core/board_kind.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace sim {

namespace {
std::atomic<bool>& FastFlag()
{
    static std::atomic<bool> s_bFast{[] {
        const char* p = std::getenv("KESTIVO_SIM_FAST");
        return p != nullptr && std::strcmp(p, "1") == 0;
    }()};
    return s_bFast;
}
} // namespace

QString BoardKindName(BoardKind p_Kind)
{
    switch (p_Kind) {
    case BoardKind::Arvex: return QStringLiteral("Arvex");
    case BoardKind::Belmor: return QStringLiteral("Belmor");
    case BoardKind::BelmorPlus: return QStringLiteral("BelmorPlus");
    case BoardKind::Dunstel: return QStringLiteral("Dunstel");
    case BoardKind::Eskra: return QStringLiteral("Eskra");
    case BoardKind::Corvane: return QStringLiteral("Corvane");
    case BoardKind::None: break;
    }
    return QStringLiteral("Unknown");
}

void SetFastMode(bool p_bFast) { FastFlag().store(p_bFast); }
bool FastMode() { return FastFlag().load(); }

} // namespace sim
