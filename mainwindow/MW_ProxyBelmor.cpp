// The proxy selector of the Belmor board: model list, access-code check and the flags the connection waits on.
#include "mainwindow/MW_ProxyBelmor.h"

#include "ui_MW_ProxyBelmor.h"

#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "params/proxy_lookup.h"

#include <QCloseEvent>

const char* const BelmorAccessCode = "Ravensdal_KPTWv3";

MW_ProxyBelmor::MW_ProxyBelmor(QWidget* parent)
    : QMainWindow(parent)
    , m_pOwnLog(new KV_Log)
    , m_pLog(m_pOwnLog)
{
    ui = new Ui::MW_ProxyBelmor;
    ui->setupUi(this);
    // A hidden selector must not keep the application running.
    setAttribute(Qt::WA_QuitOnClose, false);
    connect(ui->pushButton_Start, &QPushButton::released, this, &MW_ProxyBelmor::PushButton_Start);
    connect(ui->comboBox_SelectProxy, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MW_ProxyBelmor::ComboBox_SelectProxy);
    connect(ui->lineEdit_PW, &QLineEdit::returnPressed, this, &MW_ProxyBelmor::PushButton_Start);
    ui->pushButton_Start->setEnabled(false);
}

MW_ProxyBelmor::~MW_ProxyBelmor()
{
    Closed = true;
    ui->lineEdit_PW->releaseKeyboard();
    delete ui;
    delete m_pOwnLog;
}

void MW_ProxyBelmor::SetLog(KV_Log* p_pLog)
{
    m_pLog = p_pLog ? p_pLog : m_pOwnLog;
}

void MW_ProxyBelmor::ComboBox_SelectProxy(int p_iIndex)
{
    ui->pushButton_Start->setEnabled(p_iIndex > 1);
}

bool MW_ProxyBelmor::PushButton_Start()
{
    Accepted = false;
    const QString sTyped = ui->lineEdit_PW->text();
    if (sTyped.toUtf8() == QByteArray(BelmorAccessCode)) {
        m_pLog->writeLine("Password correct !");
        Accepted = true;
        Closed = true;
        close();
        return true;
    }
    m_pLog->writeLine("Wrong password: " + sTyped + " - Try again !");
    Accepted = false;
    ui->lineEdit_PW->releaseKeyboard();
    MessageBoxRequest request;
    request.parent = this;
    request.icon = QMessageBox::Critical;
    request.title = QStringLiteral("WRONG PASSWORD");
    request.text = QStringLiteral("Verifying password failed, please try again.");
    request.buttons = QStringList{QStringLiteral("OK")};
    ++RejectedCodes;
    PresentMessageBox(request);
    // The operator tries again here: the window takes the activation back from the box.
    if (isVisible()) {
        raise();
        activateWindow();
    }
    ui->lineEdit_PW->grabKeyboard();
    return false;
}

int MW_ProxyBelmor::ReadProxyNumber()
{
    return GetProxyIndexFromName(ui->comboBox_SelectProxy->currentText().toStdString()) + 1;
}

QByteArray MW_ProxyBelmor::getNameProxy()
{
    return ProxyText().toUtf8();
}

QString MW_ProxyBelmor::ProxyText() const
{
    return ui->comboBox_SelectProxy->currentText();
}

void MW_ProxyBelmor::StartGrabKeyboard()
{
    ui->lineEdit_PW->grabKeyboard();
}

void MW_ProxyBelmor::StopGrabKeyboard()
{
    ui->lineEdit_PW->releaseKeyboard();
}

void MW_ProxyBelmor::closeEvent(QCloseEvent* e)
{
    Closed = true;
    e->accept();
}
