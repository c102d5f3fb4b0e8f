// libFuzzer target: any bytes as "boot.txt"; the board name stays inside its buffer and terminated.
#include "app/app_paths.h"
#include "app/boot_file.h"
#include "fuzz_support.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    SetApplicationDirPathOverride(fuzz::ScratchDir());
    fuzz::WriteInput(p_pData, p_uSize, "boot.txt");
    // A guard zone after the buffer shows a write past its end.
    char szBuffer[BootBoardNameBufferSize + 16];
    memset(szBuffer, 0, BootBoardNameBufferSize);
    memset(szBuffer + BootBoardNameBufferSize, 0x5A, 16);
    bool bAutoStart = true, bAutoNUC = false;
    ReadBootFile(szBuffer, "boot.txt", &bAutoStart, &bAutoNUC);
    for (int i = BootBoardNameBufferSize; i < BootBoardNameBufferSize + 16; ++i)
        if (szBuffer[i] != 0x5A)
            abort();
    if (memchr(szBuffer, 0, BootBoardNameBufferSize) == nullptr)
        abort();
    return 0;
}
