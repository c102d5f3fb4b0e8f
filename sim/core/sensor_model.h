// The simulated sensor behind one connected board: register file, stored set-up and frame synthesis.
#pragma once

#include "params/board_register_id.h"
#include "sim/core/board_kind.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace sim {

// Register ids as the program's encoders number them.
namespace Register = ::board_register;
constexpr int kRegisterCount = 128;   // ids 0..127; others are ignored and read 0

struct FrameGeometry
{
    int width = 0;   // pixels per line
    int height = 0;  // lines
    int pitchBytes() const { return width * 2; }
    int pixelCount() const { return width * height; }
    bool operator==(const FrameGeometry& o) const { return width == o.width && height == o.height; }
    bool operator!=(const FrameGeometry& o) const { return !(*this == o); }
};

// The geometry used while the proxy record has no size (cells still 65535).
constexpr FrameGeometry kFallbackGeometry{640, 480};

enum class PixelDefect { None, Dead, Hot };

// One per connected board (see board_registry.h). Every member is thread-safe:
// the transport's frame thread renders while the GUI thread writes registers.
//
// The register file starts from the proxy record's defaults (TINT, the four
// DACs, CKDIV, the 30 FPS GSK value). The signal follows those registers:
// longer integration and a higher GSK voltage (the frame-rate GSK register, or
// the DAC the record names as its GSK channel) raise the response, the other
// DACs move the pedestal; dead and hot pixels follow nothing, which is what
// the bad-pixel detection looks for.
class SensorModel
{
public:
    SensorModel(BoardKind p_Kind, int p_iProxyIndex, int p_iFrameRateCode);

    BoardKind kind() const { return m_Kind; }

    // Register file. Writing PERSO_VALUE also stores the value into the FPGA
    // register addressed by PERSO_ADDR; writing FrameRateCode stores the
    // board's frame-rate code (setFrameRateCode).
    void setRegister(int p_iId, int32_t p_iValue);
    int32_t registerValue(int p_iId) const;
    void setFpgaRegister(int p_iAddress, int32_t p_iValue);
    int32_t fpgaRegister(int p_iAddress) const;   // 0 when never written
    std::map<int, int32_t> fpgaRegisters() const;

    // The set-up the board keeps across power cycles: the proxy record index
    // (ProxyIndex, 0..24) and the frame-rate code (25, 30, 50, 60, 100, 120,
    // 200; 254 custom; 255 board default). Each transport translates the proxy
    // index to and from its own numbering on the wire. Changing either calls
    // the store callback (the registry persists it in Simulation.ini).
    int proxyIndex() const;
    void setProxyIndex(int p_iProxyIndex);
    int frameRateCode() const;
    void setFrameRateCode(int p_iCode);
    // Frames per second of the code; 254, 255 and unknown codes run at 30.
    double framesPerSecond() const;
    void setStoreCallback(std::function<void(int p_iProxyIndex, int p_iFrameRateCode)> p_Store);

    // Acquisition-buffer size of the proxy record (cells 241, 242), the
    // fallback geometry while those cells are not set, or the override.
    FrameGeometry geometry() const;
    void setGeometryOverride(const FrameGeometry& p_Geometry);
    void clearGeometryOverride();

    // Sample depth of the output: 16 (default) or fewer bits (the serial board sends 14).
    void setOutputBits(int p_iBits);
    int outputBits() const;
    // The board's own FPN-corrected output: no per-pixel offset or gain spread.
    void setBoardCorrectedOutput(bool p_bOn);
    bool boardCorrectedOutput() const;
    // A lens cap: the scene becomes one uniform level (offset and gain spread,
    // noise and defects stay), as the bad-pixel detection wants it.
    void setLensCovered(bool p_bCovered);
    bool lensCovered() const;

    // Renders the next frame, host-order pixels, p_iPitchPixels apart per line,
    // and advances the frame counter. Returns the frame's counter.
    uint32_t renderNextFrame(uint16_t* p_pDst, int p_iWidth, int p_iHeight, int p_iPitchPixels);
    uint32_t renderNextFrame(uint16_t* p_pDst, const FrameGeometry& p_Geometry)
    {
        return renderNextFrame(p_pDst, p_Geometry.width, p_Geometry.height, p_Geometry.width);
    }
    // The next frame as the USB3 board sends it: each pixel high byte first,
    // p_Geometry.pitchBytes() apart per line, written straight into p_pDst
    // (2-byte aligned) in the synthesis pass itself. Same pixels, same counter.
    uint32_t renderNextFrameHighByteFirst(uint8_t* p_pDst, const FrameGeometry& p_Geometry);
    // Renders frame number p_uFrameIndex (0 = first) with the registers as
    // they stand, without advancing anything. Same registers, same frame.
    void renderFrame(uint64_t p_uFrameIndex, uint16_t* p_pDst, int p_iWidth, int p_iHeight,
                     int p_iPitchPixels) const;

    // The counter of the next frame. It starts near its 32-bit wrap-around so
    // that counter arithmetic is exercised within the first seconds.
    static constexpr uint32_t kFirstFrameCounter = 0xFFFFFFF0u;
    uint32_t frameCounter() const;
    uint64_t framesRendered() const;

    // The fixed defect map, the same on every board and for every geometry.
    static PixelDefect DefectAt(int p_iX, int p_iY);

private:
    struct Levels;
    Levels levels() const;
    void renderFrameOrdered(uint64_t p_uFrameIndex, uint16_t* p_pDst, int p_iWidth, int p_iHeight,
                            int p_iPitchPixels, bool p_bHighByteFirst) const;
    // What a frame of one geometry needs that does not change from frame to
    // frame, built once per geometry; the level-dependent half is rebuilt
    // when the registers move the levels. A frame then costs a few loads and
    // one multiply-add per pixel.
    struct PixelTables
    {
        int width = 0;
        int height = 0;
        bool lensCovered = false;
        std::vector<float> offset;        // per-pixel offset spread
        std::vector<float> gain;          // per-pixel gain spread
        std::vector<float> staticScene;   // the ramp under the bar
        std::vector<float> discFactor;    // 0.5, or less under the cold bar
        std::vector<uint32_t> defectIndex;
        std::vector<uint8_t> defectKind;
        // Level-dependent: base[i] = pedestal + offset + gain * response * staticScene,
        // discWeight[i] = gain * response * discFactor (offset 0 and gain 1 when the
        // board corrects its own output).
        double pedestal = -1.0;
        double response = -1.0;
        bool boardCorrected = false;
        std::vector<float> base;
        std::vector<float> discWeight;
    };
    std::shared_ptr<const PixelTables> tables(int p_iWidth, int p_iHeight, const Levels& p_Levels) const;

    const BoardKind m_Kind;
    mutable std::mutex m_Mutex;
    int32_t m_Registers[kRegisterCount] = {};
    std::map<int, int32_t> m_Fpga;
    int m_iProxyIndex;
    int m_iFrameRateCode;
    std::function<void(int, int)> m_Store;
    bool m_bGeometryOverride = false;
    FrameGeometry m_GeometryOverride;
    int m_iOutputBits = 16;
    bool m_bBoardCorrected = false;
    bool m_bLensCovered = false;
    uint64_t m_uFramesRendered = 0;
    mutable std::mutex m_TablesMutex;
    mutable std::shared_ptr<const PixelTables> m_Tables;
};

} // namespace sim
