// The serial-port board's frame stream: port set-up, incremental parser, three-sum check and pixel decoding.
#include "board/eskra_frame_stream.h"

#include "board/board_message_box.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QtDebug>

#include <climits>

EskraReceiver g_EskraReceiver;

void EskraReceiver::reset()
{
    emptyReadCount = 0;
    inTrailer = false;
    writeIndex = 0;
    runningSum = 0;
    checksumGroup = 0;
    checksumValue = 0;
    writeSelector = false;
    frameComplete = false;
    trailerDone = false;
    recomputedReady = false;
    frameValid = false;
}

void EskraParseBytes(EskraReceiver& p_Receiver, const EskraFrameBuffers& p_Out,
                     const unsigned char* p_pBytes, size_t p_uCount)
{
    // Locals keep the per-byte loop in registers; the state is written back once.
    bool bInTrailer = p_Receiver.inTrailer;
    int iWriteIndex = p_Receiver.writeIndex;
    uint32_t uRunningSum = p_Receiver.runningSum;
    int iGroup = p_Receiver.checksumGroup;
    uint32_t uChecksum = p_Receiver.checksumValue;
    bool bSelector = p_Receiver.writeSelector.load(std::memory_order_relaxed);
    bool bCompleted = false;
    unsigned char* pTarget = bSelector ? p_Out.bufferB : p_Out.bufferA;

    for (size_t i = 0; i < p_uCount; ++i) {
        const unsigned char c = p_pBytes[i];
        if (!bInTrailer && (c & 0x80) == 0) {
            if (c == EskraStartByte) {
                iWriteIndex = 0;
                uRunningSum = 0;
                iGroup = 0;
            } else if (c == EskraEndByte) {
                *p_Out.runningSum = uRunningSum;
                bInTrailer = true;
            } else if (c == EskraAcknowledgeByte) {
                qDebug("Acknowledge received");
            }
            continue;
        }
        // A frame with surplus bytes wraps and overwrites its head; the sums then disagree.
        if (iWriteIndex >= EskraFrameBytes)
            iWriteIndex = 0;
        const uint32_t uPayload = c & 0x7Fu;
        if (!bInTrailer) {
            pTarget[iWriteIndex++] = static_cast<unsigned char>(uPayload);
            uRunningSum += uPayload;
            continue;
        }
        switch (iGroup) {
        case 0: uChecksum = uPayload; ++iGroup; break;
        case 1: uChecksum += uPayload << 7; ++iGroup; break;
        case 2: uChecksum += uPayload << 14; ++iGroup; break;
        case 3: uChecksum += uPayload << 21; ++iGroup; break;
        default:
            // The last group counts with its whole byte: only its low four bits fit in 32.
            uChecksum += static_cast<uint32_t>(c) << 28;
            bInTrailer = false;
            *p_Out.transmittedChecksum = uChecksum;
            bCompleted = true;
            bSelector = !bSelector;
            pTarget = bSelector ? p_Out.bufferB : p_Out.bufferA;
            break;
        }
    }

    p_Receiver.inTrailer = bInTrailer;
    p_Receiver.writeIndex = iWriteIndex;
    p_Receiver.runningSum = uRunningSum;
    p_Receiver.checksumGroup = iGroup;
    p_Receiver.checksumValue = uChecksum;
    p_Receiver.writeSelector = bSelector;
    if (bCompleted) {
        p_Receiver.frameComplete = true;
        p_Receiver.trailerDone = true;
    }

    if (p_Receiver.frameComplete) {
        const unsigned char* pDone = bSelector ? p_Out.bufferA : p_Out.bufferB;
        uint32_t uSum = 0;
        for (int i = 0; i < EskraFrameBytes; ++i)
            uSum += pDone[i];
        *p_Out.recomputedSum = uSum;
        p_Receiver.recomputedReady = true;
    }
}

bool EskraNoteEmptyRead(EskraReceiver& p_Receiver)
{
    // The count saturates instead of overflowing on a port that stays silent for days.
    if (p_Receiver.emptyReadCount < INT_MAX)
        ++p_Receiver.emptyReadCount;
    if (p_Receiver.emptyReadCount != EskraEmptyReadsBeforeTimeout)
        return false;
    qDebug("Timeout reading");
    return true;
}

void ReadSerialFrameEskra(EskraReceiver& p_Receiver, QSerialPort* p_pPort, const EskraFrameBuffers& p_Out)
{
    if (p_pPort == nullptr || !p_pPort->isOpen())
        return;
    const QByteArray bytes = p_pPort->readAll();
    if (bytes.isEmpty()) {
        EskraNoteEmptyRead(p_Receiver);
        return;
    }
    p_Receiver.emptyReadCount = 0;
    EskraParseBytes(p_Receiver, p_Out, reinterpret_cast<const unsigned char*>(bytes.constData()),
                    static_cast<size_t>(bytes.size()));
}

void ReadSerialFrameEskra(QSerialPort* p_pPort, unsigned char* p_pBufferA, unsigned char* p_pBufferB,
                          uint32_t* p_pTransmittedChecksum, uint32_t* p_pRunningSum,
                          uint32_t* p_pRecomputedSum)
{
    ReadSerialFrameEskra(g_EskraReceiver, p_pPort,
                         EskraFrameBuffers{p_pBufferA, p_pBufferB, p_pTransmittedChecksum,
                                           p_pRunningSum, p_pRecomputedSum});
}

void CheckSerialFrameEskra(EskraReceiver& p_Receiver, uint32_t p_uRunningSum,
                           uint32_t p_uTransmittedChecksum, uint32_t p_uRecomputedSum)
{
    if (!p_Receiver.frameComplete || !p_Receiver.trailerDone || !p_Receiver.recomputedReady)
        return;
    if (p_uRunningSum == p_uTransmittedChecksum && p_uTransmittedChecksum == p_uRecomputedSum) {
        p_Receiver.frameValid = true;
    } else {
        p_Receiver.frameValid = false;
        p_Receiver.frameComplete = false;
    }
    p_Receiver.trailerDone = false;
    p_Receiver.recomputedReady = false;
}

void CheckSerialFrameEskra(uint32_t p_uRunningSum, uint32_t p_uTransmittedChecksum,
                           uint32_t p_uRecomputedSum)
{
    CheckSerialFrameEskra(g_EskraReceiver, p_uRunningSum, p_uTransmittedChecksum, p_uRecomputedSum);
}

const unsigned char* EskraCompletedBuffer(const EskraReceiver& p_Receiver,
                                          const unsigned char* p_pBufferA,
                                          const unsigned char* p_pBufferB)
{
    return p_Receiver.writeSelector ? p_pBufferA : p_pBufferB;
}

void DecodeEskraFrame(const unsigned char* p_pPayload, uint16_t* p_pPixels)
{
    for (int k = 0; k < EskraFramePixels; ++k) {
        const unsigned uHigh = p_pPayload[2 * k] & 0x7Fu;
        const unsigned uLow = p_pPayload[2 * k + 1] & 0x7Fu;
        p_pPixels[k] = static_cast<uint16_t>(((uHigh << 7) + uLow) << 2);
    }
}

bool ProcessImageEskra(const EskraReceiver& p_Receiver, const unsigned char* p_pBufferA,
                       const unsigned char* p_pBufferB, uint16_t* p_pRawImage)
{
    if (!p_Receiver.frameValid || p_pRawImage == nullptr)
        return false;
    DecodeEskraFrame(EskraCompletedBuffer(p_Receiver, p_pBufferA, p_pBufferB), p_pRawImage);
    return true;
}

int OpenAndConfigureSerialPortEskra(QSerialPort* p_pPort, const char* p_szPortName)
{
    const QString sName = QString::fromLatin1(p_szPortName != nullptr ? p_szPortName : "");
    qDebug() << "Connecting to serial port" << sName;
    p_pPort->setPortName(sName);
    if (!p_pPort->open(QIODevice::ReadWrite)) {
        qDebug("Failed to connect ... ");
        return 2;
    }
    p_pPort->setBaudRate(EskraBaudRate, QSerialPort::AllDirections);
    p_pPort->setDataBits(QSerialPort::Data8);
    p_pPort->setParity(QSerialPort::NoParity);
    p_pPort->setStopBits(QSerialPort::OneStop);
    p_pPort->setFlowControl(QSerialPort::NoFlowControl);
    p_pPort->setReadBufferSize(EskraReadBufferSize);
    return 0;
}

int OpenSerialPortEskra(QSerialPort* p_pPort, const char* p_szPortName)
{
    const int iResult = OpenAndConfigureSerialPortEskra(p_pPort, p_szPortName);
    if (iResult != 0) {
        const QString sName = QString::fromLatin1(p_szPortName != nullptr ? p_szPortName : "");
        // Through the window's presenter, as the other link boxes.
        ShowBoardCriticalBox(nullptr, QStringLiteral("CRITICAL"), "Can't open Serial port " + sName + " correctly");
    }
    return iResult;
}
