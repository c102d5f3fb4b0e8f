// Decoding what an interface board reports of its set-up: reply numbers, proxy list positions, frame-rate texts.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// The frame-rate number a board reports when it runs its default configuration.
constexpr int DefaultFrameRateCode = 255;
constexpr int CustomFrameRateCode = 254;

// The value of the reply's leading decimal digits (spaces and line ends
// before them are skipped). No digits: false, and *p_pValue is left alone.
bool ReadLeadingDecimal(const QByteArray& p_Reply, int* p_pValue);

// What a connection learnt of the board: a position in the board set-up
// window's proxy list (0 "Proxy Board...": nothing known) and a frame-rate
// number (255, the default, when nothing was read).
struct BoardIdentification
{
    int ProxyListPosition = 0;
    int FrameRate = DefaultFrameRateCode;
    bool ProxyRead = false;  // the board answered the proxy query with a number
    bool RateRead = false;   // ... and the frame-rate query
};

// Belmor+ answers "!p" with its number + 1 (table A), Arvex "*p" with its
// number (table B); an empty or non-numeric reply means nothing known.
BoardIdentification IdentifyBelmorPlus(const QByteArray& p_ProxyReply, const QByteArray& p_RateReply);
BoardIdentification IdentifyArvex(const QByteArray& p_ProxyReply, const QByteArray& p_RateReply);
// Dunstel answers with its number - 1 (table A).
BoardIdentification IdentifyDunstel(const QByteArray& p_ProxyReply, const QByteArray& p_RateReply);
// Corvane: the library's numbers and statuses (0 = read). -1 is "no proxy
// stored"; -255 or a failed read is nothing known.
BoardIdentification IdentifyCorvane(int p_iProxyStatus, int p_iProxyNumber, int p_iRateStatus, int p_iRateNumber);

// The proxy list item at a position; "Proxy Board..." outside the list.
QString ProxyListText(int p_iPosition);
// ProxyIndex of the item at a position: 0 for "Proxy Board...", 13 for "No Proxy".
int ProxyIndexFromListPosition(int p_iPosition);

// The frame-rate entry as the board set-up window names it ("120 FPS",
// "Default frequency", "Custom frequency").
QString FrameRateEntryText(int p_iFrameRate);

// Copies the UTF-8 text with its terminator into p_szBuffer of p_uSize bytes,
// cut at a character boundary when it does not fit. Returns false when cut.
bool CopyUtf8Bounded(const QString& p_sText, char* p_szBuffer, size_t p_uSize);
