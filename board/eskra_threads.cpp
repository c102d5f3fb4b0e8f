// The serial-port board's per-frame worker threads and the decode step of the main window.
#include "board/eskra_threads.h"

#include "board/eskra_frame_stream.h"

#include "app/globals.h"
#include "mainwindow/MainWindow.h"
#include "pipeline/frame_buffers.h"

void* EskraReadThread(void*)
{
    MainWindow* pWindow = g_pMainWindow;
    if (!pWindow || !pWindow->EskraBuffers[0] || !pWindow->EskraBuffers[1] || !pWindow->EskraSerialPort)
        return nullptr;
    uint32_t sums[3] = {uint32_t(pWindow->EskraChecksums[0]), uint32_t(pWindow->EskraChecksums[1]),
                        uint32_t(pWindow->EskraChecksums[2])};
    ReadSerialFrameEskra(pWindow->EskraSerialPort, pWindow->EskraBuffers[0], pWindow->EskraBuffers[1], &sums[0],
                         &sums[1], &sums[2]);
    for (int i = 0; i < 3; ++i)
        pWindow->EskraChecksums[i] = int(sums[i]);
    return nullptr;
}

void* EskraProcessThread(void*)
{
    if (MainWindow* pWindow = g_pMainWindow)
        pWindow->ProcessImageEskra();
    return nullptr;
}

void MainWindow::ProcessImageEskra()
{
    if (!EskraBuffers[0] || !EskraBuffers[1] || !g_pRawImage16b)
        return;
    ::ProcessImageEskra(g_EskraReceiver, EskraBuffers[0], EskraBuffers[1], g_pRawImage16b);
}
