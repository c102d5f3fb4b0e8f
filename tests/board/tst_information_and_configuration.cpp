// The main window connected to a simulated Belmor+ with proxy Z668: the information panel, and a configuration
// file saved and loaded through the window's own buttons and file dialogs.
#include "road_bench.h"

#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QFileDialog>

#include <functional>

using namespace sim;

namespace {

constexpr int kZ668 = 2;

// Answers the window's next file dialog with p_sPath.
void AnswerFileDialog(MainWindow& p_Window, const QString& p_sPath)
{
    QTimer::singleShot(0, &p_Window, [&p_Window, p_sPath]() {
        auto* pDialog = p_Window.findChild<QFileDialog*>();
        QVERIFY(pDialog != nullptr);
        pDialog->selectFile(p_sPath);
        static_cast<QDialog*>(pDialog)->accept();
    });
}

QStringList FileLines(const QString& p_sPath)
{
    QFile file(p_sPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class tst_information_and_configuration : public QObject
{
    Q_OBJECT

private:
    // A window connected to Belmor+ / Z668, its boxes answered by title ("No" to applying parameters).
    struct Connected
    {
        Road road{BoardKind::BelmorPlus, kZ668};
        QStringList boxes;
        Connected()
        {
            SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
                boxes << p_Request.title;
                return p_Request.title == QLatin1String("Apply parameters ?") ? 1 : 0;
            });
            road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(3);
            road.press();
        }
        MainWindow& w() { return *road.Window; }
        Ui::MainWindow* ui() { return road.ui(); }
        // Starts the acquisition and runs p_Body once frames arrive, then
        // disconnects (the start press returns once the acquisition stops).
        void whileStreaming(const std::function<void()>& p_Body)
        {
            auto* pPoll = new QTimer(&w());
            QObject::connect(pPoll, &QTimer::timeout, &w(), [this, pPoll, p_Body]() {
                if (w().FrameCounter <= 0 || !ui()->pushButton_Start->isEnabled())
                    return;
                pPoll->stop();
                p_Body();
                road.press();
            });
            pPoll->start(10);
            road.press();
            QTRY_VERIFY_WITH_TIMEOUT(!w().Connected, 10000);
        }
    };

private slots:
    void informationPanelFollowsTheConnection();
    void configurationSavedAndLoadedThroughTheButtons();
};

// No board reports a serial number: the field keeps its disconnected text
// while the other fields show the connected board, and all return at disconnection.
void tst_information_and_configuration::informationPanelFollowsTheConnection()
{
    Connected c;
    Ui::MainWindow* ui = c.ui();
    QVERIFY2(c.w().Connected, qPrintable(c.boxes.join('\n')));
    QCOMPARE(ui->label_Proxy_Val->text(), QStringLiteral("Z668"));
    QCOMPARE(ui->label_Connection_Val->text(), QStringLiteral("Camera Link"));
    QCOMPARE(ui->label_TapMode_Val->text(), QStringLiteral("1Tap"));
    QCOMPARE(ui->label_SN_Val->text(), QStringLiteral("No board"));

    QStringList streaming;
    c.whileStreaming([&]() {
        streaming << ui->label_Width_Val->text() << ui->label_Height_Val->text() << ui->label_SN_Val->text()
                  << QString::number(c.w().FrameWidth.load()) << QString::number(c.w().FrameHeight.load());
    });
    QCOMPARE(streaming, (QStringList{"640", "480", "No board", "640", "480"}));

    QCOMPARE(ui->label_Connection_Val->text(), QStringLiteral("Disconnected"));
    QCOMPARE(ui->label_Width_Val->text(), QStringLiteral("---"));
    QCOMPARE(ui->label_SN_Val->text(), QStringLiteral("No board"));
}

void tst_information_and_configuration::configurationSavedAndLoadedThroughTheButtons()
{
    Connected c;
    MainWindow& w = c.w();
    Ui::MainWindow* ui = c.ui();
    QVERIFY2(w.Connected, qPrintable(c.boxes.join('\n')));
    // The configuration buttons act while the board streams.
    bool bRan = false;
    c.whileStreaming([&]() {
        bRan = true;
        c.boxes.clear();
        QCOMPARE(w.ProxyName, QStringLiteral("Z668"));
        const int iLow = ui->spinBox_ImageOffset->minimum();
        ui->spinBox_ImageOffset->setValue(iLow + 7);
        ui->spinBox_AGC_GainClip->setValue(ui->spinBox_AGC_GainClip->minimum() + 3);

        // Saved: 41 lines naming the board and the proxy.
        const QString sSaved = c.road.Folder.rootPath() + "/belmor_z668.conf";
        AnswerFileDialog(w, sSaved);
        QTest::mouseClick(ui->pushButton_SaveConfiguration, Qt::LeftButton);
        const QStringList lines = FileLines(sSaved);
        QCOMPARE(lines.size(), 41);
        QCOMPARE(lines.at(2), QStringLiteral("DigiBoard       = Belmor+"));
        QCOMPARE(lines.at(3), QStringLiteral("Proxy           = Z668"));
        QCOMPARE(lines.at(39), "Offset Image    = " + QString::number(iLow + 7));
        QVERIFY(c.boxes.isEmpty());

        // Loaded back with the same board and proxy: no question before "Apply parameters ?".
        ui->spinBox_ImageOffset->setValue(iLow + 2);
        ui->spinBox_AGC_GainClip->setValue(ui->spinBox_AGC_GainClip->minimum() + 9);
        AnswerFileDialog(w, sSaved);
        QTest::mouseClick(ui->pushButton_LoadConfiguration, Qt::LeftButton);
        QCOMPARE(c.boxes, QStringList{"Apply parameters ?"});
        QCOMPARE(ui->spinBox_ImageOffset->value(), iLow + 7);
        QCOMPARE(ui->spinBox_AGC_GainClip->value(), ui->spinBox_AGC_GainClip->minimum() + 3);
        const int iProxy = w.CurrentProxyIndex;
        QCOMPARE(int(GetCurrent(iProxy, ProxyParameterId::AGCGainClip)), ui->spinBox_AGC_GainClip->minimum() + 3);

        // Its first 40 lines only: "File incomplete", and nothing changes.
        const QString sShort = c.road.Folder.rootPath() + "/short.conf";
        QFile file(sShort);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write((lines.mid(0, 40).join('\n') + '\n').toUtf8());
        file.close();
        ui->spinBox_ImageOffset->setValue(iLow + 2);
        ui->spinBox_AGC_GainClip->setValue(ui->spinBox_AGC_GainClip->minimum() + 9);
        SetCurrent(iProxy, ProxyParameterId::AGCGainClip, 77);
        c.boxes.clear();
        AnswerFileDialog(w, sShort);
        QTest::mouseClick(ui->pushButton_LoadConfiguration, Qt::LeftButton);
        QCOMPARE(c.boxes, QStringList{"File incomplete"});
        QCOMPARE(ui->spinBox_ImageOffset->value(), iLow + 2);
        QCOMPARE(ui->spinBox_AGC_GainClip->value(), ui->spinBox_AGC_GainClip->minimum() + 9);
        QCOMPARE(GetCurrent(iProxy, ProxyParameterId::AGCGainClip), 77u);
    });
    QVERIFY(bRan);
}

QTEST_MAIN(tst_information_and_configuration)
#include "tst_information_and_configuration.moc"
