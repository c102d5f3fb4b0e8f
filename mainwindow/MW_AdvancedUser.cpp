// The password window of the advanced-user mode: it checks the typed text and reports the result.
#include "mainwindow/MW_AdvancedUser.h"

#include "ui_MW_AdvancedUser.h"

#include "app/app_paths.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "mainwindow/advanced_user_password.h"

#include <QCloseEvent>
#include <QPixmap>

#include <cstdio>

Window_AdvancedUser::Window_AdvancedUser(QWidget* parent)
    : QWidget(parent)
    , m_pOwnLog(new KV_Log)
    , m_pLog(m_pOwnLog)
{
    ui = new Ui::Window_AdvancedUser;
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Password"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // A hidden password window must not keep the application running.
    setAttribute(Qt::WA_QuitOnClose, false);
    ui->label_Logo->setPixmap(QPixmap(ApplicationDirPath() + HeaderConstants::LogosFolder + HeaderConstants::LogoMiniImage));
    ui->lineEdit_Password->setEchoMode(QLineEdit::Password);
    ui->lineEdit_Password->setMaxLength(50);
    ui->pushButton_CheckPassword->setAutoDefault(true);
    connect(ui->pushButton_CheckPassword, &QPushButton::released, this, &Window_AdvancedUser::PushButton_CheckPassword);
    connect(ui->lineEdit_Password, &QLineEdit::returnPressed, this, &Window_AdvancedUser::PushButton_CheckPassword);
}

Window_AdvancedUser::~Window_AdvancedUser()
{
    ui->lineEdit_Password->releaseKeyboard();
    delete ui;
    delete m_pOwnLog;
}

void Window_AdvancedUser::SetLog(KV_Log* p_pLog)
{
    m_pLog = p_pLog ? p_pLog : m_pOwnLog;
}

void Window_AdvancedUser::ClearPassword()
{
    ui->lineEdit_Password->clear();
}

void Window_AdvancedUser::StartGrabKeyboard()
{
    ui->lineEdit_Password->grabKeyboard();
}

void Window_AdvancedUser::StopGrabKeyboard()
{
    ui->lineEdit_Password->releaseKeyboard();
}

void Window_AdvancedUser::PushButton_CheckPassword()
{
    // The typed text stays a QString: a long or multibyte entry is just a wrong password.
    const QString sTyped = ui->lineEdit_Password->text();
    std::printf("Password: %s\n", sTyped.toLocal8Bit().toLower().constData());
    std::fflush(stdout);
    ui->lineEdit_Password->releaseKeyboard();
    m_pLog->writeLine("Check Password");
    emit ButtonPressed(CompareAdvancedUserPassword(sTyped));
    close();
}

void Window_AdvancedUser::closeEvent(QCloseEvent* e)
{
    m_pLog->writeLine("Close Advanced User window");
    ui->lineEdit_Password->releaseKeyboard();
    emit WindowClosed();
    e->accept();
}
