// The Belmor proxy selector: item choice, access-code check, flags and the model it hands to the connection.
#include "mainwindow/MW_ProxyBelmor.h"

#include "ui_MW_ProxyBelmor.h"

#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "support/test_app_folder.h"

#include <QFile>
#include <QtTest>

#include <memory>

class tst_proxy_belmor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void form();
    void startButtonFollowsTheItem();
    void rightCodeAcceptsAndCloses();
    void wrongCode_data();
    void wrongCode();
    void returnChecksEvenWithoutAModel();
    void closeButtonDoesNotAccept();

private:
    QString logText() const
    {
        QFile file(m_Log->filePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    std::unique_ptr<TestAppFolder> m_Folder;
    std::unique_ptr<KV_Log> m_Log;
    std::unique_ptr<MW_ProxyBelmor> m_Window;
    QList<MessageBoxRequest> m_Boxes;
};

void tst_proxy_belmor::init()
{
    m_Folder = std::make_unique<TestAppFolder>();
    m_Log = std::make_unique<KV_Log>();
    m_Log->setLogDirectory(m_Folder->filePath("Logs/"));
    m_Log->createLogFile();
    m_Boxes.clear();
    SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
        m_Boxes << p_Request;
        return 0;
    });
    m_Window = std::make_unique<MW_ProxyBelmor>();
    m_Window->SetLog(m_Log.get());
}

void tst_proxy_belmor::cleanup()
{
    m_Window.reset();
    SetMessageBoxPresenter(nullptr);
    m_Log.reset();
    m_Folder.reset();
}

void tst_proxy_belmor::form()
{
    Ui::MW_ProxyBelmor* ui = m_Window->ui;
    QCOMPARE(m_Window->windowTitle(), QString("Belmor configuration"));
    QCOMPARE(m_Window->minimumSize(), QSize(350, 150));
    QCOMPARE(m_Window->maximumSize(), QSize(350, 150));
    QCOMPARE(ui->comboBox_SelectProxy->count(), 18);
    QCOMPARE(ui->comboBox_SelectProxy->itemText(0), QString("Proxy Board..."));
    QCOMPARE(ui->comboBox_SelectProxy->itemText(9), QString("Z668"));
    QCOMPARE(ui->comboBox_SelectProxy->itemText(17), QString("T230"));
    QCOMPARE(ui->lineEdit_PW->echoMode(), QLineEdit::Password);
    QVERIFY(!ui->pushButton_Start->isEnabled());
    QVERIFY(!m_Window->Accepted);
    QVERIFY(!m_Window->Closed);
}

void tst_proxy_belmor::startButtonFollowsTheItem()
{
    Ui::MW_ProxyBelmor* ui = m_Window->ui;
    ui->comboBox_SelectProxy->setCurrentIndex(1);
    QVERIFY(!ui->pushButton_Start->isEnabled());
    ui->comboBox_SelectProxy->setCurrentIndex(2);
    QVERIFY(ui->pushButton_Start->isEnabled());
    ui->comboBox_SelectProxy->setCurrentIndex(0);
    QVERIFY(!ui->pushButton_Start->isEnabled());
}

void tst_proxy_belmor::rightCodeAcceptsAndCloses()
{
    Ui::MW_ProxyBelmor* ui = m_Window->ui;
    m_Window->show();
    ui->comboBox_SelectProxy->setCurrentIndex(9);
    QTest::keyClicks(ui->lineEdit_PW, "Ravensdal_KPTWv3");
    QTest::mouseClick(ui->pushButton_Start, Qt::LeftButton);
    QVERIFY(m_Window->Accepted);
    QVERIFY(m_Window->Closed);
    QVERIFY(!m_Window->isVisible());
    QVERIFY(m_Boxes.isEmpty());
    QCOMPARE(m_Window->ReadProxyNumber(), 2); // "Z668"
    QCOMPARE(m_Window->getNameProxy(), QByteArray("Z668"));
    QVERIFY(logText().contains("Password correct !"));
}

void tst_proxy_belmor::wrongCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("letter case") << "ravensdal_kptwv3";
    QTest::newRow("one character short") << "Ravensdal_KPTWv";
    QTest::newRow("trailing space") << "Ravensdal_KPTWv3 ";
    QTest::newRow("empty") << "";
}

void tst_proxy_belmor::wrongCode()
{
    QFETCH(QString, code);
    Ui::MW_ProxyBelmor* ui = m_Window->ui;
    m_Window->show();
    ui->comboBox_SelectProxy->setCurrentIndex(5);
    ui->lineEdit_PW->setText(code);
    QVERIFY(!m_Window->PushButton_Start());
    QVERIFY(!m_Window->Accepted);
    QVERIFY(!m_Window->Closed);
    QVERIFY(m_Window->isVisible());
    QCOMPARE(ui->lineEdit_PW->text(), code);
    QCOMPARE(m_Boxes.size(), 1);
    QCOMPARE(m_Boxes.first().title, QString("WRONG PASSWORD"));
    QCOMPARE(m_Boxes.first().text, QString("Verifying password failed, please try again."));
    QCOMPARE(m_Boxes.first().icon, QMessageBox::Critical);
    QVERIFY(logText().contains("Wrong password: " + code + " - Try again !"));
    // The code field has the keyboard again for the next try.
    QCOMPARE(QWidget::keyboardGrabber(), static_cast<QWidget*>(ui->lineEdit_PW));
    m_Window->StopGrabKeyboard();
}

void tst_proxy_belmor::returnChecksEvenWithoutAModel()
{
    Ui::MW_ProxyBelmor* ui = m_Window->ui;
    m_Window->show();
    ui->lineEdit_PW->setText("Ravensdal_KPTWv3");
    QTest::keyClick(ui->lineEdit_PW, Qt::Key_Return);
    QVERIFY(m_Window->Accepted);
    QCOMPARE(m_Window->ReadProxyNumber(), 0); // "Proxy Board..." names no model
}

void tst_proxy_belmor::closeButtonDoesNotAccept()
{
    m_Window->show();
    m_Window->ui->lineEdit_PW->setText("wrong");
    m_Window->close();
    QVERIFY(m_Window->Closed);
    QVERIFY(!m_Window->Accepted);
    QVERIFY(m_Boxes.isEmpty());
}

QTEST_MAIN(tst_proxy_belmor)
#include "tst_proxy_belmor.moc"
