// The blackbody calibration window: sensor and proxy settings pushed by the main window, the saving folder, and the two-step capture that feeds the external calibration program.
#pragma once

#include "pipeline/correction_chain.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace Ui {
class Window_Calibration;
}
class BlackbodyCapture;
class KV_Log;
class QCloseEvent;

class Window_Calibration : public QWidget
{
    Q_OBJECT

public:
    explicit Window_Calibration(QWidget* parent = nullptr);
    ~Window_Calibration() override;

    Ui::Window_Calibration* ui = nullptr;

    // Setters of the main window (GUI thread).
    void setXSize(uint32_t p_uWidth);
    void setYSize(uint32_t p_uHeight);
    void setProxyName(QString p_sProxyName);
    void setParameters(uint32_t p_uTINT, uint32_t p_uADD02, uint32_t p_uADD03, uint32_t p_uADD0C, uint32_t p_uADD0D,
                       uint32_t p_uCKDIV, uint32_t p_uGMS);
    void setParameterTexts(QString p_sTINT, QString p_sADD02, QString p_sADD03, QString p_sADD0C, QString p_sADD0D,
                           QString p_sCKDIV, QString p_sGMS);
    // A count of 15 (no count in the proxy's record) leaves the stored one.
    void setLeftTemperatureColumns(uint32_t p_uCount);
    void setRightTemperatureColumns(uint32_t p_uCount);
    void SetLog(KV_Log* p_pLog);
    void setCopyright(QString p_sText);

    // The frame path's side (any thread): whether frames are wanted, and one frame as delivered.
    bool isCapturing() const;
    void receiveRawImage(const uint16_t* p_pFrame, const FrameGeometry& p_Delivered);
    // The capture state the frame path holds on to while it writes, so that
    // closing the window never frees it under the writing thread.
    std::shared_ptr<BlackbodyCapture> capture() const { return m_Capture; }

    QString savingFolder() const { return m_sSavingFolder; }
    uint32_t imagesPerBlackbody() const { return m_uImagesPerBlackbody; }
    uint32_t leftTemperatureColumns() const { return m_uLeftColumns; }
    uint32_t rightTemperatureColumns() const { return m_uRightColumns; }

    // Deletes the window once none of its slots is still running (a slot may
    // be waiting in a message box or in the folder dialog when it is closed).
    void dispose();

signals:
    void RefreshParameter();
    void CloseWindow();

public slots:
    void pushButton_Start();
    void pushButton_changeLocation();
    void pushButton_Refresh();
    void OpenFolder();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    // Counts the slots on the stack; the last one to return carries out a dispose asked meanwhile.
    class SlotScope;
    friend class SlotScope;

    void applyStartRule();
    void setCaptureControlsEnabled(bool p_bEnabled);
    void onStepFinished(int p_iStep);
    void finishCapture();
    int ask(int p_iIcon, const QString& p_sTitle, const QString& p_sText, const QStringList& p_Buttons);

    std::shared_ptr<BlackbodyCapture> m_Capture;
    KV_Log* m_pLog = nullptr;
    std::unique_ptr<KV_Log> m_pOwnLog;
    QString m_sProxyName;
    QString m_sSavingFolder;
    uint32_t m_uWidth = 0;
    uint32_t m_uHeight = 0;
    uint32_t m_Values[7] = {};
    uint32_t m_uLeftColumns = 0;
    uint32_t m_uRightColumns = 0;
    uint32_t m_uImagesPerBlackbody = 0;
    int m_iSlotDepth = 0;
    bool m_bDisposeAsked = false;
    bool m_bClosed = false;
};
