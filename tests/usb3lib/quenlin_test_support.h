// Shared helpers of the Quenlin tests: a clean simulated bench and a capture of the library's diagnostics.
#pragma once

#include "usb3lib/Quenlin.h"

#include "sim/core/board_registry.h"
#include "sim/usb3/capture_devices.h"
#include "support/test_app_folder.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Sends everything written to one standard stream into a temporary file while
// it lives; text() reads what arrived so far (the library writes its
// diagnostics straight to stderr, the register link's to stdout).
class StreamCapture
{
public:
    explicit StreamCapture(FILE* p_pStream = stderr) : m_pStream(p_pStream)
    {
        std::fflush(m_pStream);
        m_iFd = fileno(m_pStream);
        m_iSaved = dup(m_iFd);
        m_pFile = std::tmpfile();
        dup2(fileno(m_pFile), m_iFd);
    }
    ~StreamCapture()
    {
        std::fflush(m_pStream);
        dup2(m_iSaved, m_iFd);
        close(m_iSaved);
        std::fclose(m_pFile);
    }
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;

    QByteArray text() const
    {
        std::fflush(m_pStream);
        struct stat st {};
        fstat(fileno(m_pFile), &st);
        QByteArray bytes(static_cast<int>(st.st_size), '\0');
        const ssize_t n = pread(fileno(m_pFile), bytes.data(), static_cast<size_t>(bytes.size()), 0);
        bytes.resize(n > 0 ? static_cast<int>(n) : 0);
        return bytes;
    }
    int count(const QByteArray& p_Needle) const { return text().count(p_Needle); }

private:
    FILE* m_pStream;
    int m_iFd = -1;
    int m_iSaved = -1;
    FILE* m_pFile = nullptr;
};

// Closes whatever capture a test left open, the way the application stops,
// and gives a recovery still running on a capture thread time to notice.
inline void CloseCapture(bool p_bRecoveryPossible = true)
{
    stopCapture();
    for (int i = 0; i < 5 && isInitialized() != 0; ++i)
        deinitCapture(1);
    if (!p_bRecoveryPossible)
        return;
    // A recovery sleeps at most 300 ms between its checks of the stop request.
    QThread::msleep(700);
    while (isInitialized() != 0)
        deinitCapture(1);
}

// The library's settings back to their start-up values.
inline void ResetLibrarySettings()
{
    setVerbose(0);
    setProcessingBoardAvailable(0);
    setDisabledNUC();
    setInvBWCorrection(0);
    setLuminance(0);
    setContrast(1);
    setWindowsVersion(0xA0);
    setFPNReferenceImage(nullptr, 0);   // also drops a reference request still pending
    setVerbose(1);
}
