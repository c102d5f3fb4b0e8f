// The per-pixel passes of the correction chain, built for more than one instruction set.
#pragma once

#include "pipeline/correction_chain.h"

#include <cstddef>
#include <cstdint>

struct CorrectionPassArgs
{
    const uint16_t* Raw = nullptr;
    const uint16_t* Ref = nullptr;
    const double* Gain2 = nullptr;
    double Mean = 0.0;
    int32_t Offset = 0;
    int32_t Gain = 1;
    uint32_t Centre256 = 0;
    uint16_t* Corrected = nullptr;
    uint16_t* Acquired = nullptr;
    float* Working32f = nullptr;
    uint8_t* Display8 = nullptr;
    uint16_t* Display16 = nullptr;
    size_t N = 0;
    CorrectionPath Path = CorrectionPath::Software;
    SoftwareInput Input = SoftwareInput::NoFPN;
    bool Clamp = true;
    bool Invert = false;
    bool FuseDisplay = true;
};

struct CorrectionKernels
{
    void (*Correction)(const CorrectionPassArgs&);
    void (*Gamma)(uint16_t* p_pCorrected, const GammaTable& p_Table, uint8_t* p_pDisplay8, uint16_t* p_pDisplay16,
                  size_t p_uCount);
};

// The same arithmetic compiled for the baseline and for AVX2; the widest
// one the processor runs is chosen once.
namespace kernels_base {
void CorrectionPass(const CorrectionPassArgs& p);
void GammaPass(uint16_t*, const GammaTable&, uint8_t*, uint16_t*, size_t);
}
namespace kernels_avx2 {
void CorrectionPass(const CorrectionPassArgs& p);
void GammaPass(uint16_t*, const GammaTable&, uint8_t*, uint16_t*, size_t);
}
// The gamma pass by the table's blocks, for processors with byte permutes
// over 64 lanes (AVX-512 VBMI).
namespace kernels_vbmi {
void GammaPass(uint16_t*, const GammaTable&, uint8_t*, uint16_t*, size_t);
}

const CorrectionKernels& SelectedCorrectionKernels();
