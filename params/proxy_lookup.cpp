// Proxy model names, the name-to-record look-up and the board-number tables.
#include "params/proxy_lookup.h"

#include "params/proxy_parameter_table.h"

#include <iterator>

const char* const kProxyListNames[kProxyListSize] = {
    "Proxy Board...", // 0
    "No Proxy",       // 1
    "Z633",           // 2
    "Z602",           // 3
    "Z603",           // 4
    "Z615",           // 5
    "Z641",           // 6
    "Z646",           // 7
    "Z647",           // 8
    "Z654",           // 9
    "Z663",           // 10
    "Z668",           // 11
    "Z668P",          // 12
    "Z671",           // 13
    "Z671P",          // 14
    "Z671Pv2",        // 15
    "Z1641",          // 16
    "Y420",           // 17
    "Y1436",          // 18
    "Y1437",          // 19
    "Y1437P",         // 20
    "X1550",          // 21
    "T230",           // 22
};

namespace {

// Model name by ProxyIndex.
const char* const kModelNames[kProxyRecordCount] = {
    "Proxy Board...", // 0 none selected
    "Z654",           // 1
    "Z668",           // 2
    "Z668P",          // 3
    "Z646",           // 4
    "Z602",           // 5
    "Y1436",          // 6
    "Y1437",          // 7
    "Z671",           // 8
    "Y1437P",         // 9
    "Z671P",          // 10
    "Z647",           // 11
    "Y1437P",         // 12 the same board at 120 FPS
    "No Proxy",       // 13
    "X1550",          // 14
    "Z615",           // 15
    "T230",           // 16
    "Z603",           // 17
    "Z641",           // 18
    "Z663",           // 19
    "Y420",           // 20
    "Z671Pv2",        // 21
    "",               // 22 no model name; reached only by board number
    "Z1641",          // 23
    "Z633",           // 24
};

// Names compared in this order; the first match wins. The result is
// ProxyIndex - 1, which is why "Proxy Board..." gives -1.
struct NamedProxy
{
    const char* sName;
    int iResult;
};
const NamedProxy kNameLookup[] = {
    {"Proxy Board...", -1},
    {"No Proxy", 12},
    {"Z654", 0},
    {"Z668", 1},
    {"Z668P", 2},
    {"Z646", 3},
    {"Z602", 4},
    {"Y1436", 5},
    {"Y1437", 6},
    {"Z671", 7},
    {"Y1437P", 8},
    {"Z671P", 9},
    {"Z647", 10},
    {"X1550", 13},
    {"Z615", 14},
    {"T230", 15},
    {"Z603", 16},
    {"Z641", 17},
    {"Z663", 18},
    {"Y420", 19},
    {"Z671Pv2", 20},
    {"Z1641", 22},
    {"Z633", 23},
};

// Board numbers 0..23 to list positions. The three tables differ only at
// 10, 21, 22 and 23.
constexpr int kBoardNumberCount = 24;
constexpr int kBoardTableA[kBoardNumberCount] = {
    //  0   1   2  3  4   5   6   7   8   9 10  11 12  13 14  15 16 17  18  19  20  21  22 23
        9, 11, 12, 7, 3, 18, 19, 13, 20, 14, 8, 20, 1, 21, 5, 22, 4, 6, 10, 17, 15, 16, 16, 2};
constexpr int kBoardTableB[kBoardNumberCount] = {
        9, 11, 12, 7, 3, 18, 19, 13, 20, 14, 14, 20, 1, 21, 5, 22, 4, 6, 10, 17, 15, 16, 0, 0};
constexpr int kBoardTableC[kBoardNumberCount] = {
        9, 11, 12, 7, 3, 18, 19, 13, 20, 14, 8, 20, 1, 21, 5, 22, 4, 6, 10, 17, 15, 1, 16, 2};

int LookUp(const int (&p_aTable)[kBoardNumberCount], unsigned p_uNumber)
{
    return p_uNumber < static_cast<unsigned>(kBoardNumberCount) ? p_aTable[p_uNumber] : 0;
}

} // namespace

const char* ProxyModelName(int p_iProxyIndex)
{
    if (p_iProxyIndex < 0 || p_iProxyIndex >= kProxyRecordCount)
        return "";
    return kModelNames[p_iProxyIndex];
}

int GetProxyIndexFromName(std::string_view p_sName)
{
    for (const NamedProxy& entry : kNameLookup)
        if (p_sName == entry.sName)
            return entry.iResult;
    return -1;
}

int ProxyIndexFromBoardNumber_A(unsigned p_uNumber) { return LookUp(kBoardTableA, p_uNumber); }
int ProxyIndexFromBoardNumber_B(unsigned p_uNumber) { return LookUp(kBoardTableB, p_uNumber); }
int ProxyIndexFromBoardNumber_C(unsigned p_uNumber) { return LookUp(kBoardTableC, p_uNumber); }
