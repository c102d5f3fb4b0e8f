// The serial-port board's per-frame worker threads and the decode step of the main window.
#include "board/eskra_threads.h"

#include "board/eskra_frame_stream.h"

#include "app/globals.h"
#include "mainwindow/MainWindow.h"
#include "pipeline/frame_buffers.h"

#include <QByteArray>
#include <QSerialPort>

namespace {

// Written by the GUI thread before it starts the read thread and read by that
// thread only while the GUI thread joins it: the create and join order the two.
QByteArray g_EskraFetched;
bool g_bEskraPortOpen = false;

} // namespace

void FetchEskraPortBytes(QSerialPort* p_pPort)
{
    g_bEskraPortOpen = p_pPort != nullptr && p_pPort->isOpen();
    g_EskraFetched = g_bEskraPortOpen ? p_pPort->readAll() : QByteArray();
}

void* EskraReadThread(void*)
{
    MainWindow* pWindow = g_pMainWindow;
    if (!pWindow || !pWindow->EskraBuffers[0] || !pWindow->EskraBuffers[1] || !g_bEskraPortOpen)
        return nullptr;
    uint32_t sums[3] = {uint32_t(pWindow->EskraChecksums[0]), uint32_t(pWindow->EskraChecksums[1]),
                        uint32_t(pWindow->EskraChecksums[2])};
    ParseSerialBytesEskra(g_EskraReceiver, g_EskraFetched,
                          EskraFrameBuffers{pWindow->EskraBuffers[0], pWindow->EskraBuffers[1], &sums[0], &sums[1],
                                            &sums[2]});
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
