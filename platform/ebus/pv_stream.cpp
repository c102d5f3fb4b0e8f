// Streams, pipelines and buffers of the GigE Vision stand-in.
#include "platform/ebus/ebus.h"
#include "platform/ebus/pv_private.h"

#include "sim/core/fault_injector.h"
#include "sim/core/frame_pacer.h"
#include "sim/gige/dunstel_board.h"

#include <chrono>

namespace {

sim::DunstelBoard& Board() { return sim::DunstelBoard::instance(); }

// The stream's own counters as features.
class StreamFeatures : public PvFeatureSource
{
public:
    explicit StreamFeatures(std::shared_ptr<PvStream::Statistics> p_pStats) : m_pStats(std::move(p_pStats)) {}

    std::vector<Info> list() const override
    {
        return {{"Bandwidth", PvGenTypeFloat, false},
                {"AcquisitionRate", PvGenTypeFloat, false},
                {"BlockCount", PvGenTypeInteger, false},
                {"BlocksDropped", PvGenTypeInteger, false}};
    }
    PvResult getInteger(const std::string& n, int64_t& v) const override
    {
        if (n == "BlockCount")
            v = m_pStats->blockCount.load();
        else if (n == "BlocksDropped")
            v = m_pStats->blocksDropped.load();
        else
            return kind(n);
        return PvResult::Code::OK;
    }
    PvResult setInteger(const std::string& n, int64_t) override
    {
        const PvResult r = kind(n);
        return r == PvResult::Code::WRONG_TYPE && (n == "BlockCount" || n == "BlocksDropped")
                   ? PvResult(PvResult::Code::ACCESS_DENIED)
                   : r;
    }
    PvResult integerRange(const std::string& n, int64_t& lo, int64_t& hi) const override
    {
        if (n != "BlockCount" && n != "BlocksDropped")
            return kind(n);
        lo = 0;
        hi = INT64_MAX;
        return PvResult::Code::OK;
    }
    PvResult getFloat(const std::string& n, double& v) const override
    {
        if (n == "Bandwidth")
            v = m_pStats->bandwidth.load();
        else if (n == "AcquisitionRate")
            v = m_pStats->acquisitionRate.load();
        else
            return kind(n);
        return PvResult::Code::OK;
    }
    PvResult getEnum(const std::string& n, std::string&) const override { return kind(n); }
    PvResult setEnum(const std::string& n, const std::string&) override { return kind(n); }
    PvResult enumEntries(const std::string& n, std::vector<std::string>&) const override { return kind(n); }
    PvResult getBoolean(const std::string& n, bool&) const override { return kind(n); }
    PvResult setBoolean(const std::string& n, bool) override { return kind(n); }
    PvResult execute(const std::string& n) override { return kind(n); }

private:
    // NOT_FOUND for an unknown name, WRONG_TYPE for a known one used as another kind.
    PvResult kind(const std::string& n) const
    {
        for (const auto& i : list())
            if (i.name == n)
                return PvResult::Code::WRONG_TYPE;
        return PvResult::Code::NOT_FOUND;
    }
    std::shared_ptr<PvStream::Statistics> m_pStats;
};

std::atomic<uint16_t> g_uNextLocalPort{50010};

// Fast mode has no frame period; a loop with nothing to deliver must still not spin.
void IdleInFastMode()
{
    if (sim::FastMode())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

std::mutex& PvStreamPipelineMutex()
{
    static std::mutex s_Mutex;
    return s_Mutex;
}

// ---------------------------------------------------------------- PvStream

PvStream::PvStream()
    : m_pStatistics(std::make_shared<Statistics>())
    , m_pParameters(new PvGenParameterArray(std::make_shared<StreamFeatures>(m_pStatistics)))
{
}

PvStream::~PvStream()
{
    m_pStatistics->streamOpen.store(false);
    std::lock_guard<std::mutex> lock(PvStreamPipelineMutex());
    if (m_pPipeline != nullptr)
        m_pPipeline->m_pStream = nullptr;
}

PvStreamGEV::PvStreamGEV()
    : m_uLocalPort(g_uNextLocalPort.fetch_add(1))
{
}

PvStream* PvStream::CreateAndOpen(const PvString& p_sConnectionId, PvResult* p_pResult)
{
    PvStream* pStream = nullptr;
    PvResult result = PvResult::Code::OK;
    if (PvFindDeviceInfo(p_sConnectionId) == nullptr) {
        result = PvResult::Code::NOT_FOUND;
    } else {
        pStream = new PvStreamGEV;
        pStream->m_bOpen.store(true);
        pStream->m_pStatistics->streamOpen.store(true);
    }
    if (p_pResult != nullptr)
        *p_pResult = result;
    return pStream;
}

void PvStream::Free(PvStream* p_pStream)
{
    delete p_pStream;
}

PvResult PvStream::AbortQueuedBuffers()
{
    std::lock_guard<std::mutex> lock(PvStreamPipelineMutex());
    if (m_pPipeline != nullptr)
        m_pPipeline->abortQueued();
    return PvResult::Code::OK;
}

PvResult PvStream::Close()
{
    if (!m_bOpen.exchange(false))
        return PvResult::Code::STATE_ERROR;
    m_pStatistics->streamOpen.store(false);
    return PvResult::Code::OK;
}

// ---------------------------------------------------------------- PvBuffer

PvResult PvBuffer::Alloc(uint32_t p_uSize)
{
    m_Data.assign(p_uSize, 0);
    m_uAcquired = 0;
    return PvResult::Code::OK;
}

// ---------------------------------------------------------------- PvPipeline

PvPipeline::PvPipeline(PvStream* p_pStream)
    : m_pStream(p_pStream)
{
    if (p_pStream != nullptr) {
        m_pStatistics = p_pStream->m_pStatistics;
        std::lock_guard<std::mutex> lock(PvStreamPipelineMutex());
        p_pStream->m_pPipeline = this;
    } else {
        m_pStatistics = std::make_shared<PvStream::Statistics>();
    }
}

PvPipeline::~PvPipeline()
{
    Stop();
    if (m_Thread.joinable()) {
        if (std::this_thread::get_id() == m_ThreadId)
            m_Thread.detach();
        else
            m_Thread.join();
    }
    std::lock_guard<std::mutex> lock(PvStreamPipelineMutex());
    if (m_pStream != nullptr && m_pStream->m_pPipeline == this)
        m_pStream->m_pPipeline = nullptr;
}

void PvPipeline::SetBufferCount(uint32_t p_uCount)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_uBufferCount = p_uCount > 0 ? p_uCount : 1;
}

uint32_t PvPipeline::GetBufferCount() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_uBufferCount;
}

void PvPipeline::SetBufferSize(uint32_t p_uSize)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_uBufferSize = p_uSize;
}

uint32_t PvPipeline::GetBufferSize() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_uBufferSize;
}

PvResult PvPipeline::RegisterEventSink(PvPipelineEventSink* p_pSink)
{
    if (p_pSink == nullptr)
        return PvResult::Code::INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_Mutex);
    for (PvPipelineEventSink* s : m_Sinks)
        if (s == p_pSink)
            return PvResult::Code::OK;
    m_Sinks.push_back(p_pSink);
    return PvResult::Code::OK;
}

PvResult PvPipeline::UnregisterEventSink(PvPipelineEventSink* p_pSink)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    for (auto it = m_Sinks.begin(); it != m_Sinks.end(); ++it)
        if (*it == p_pSink) {
            m_Sinks.erase(it);
            return PvResult::Code::OK;
        }
    return PvResult::Code::NOT_FOUND;
}

PvResult PvPipeline::Start()
{
    {
        std::lock_guard<std::mutex> lock(PvStreamPipelineMutex());
        if (m_pStream == nullptr || !m_pStream->IsOpen())
            return PvResult::Code::STATE_ERROR;
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_bStarted.load())
        return PvResult::Code::OK;
    if (m_Thread.joinable())
        m_Thread.join();   // the thread of a Stop made from a sink has ended by now or soon
    // Buffers of the size asked for; the size comes from the device's payload
    // when nobody said (a frame larger than the buffer is not delivered whole).
    const uint32_t uSize = m_uBufferSize != 0 ? m_uBufferSize : static_cast<uint32_t>(Board().payloadSize());
    if (m_Buffers.size() != m_uBufferCount || m_Buffers.empty() || m_Buffers.front()->GetSize() != uSize) {
        m_Buffers.clear();
        for (uint32_t i = 0; i < m_uBufferCount; ++i)
            m_Buffers.emplace_back(new PvBuffer(uSize));
    }
    m_Free.clear();
    m_Queued.clear();
    for (auto& b : m_Buffers)
        m_Free.push_back(b.get());
    Board().framesPerSecond();   // the board's model exists before the thread runs
    m_bStop.store(false);
    m_bStarted.store(true);
    m_Thread = std::thread(&PvPipeline::run, this);
    m_ThreadId = m_Thread.get_id();
    return PvResult::Code::OK;
}

PvResult PvPipeline::Stop()
{
    if (!m_bStarted.exchange(false))
        return PvResult::Code::OK;
    m_bStop.store(true);
    m_Ready.notify_all();
    if (m_Thread.joinable() && std::this_thread::get_id() != m_ThreadId)
        m_Thread.join();
    abortQueued();
    return PvResult::Code::OK;
}

void PvPipeline::abortQueued()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    while (!m_Queued.empty()) {
        m_Free.push_back(m_Queued.front());
        m_Queued.pop_front();
    }
    m_Ready.notify_all();
}

PvResult PvPipeline::RetrieveNextBuffer(PvBuffer** p_ppBuffer, uint32_t p_uTimeoutMs, PvResult* p_pOperationResult)
{
    if (p_ppBuffer == nullptr)
        return PvResult::Code::INVALID_PARAMETER;
    *p_ppBuffer = nullptr;
    std::unique_lock<std::mutex> lock(m_Mutex);
    auto ready = [this] { return !m_Queued.empty() || m_bStop.load(); };
    if (p_uTimeoutMs == 0xFFFFFFFF)
        m_Ready.wait(lock, ready);
    else
        m_Ready.wait_for(lock, std::chrono::milliseconds(p_uTimeoutMs), ready);
    if (m_Queued.empty())
        return m_bStop.load() ? PvResult::Code::ABORTED : PvResult::Code::TIMEOUT;
    PvBuffer* b = m_Queued.front();
    m_Queued.pop_front();
    *p_ppBuffer = b;
    if (p_pOperationResult != nullptr)
        *p_pOperationResult = b->m_OperationResult;
    return PvResult::Code::OK;
}

PvResult PvPipeline::ReleaseBuffer(PvBuffer* p_pBuffer)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    bool bOwned = false;
    for (auto& b : m_Buffers)
        if (b.get() == p_pBuffer)
            bOwned = true;
    if (!bOwned)
        return PvResult::Code::INVALID_PARAMETER;
    for (PvBuffer* b : m_Free)
        if (b == p_pBuffer)
            return PvResult::Code::OK;   // given back twice
    for (PvBuffer* b : m_Queued)
        if (b == p_pBuffer)
            return PvResult::Code::STATE_ERROR;   // never retrieved
    m_Free.push_back(p_pBuffer);
    return PvResult::Code::OK;
}

void PvPipeline::run()
{
    using Clock = std::chrono::steady_clock;
    double dRate = Board().framesPerSecond();
    sim::FramePacer pacer(dRate);
    std::deque<std::pair<Clock::time_point, int64_t>> recent;   // frames of the last second
    while (pacer.waitNext(&m_bStop)) {
        const double dNow = Board().framesPerSecond();
        if (dNow != dRate) {
            dRate = dNow;
            pacer.setRate(dRate);
        }
        const Clock::time_point now = Clock::now();
        while (!recent.empty() && now - recent.front().first > std::chrono::seconds(1))
            recent.pop_front();
        int64_t iBytes = 0;
        for (const auto& r : recent)
            iBytes += r.second;
        m_pStatistics->bandwidth.store(static_cast<double>(iBytes) * 8.0);
        m_pStatistics->acquisitionRate.store(static_cast<double>(recent.size()));

        sim::DunstelBoard& board = Board();
        if (!m_pStatistics->streamOpen.load() || !board.streamEnabled() || !board.acquisitionRunning() || board.lost()
            || sim::FaultPending(sim::BoardKind::Dunstel, sim::Fault::FramesStop)) {
            IdleInFastMode();
            continue;
        }
        PvBuffer* b = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            if (!m_Free.empty()) {
                b = m_Free.front();
                m_Free.pop_front();
            }
        }
        if (b == nullptr) {
            m_pStatistics->blocksDropped.fetch_add(1);
            IdleInFastMode();
            continue;
        }
        const int64_t iNeeded = board.renderFrame(b->GetDataPointer(), b->GetSize());
        const bool bWhole = iNeeded <= static_cast<int64_t>(b->GetSize());
        b->m_uAcquired = bWhole ? static_cast<uint32_t>(iNeeded) : 0;
        b->m_OperationResult = bWhole ? PvResult::Code::OK : PvResult::Code::BUFFER_TOO_SMALL;
        b->m_uBlockId = ++m_uBlockId;
        m_pStatistics->blockCount.fetch_add(1);
        recent.emplace_back(now, bWhole ? iNeeded : 0);
        std::vector<PvPipelineEventSink*> sinks;
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_Queued.push_back(b);
            sinks = m_Sinks;
        }
        m_Ready.notify_all();
        for (PvPipelineEventSink* s : sinks)
            s->OnBufferReady(this);
    }
    m_pStatistics->bandwidth.store(0.0);
    m_pStatistics->acquisitionRate.store(0.0);
}
