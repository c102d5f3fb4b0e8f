// The per-board sensor models.
#include "sim/core/board_registry.h"

#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"

#include <mutex>

namespace sim {

namespace {
struct Registry
{
    std::mutex mutex;
    std::shared_ptr<SensorModel> models[kBoardKindCount];
};

Registry& TheRegistry()
{
    static Registry s_Registry;
    return s_Registry;
}
} // namespace

std::shared_ptr<SensorModel> SensorFor(BoardKind p_Board)
{
    const int slot = BoardSlot(p_Board);
    if (slot < 0 || slot >= kBoardKindCount)
        return nullptr;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!r.models[slot]) {
        const SimulationSettings settings;
        auto model = std::make_shared<SensorModel>(p_Board, settings.proxyIndex(p_Board),
                                                   settings.frameRateCode(p_Board));
        const QString sFile = settings.filePath();
        model->setStoreCallback([sFile, p_Board](int p_iProxy, int p_iRate) {
            SimulationSettings s(sFile);
            s.setProxyIndex(p_Board, p_iProxy);
            s.setFrameRateCode(p_Board, p_iRate);
        });
        r.models[slot] = model;
    }
    return r.models[slot];
}

void ResetBoards()
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (auto& model : r.models) {
        if (model)
            model->setStoreCallback(nullptr);
        model.reset();
    }
}

void ResetSimulation()
{
    ResetBoards();
    ClearAllFaults();
    ClearRecordedMessages();
}

} // namespace sim
