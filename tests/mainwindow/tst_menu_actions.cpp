// The main window's menu actions, triggered as the operator does: the NUC type pair, look-up tables, demo mode and dual view, displays, datasheets, options, the tool windows' life cycle and Exit.
// The bench's forms, named here so that they are generated for this test.
#include "ui_MW_ProxyBelmor.h"
#include "ui_MainWindow.h"

#include "board/connection_bench.h"

#include "app/header_constants.h"
#include "pipeline/kv_video_recorder.h"
#include "pipeline/affichage.h"
#include "tools/Cmd_Perso.h"
#include "tools/MW_Windowing.h"
#include "tools/MW_I2C_Configuration.h"
#include "tools/Setup_DigiBoard.h"
#include "tools/Window_AboutKestivo.h"
#include "tools/Window_Debug.h"
#include "tools/Window_DetectBP.h"
#include "tools/Window_TestProxy.h"
#include "tools/Window_Terminal.h"
#include "mainwindow/Window_ConfSavingFile.h"
#include "support/url_catcher.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QScreen>
#include <QUrl>

namespace {

QList<QByteArray> SentTo(sim::BoardKind p_Kind)
{
    return sim::RecordedBytes(p_Kind, "serial");
}

// Answers the next file dialog of p_pParent with p_sFile, or cancels it when empty.
void AnswerFileDialog(QWidget* p_pParent, const QString& p_sFile)
{
    QTimer::singleShot(50, p_pParent, [p_pParent, p_sFile]() {
        QFileDialog* pDialog = nullptr;
        for (QFileDialog* pCandidate : p_pParent->findChildren<QFileDialog*>())
            if (pCandidate->isVisible())
                pDialog = pCandidate;
        if (!pDialog) {
            AnswerFileDialog(p_pParent, p_sFile);
            return;
        }
        // Non-native, with the CSV filter; anything else is cancelled and shows as a failure.
        if (!pDialog->testOption(QFileDialog::DontUseNativeDialog)
            || pDialog->nameFilters() != QStringList{"CSV files (*.csv)"} || p_sFile.isEmpty()) {
            pDialog->reject();
            return;
        }
        // Typed into the dialog's file name field, as the operator does.
        if (auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            pName->setText(p_sFile);
        static_cast<QDialog*>(pDialog)->accept();
    });
}

template <typename W>
QList<W*> VisibleTopLevels()
{
    QList<W*> found;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (auto* pWindow = qobject_cast<W*>(pWidget))
            if (pWindow->isVisible())
                found << pWindow;
    return found;
}

} // namespace

class tst_menu_actions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }

    // The four cases of the NUC type pair on a connected Belmor+ board with HDR on.
    void nucType_data()
    {
        QTest::addColumn<bool>("hardwareAction");  // the action triggered
        QTest::addColumn<bool>("checkedAfter");    // its state once triggered
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<bool>("softwareNUC");
        QTest::addColumn<bool>("nuc2ptEnabled");
        QTest::addColumn<bool>("bpActionChecked");
        QTest::addColumn<bool>("bpCheckedBefore");

        QTest::newRow("Hardware checked") << true << true << "--> Hardware NUC Enabled" << false << false << false
                                          << true;
        QTest::newRow("Hardware unchecked") << true << false << "--> Software NUC Enabled (Hardware NUC unchecked)"
                                            << true << true << true << false;
        QTest::newRow("Software checked") << false << true << "--> Software NUC Enabled" << true << true << true
                                          << false;
        // Unchecking "Software" keeps the bad-pixel action's check state and the two-point NUC.
        QTest::newRow("Software unchecked") << false << false << "--> Hardware NUC Enabled (Software NUC unchecked)"
                                            << false << true << false << false;
    }
    void nucType()
    {
        QFETCH(bool, hardwareAction);
        QFETCH(bool, checkedAfter);
        QFETCH(QString, logLine);
        QFETCH(bool, softwareNUC);
        QFETCH(bool, nuc2ptEnabled);
        QFETCH(bool, bpActionChecked);
        QFETCH(bool, bpCheckedBefore);

        Bench bench;
        bench.open();
        bench.selectBoard(BelmorPlus);
        bench.pressMain();
        QVERIFY(bench.window->Connected);
        MainWindow& w = *bench.window;
        Ui::MainWindow* ui = bench.ui();
        QAction* pTriggered = hardwareAction ? ui->action_NUCHardware : ui->action_NUCSoftware;
        QAction* pOther = hardwareAction ? ui->action_NUCSoftware : ui->action_NUCHardware;
        ui->menu_NUC->setEnabled(true);
        pTriggered->setEnabled(true);
        pOther->setEnabled(true);
        // Both checked beforehand shows the pair puts itself right.
        pTriggered->setChecked(!checkedAfter);
        pOther->setChecked(true);
        ui->checkBox_HDR->setChecked(true);
        ui->checkBox_ApplyNUC->setEnabled(true);
        ui->checkBox_ApplyNUC->setChecked(true);
        ui->action_SoftwareBPCorrection->setChecked(bpCheckedBefore);
        w.BadPixelCorrectionOn = bpCheckedBefore;
        ui->spinBox_ImageGain->setValue(3);
        ui->spinBox_ImageOffset->setValue(40);
        const bool bTimerWanted = !softwareNUC;
        if (bTimerWanted)
            w.Timers.GainOffset->stop();
        else
            w.Timers.GainOffset->start(60000);
        sim::ClearRecordedMessages();

        pTriggered->trigger();

        QCOMPARE(pTriggered->isChecked(), checkedAfter);
        QCOMPARE(ui->action_NUCHardware->isChecked(), !softwareNUC);
        QCOMPARE(ui->action_NUCSoftware->isChecked(), softwareNUC);
        QVERIFY(bench.logged(hardwareAction ? "Click on Hardware NUC" : "Click on Software NUC"));
        QVERIFY2(bench.logged(logLine), qPrintable(logLine));
        QCOMPARE(w.SoftwareNUC.load(), softwareNUC);
        // The board's NUC register: correction off with HDR, in every case.
        const QList<QByteArray> sent = SentTo(sim::BoardKind::BelmorPlus);
        const int iAt = sent.indexOf("!a006");
        QVERIFY2(iAt >= 0 && iAt + 1 < sent.size() && sent.at(iAt + 1) == "!b005",
                 qPrintable(QString::fromLatin1(sent.join(' '))));
        // Gain and offset back to neutral, on the widgets and in the cells the frame path reads.
        const int p = w.CurrentProxyIndex;
        QCOMPARE(ui->spinBox_ImageGain->value(), 1);
        QCOMPARE(ui->horizontalSlider_ImageGain->value(), 1);
        QCOMPARE(GetCurrent(p, ProxyParameterId::ImageGainSlider), 1u);
        QCOMPARE(ui->spinBox_ImageOffset->value(), 0);
        QCOMPARE(ui->horizontalSlider_ImageOffset->value(), 0);
        QCOMPARE(GetCurrent(p, ProxyParameterId::ImageOffsetSlider), 0u);
        QCOMPARE(GetCurrent(p, ProxyParameterId::ImageOffset), 0u);
        QVERIFY(!ui->checkBox_ApplyNUC->isChecked());
        QVERIFY(!ui->checkBox_Enable_NUC2pt->isChecked());
        QVERIFY(!ui->checkBox_AGC->isChecked());
        // The controls of the chosen type.
        QCOMPARE(ui->checkBox_Enable_AverageFPN->isEnabled(), softwareNUC);
        QCOMPARE(ui->checkBox_ApplyNUC->text(), softwareNUC ? QString("1 point NUC") : QString("1 point NUC Embedded"));
        QCOMPARE(ui->checkBox_Enable_NUC2pt->isEnabled(), nuc2ptEnabled);
        QCOMPARE(w.Timers.GainOffset->isActive(), bTimerWanted);
        if (bTimerWanted)
            QCOMPARE(w.Timers.GainOffset->interval(), 1000);
        QCOMPARE(ui->action_SoftwareBPCorrection->isEnabled(), !softwareNUC);
        QCOMPARE(ui->action_SoftwareBPCorrection->isChecked(), bpActionChecked);
        QCOMPARE(w.BadPixelCorrectionOn.load(), bpActionChecked);
        for (QWidget* pWidget : {static_cast<QWidget*>(ui->checkBox_AGC), static_cast<QWidget*>(ui->spinBox_AGC_Centre),
                                 static_cast<QWidget*>(ui->spinBox_AGC_GainClip)})
            QCOMPARE(pWidget->isEnabled(), softwareNUC);
        QCOMPARE(ui->label_NUCType_Val->text(), softwareNUC ? QString("Software") : QString("Hardware"));
    }

    // A board without an NUC register of its own gets nothing; HDR off gives 1.
    void nucTypeWithoutHdrOrRegister()
    {
        Bench bench;
        bench.open();
        bench.selectBoard(BelmorPlus);
        bench.pressMain();
        QVERIFY(bench.window->Connected);
        Ui::MainWindow* ui = bench.ui();
        ui->checkBox_HDR->setChecked(false);
        sim::ClearRecordedMessages();
        ui->action_NUCHardware->setEnabled(true);
        ui->action_NUCHardware->setChecked(false);
        ui->action_NUCHardware->trigger();
        QCOMPARE(SentTo(sim::BoardKind::BelmorPlus).mid(0, 2), (QList<QByteArray>{"!a006", "!b001"}));

        bench.window->DigiBoardKind = BoardKind::Dunstel;
        sim::ClearRecordedMessages();
        ui->action_NUCSoftware->setEnabled(true);
        QVERIFY(!ui->action_NUCSoftware->isChecked());
        ui->action_NUCSoftware->trigger();
        QVERIFY(SentTo(sim::BoardKind::BelmorPlus).isEmpty());
        QCOMPARE(ui->label_NUCType_Val->text(), QStringLiteral("Software"));
        bench.window->DigiBoardKind = BoardKind::BelmorPlus;
    }

    void lookUpTables()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        Ui::MainWindow* ui = bench.ui();

        ui->action_FireLUT->trigger();
        QVERIFY(w.LutActive);
        const cv::Mat fire = w.ColourLut.clone();
        QVERIFY(!fire.empty());
        ui->action_CoolLUT->trigger();
        QVERIFY(w.LutActive);
        QVERIFY(!ui->action_FireLUT->isChecked());
        QVERIFY(cv::norm(fire, w.ColourLut, cv::NORM_L1) > 0);
        // Unchecking the table in use switches colouring off.
        ui->action_CoolLUT->trigger();
        QVERIFY(!ui->action_CoolLUT->isChecked());
        QVERIFY(!w.LutActive);

        // A file of the operator's.
        const QString sCustom = bench.folder.filePath("custom.csv");
        QVERIFY(QFile::copy(bench.folder.filePath("LUT/Fire.csv"), sCustom));
        ui->action_FireLUT->trigger();
        AnswerFileDialog(&w, sCustom);
        ui->action_CustomLUT->trigger();
        QVERIFY(!ui->action_FireLUT->isChecked());
        QVERIFY(ui->action_CustomLUT->isChecked());
        QVERIFY(w.LutActive);
        QVERIFY(bench.logged("LUT File selected :" + sCustom));
        QCOMPARE(cv::norm(fire, w.ColourLut, cv::NORM_L1), 0.0);

        // Cancelled: nothing changes.
        ui->action_CustomLUT->trigger();
        QVERIFY(!w.LutActive);
        AnswerFileDialog(&w, QString());
        ui->action_CustomLUT->trigger();
        QVERIFY(!w.LutActive);
        QCOMPARE(bench.logLines().count("LUT File selected :" + sCustom), 1);

        // An unreadable table is refused by the reader and leaves colouring off.
        QFile::remove(bench.folder.filePath("LUT/Cool.csv"));
        ui->action_CustomLUT->setChecked(false);
        ui->action_CoolLUT->trigger();
        QVERIFY(!w.LutActive);
        QVERIFY(bench.logged("Can't open correctily LUT File"));
    }

    void demoModeAndDualView()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        Ui::MainWindow* ui = bench.ui();
        ui->comboBox_InterpolationMethod->setEnabled(false);
        QVERIFY(!ui->actionDualView->isEnabled());

        ui->actionDemoMode->trigger();
        QVERIFY(w.DemoMode);
        QCOMPARE(w.windowTitle(), QStringLiteral("Vantrel - Kestivo 5.25 [*] -- DEMO MODE"));
        QCOMPARE(ui->actionDemoMode->text(), QStringLiteral("Normal Mode"));
        QVERIFY(ui->actionDualView->isEnabled());
        // Its own state: the group around it is disabled while no board streams.
        QComboBox* pInterpolation = ui->comboBox_InterpolationMethod;
        QVERIFY(pInterpolation->isEnabledTo(pInterpolation->parentWidget()));
        QVERIFY(bench.logged("DemoMode Enabled"));
        QCOMPARE(ui->scrollArea->minimumSize(), QSize(1030, 775));
        QVERIFY(!w.ImageView->hasScaledContents());

        ui->actionDualView->trigger();
        QVERIFY(w.DualView);
        QCOMPARE(w.geometry().topLeft(), QPoint(7, 30));
        ui->actionDualView->trigger();
        QVERIFY(!w.DualView);
        ui->actionDualView->trigger();
        QVERIFY(w.DualView);

        // Leaving demo mode also ends dual view.
        ui->actionDemoMode->trigger();
        QVERIFY(!w.DemoMode);
        QVERIFY(!w.DualView);
        QVERIFY(!ui->actionDualView->isChecked());
        QVERIFY(!ui->actionDualView->isEnabled());
        QCOMPARE(w.windowTitle(), HeaderConstants::WindowTitle);
        QCOMPARE(ui->actionDemoMode->text(), QStringLiteral("Demo Mode"));
        QVERIFY(!pInterpolation->isEnabledTo(pInterpolation->parentWidget()));
        QVERIFY(!w.ScreenShowOpen);
        QVERIFY(bench.logged("DemoMode Disabled"));
    }

    void displaysAndOptions()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        Ui::MainWindow* ui = bench.ui();
        const QSize screen = QGuiApplication::screens().first()->geometry().size();
        w.DemoWidth = 0;
        ui->actionDisplay_1->trigger();
        QCOMPARE(w.DemoWidth, screen.width());
        QCOMPARE(w.DemoHeight, screen.height() - 60);
        QVERIFY(bench.logged("Setting Main definition : " + QString::number(screen.width()) + "x"
                             + QString::number(screen.height() - 60)));
        // One screen offscreen: the second display changes nothing.
        if (QGuiApplication::screens().size() < 2) {
            ui->actionDisplay_2->setEnabled(true);
            ui->actionDisplay_2->trigger();
            QCOMPARE(w.DemoWidth, screen.width());
        }

        ui->actionAuto_Start->trigger();
        QCOMPARE(w.AutoStart, ui->actionAuto_Start->isChecked());
        ui->actionAuto_NUC->trigger();
        QCOMPARE(w.AutoNUC, ui->actionAuto_NUC->isChecked());
        ui->actionAuto_NUC->trigger();
        QCOMPARE(w.AutoNUC, ui->actionAuto_NUC->isChecked());
        QVERIFY(ui->action_SoftwareBPCorrection->isChecked());
        ui->action_SoftwareBPCorrection->trigger();
        QVERIFY(!w.BadPixelCorrectionOn);
        ui->action_SoftwareBPCorrection->trigger();
        QVERIFY(w.BadPixelCorrectionOn);
    }

    void datasheetsAndWebSite_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("proxy");
        QTest::addColumn<QString>("file");     // in the datasheet folder; empty: none
        QTest::addColumn<QString>("opened");   // empty: a box instead
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<QString>("boxText");

        QTest::newRow("board found") << "action_Datasheet_DigiBoard" << 3 << "" << "Belmor+_manual.pdf"
                                     << "Belmor+_manual.pdf" << "Open DigiBoard Datasheet using menu" << "";
        QTest::newRow("board missing") << "action_Datasheet_DigiBoard" << 4 << "" << "Belmor+_manual.pdf" << ""
                                       << "Open DigiBoard Datasheet using menu" << "No Dunstel datasheet found.";
        // The serial-port board has no name of its own: any datasheet matches.
        QTest::newRow("serial-port board") << "action_Datasheet_DigiBoard" << 5 << "" << "Anything.pdf"
                                           << "Anything.pdf" << "Open DigiBoard Datasheet using menu" << "";
        QTest::newRow("proxy found") << "action_Datasheet_Proxy" << 0 << "Z668" << "Z668 datasheet.pdf"
                                     << "Z668 datasheet.pdf" << "Open Proxy Datasheet using menu" << "";
        QTest::newRow("proxy missing") << "action_Datasheet_Proxy" << 0 << "Z668" << "" << ""
                                       << "Open Proxy Datasheet using menu" << "No Proxy Z668 datasheet found.";
        QTest::newRow("Kestivo") << "action_Datasheet_Kestivo" << 0 << "" << "Kestivo_UserGuide.pdf"
                                 << "Kestivo_UserGuide.pdf" << "Open Kestivo Datasheet using menu" << "";
        QTest::newRow("Kestivo missing") << "action_Datasheet_Kestivo" << 0 << "" << "" << ""
                                         << "Open Kestivo Datasheet using menu" << "No Kestivo datasheet found.";
    }
    void datasheetsAndWebSite()
    {
        QFETCH(QString, action);
        QFETCH(int, kind);
        QFETCH(QString, proxy);
        QFETCH(QString, file);
        QFETCH(QString, opened);
        QFETCH(QString, logLine);
        QFETCH(QString, boxText);

        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        if (!file.isEmpty()) {
            QFile f(bench.folder.filePath("../Datasheets/" + file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        w.DigiBoardKind = static_cast<BoardKind>(kind);
        w.ProxyName = proxy;
        auto* pAction = w.findChild<QAction*>(action);
        QVERIFY(pAction);
        pAction->setEnabled(true);
        {
            UrlCatcher desktop;
            pAction->trigger();
            QVERIFY(bench.logged(logLine));
            if (opened.isEmpty()) {
                QVERIFY(desktop.Urls.isEmpty());
                QCOMPARE(bench.boxes.size(), 1);
                QCOMPARE(bench.boxes.first().title, QStringLiteral("Error"));
                QCOMPARE(bench.boxes.first().text, boxText);
            } else {
                QVERIFY(bench.boxes.isEmpty());
                QCOMPARE(desktop.Urls.size(), 1);
                QCOMPARE(QFileInfo(desktop.Urls.first().toLocalFile()).canonicalFilePath(),
                         QFileInfo(bench.folder.filePath("../Datasheets/" + opened)).canonicalFilePath());
            }
        }

        // A datasheet the desktop refuses to open.
        if (!opened.isEmpty()) {
            UrlCatcher refusing(UrlCatcher::Refuses);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method UrlCatcher::"));
            pAction->trigger();
            QCOMPARE(bench.boxes.size(), 1);
            QCOMPARE(bench.boxes.first().text, QStringLiteral("The datasheet has not been found."));
        }

        UrlCatcher desktop;
        bench.ui()->action_Website->trigger();
        QCOMPARE(desktop.Urls, QList<QUrl>{QUrl(HeaderConstants::WebSiteAddress)});
    }

    void logFileActions()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        w.Log->writeLine("before erase");
        QVERIFY(bench.logged("before erase"));
        bench.ui()->action_Erase_LogFile_content->trigger();
        QVERIFY(!bench.logged("before erase"));
        bench.ui()->action_Rename_LogFile->trigger();
        QVERIFY(QFileInfo::exists(bench.folder.filePath("Logs/Log_Renamed.txt")));
    }

    // Refusals while no board is connected, and the windows that open anyway.
    void toolWindowsWhileDisconnected_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("buttons"); // of the refusal box; empty: none
        QTest::addColumn<QString>("logLine");     // empty: none
        QTest::newRow("Terminal") << "action_OpenTerminal" << QStringList{"Ok"}
                                  << "Terminal Window can't be opened because no connection with a DigiBoard is made";
        QTest::newRow("Windowing") << "action_WindowingConfiguration" << QStringList{"Ok"}
                                   << "Windowing configuration can't be opened because no connection with a "
                                      "DigiBoard is made";
        QTest::newRow("Setup DigiBoard") << "action_OpenSetupDigiBoardWindow" << QStringList{"Connect", "Cancel"}
                                         << "Setup Digiboard window can't be opened because no connexion with a "
                                            "DigiBoard is made";
        QTest::newRow("I2C") << "action_Send_I2C_Configuration_file" << QStringList{"Connect", "Cancel"} << "";
    }
    void toolWindowsWhileDisconnected()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, buttons);
        QFETCH(QString, logLine);
        Bench bench;
        bench.answer = 1; // "Cancel" where there is a choice
        bench.open();
        MainWindow& w = *bench.window;
        const int iTopLevels = QApplication::topLevelWidgets().size();
        auto* pAction = w.findChild<QAction*>(action);
        QVERIFY(pAction);
        pAction->setEnabled(true);
        pAction->trigger();
        QCOMPARE(bench.boxes.size(), 1);
        QCOMPARE(bench.boxes.first().title, QStringLiteral("Start connexion first"));
        QCOMPARE(bench.boxes.first().text,
                 QStringLiteral("Connexion has not been established yet. Please click on Connect button first."));
        QCOMPARE(bench.boxes.first().buttons, buttons);
        if (!logLine.isEmpty())
            QVERIFY(bench.logged(logLine));
        QVERIFY(!w.TerminalWindowOpen && !w.SetupWindowOpen && !w.I2CWindowOpen);
        QVERIFY(!w.WindowingWindow);
        QCOMPARE(QApplication::topLevelWidgets().size(), iTopLevels);
        QVERIFY(!w.Connected);
    }

    // Built once and only shown; on first use and forgotten on close; anew at every use.
    void toolWindowLifeCycles()
    {
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        Ui::MainWindow* ui = bench.ui();

        // Created once by the constructor: the advanced commands open without a board.
        Cmd_Perso* pCommands = w.CommandsWindow;
        ui->action_OpenCommandsWindow->trigger();
        ui->action_OpenCommandsWindow->trigger();
        QCOMPARE(w.CommandsWindow, pCommands);
        QVERIFY(pCommands->isVisible());
        QCOMPARE(VisibleTopLevels<Cmd_Perso>().size(), 1);
        pCommands->close();

        Window_Debug* pDebug = w.DebugWindow;
        ui->actionDebug_Mode->setEnabled(true);
        ui->actionDebug_Mode->trigger();
        ui->actionDebug_Mode->trigger();
        QCOMPARE(w.DebugWindow.data(), pDebug);
        QVERIFY(pDebug->isVisible());
        QCOMPARE(VisibleTopLevels<Window_Debug>().size(), 1);
        pDebug->close();

        // On first use, the same while open, a fresh one after its close.
        ui->action_SaveImages_Configuration->trigger();
        QPointer<Window_ConfSavingFile> pSaving = w.ConfSavingFileWindow;
        QVERIFY(pSaving && pSaving->isVisible());
        ui->action_SaveImages_Configuration->trigger();
        QCOMPARE(w.ConfSavingFileWindow.data(), pSaving.data());
        QCOMPARE(VisibleTopLevels<Window_ConfSavingFile>().size(), 1);
        w.CloseConfigSavingFile();
        QVERIFY(!w.ConfSavingFileWindow);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!pSaving);
        ui->action_SaveImages_Configuration->trigger();
        QVERIFY(w.ConfSavingFileWindow && w.ConfSavingFileWindow->isVisible());
        w.CloseConfigSavingFile();

        // Anew at every use, each deleted on its close; the latest is remembered.
        struct Anew
        {
            QAction* action;
            std::function<QWidget*()> latest;
        };
        const Anew anew[] = {
            {ui->actionDetectBP, [&w]() -> QWidget* { return w.DetectBPWindow.data(); }},
            {ui->actionProxy_Test, [&w]() -> QWidget* { return w.TestProxyWindow.data(); }},
            {ui->action_About_Kestivo, [&w]() -> QWidget* { return w.AboutWindow.data(); }},
        };
        for (const Anew& a : anew) {
            a.action->setEnabled(true);
            a.action->trigger();
            QPointer<QWidget> pFirst = a.latest();
            a.action->trigger();
            QPointer<QWidget> pSecond = a.latest();
            QVERIFY(pFirst && pSecond && pFirst != pSecond);
            QVERIFY(pFirst->isVisible() && pSecond->isVisible());
            QVERIFY(pSecond->testAttribute(Qt::WA_DeleteOnClose));
            pFirst->close();
            pSecond->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!pFirst && !pSecond);
        }
    }

    // F5 and F12 on an open Commands or Terminal window put it in front again,
    // shown normally if it was minimised, and the same window.
    void openWindowComesToTheFront_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("Commands") << "action_OpenCommandsWindow" << "F5";
        QTest::newRow("Terminal") << "action_OpenTerminal" << "F12";
    }
    void openWindowComesToTheFront()
    {
        QFETCH(QString, action);
        QFETCH(QString, shortcut);
        Bench bench;
        bench.open();
        MainWindow& w = *bench.window;
        w.Connected = true;   // the terminal opens only on a connected board
        auto* pAction = w.findChild<QAction*>(action);
        QVERIFY(pAction);
        QCOMPARE(pAction->shortcut(), QKeySequence(shortcut));
        pAction->setEnabled(true);
        pAction->trigger();
        QWidget* pWindow = action == "action_OpenTerminal" ? static_cast<QWidget*>(w.TerminalWindow)
                                                           : static_cast<QWidget*>(w.CommandsWindow);
        QVERIFY(pWindow && pWindow->isVisible());
        pWindow->showMinimized();
        struct FrontCounter : QObject
        {
            int Raised = 0;
            bool eventFilter(QObject*, QEvent* p_pEvent) override
            {
                if (p_pEvent->type() == QEvent::ZOrderChange)
                    ++Raised;
                return false;
            }
        } front;
        pWindow->installEventFilter(&front);
        pAction->trigger();
        QVERIFY(!pWindow->isMinimized());
        QVERIFY(pWindow->isVisible());
        QVERIFY(front.Raised > 0);
        pWindow->removeEventFilter(&front);
        w.Connected = false;
        pWindow->close();
    }

    // Exit takes the shut-down of a close: the board stopped safely, the boot
    // options kept, an open video finished.
    void exitShutsDown()
    {
        Bench bench;
        bench.open();
        bench.selectBoard(BelmorPlus);
        bench.pressMain();
        QVERIFY(bench.window->Connected);
        MainWindow& w = *bench.window;
        w.ui->actionAuto_NUC->trigger();
        QVERIFY(w.AutoNUC);
        w.ui->actionExit->trigger();
        QVERIFY(bench.logged("Exit using MenuBar"));
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Connected);
        QVERIFY(bench.logged("DigiBoard Disconnected"));
        QVERIFY(bench.indexInLog("Exit using MenuBar") < bench.indexInLog("DigiBoard Disconnected"));
        QFile boot(bench.folder.filePath(HeaderConstants::BootFileName));
        QVERIFY(boot.open(QIODevice::ReadOnly));
        QVERIFY2(QString::fromUtf8(boot.readAll()).contains("Auto NUC :1"), "the auto-NUC option is kept");
    }
};

QTEST_MAIN(tst_menu_actions)
#include "tst_menu_actions.moc"
