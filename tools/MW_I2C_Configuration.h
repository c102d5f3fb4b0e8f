// The I2C configuration sender: an I2C configuration file as a table of register writes, its checked rows sent to the sensor.
#pragma once

#include "app/digiboard_kind.h"

#include <QMainWindow>
#include <QString>

#include <functional>

class BoardLink;
class KV_Log;
class PvDeviceSerialPort;
class QCloseEvent;

namespace Ui {
class MW_I2C_Configuration;
}

class MW_I2C_Configuration : public QMainWindow
{
    Q_OBJECT

public:
    explicit MW_I2C_Configuration(QWidget* parent = nullptr);
    ~MW_I2C_Configuration() override;

    void setCopyright(QString p_sText);
    void setStatusConnexion(bool p_bConnected) { m_bConnected = p_bConnected; }
    // The board kind arrives as the board combo's index; a number that is no kind is None.
    void setDigiBoard(int p_iKind) { m_DigiBoardKind = BoardKindFromIndex(p_iKind); }
    void setLog(KV_Log* p_pLog);
    void setPortGigE(PvDeviceSerialPort* p_pPort) { m_pGigEPort = p_pPort; }
    // The link the rows go through for a board kind (null: none); the pairs
    // are the link's indirect writes.
    using LinkSource = std::function<BoardLink*(BoardKind)>;
    void setBoardLinks(LinkSource p_Links) { m_Links = std::move(p_Links); }

    // Loads the file the operator chose: the path shown, the table replaced
    // when the file opens (a box otherwise).
    void loadFile(const QString& p_sPath);
    int rowCount() const { return m_iRows; }
    bool isSending() const { return m_bSending; }
    bool isConnected() const { return m_bConnected; }
    int digiBoard() const { return BoardKindIndex(m_DigiBoardKind); }

    Ui::MW_I2C_Configuration* ui = nullptr;

signals:
    void CloseWindow();

public slots:
    void selectFile();
    void SendCommands();

protected:
    bool eventFilter(QObject* p_pObject, QEvent* p_pEvent) override;
    void closeEvent(QCloseEvent* p_pEvent) override;

private:
    void setTableHeaders();
    void addTableRow(QString p_sName, QString p_sTypeMem, QString p_sAddress, QString p_sValue);
    // One address/value pair to the board; 0 when both writes were taken.
    int sendPair(int p_iAddress, int p_iValue);
    void writeLog(const QString& p_sLine);

    bool m_bConnected = false;
    int m_iRows = 0;
    BoardKind m_DigiBoardKind = BoardKind::None;
    bool m_bSending = false;
    KV_Log* m_pLog = nullptr;
    KV_Log* m_pOwnLog = nullptr;
    PvDeviceSerialPort* m_pGigEPort = nullptr;   // the Dunstel link holds the port it writes through
    LinkSource m_Links;
};
