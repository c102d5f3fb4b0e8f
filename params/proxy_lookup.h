// Proxy model names, the name-to-record look-up and the board-number tables.
#pragma once

#include <string_view>

constexpr int kProxyListSize = 23;

// The proxy list of the board set-up window, in item order: position 0 is
// "Proxy Board..." (no proxy), 1 "No Proxy", then the models. The board-number
// tables below give positions in this list.
extern const char* const kProxyListNames[kProxyListSize];

// Model name of a ProxyIndex: "Proxy Board..." for 0, "No Proxy" for 13,
// "Y1437P" for both 9 and 12 (the 120 FPS variant), and the empty text for
// 22 (a configuration without a model name) and for any index outside 0..24.
const char* ProxyModelName(int p_iProxyIndex);

// ProxyIndex - 1 of the model called p_sName (exact, case-sensitive), or -1
// for "Proxy Board...", the empty text and any unknown text. Callers add 1,
// so anything that names no model selects record 0. No name reaches records
// 12 and 22.
int GetProxyIndexFromName(std::string_view p_sName);

// Position in kProxyListNames of the proxy that an interface board reports by
// its stored number; every number without an entry (a negative one arrives as
// a large unsigned value) gives position 0, "Proxy Board...".
// Table A serves Belmor+ (answer - 1) and Dunstel (answer + 1), B Arvex, C Corvane.
int ProxyIndexFromBoardNumber_A(unsigned p_uNumber);
int ProxyIndexFromBoardNumber_B(unsigned p_uNumber);
int ProxyIndexFromBoardNumber_C(unsigned p_uNumber);
