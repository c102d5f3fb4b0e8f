// The library's diagnostics, its state block and its locks.
#include "usb3lib/capture_state.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <thread>

namespace quenlin {

// Never destroyed: a capture thread that the application did not stop before
// leaving may still be finishing a sample while the process exits.
CaptureState& State()
{
    static CaptureState* s_pState = new CaptureState();
    return *s_pState;
}

std::mutex& LibraryMutex()
{
    static std::mutex* s_pMutex = new std::mutex();
    return *s_pMutex;
}

std::mutex& DataMutex()
{
    static std::mutex* s_pMutex = new std::mutex();
    return *s_pMutex;
}

bool LockForSession(uint64_t p_uSession, std::unique_lock<std::mutex>& p_Lock)
{
    std::unique_lock<std::mutex> lock(LibraryMutex(), std::defer_lock);
    for (;;) {
        if (State().session.load() != p_uSession)
            return false;
        if (lock.try_lock()) {
            if (State().session.load() != p_uSession)
                return false;
            p_Lock = std::move(lock);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void Always(const char* p_sText)
{
    std::fputs(p_sText, stderr);
}

void Verbose(const char* p_sText)
{
    if (State().verbose.load() != 0)
        std::fputs(p_sText, stderr);
}

void VerboseF(const char* p_sFormat, ...)
{
    if (State().verbose.load() == 0)
        return;
    char text[512];
    va_list args;
    va_start(args, p_sFormat);
    std::vsnprintf(text, sizeof text, p_sFormat, args);
    va_end(args);
    std::fputs(text, stderr);
}

void VerboseStdout(const char* p_sText)
{
    if (State().verbose.load() == 0)
        return;
    std::fputs(p_sText, stdout);
    std::fflush(stdout);
}

void SleepMs(int p_iMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(p_iMs));
}

} // namespace quenlin
