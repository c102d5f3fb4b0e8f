// The small window that shows how far a bad-pixel map upload to the interface board has got.
#include "tools/Window_SendingProgressBP.h"

#include "ui_Window_SendingProgressBP.h"

Window_SendingProgressBP::Window_SendingProgressBP(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::Window_SendingProgressBP)
{
    ui->setupUi(this);
    ui->progressBar->setMaximum(100);
    ui->progressBar->setMinimum(0);
    ui->progressBar->setValue(0);
    ui->label_Information->setText(QStringLiteral("Sending BadPixel in progress ..."));
}

Window_SendingProgressBP::~Window_SendingProgressBP()
{
    delete ui;
}

void Window_SendingProgressBP::setCopyright(QString p_sText)
{
    ui->label_Copyright->setText(p_sText);
}

void Window_SendingProgressBP::setInformation(QString p_sText)
{
    ui->label_Progress->setText(p_sText);
}

void Window_SendingProgressBP::setProgress(int p_iPercent)
{
    ui->progressBar->setValue(p_iPercent);
}
