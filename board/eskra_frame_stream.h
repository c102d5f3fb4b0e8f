// The serial-port board's frame stream: port set-up, incremental parser, three-sum check and pixel decoding.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

class QByteArray;
class QSerialPort;

// 84 x 80 pixels, two 7-bit payload bytes per pixel.
constexpr int EskraFramePixels = 6720;
constexpr int EskraFrameBytes = 13440;
constexpr int EskraFrameWidth = 84;
constexpr int EskraFrameHeight = 80;
constexpr int EskraBaudRate = 921600;
constexpr int EskraReadBufferSize = 4096;
// Empty reads in a row after which the stream is reported as silent (once).
constexpr int EskraEmptyReadsBeforeTimeout = 1000000;

// Control bytes of the stream (bit 7 clear); data bytes have bit 7 set.
constexpr unsigned char EskraStartByte = 0x02;
constexpr unsigned char EskraEndByte = 0x03;
constexpr unsigned char EskraAcknowledgeByte = 0x06;
constexpr int EskraChecksumBytes = 5;

// Parser state kept between read cycles, so a frame may arrive over any number
// of reads. The reader runs on a worker thread that the GUI thread joins
// before it reads the flags; they are atomic all the same, because the main
// window's slots read frameComplete too. The byte loop works on local copies.
struct EskraReceiver
{
    int emptyReadCount = 0;
    bool inTrailer = false;
    int writeIndex = 0;
    uint32_t runningSum = 0;
    int checksumGroup = 0;
    uint32_t checksumValue = 0;
    std::atomic<bool> writeSelector{false};   // false: data go to buffer A
    std::atomic<bool> frameComplete{false};
    std::atomic<bool> trailerDone{false};
    std::atomic<bool> recomputedReady{false};
    std::atomic<bool> frameValid{false};

    // Back to the program-start state (tests and the fuzzer start from it).
    void reset();
};

// The process-wide receiver of the one serial-port board.
extern EskraReceiver g_EskraReceiver;

// Output of the parser: the two halves of the double buffer (EskraFrameBytes
// each) and the three sums the acceptance check compares.
struct EskraFrameBuffers
{
    unsigned char* bufferA = nullptr;
    unsigned char* bufferB = nullptr;
    uint32_t* transmittedChecksum = nullptr;
    uint32_t* runningSum = nullptr;
    uint32_t* recomputedSum = nullptr;
};

// Takes p_uCount received bytes in order (step 4 of a read cycle), then, when a
// frame's checksum has arrived, sums the completed buffer (step 5). Writes
// "Acknowledge received" to the debug output for each acknowledge byte.
void EskraParseBytes(EskraReceiver& p_Receiver, const EskraFrameBuffers& p_Out,
                     const unsigned char* p_pBytes, size_t p_uCount);

// Counts one read that returned nothing; true (and "Timeout reading" on the
// debug output) exactly at the millionth one in a row.
bool EskraNoteEmptyRead(EskraReceiver& p_Receiver);

// One read cycle on bytes already taken from the port: an empty array counts
// as an empty read.
void ParseSerialBytesEskra(EskraReceiver& p_Receiver, const QByteArray& p_Bytes, const EskraFrameBuffers& p_Out);

// One read cycle: everything the port holds now, without waiting. Call it on
// the thread that owns the port.
void ReadSerialFrameEskra(EskraReceiver& p_Receiver, QSerialPort* p_pPort, const EskraFrameBuffers& p_Out);
void ReadSerialFrameEskra(QSerialPort* p_pPort, unsigned char* p_pBufferA, unsigned char* p_pBufferB,
                          uint32_t* p_pTransmittedChecksum, uint32_t* p_pRunningSum,
                          uint32_t* p_pRecomputedSum);

// The acceptance rule: once a frame is complete, it is valid only when the
// running sum, the transmitted checksum and the recomputed sum agree; a frame
// that fails is dropped silently. Does nothing while no frame is complete.
void CheckSerialFrameEskra(EskraReceiver& p_Receiver, uint32_t p_uRunningSum,
                           uint32_t p_uTransmittedChecksum, uint32_t p_uRecomputedSum);
void CheckSerialFrameEskra(uint32_t p_uRunningSum, uint32_t p_uTransmittedChecksum,
                           uint32_t p_uRecomputedSum);

// The buffer of the last completed frame (A when the selector now points at B).
const unsigned char* EskraCompletedBuffer(const EskraReceiver& p_Receiver,
                                          const unsigned char* p_pBufferA,
                                          const unsigned char* p_pBufferB);

// Pixel k = (b[2k] * 128 + b[2k+1]) * 4: the 14-bit sample scaled to 16 bits.
void DecodeEskraFrame(const unsigned char* p_pPayload, uint16_t* p_pPixels);

// What ProcessImageEskra does without the main window: when the last checked
// frame was valid, decodes the completed buffer into pixels 0..6719 of
// p_pRawImage and returns true; otherwise leaves it untouched.
bool ProcessImageEskra(const EskraReceiver& p_Receiver, const unsigned char* p_pBufferA,
                       const unsigned char* p_pBufferB, uint16_t* p_pRawImage);

// Opens the board's port and sets the line up (921,600 baud both ways, 8N1, no
// flow control, 4096-byte read buffer). 0 on success; 2 when the port does not
// open, after the critical box "Can't open Serial port <name> correctly".
int OpenSerialPortEskra(QSerialPort* p_pPort, const char* p_szPortName);

// The same without the box, for callers that report the failure themselves.
int OpenAndConfigureSerialPortEskra(QSerialPort* p_pPort, const char* p_szPortName);
