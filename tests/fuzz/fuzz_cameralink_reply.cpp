// libFuzzer target: any bytes from a Camera Link board through ReadCameraLinkSerial and the reply decoders.
#include "app/app_paths.h"
#include "app/globals.h"
#include "board/cameralink_serial.h"
#include "fuzz_support.h"
#include "board/board_configuration.h"
#include "platform/clserial/clserial.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/simulation_settings.h"

#include <QCoreApplication>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    static int s_iArgc = 1;
    static char s_szName[] = "fuzz_cameralink_reply";
    static char* s_Argv[] = {s_szName, nullptr};
    static QCoreApplication* s_pApp = [] {
        auto* pApp = new QCoreApplication(s_iArgc, s_Argv);
        SetApplicationDirPathOverride(fuzz::ScratchDir());
        hSerRef ref = nullptr;
        clSerialInit(0, &ref);
        g_hCameraLinkSerial = ref;
        return pApp;
    }();
    (void)s_pApp;
    sim::CameraLinkPortTakeEmitted(0);
    sim::CameraLinkPortEmit(0, QByteArray(reinterpret_cast<const char*>(p_pData), static_cast<int>(p_uSize)));
    const QString sReply = ReadCameraLinkSerial(true);
    if (sReply.size() > CameraLinkReplyMaxLength)
        abort();
    int iValue = 0;
    ReadLeadingDecimal(sReply.toLatin1(), &iValue);
    IdentifyBelmorPlus(sReply.toLatin1(), sReply.toLatin1());
    IdentifyArvex(sReply.toLatin1(), QByteArray());
    // What the read left pending goes before the next input.
    while (!ReadCameraLinkSerial(false).isEmpty()) {
    }
    return 0;
}
