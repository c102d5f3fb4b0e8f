// Prints proxy records as "cell: default current" lines, for diffing the table by hand.
// Usage: dump_proxy_table [record ...]   (no argument: every record)
#include "params/proxy_parameter_table.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    InitProxyParameterTable();
    auto dump = [](int p_iRecord) {
        std::printf("record %d\n", p_iRecord);
        for (int iCell = 0; iCell < kProxyParameterCount; ++iCell)
            std::printf("%d: %u %u\n", iCell, GetDefault(p_iRecord, iCell), GetCurrent(p_iRecord, iCell));
    };
    if (argc < 2) {
        for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord)
            dump(iRecord);
        return 0;
    }
    for (int i = 1; i < argc; ++i) {
        char* pEnd = nullptr;
        const long lRecord = std::strtol(argv[i], &pEnd, 10);
        if (*argv[i] == '\0' || *pEnd != '\0' || lRecord < 0 || lRecord >= kProxyRecordCount) {
            std::fprintf(stderr, "not a record number (0 to %d): %s\n", kProxyRecordCount - 1, argv[i]);
            return 1;
        }
        dump(static_cast<int>(lRecord));
    }
    return 0;
}
