// libFuzzer target: arbitrary bytes, in arbitrary reads, through the serial-port board's frame parser.
#include "board/eskra_frame_stream.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

struct Side
{
    EskraReceiver state;
    std::vector<unsigned char> a = std::vector<unsigned char>(EskraFrameBytes, 0);
    std::vector<unsigned char> b = std::vector<unsigned char>(EskraFrameBytes, 0);
    uint32_t transmitted = 0, running = 0, recomputed = 0;
    std::vector<uint16_t> raw = std::vector<uint16_t>(EskraFramePixels + 1, 0xABCD);

    EskraFrameBuffers out() { return {a.data(), b.data(), &transmitted, &running, &recomputed}; }

    // One loop cycle, with the invariants every cycle must keep.
    void cycle(const unsigned char* p, size_t n)
    {
        EskraParseBytes(state, out(), p, n);
        if (state.writeIndex < 0 || state.writeIndex > EskraFrameBytes)
            abort();
        if (state.checksumGroup < 0 || state.checksumGroup > 4)
            abort();
        const bool bComplete = state.frameComplete;
        CheckSerialFrameEskra(state, running, transmitted, recomputed);
        if (bComplete && state.frameComplete) {
            // Accepted: the three sums agree and match the completed buffer.
            const unsigned char* done = EskraCompletedBuffer(state, a.data(), b.data());
            uint32_t sum = 0;
            for (int i = 0; i < EskraFrameBytes; ++i)
                sum += done[i];
            if (!(running == transmitted && transmitted == recomputed && recomputed == sum))
                abort();
        }
        ProcessImageEskra(state, a.data(), b.data(), raw.data());
        state.frameComplete = false;
    }

    // Checked once per input: per cycle it would dominate the run.
    void finalChecks() const
    {
        for (int i = 0; i < EskraFrameBytes; ++i)
            if (a[i] > 0x7F || b[i] > 0x7F)
                abort();   // only 7-bit payloads are stored
        for (int k = 0; k < EskraFramePixels; ++k)
            if (raw[k] != 0xABCD && (raw[k] % 4 != 0 || raw[k] > 65532))
                abort();
        if (raw[EskraFramePixels] != 0xABCD)
            abort();   // decoding stays inside the frame
    }
};

// A valid frame to start from, so the fuzzer also explores what follows an accepted one.
std::vector<unsigned char> ValidFrame(unsigned char p_Seed)
{
    std::vector<unsigned char> f;
    f.push_back(EskraStartByte);
    uint32_t sum = 0;
    for (int i = 0; i < EskraFrameBytes; ++i) {
        const unsigned char v = static_cast<unsigned char>((i * 5 + p_Seed) & 0x7F);
        sum += v;
        f.push_back(0x80 | v);
    }
    f.push_back(EskraEndByte);
    for (int g = 0; g < EskraChecksumBytes; ++g)
        f.push_back(static_cast<unsigned char>(0x80 | ((sum >> (7 * g)) & 0x7F)));
    return f;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(Quiet);   // "Acknowledge received" would flood the run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    if (p_uSize < 2)
        return 0;
    // Byte 0: bit 0 prepends a valid frame; bits 1..7 give the read size (1..128).
    const bool bValidFirst = (p_pData[0] & 1) != 0;
    const size_t uChunk = static_cast<size_t>(p_pData[0] >> 1) + 1;
    std::vector<unsigned char> stream;
    if (bValidFirst)
        stream = ValidFrame(p_pData[1]);
    stream.insert(stream.end(), p_pData + 1, p_pData + p_uSize);

    // The same bytes in one read and in many reads leave the same parser state.
    Side whole, split;
    whole.cycle(stream.data(), stream.size());
    for (size_t i = 0; i < stream.size(); i += uChunk)
        split.cycle(stream.data() + i, std::min(uChunk, stream.size() - i));

    whole.finalChecks();
    split.finalChecks();
    if (whole.state.writeIndex != split.state.writeIndex || whole.state.runningSum != split.state.runningSum
        || whole.state.checksumGroup != split.state.checksumGroup
        || whole.state.inTrailer != split.state.inTrailer
        || whole.state.checksumValue != split.state.checksumValue
        || whole.state.writeSelector != split.state.writeSelector || whole.a != split.a || whole.b != split.b
        || whole.transmitted != split.transmitted || whole.running != split.running)
        abort();
    return 0;
}
