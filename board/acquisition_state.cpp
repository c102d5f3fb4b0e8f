// Process-wide state of the running acquisition and the frame buffers' ownership.
#include "board/acquisition_state.h"
#include "board/links/cameralink_link_state.h"

#include "pipeline/frame_buffers.h"

#include <QMessageBox>
#include <QMetaObject>

#include <cstring>
#include <memory>

char g_szProxyName[ProxyNameBufferSize] = {};
// Both live in the Camera Link link's state.
std::atomic<MCHANDLE>& g_hMultiCamChannel = CameraLinkTransport().Channel;
char (&g_szCamFilePath)[CamFilePathBufferSize] = CameraLinkTransport().CamFilePath;
std::atomic<int> MultiCamSaveImageIndex{0};
std::atomic<int> MultiCamSavedFrames{0};
std::atomic<int> g_iSaveAllFramesCount{0};
std::atomic<int> g_iSaveAllFramesFileIndex{0};
QPointer<QMessageBox> g_pNoFrameWarningBox;

namespace {
// The owners; the main window and the frame paths see plain pointers.
std::unique_ptr<unsigned short[]> s_RawFrame;
std::unique_ptr<unsigned short[]> s_CorrectedFrame;
// Read by the frame threads as the sign that the program's buffers exist.
std::atomic<size_t> s_uRawElements{0};
std::unique_ptr<unsigned char[]> s_EskraBuffers[3];
std::unique_ptr<unsigned char[]> s_EskraPixels;
std::unique_ptr<uint32_t[]> s_BadPixelLists[4];
} // namespace

void SetAcquisitionProxyName(const char* p_pName)
{
    std::strncpy(g_szProxyName, p_pName ? p_pName : "", ProxyNameBufferSize - 1);
    g_szProxyName[ProxyNameBufferSize - 1] = '\0';
}

size_t AllocatedRawFrameElements()
{
    return s_uRawElements;
}

unsigned short* AllocatedRawFrameBuffer()
{
    return s_RawFrame.get();
}

void AllocateAcquisitionBuffers(const AcquisitionBufferSlots& p_Slots, size_t p_uPitchBytes, size_t p_uHeight)
{
    FreeAcquisitionBuffers(&p_Slots);
    const size_t frameBytes = p_uPitchBytes * p_uHeight;
    // Four times the frame's bytes in 16-bit elements, zeroed over the first half
    // (value-initialised here: all of it).
    const size_t elements = 2 * frameBytes;
    s_RawFrame.reset(new unsigned short[elements]());
    s_CorrectedFrame.reset(new unsigned short[elements]());
    s_uRawElements = elements;
    g_pRawImage16b = s_RawFrame.get();
    g_pCorrectedImage16b = s_CorrectedFrame.get();
    for (int i = 0; i < 3; ++i) {
        s_EskraBuffers[i].reset(new unsigned char[EskraStreamBufferBytes]());
        p_Slots.EskraBuffers[i] = s_EskraBuffers[i].get();
    }
    s_EskraPixels.reset(new unsigned char[EskraPixelBufferBytes]());
    *p_Slots.EskraPixelBuffer = s_EskraPixels.get();
    // FramePitch x FrameHeight words each, so the count and every index of a
    // full frame fit; zeroed, so each list starts with count 0.
    for (int i = 0; i < 4; ++i) {
        s_BadPixelLists[i].reset(new uint32_t[frameBytes]());
        p_Slots.BadPixelLists[i] = s_BadPixelLists[i].get();
    }
}

void FreeAcquisitionBuffers(const AcquisitionBufferSlots* p_pSlots)
{
    s_uRawElements = 0;
    g_pRawImage16b = nullptr;
    g_pCorrectedImage16b = nullptr;
    if (p_pSlots) {
        for (int i = 0; i < 3; ++i)
            p_pSlots->EskraBuffers[i] = nullptr;
        *p_pSlots->EskraPixelBuffer = nullptr;
        for (int i = 0; i < 4; ++i)
            p_pSlots->BadPixelLists[i] = nullptr;
    }
    s_RawFrame.reset();
    s_CorrectedFrame.reset();
    for (auto& pBuffer : s_EskraBuffers)
        pBuffer.reset();
    s_EskraPixels.reset();
    for (auto& pList : s_BadPixelLists)
        pList.reset();
}
