// The small window that shows how far a bad-pixel map upload to the interface board has got.
#pragma once

#include <QWidget>

namespace Ui {
class Window_SendingProgressBP;
}

// Its owner sets the texts and the bar; the window has no logic of its own.
class Window_SendingProgressBP : public QWidget
{
    Q_OBJECT

public:
    explicit Window_SendingProgressBP(QWidget* parent = nullptr);
    ~Window_SendingProgressBP() override;

    void setCopyright(QString p_sText);
    // The text under the bar ("12 over 40").
    void setInformation(QString p_sText);
    // The bar, in percent.
    void setProgress(int p_iPercent);

    Ui::Window_SendingProgressBP* ui = nullptr;
};
