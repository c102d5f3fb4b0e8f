// Blackbody calibration capture: the raw frame files of BB1 and BB2, the "_Config.txt" description, and the capture state that the acquisition thread writes through.
#pragma once

#include "pipeline/correction_chain.h"
#include "pipeline/raw_frame_receiver.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// What "_Config.txt" tells the calibration program about one capture.
struct CalibrationDescription
{
    static constexpr int ParameterCount = 7;   // TINT, ADD02, ADD03, ADD0C, ADD0D, CKDIV, GMS

    QString ProxyName;
    QString SensorSerialNumber;
    QString Lens;
    // The captions as the window shows them (the heading lines, no colon added) and the values.
    QString Captions[ParameterCount];
    uint32_t Values[ParameterCount] = {};
    uint32_t ImageWidth = 0;
    uint32_t ImageHeight = 0;
    uint32_t LeftTemperatureColumns = 0;
    uint32_t RightTemperatureColumns = 0;
    double TemperatureBB1 = 0.0;
    double TemperatureBB2 = 0.0;
    uint32_t ImagesPerBlackbody = 0;
    QString FilesPath;   // the saving folder, no trailing separator
};

// A blackbody temperature as the prompts and the description show it: at most
// six significant digits, no trailing zeros (20, 35.5, -12.25).
QString FormatCalibrationTemperature(double p_dDegrees);

// The 36 lines of the description, heading and value in turn, without line ends.
QStringList CalibrationDescriptionLines(const CalibrationDescription& p_Description);

// Writes (truncating) the description, each line ended by the platform's line
// end. False when the file cannot be opened or written; p_pError then says why.
bool WriteCalibrationDescription(const QString& p_sPath, const CalibrationDescription& p_Description,
                                 QString* p_pError = nullptr);

// How a delivered frame gives the width x height image of a raw file.
enum class RawFrameFit {
    Contiguous,   // lines of exactly 2 x width bytes: the first width x height x 2 bytes as delivered
    RowByRow,     // longer lines: the first 2 x width bytes of each of the first height lines
    TooSmall,     // fewer lines or shorter lines than the image: nothing to write
};
RawFrameFit FitRawFrame(const FrameGeometry& p_Delivered, uint32_t p_uWidth, uint32_t p_uHeight);

// Writes the width x height image of a delivered frame as a headerless file of
// width x height little-endian 16-bit pixels (truncating an existing file).
// p_rScratch is reused between calls for frames that need a row-by-row copy.
// False when the frame is too small or the file cannot be opened or written
// in full; p_pError then says why.
bool WriteBlackbodyRawFrame(const QString& p_sPath, const uint16_t* p_pFrame, const FrameGeometry& p_Delivered,
                            uint32_t p_uWidth, uint32_t p_uHeight, std::vector<uint8_t>& p_rScratch,
                            QString* p_pError = nullptr);

// The file of frame p_uIndex of blackbody p_iStep (1 or 2) under p_sFolder.
QString BlackbodyRawFramePath(const QString& p_sFolder, int p_iStep, uint32_t p_uIndex);

// The state of one capture, shared by the GUI thread, which runs the steps, and
// the thread that delivers frames, which writes the files. Each step writes
// exactly N files, Image0.raw to Image(N-1).raw; a frame that comes while
// another is being written, or while the GUI thread changes the step, is
// dropped. stepFinished is emitted, on the delivering thread, once the last
// file of a step has been written (or has failed); receivers connect queued.
class BlackbodyCapture : public QObject, public RawFrameReceiver
{
    Q_OBJECT

public:
    explicit BlackbodyCapture(QObject* p_pParent = nullptr);

    // ----- GUI thread -----
    // A new capture of p_uImages frames per blackbody of width x height pixels
    // into p_sFolder/BB1 and p_sFolder/BB2; clears the failure tally. Not capturing yet.
    void prepare(const QString& p_sFolder, uint32_t p_uWidth, uint32_t p_uHeight, uint32_t p_uImages);
    // Frames are wanted from now on (isCapturing), but none is written before startStep.
    void startCapturing();
    // Blackbody p_iStep (1 or 2) from frame 0; the count starts again at 0.
    void startStep(int p_iStep);
    // The current step is over: frames are no longer written, the count goes back to 0.
    void endStep();
    // No more frames are wanted; any step ends.
    void stopCapturing();

    bool isCapturing() const override { return m_bCapturing.load(); }
    int step() const { return m_iStep.load(); }
    uint32_t imagesPerBlackbody() const { return m_uImages.load(); }
    uint32_t savedCount() const { return m_uSaved.load(); }
    // Files of this capture that could not be written, and the reason for the first.
    uint32_t failedFiles() const { return m_uFailed.load(); }
    QString firstFailure() const;
    // Frames refused because they were smaller than the image.
    uint32_t refusedFrames() const { return m_uRefused.load(); }

    // ----- delivering thread -----
    // Writes the frame into the folder of the current step, if one runs.
    void receiveRawImage(const uint16_t* p_pFrame, const FrameGeometry& p_Delivered) override;

signals:
    void stepFinished(int p_iStep);

private:
    std::atomic<bool> m_bCapturing{false};
    std::atomic<int> m_iStep{0};
    std::atomic<uint32_t> m_uImages{0};
    std::atomic<uint32_t> m_uSaved{0};
    std::atomic<uint32_t> m_uFailed{0};
    std::atomic<uint32_t> m_uRefused{0};
    // Held while a frame is written and while the GUI thread changes the step:
    // the step, the count and the file they name always agree.
    mutable std::mutex m_Mutex;
    QString m_sFolder;
    uint32_t m_uWidth = 0;
    uint32_t m_uHeight = 0;
    QString m_sFirstFailure;
    std::vector<uint8_t> m_Scratch;
};
