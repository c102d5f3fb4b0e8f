// The gamma pass by blocks of the gamma table, compiled for AVX-512 VBMI:
// 64 pixels at a time, each block's byte and steps looked up with byte
// permutes rather than one table read per pixel.
#include "pipeline/correction_kernels.h"


namespace kernels_vbmi {
namespace {

// Pixels read from the table itself, as the other builds do.
inline void ScalarPixels(uint16_t* corr, const uint16_t* table, uint8_t* d8, uint16_t* d16, size_t b, size_t e)
{
    for (size_t i = b; i < e; ++i) {
        const uint16_t v = table[corr[i]];
        corr[i] = v;
        if (d8)
            d8[i] = uint8_t(v >> 8);
        if (d16)
            d16[i] = v;
    }
}

} // namespace
} // namespace kernels_vbmi

#if defined(__AVX512VBMI__) && defined(__AVX512BW__)
#include <immintrin.h>

namespace kernels_vbmi {
namespace {

// A 256-byte table held in four registers.
struct ByteTable
{
    __m512i Q[4];

    explicit ByteTable(const uint8_t* p_pBytes)
    {
        for (int i = 0; i < 4; ++i)
            Q[i] = _mm512_loadu_si512(p_pBytes + 64 * i);
    }
    // The entry of each of the 64 indices.
    __m512i operator()(__m512i p_Index) const
    {
        const __m512i low = _mm512_permutex2var_epi8(Q[0], p_Index, Q[1]);
        const __m512i high = _mm512_permutex2var_epi8(Q[2], p_Index, Q[3]);
        return _mm512_mask_blend_epi8(_mm512_movepi8_mask(p_Index), low, high);
    }
};

} // namespace

void GammaPass(uint16_t* p_pCorrected, const GammaTable& p_Table, uint8_t* p_pDisplay8, uint16_t* p_pDisplay16,
               size_t p_uCount)
{
    const GammaBlocks& blocks = p_Table.blocks();
    const uint16_t* table = p_Table.data();
    const ByteTable high(blocks.High), step1(blocks.Step1), step2(blocks.Step2), slow(blocks.Slow);
    const __m512i one = _mm512_set1_epi8(1);
    uint16_t* corr = p_pCorrected;
    size_t i = 0;
    for (; i + 64 <= p_uCount; i += 64) {
        const __m512i a0 = _mm512_loadu_si512(corr + i);
        const __m512i a1 = _mm512_loadu_si512(corr + i + 32);
        const __m512i h = _mm512_inserti64x4(
            _mm512_castsi256_si512(_mm512_cvtepi16_epi8(_mm512_srli_epi16(a0, 8))),
            _mm512_cvtepi16_epi8(_mm512_srli_epi16(a1, 8)), 1);
        const __m512i s = slow(h);
        if (_mm512_test_epi8_mask(s, s) != 0) {
            ScalarPixels(corr, table, p_pDisplay8, p_pDisplay16, i, i + 64);
            continue;
        }
        const __m512i l = _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvtepi16_epi8(a0)),
                                             _mm512_cvtepi16_epi8(a1), 1);
        __m512i f = high(h);
        f = _mm512_mask_sub_epi8(f, _mm512_cmplt_epu8_mask(l, step1(h)), f, one);
        f = _mm512_mask_sub_epi8(f, _mm512_cmplt_epu8_mask(l, step2(h)), f, one);
        const __m512i w0 = _mm512_slli_epi16(_mm512_cvtepu8_epi16(_mm512_castsi512_si256(f)), 8);
        const __m512i w1 = _mm512_slli_epi16(_mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(f, 1)), 8);
        _mm512_storeu_si512(corr + i, w0);
        _mm512_storeu_si512(corr + i + 32, w1);
        if (p_pDisplay8)
            _mm512_storeu_si512(p_pDisplay8 + i, f);
        if (p_pDisplay16) {
            _mm512_storeu_si512(p_pDisplay16 + i, w0);
            _mm512_storeu_si512(p_pDisplay16 + i + 32, w1);
        }
    }
    ScalarPixels(corr, table, p_pDisplay8, p_pDisplay16, i, p_uCount);
}

} // namespace kernels_vbmi

#else

// Without the instruction set the compiler cannot build this pass; it is
// never chosen then, but the name must exist.
void kernels_vbmi::GammaPass(uint16_t* p_pCorrected, const GammaTable& p_Table, uint8_t* p_pDisplay8,
                             uint16_t* p_pDisplay16, size_t p_uCount)
{
    ScalarPixels(p_pCorrected, p_Table.data(), p_pDisplay8, p_pDisplay16, 0, p_uCount);
}

#endif
