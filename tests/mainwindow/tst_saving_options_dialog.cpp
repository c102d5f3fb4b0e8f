// Tests of the saving-options dialog: how a record opens, the enabling rules, OK with its log lines, Cancel, and its life in the main window.
#include "support/test_app_folder.h"

#include "app/kv_log.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Window_ConfSavingFile.h"
#include "app/message_boxes.h"
#include "ui_MainWindow.h"
#include "ui_Window_ConfSavingFile.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

namespace {

QStringList LogTexts(const KV_Log& p_Log)
{
    QFile f(p_Log.filePath());
    QStringList texts;
    if (!f.open(QIODevice::ReadOnly))
        return texts;
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
        const int at = line.indexOf(QStringLiteral(" : "));
        if (at >= 0)
            texts << line.mid(at + 3);
    }
    return texts;
}

struct Dialog
{
    TestAppFolder Folder;
    KV_Log Log;
    Window_ConfSavingFile Window;
    Ui::Window_ConfSavingFile* ui;
    Dialog()
        : ui(Window.ui)
    {
        Log.setLogDirectory(Folder.filePath("Logs"));
        Log.createLogFile();
        Window.SetLog(&Log);
    }
    QList<QCheckBox*> csvOptions() const
    {
        return {ui->checkBox_SavedFPNCSV, ui->checkBox_AcquiredImageCSV, ui->checkBox_DisplayedImageCSV,
                ui->checkBox_8bit_CSV, ui->checkBox_16bit_CSV};
    }
};

} // namespace

class tst_saving_options_dialog : public QObject
{
    Q_OBJECT

private slots:
    void defaultRecordOpens();
    void fixedNumberRecord();
    void countBoxesActAsARadioPair();
    void csvEnablingRules();
    void uncheckingAParentClearsItsSubtree();
    void rawRecordOpens();
    void okEmitsTheRecordAndLogs();
    void cancelAndCloseApplyNothing();
    void mainWindowOpensAndDiscardsIt();
};

void tst_saving_options_dialog::defaultRecordOpens()
{
    Dialog d;
    QCOMPARE(d.Window.windowTitle(), QStringLiteral("Configure Saving Files"));
    QCOMPARE(d.ui->comboBox_SnapshotFormat->count(), 4);
    QCOMPARE(d.ui->comboBox_SaveAllFramesFormat->itemText(1), QStringLiteral("RAW"));
    d.Window.UpdateValues(SavingConfiguration());
    QCOMPARE(d.ui->comboBox_SnapshotFormat->currentText(), QStringLiteral("BMP"));
    QCOMPARE(d.ui->comboBox_SaveAllFramesFormat->currentText(), QStringLiteral("BMP"));
    QVERIFY(d.ui->checkBox_Infinite->isChecked());
    QVERIFY(!d.ui->checkBox_FixNumber->isChecked());
    QVERIFY(!d.ui->spinBox_FixNumber->isEnabled());
    QCOMPARE(d.ui->spinBox_FixNumber->value(), 1);
    QCOMPARE(d.ui->spinBox_SaveStreamPeriod->value(), 100);
    for (QCheckBox* box : d.Window.findChildren<QCheckBox*>()) {
        if (box == d.ui->checkBox_Infinite || box == d.ui->checkBox_FixNumber)
            continue;
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
        const bool parent = box == d.ui->checkBox_SaveBMP || box == d.ui->checkBox_SaveJPG
                            || box == d.ui->checkBox_SaveCSV || box == d.ui->checkBox_SaveRAW;
        QCOMPARE(box->isEnabled(), parent);
    }
    QVERIFY(LogTexts(d.Log).contains("Update Values to Saving File Configuration Window"));
}

void tst_saving_options_dialog::fixedNumberRecord()
{
    Dialog d;
    SavingConfiguration c;
    c.NumberFrames = 250;
    d.Window.UpdateValues(c);
    QVERIFY(d.ui->checkBox_FixNumber->isChecked());
    QVERIFY(d.ui->spinBox_FixNumber->isEnabled());
    QCOMPARE(d.ui->spinBox_FixNumber->value(), 250);
    QVERIFY(!d.ui->checkBox_Infinite->isChecked());
    QCOMPARE(d.Window.CurrentValues().NumberFrames, 250);
    d.ui->checkBox_Infinite->click();
    QSignalSpy emitted(&d.Window, &Window_ConfSavingFile::Configuration_SavingFormat);
    d.Window.PushButton_OK();
    QCOMPARE(emitted.count(), 1);
    QCOMPARE(emitted.at(0).at(2).toInt(), 0);
}

void tst_saving_options_dialog::countBoxesActAsARadioPair()
{
    Dialog d;
    d.Window.UpdateValues(SavingConfiguration());
    d.ui->checkBox_FixNumber->click();
    QVERIFY(d.ui->checkBox_FixNumber->isChecked());
    QVERIFY(!d.ui->checkBox_Infinite->isChecked());
    QVERIFY(d.ui->spinBox_FixNumber->isEnabled());
    d.ui->checkBox_FixNumber->click(); // a click on the checked box leaves it checked
    QVERIFY(d.ui->checkBox_FixNumber->isChecked());
    d.ui->checkBox_Infinite->click();
    d.ui->checkBox_Infinite->click();
    QVERIFY(d.ui->checkBox_Infinite->isChecked());
    QVERIFY(!d.ui->checkBox_FixNumber->isChecked());
    QVERIFY(!d.ui->spinBox_FixNumber->isEnabled());
}

void tst_saving_options_dialog::csvEnablingRules()
{
    Dialog d;
    d.ui->checkBox_SaveCSV->click();
    QVERIFY(d.ui->checkBox_SavedFPNCSV->isEnabled());
    QVERIFY(d.ui->checkBox_AcquiredImageCSV->isEnabled());
    QVERIFY(d.ui->checkBox_DisplayedImageCSV->isEnabled());
    QVERIFY(!d.ui->checkBox_8bit_CSV->isEnabled());
    QVERIFY(!d.ui->checkBox_16bit_CSV->isEnabled());
    d.ui->checkBox_DisplayedImageCSV->click();
    QVERIFY(d.ui->checkBox_8bit_CSV->isEnabled());
    QVERIFY(d.ui->checkBox_16bit_CSV->isEnabled());
    QVERIFY(!d.ui->checkBox_SavedFPNRAW->isEnabled());
}

void tst_saving_options_dialog::uncheckingAParentClearsItsSubtree()
{
    Dialog d;
    d.ui->checkBox_SaveCSV->click();
    d.ui->checkBox_DisplayedImageCSV->click();
    d.ui->checkBox_16bit_CSV->click();
    d.ui->checkBox_SavedFPNCSV->click();
    d.ui->checkBox_SaveCSV->click();
    for (QCheckBox* box : d.csvOptions()) {
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
        QVERIFY2(!box->isEnabled(), qPrintable(box->objectName()));
    }
    QSignalSpy emitted(&d.Window, &Window_ConfSavingFile::Configuration_SavingFormat);
    d.Window.PushButton_OK();
    for (int i = 6; i <= 11; ++i)
        QVERIFY(!emitted.at(0).at(i).toBool());
}

void tst_saving_options_dialog::rawRecordOpens()
{
    Dialog d;
    SavingConfiguration c;
    c.RAW = c.RAWDisplayed = c.RAW8b = true;
    c.SnapshotFormat = 3;
    c.SaveAllFramesFormat = 1;
    c.Period = 777;
    d.Window.UpdateValues(c);
    for (QCheckBox* box : {d.ui->checkBox_SaveRAW, d.ui->checkBox_DisplayedImageRAW, d.ui->checkBox_8bit_RAW})
        QVERIFY(box->isChecked() && box->isEnabled());
    QVERIFY(d.ui->checkBox_16bit_RAW->isEnabled());
    QVERIFY(!d.ui->checkBox_16bit_RAW->isChecked());
    const SavingConfiguration back = d.Window.CurrentValues();
    QVERIFY(back.RAW && back.RAWDisplayed && back.RAW8b && !back.RAW16b && !back.RAWFPN);
    QCOMPARE(back.SnapshotFormat, 3);
    QCOMPARE(back.SaveAllFramesFormat, 1);
    QCOMPARE(back.Period, 777);
}

void tst_saving_options_dialog::okEmitsTheRecordAndLogs()
{
    Dialog d;
    SavingConfiguration c;
    c.SnapshotFormat = 1;
    c.SaveAllFramesFormat = 1;
    c.NumberFrames = 12;
    c.Period = 250;
    c.JPG = c.CSV = c.CSVAcquired = c.CSVDisplayed = c.CSV16b = c.RAW = c.RAWFPN = true;
    d.Window.UpdateValues(c);
    QSignalSpy emitted(&d.Window, &Window_ConfSavingFile::Configuration_SavingFormat);
    QSignalSpy closed(&d.Window, &Window_ConfSavingFile::closeWindow);
    const int before = LogTexts(d.Log).size();
    d.ui->pushButton_OK->click();
    QCOMPARE(emitted.count(), 1);
    QCOMPARE(closed.count(), 1);
    const QList<QVariant> args = emitted.at(0);
    QCOMPARE(args.size(), 18);
    QCOMPARE(args.at(0).toInt(), 1);
    QCOMPARE(args.at(1).toInt(), 1);
    QCOMPARE(args.at(2).toInt(), 12);
    QCOMPARE(args.at(3).toInt(), 250);
    const bool expected[14] = {false, true, true, false, true, false, true, true, true, false, false, true, false, false};
    for (int i = 0; i < 14; ++i)
        QCOMPARE(args.at(4 + i).toBool(), expected[i]);
    const QStringList lines = LogTexts(d.Log).mid(before);
    const QStringList wanted = {"New parameters for saving frames function",
                                "\tSnapshot format: JPG",
                                "\tSave All Frames format: RAW",
                                "\tSave stream period: 250",
                                "\tSave stream format",
                                "\t\tBMP: 0",
                                "\t\tJPG: 1",
                                "\t\tCSV: 1",
                                "\t\t\t8-bit: 0",
                                "\t\t\t16-bit: 1",
                                "\t\t\tSaved FPN: 0",
                                "\t\t\tAcquired Image: 1",
                                "\t\t\tDisplayed Image: 1",
                                "\t\tRAW: 1",
                                "\t\t\t8-bit: 0",
                                "\t\t\t16-bit: 0",
                                "\t\t\tSaved FPN: 1",
                                "\t\t\tAcquired Image: 0",
                                "\t\t\tDisplayed Image: 0"};
    QCOMPARE(lines, wanted);
}

void tst_saving_options_dialog::cancelAndCloseApplyNothing()
{
    Dialog d;
    QSignalSpy emitted(&d.Window, &Window_ConfSavingFile::Configuration_SavingFormat);
    QSignalSpy closed(&d.Window, &Window_ConfSavingFile::closeWindow);
    d.ui->checkBox_SaveBMP->click();
    d.ui->pushButton_Cancel->click();
    d.Window.show();
    d.Window.close();
    QCOMPARE(closed.count(), 2);
    QCOMPARE(emitted.count(), 0);
}

// Each opening starts from the window's values; OK applies them and the
// dialog goes from inside its own handler without harm.
void tst_saving_options_dialog::mainWindowOpensAndDiscardsIt()
{
    TestAppFolder folder;
    SetMessageBoxPresenter([](const MessageBoxRequest&) { return 0; });
    {
        MainWindow window;
        window.Period = 400;
        window.ui->checkBox_JPG->setChecked(true);
        window.RAWFPN = true;
        window.ActionSetupSavingFiles();
        QPointer<Window_ConfSavingFile> dialog = window.ConfSavingFileWindow;
        QVERIFY(dialog && dialog->IsOpen() && dialog->isVisible());
        QCOMPARE(dialog->ui->spinBox_SaveStreamPeriod->value(), 400);
        QVERIFY(dialog->ui->checkBox_SaveJPG->isChecked());
        window.ActionSetupSavingFiles(); // already open: the same dialog
        QCOMPARE(window.ConfSavingFileWindow.data(), dialog.data());
        dialog->ui->spinBox_SaveStreamPeriod->setValue(900);
        dialog->ui->checkBox_SaveBMP->click();
        dialog->ui->pushButton_OK->click();
        QVERIFY(!window.ConfSavingFileWindow);
        QTRY_VERIFY(!dialog);
        QCOMPARE(window.Period, 900);
        QVERIFY(window.ui->checkBox_BMP->isChecked());
        QCOMPARE(window.ui->checkBox_SaveStream->text(), QStringLiteral("Save stream with a 900 ms period"));

        window.ActionSetupSavingFiles();
        dialog = window.ConfSavingFileWindow;
        QCOMPARE(dialog->ui->spinBox_SaveStreamPeriod->value(), 900);
        dialog->ui->spinBox_SaveStreamPeriod->setValue(50);
        dialog->ui->pushButton_Cancel->click();
        QTRY_VERIFY(!dialog);
        QCOMPARE(window.Period, 900);

        // Open when the main window closes: closed with it.
        window.ui->pushButton_SaveImage_Configuration->setEnabled(true);
        window.ActionSetupSavingFiles();
        dialog = window.ConfSavingFileWindow;
        window.close();
        QVERIFY(!window.ConfSavingFileWindow);
        QTRY_VERIFY(!dialog);
    }
    SetMessageBoxPresenter({});
}

QTEST_MAIN(tst_saving_options_dialog)
#include "tst_saving_options_dialog.moc"
