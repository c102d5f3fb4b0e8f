// Routing of the simulated grabber's serial ports to the Camera Link boards.
#include "sim/cameralink/cameralink_cabling.h"

#include "sim/cameralink/cameralink_board.h"
#include "sim/core/fault_injector.h"
#include "sim/core/simulation_settings.h"

#include <mutex>

namespace sim {

namespace {

// Which boards the settings file makes available, as last read. The frame
// threads route with this copy: the settings file is read only on the
// callers' threads (port enumeration and writes), never once per frame.
struct Presence
{
    bool enabled = true;
    bool available[3] = {true, true, true};   // Arvex, Belmor, BelmorPlus
};

struct Cabling
{
    std::mutex mutex;
    Presence presence;
    std::vector<CameraLinkPlug> layout{CameraLinkPlug::AnyPresentBoard};
    // Last board that spoke on each shared connector.
    std::vector<int> lastBoard{0};
    // Bytes sent by a board on its own, by layout index.
    std::vector<QByteArray> emitted{QByteArray()};
};

Cabling& TheCabling()
{
    static Cabling s_Cabling;
    return s_Cabling;
}

Presence ReadPresence()
{
    const SimulationSettings settings;
    Presence p;
    p.enabled = settings.simulationEnabled();
    p.available[0] = settings.boardAvailable(BoardKind::Arvex);
    p.available[1] = settings.boardAvailable(BoardKind::Belmor);
    p.available[2] = settings.boardAvailable(BoardKind::BelmorPlus);
    return p;
}

bool Available(const Presence& p_Presence, BoardKind p_Kind)
{
    const int i = static_cast<int>(p_Kind) - 1;
    return p_Presence.enabled && i >= 0 && i < 3 && p_Presence.available[i];
}

BoardKind PlugKind(CameraLinkPlug p_Plug)
{
    switch (p_Plug) {
    case CameraLinkPlug::Arvex: return BoardKind::Arvex;
    case CameraLinkPlug::Belmor: return BoardKind::Belmor;
    default: return BoardKind::BelmorPlus;
    }
}

// The board a shared connector gives a message to; 0 = none present.
int PickBoard(const Presence& p_Settings, int p_iLast, const QByteArray& p_Message)
{
    const bool bArvex = Available(p_Settings, BoardKind::Arvex);
    const bool bBelmor = Available(p_Settings, BoardKind::Belmor);
    const bool bPlus = Available(p_Settings, BoardKind::BelmorPlus);
    auto present = [&](int k) {
        return (k == 1 && bArvex) || (k == 2 && bBelmor) || (k == 3 && bPlus);
    };
    const bool bZeroFilled = p_Message.size() == 8 && p_Message.endsWith('\0');
    // The windowing corners reach every Camera Link board as zero-filled "!"
    // texts: while a Belmor or Belmor+ is the board being talked to, they are its.
    if (bZeroFilled && p_Message.startsWith('!') && (p_iLast == 2 || p_iLast == 3) && present(p_iLast))
        return p_iLast;
    if (bArvex && (p_Message.startsWith('*') || bZeroFilled))
        return 1;
    if (p_Message.startsWith('!') && !bZeroFilled) {
        if (p_iLast == 2 || p_iLast == 3) {
            if (present(p_iLast))
                return p_iLast;
        }
        if (bPlus)
            return 3;
        if (bBelmor)
            return 2;
    }
    if (present(p_iLast))
        return p_iLast;
    if (bPlus)
        return 3;
    if (bBelmor)
        return 2;
    if (bArvex)
        return 1;
    return 0;
}

} // namespace

void SetCameraLinkPortLayout(const std::vector<CameraLinkPlug>& p_Layout)
{
    Cabling& c = TheCabling();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.layout = p_Layout;
    c.lastBoard.assign(p_Layout.size(), 0);
    c.emitted.assign(p_Layout.size(), QByteArray());
}

void ResetCameraLinkPortLayout()
{
    SetCameraLinkPortLayout({CameraLinkPlug::AnyPresentBoard});
}

// Indices into the layout of the connectors the grabber shows: a connector
// whose boards all have a pending NoPort fault is gone.
static std::vector<int> VisiblePortsLocked(const Cabling& c, const Presence& p_Settings)
{
    std::vector<int> visible;
    for (int i = 0; i < static_cast<int>(c.layout.size()); ++i) {
        const CameraLinkPlug plug = c.layout[i];
        bool bThere = true;
        if (plug == CameraLinkPlug::AnyPresentBoard) {
            bThere = false;
            for (BoardKind k : {BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus})
                if (Available(p_Settings, k) && !FaultPending(k, Fault::NoPort))
                    bThere = true;
        } else if (plug != CameraLinkPlug::Nothing) {
            bThere = !FaultPending(PlugKind(plug), Fault::NoPort);
        }
        if (bThere)
            visible.push_back(i);
    }
    return visible;
}

int CameraLinkPortCount()
{
    const Presence settings = ReadPresence();
    Cabling& c = TheCabling();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.presence = settings;
    if (!settings.enabled)
        return 0;
    if (!Available(settings, BoardKind::Arvex) && !Available(settings, BoardKind::Belmor)
        && !Available(settings, BoardKind::BelmorPlus))
        return 0;
    return static_cast<int>(VisiblePortsLocked(c, settings).size());
}

static BoardKind RouteLocked(Cabling& c, const Presence& p_Settings, int p_iPort,
                             const QByteArray* p_pMessage, bool* p_pNothing)
{
    *p_pNothing = true;
    if (!p_Settings.enabled)
        return BoardKind::BelmorPlus;
    const std::vector<int> visible = VisiblePortsLocked(c, p_Settings);
    if (p_iPort < 0 || p_iPort >= static_cast<int>(visible.size()))
        return BoardKind::BelmorPlus;
    p_iPort = visible[p_iPort];
    const CameraLinkPlug plug = c.layout[p_iPort];
    if (plug == CameraLinkPlug::Nothing)
        return BoardKind::BelmorPlus;
    if (plug != CameraLinkPlug::AnyPresentBoard) {
        const BoardKind kind = PlugKind(plug);
        *p_pNothing = !Available(p_Settings, kind);
        return kind;
    }
    const int iBoard = p_pMessage != nullptr ? PickBoard(p_Settings, c.lastBoard[p_iPort], *p_pMessage)
                                             : PickBoard(p_Settings, c.lastBoard[p_iPort], QByteArray());
    if (iBoard == 0)
        return BoardKind::BelmorPlus;
    if (p_pMessage != nullptr)
        c.lastBoard[p_iPort] = iBoard;
    *p_pNothing = false;
    return static_cast<BoardKind>(iBoard);
}

BoardKind CameraLinkPortRoute(int p_iPort, const QByteArray& p_Message, bool* p_pNothing)
{
    const Presence settings = ReadPresence();
    Cabling& c = TheCabling();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.presence = settings;
    return RouteLocked(c, settings, p_iPort, &p_Message, p_pNothing);
}

BoardKind CameraLinkPortBoard(int p_iPort, bool* p_pNothing)
{
    Cabling& c = TheCabling();
    std::lock_guard<std::mutex> lock(c.mutex);
    const Presence settings = c.presence;
    return RouteLocked(c, settings, p_iPort, nullptr, p_pNothing);
}

CameraLinkWriteOutcome CameraLinkPortWrite(int p_iPort, const QByteArray& p_Message)
{
    CameraLinkWriteOutcome outcome;
    bool bNothing = true;
    const BoardKind kind = CameraLinkPortRoute(p_iPort, p_Message, &bNothing);
    if (bNothing)
        return outcome;   // the bytes leave the grabber; nobody is there to answer
    if (ConsumeFault(kind, Fault::WriteFailure)) {
        outcome.failed = true;
        return outcome;
    }
    QByteArray reply = CameraLinkBoardFor(kind).receive(p_Message);
    const bool bSilent = ConsumeFault(kind, Fault::SilentPort);
    const bool bTimeout = ConsumeFault(kind, Fault::ReplyTimeout);
    if (!bSilent && !bTimeout)
        outcome.reply = reply;
    return outcome;
}

bool CameraLinkPortBaudRateFails(int p_iPort)
{
    bool bNothing = true;
    const BoardKind kind = CameraLinkPortBoard(p_iPort, &bNothing);
    return !bNothing && ConsumeFault(kind, Fault::BaudRateFailure);
}

void CameraLinkPortEmit(int p_iPort, const QByteArray& p_Bytes)
{
    Cabling& c = TheCabling();
    std::lock_guard<std::mutex> lock(c.mutex);
    const std::vector<int> visible = VisiblePortsLocked(c, c.presence);
    if (p_iPort >= 0 && p_iPort < static_cast<int>(visible.size()))
        c.emitted[visible[p_iPort]].append(p_Bytes);
}

QByteArray CameraLinkPortTakeEmitted(int p_iPort)
{
    Cabling& c = TheCabling();
    std::lock_guard<std::mutex> lock(c.mutex);
    const std::vector<int> visible = VisiblePortsLocked(c, c.presence);
    if (p_iPort < 0 || p_iPort >= static_cast<int>(visible.size()))
        return QByteArray();
    QByteArray bytes;
    bytes.swap(c.emitted[visible[p_iPort]]);
    return bytes;
}

void ResetCameraLinkSimulation()
{
    ResetCameraLinkPortLayout();
    for (BoardKind k : {BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus})
        CameraLinkBoardFor(k).powerCycle();
}

} // namespace sim
