// The proxy selector of the Belmor board: the operator picks the proxy model and confirms it with the access code.
#pragma once

#include "mainwindow/proxy_choice_source.h"

#include <QByteArray>
#include <QMainWindow>

class KV_Log;
class QCloseEvent;

namespace Ui {
class MW_ProxyBelmor;
}

// The access code, compared byte for byte and case-sensitively.
extern const char* const BelmorAccessCode;

class MW_ProxyBelmor : public QMainWindow, public ProxyChoiceSource
{
    Q_OBJECT

public:
    explicit MW_ProxyBelmor(QWidget* parent = nullptr);
    ~MW_ProxyBelmor() override;

    void SetLog(KV_Log* p_pLog);
    // The main window asks the chosen proxy through this: the selected model's name.
    QString ProxyText() const override;

    Ui::MW_ProxyBelmor* ui = nullptr;

    // The right code was entered; cleared at every check and by the connection
    // once it has read the choice.
    bool Accepted = false;
    // The window was closed (close button, right code or destruction).
    bool Closed = false;
    // Wrong codes entered so far. The box that tells of one takes the
    // activation away from the window for a moment: whoever waits on the
    // window's activation starts waiting afresh when this changes.
    int RejectedCodes = 0;

public slots:
    // The access-code check: true when the code was right (the window then closes).
    bool PushButton_Start();
    // ProxyIndex of the selected model (0 when the item names none).
    int ReadProxyNumber();
    QByteArray getNameProxy();
    void StartGrabKeyboard();
    void StopGrabKeyboard();
    void ComboBox_SelectProxy(int p_iIndex);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    KV_Log* m_pOwnLog = nullptr;
    KV_Log* m_pLog = nullptr;
};
