// proxy_table_dump: prints the start-up table, one record or all of them.
#include "params/proxy_parameter_table.h"
#include "params/proxy_table_dump.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    InitProxyParameterTable();
    if (argc == 1) {
        for (int record = 0; record < kProxyRecordCount; ++record)
            std::printf("# record %d\n%s", record, DumpProxyRecord(record).c_str());
        return 0;
    }
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        const long record = std::strtol(argv[i], &end, 10);
        if (*argv[i] == '\0' || *end != '\0' || record < 0 || record >= kProxyRecordCount) {
            std::fprintf(stderr, "proxy_table_dump: \"%s\" is not a record number (0 to %d)\n",
                         argv[i], kProxyRecordCount - 1);
            return 2;
        }
        if (argc > 2)
            std::printf("# record %ld\n", record);
        std::fputs(DumpProxyRecord(static_cast<int>(record)).c_str(), stdout);
    }
    return 0;
}
