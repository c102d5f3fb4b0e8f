// libFuzzer target: any bytes as a frame-grabber camera file; a geometry it accepts is positive.
#include "fuzz_support.h"
#include "platform/multicam/camera_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    const QString sPath = fuzz::WriteInput(p_pData, p_uSize, "CamFile_Fuzz.cam");
    CameraFileGeometry geometry;
    QString sError;
    const bool bRead = ReadCameraFile(sPath, &geometry, &sError);
    if (bRead && (geometry.activePixels <= 0 || geometry.activeLines <= 0))
        abort();
    if (!bRead && sError.isEmpty())
        abort();
    return 0;
}
