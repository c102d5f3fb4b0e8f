// The "Advanced Commands" window: manual commands, FPGA register editor, particular parameters, GigE and USB3 parameters.
#pragma once

#include "app/digiboard_kind.h"
#include "board/advanced_commands.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class BoardLink;
class KV_Log;
class PvDevice;
class PvGenBrowserWnd;
class PvGenParameterArray;
class PvStream;
class Usb3Link;
class QCloseEvent;
class QEvent;

namespace Ui {
class Cmd_Perso;
}

class Cmd_Perso : public QMainWindow
{
    Q_OBJECT

public:
    explicit Cmd_Perso(QWidget* parent = nullptr);
    ~Cmd_Perso() override;

    // The log every slot writes to; not owned. Null gives back the window's own (never opened) log.
    void setLog(KV_Log* p_pLog);
    // Where the window gets the link of a board kind; every register write
    // of the window goes through it. Without one nothing is written.
    using LinkSource = std::function<BoardLink*(BoardKind)>;
    void setBoardLinks(LinkSource p_Links) { m_Links = std::move(p_Links); }
    // Closes the two parameter browsers when open; the board link calls it
    // before it frees the GigE device and stream that the browsers show.
    void CloseParameterBrowsers();

    // The form, one pointer per widget by object name.
    Ui::Cmd_Perso* ui = nullptr;

    // State the slots read, for the main window and the tests.
    QString boardName() const { return m_sBoardName; }
    int proxyIndex() const { return m_iProxyIndex; }
    QString errorText() const { return m_sErrorText; }
    bool deviceBrowserOpen() const { return m_bDeviceBrowserOpen; }
    bool streamBrowserOpen() const { return m_bStreamBrowserOpen; }
    PvGenBrowserWnd* deviceBrowser() const { return m_pDeviceBrowser; }
    PvGenBrowserWnd* streamBrowser() const { return m_pStreamBrowser; }

signals:
    void CloseWindow();

public slots:
    void UpdateDigiBoard(QString str);
    void setCopyright(QString Copyright);
    void setDeviceGigE(PvDevice* aDevice);
    void setProxyBoard(int ProxyBoard);
    void setStreamGigE(PvStream* aStream);
    void PushButton_DeviceParamPleoraWnd();
    void PushButton_StreamParamPleoraWnd();
    void UpdateBits();
    void Check_ComboBox_Parameter(QString p_sText);
    void Check_ComboBox_Destination_Board_Parameter(QString p_sText);
    void CheckBox_InvertPXClockUSB3(int p_iState);
    void PushButton_SEND_FPGARegister();
    void PushButton_SEND_GigEParam();
    void PushButton_Send_ParticularParam();
    void PushButton_SendCommand();
    void OpenDeviceManager();
    void OpenNetworkConnections();
    void ComboBox_Data(int index);
    void on_comboBox_FPGARegister_currentIndexChanged(QString p_sText);
    void PushButton_SetUSB3_Slider();
    void PushButton_SetUSB3_SliderDirect();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void fillParticularParamList();
    void fillDestinationBoardList();
    void writeLog(const QString& p_sLine);
    // The link of a kind, null when the window has none.
    BoardLink* linkOf(BoardKind p_Kind) const;
    // The link a path's pair goes through: the FPGA editor writes the same
    // "!" pair on the Arvex as on the Belmor+.
    BoardLink* persoLink(PersoPath p_Path) const;
    // The USB3 board's link, null when the window has none.
    Usb3Link* usb3Link() const;
    // One write of the pair on the path's link: 0 when the board took it.
    int writePerso(PersoPath p_Path, const PersoWrite& p_Write);
    // Checks the whole sequence against the registers' widths, then writes it,
    // stopping at the first failure, which is reported. True when all was sent.
    bool sendPersoSequence(PersoPath p_Path, const PersoSequence& p_Sequence);
    void reportFailure(const QString& p_sMessage);
    void reportRefusal(const QString& p_sMessage);
    void closeDeviceBrowser();
    void closeStreamBrowser();
    // Opens a browser on p_pArray titled p_pTitle.
    PvGenBrowserWnd* openBrowser(PvGenParameterArray* p_pArray, const char* p_szTitle);

    QString m_sBoardName;
    bool m_bDeviceBrowserOpen = false;
    bool m_bStreamBrowserOpen = false;
    LinkSource m_Links;
    PvDevice* m_pGigEDevice = nullptr;
    PvGenParameterArray* m_pParameterArray = nullptr;
    PvStream* m_pGigEStream = nullptr;
    std::unique_ptr<KV_Log> m_pOwnLog;
    KV_Log* m_pLog = nullptr;
    QString m_sErrorText;
    PvGenBrowserWnd* m_pDeviceBrowser = nullptr;
    PvGenBrowserWnd* m_pStreamBrowser = nullptr;
    int m_iProxyIndex = 0;
    bool m_bGigESendRunning = false;
};
