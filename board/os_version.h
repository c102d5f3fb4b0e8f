// The operating-system code the capture library tunes its video reader by.
#pragma once

class KV_Log;

// The code of the running system in the numbering the capture library takes
// (0x90 Windows 7 ... 0xC0 Windows 10). On Linux there is no Windows version:
// the capture stack is a current one, so the newest code is returned and the
// log names the system that was found.
int DetectWindowsVersion(KV_Log* p_pLog);
