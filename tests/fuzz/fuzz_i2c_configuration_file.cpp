// libFuzzer target: any bytes as an I2C configuration file, then every cell read as the sender reads it.
#include "fuzz_support.h"
#include "board/i2c_configuration_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    const QString sPath = fuzz::WriteInput(p_pData, p_uSize, "i2c.csv");
    I2CConfigurationFile file;
    if (!ReadI2CConfigurationFile(sPath, file))
        return 0;
    // Each data line gives a row or a skipped entry, never more than the file has lines.
    const int iLines = QByteArray(reinterpret_cast<const char*>(p_pData), static_cast<int>(p_uSize)).count('\n') + 1;
    if (file.Rows.size() + file.Skipped.size() > iLines)
        abort();
    for (const I2CConfigurationRow& row : file.Rows) {
        if (row.Address.contains('h') || row.Value.contains('h'))
            abort();
        if (ParseI2CHexCell(row.Address) > 0x100000000ULL || ParseI2CHexCell(row.Value) > 0x100000000ULL)
            abort();
    }
    return 0;
}
