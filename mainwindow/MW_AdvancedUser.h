// The password window of the advanced-user mode.
#pragma once

#include <QWidget>

class KV_Log;
class QCloseEvent;

namespace Ui {
class Window_AdvancedUser;
}

class Window_AdvancedUser : public QWidget
{
    Q_OBJECT

public:
    explicit Window_AdvancedUser(QWidget* parent = nullptr);
    ~Window_AdvancedUser() override;

    void SetLog(KV_Log* p_pLog);
    void ClearPassword();
    void StartGrabKeyboard();
    void StopGrabKeyboard();

    Ui::Window_AdvancedUser* ui = nullptr;

signals:
    // 0 when the typed password was right, -1 or 1 otherwise.
    void ButtonPressed(int);
    void WindowClosed();

public slots:
    void PushButton_CheckPassword();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    KV_Log* m_pOwnLog = nullptr;
    KV_Log* m_pLog = nullptr;
};
