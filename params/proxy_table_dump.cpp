// Text dump of proxy records, for comparing the table with the data sheets.
#include "params/proxy_table_dump.h"
#include "params/proxy_parameter_table.h"

#include <cstdio>

std::string DumpProxyRecord(int p_iProxyIndex)
{
    std::string text;
    if (p_iProxyIndex < 0 || p_iProxyIndex >= kProxyRecordCount)
        return text;
    char line[64];
    for (int cell = 0; cell < kProxyParameterCount; ++cell) {
        std::snprintf(line, sizeof line, "%d: %u %u\n", cell,
                      GetDefault(p_iProxyIndex, cell), GetCurrent(p_iProxyIndex, cell));
        text += line;
    }
    return text;
}
