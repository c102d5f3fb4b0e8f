// The main window following the proxy record and the board kind: control set-up, board rules, frame-rate follow-up, captions, boxes, keys and advanced-user mode.
#include "mainwindow/MainWindow.h"

#include "ui_MW_AdvancedUser.h"
#include "ui_MW_ProxyBelmor.h"
#include "ui_Setup_DigiBoard.h"
#include "ui_MainWindow.h"

#include "app/kv_log.h"
#include "mainwindow/MW_AdvancedUser.h"
#include "mainwindow/MW_ProxyBelmor.h"
#include "app/message_boxes.h"
#include "mainwindow/proxy_controls.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "support/test_app_folder.h"
#include "app/globals.h"
#include "board/cameralink_serial.h"
#include "platform/clserial/clserial.h"
#include "sim/core/board_registry.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "tools/Setup_DigiBoard.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <thread>

using namespace ProxyParameterId;

namespace {

QString LogText(const TestAppFolder& p_Folder)
{
    const QStringList logs = QDir(p_Folder.filePath("Logs")).entryList({"Log_*.txt"}, QDir::Files);
    if (logs.isEmpty())
        return QString();
    QFile file(p_Folder.filePath("Logs/" + logs.first()));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Explicit states, whatever the parent group boxes or the (unshown) window say.
bool OwnEnabled(const QWidget* p_pWidget)
{
    return !p_pWidget->testAttribute(Qt::WA_ForceDisabled);
}
bool OwnVisible(const QWidget* p_pWidget)
{
    return !p_pWidget->isHidden();
}

bool True(int p_iProxy, int p_iCell)
{
    return GetDefault(p_iProxy, p_iCell) != 0;
}

QList<QWidget*> ParameterGroupBoxes(Ui::MainWindow* ui)
{
    return {ui->groupBox_BadPixeCorrection, ui->groupBox_DisplayParameters, ui->groupBox_NUC,
            ui->groupBox_ProxyParameters,   ui->groupBox_SaveImage,         ui->groupBox_SensorParameters,
            ui->groupBox_RecordingVideo};
}

// One window in a fresh application folder, its boxes recorded instead of shown.
struct Bench
{
    TestAppFolder folder;
    QList<MessageBoxRequest> boxes;
    int answer = 0;
    std::unique_ptr<MainWindow> window;

    Bench()
    {
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            boxes << p_Request;
            return answer;
        });
        window = std::make_unique<MainWindow>();
    }
    // How often the reference button's slot ran.
    int fpnRequests() const { return LogText(folder).count(QStringLiteral(" : Get FPN Reference Image\n")); }
    ~Bench()
    {
        window.reset();
        SetMessageBoxPresenter({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Ui::MainWindow* ui() const { return window->ui; }

    // The choice of the board set-up window (or of the Belmor selector), as the main window asks it.
    struct FixedChoice : ProxyChoiceSource
    {
        QString Text;
        QString ProxyText() const override { return Text; }
    } setupChoice;

    void selectBoard(BoardKind p_Kind) { ui()->comboBox_SelectDigiBoard->setCurrentIndex(BoardKindIndex(p_Kind)); }
    // Applies the record the board set-up window (or the Belmor selector) names.
    void apply(BoardKind p_Kind, const QString& p_sProxyText)
    {
        selectBoard(p_Kind);
        setupChoice.Text = p_sProxyText;
        window->SetupProxySource = &setupChoice;
        window->BelmorProxySource = &setupChoice;
        window->InitGUIWithProxy();
    }
    // Any record, even those no name reaches: with no selector to answer, the current record stays.
    void applyBelmorRecord(int p_iRecord)
    {
        selectBoard(BoardKind::Belmor);
        window->BelmorProxySource = nullptr;
        window->CurrentProxyIndex = p_iRecord;
        window->InitGUIWithProxy();
    }
    QStringList titles() const
    {
        QStringList list;
        for (const MessageBoxRequest& box : boxes)
            list << box.title;
        return list;
    }
};

// A control and the cells of its descriptor (-1: the property is not taken from the record).
struct Expectation
{
    const char* name;
    int enabled;
    int value;
    int min;
    int max;
    int visible;
};

} // namespace

class TestProxyGui : public QObject
{
    Q_OBJECT

private slots:
    // ----- The record applied to the form ----------------------------------------------

    void recordSelection_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<QString>("proxyText");
        QTest::addColumn<int>("frameRate");
        QTest::addColumn<int>("record");
        QTest::newRow("Z602 on Dunstel") << BoardKind::Dunstel << "Z602" << 30 << 5;
        QTest::newRow("Z654 on Arvex") << BoardKind::Arvex << "Z654" << 0 << 1;
        QTest::newRow("Y1437P") << BoardKind::Corvane << "Y1437P" << 60 << 9;
        QTest::newRow("Y1437P at 120 FPS") << BoardKind::Corvane << "Y1437P" << 120 << 12;
        QTest::newRow("X1550") << BoardKind::Dunstel << "X1550" << 25 << 14;
        QTest::newRow("T230") << BoardKind::BelmorPlus << "T230" << 30 << 16;
        QTest::newRow("No Proxy") << BoardKind::Arvex << "No Proxy" << 0 << 13;
        QTest::newRow("placeholder") << BoardKind::Corvane << "Proxy Board..." << 0 << 0;
        QTest::newRow("unknown name") << BoardKind::Dunstel << "Q999" << 0 << 0;
        QTest::newRow("Belmor selector") << BoardKind::Belmor << "Z668" << 0 << 2;
        QTest::newRow("Eskra serves Z603 only") << BoardKind::Eskra << "Z654" << 0 << 17;
    }
    void recordSelection()
    {
        QFETCH(BoardKind, kind);
        QFETCH(QString, proxyText);
        QFETCH(int, frameRate);
        QFETCH(int, record);
        Bench bench;
        bench.window->FrameRate = frameRate;
        bench.apply(kind, proxyText);
        QCOMPARE(bench.window->CurrentProxyIndex.load(), record);
        QCOMPARE(bench.ui()->label_State->text(), QStringLiteral("Ready"));
    }

    // The window's own windows answer: the Belmor's selector on that board, the set-up window on the others.
    void choiceAskedOfTheRightWindow_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<int>("record");
        QTest::newRow("Belmor: its selector") << BoardKind::Belmor << 2;
        QTest::newRow("Dunstel: the set-up window") << BoardKind::Dunstel << 5;
        QTest::newRow("Belmor+: the set-up window") << BoardKind::BelmorPlus << 5;
    }
    void choiceAskedOfTheRightWindow()
    {
        QFETCH(BoardKind, kind);
        QFETCH(int, record);
        Bench bench;
        bench.selectBoard(kind);
        MainWindow& w = *bench.window;
        QComboBox* pSelector = w.ProxySelector->ui->comboBox_SelectProxy;
        QComboBox* pSetup = w.SetupWindow->ui->comboBox_SelectProxy;
        pSelector->setCurrentIndex(pSelector->findText("Z668"));
        pSetup->setCurrentIndex(pSetup->findText("Z602"));
        QCOMPARE(pSelector->currentText(), QStringLiteral("Z668"));
        QCOMPARE(pSetup->currentText(), QStringLiteral("Z602"));
        w.InitGUIWithProxy();
        QCOMPARE(w.CurrentProxyIndex.load(), record);
    }

    // With no board (whose rules touch only two controls) every control shows its record.
    void descriptorsApplied_data()
    {
        QTest::addColumn<QString>("proxyText");
        QTest::addColumn<int>("record");
        QTest::newRow("Z602 (Z family)") << "Z602" << 5;
        QTest::newRow("Z671Pv2") << "Z671Pv2" << 21;
        QTest::newRow("Y1436 (Y family)") << "Y1436" << 6;
        QTest::newRow("X1550 (X family)") << "X1550" << 14;
        QTest::newRow("T230 (T family)") << "T230" << 16;
        QTest::newRow("No Proxy") << "No Proxy" << 13;
        QTest::newRow("unknown name") << "Q999" << 0;
    }
    void descriptorsApplied()
    {
        QFETCH(QString, proxyText);
        QFETCH(int, record);
        Bench bench;
        bench.apply(BoardKind::None, proxyText);
        QCOMPARE(bench.window->CurrentProxyIndex.load(), record);
        const int p = record;

        static const Expectation checks[] = {
            {"checkBox_GMS", 342, 343, -1, -1, 344},
            {"checkBox_UpCol", 69, 70, -1, -1, 71},
            {"checkBox_UpRow", 72, 73, -1, -1, 74},
            {"checkBox_OAdj0", 371, 372, -1, -1, 373},
            {"checkBox_MAdj2", 374, 375, -1, -1, 376},
            {"checkBox_Ref1", 383, 384, -1, -1, 385},
            {"checkBox_Gain1", 33, 34, -1, -1, 35},
            {"checkBox_SizeA", 63, 64, -1, -1, 65},
            {"checkBox_SizeB", 66, 67, -1, -1, 68},
            {"checkBox_Enable_DAC_B", -1, 77, -1, -1, 78},
            {"checkBox_ApplyNUC", 27, 28, -1, -1, 29},
            {"checkBox_Enable_AverageFPN", 27, 28, -1, -1, 29},
            {"checkBox_Enable_NUC2pt", 389, 390, -1, -1, 391},
            {"checkBox_HDR", 39, 40, -1, -1, 41},
            {"checkBox_InvertBW", 42, 43, -1, -1, 44},
            {"checkBox_AGC", 18, 19, -1, -1, 20},
            {"checkBox_Gamma", 405, 404, -1, -1, 406},
            {"checkBox_RAW", 57, 58, -1, -1, 59},
            {"checkBox_BMP", 48, 49, -1, -1, 50},
            {"checkBox_DACFilter", 24, 25, -1, -1, 26},
            {"checkBox_InvPClock", 45, 46, -1, -1, 47},
            {"checkBox_Advanced_user", 273, 274, -1, -1, 275},
        };
        for (const Expectation& e : checks) {
            auto* pBox = bench.window->findChild<QCheckBox*>(e.name);
            QVERIFY2(pBox, e.name);
            if (e.enabled >= 0)
                QVERIFY2(OwnEnabled(pBox) == True(p, e.enabled), e.name);
            QVERIFY2(pBox->isChecked() == True(p, e.value), e.name);
            QVERIFY2(OwnVisible(pBox) == True(p, e.visible), e.name);
        }

        static const Expectation ranges[] = {
            {"spinBox_XFirst", 218, 221, 220, 219, 222},
            {"spinBox_YLast", 233, 236, 235, 234, 237},
            {"spinBox_AcqX", 157, 160, 159, 158, 161},
            {"horizontalSlider_TINT", 152, 155, 154, 153, 156},
            {"spinBox_TINT", 213, 216, 215, 214, 217},
            {"horizontalSlider_DAC_A", 122, 125, 124, 123, 126},
            {"spinBox_DAC_C", 177, 180, 179, 178, 181},
            {"spinBox_ImageGain", 198, 201, 200, 199, 202},
        };
        for (const Expectation& e : ranges) {
            QWidget* pWidget = bench.window->findChild<QWidget*>(e.name);
            QVERIFY2(pWidget, e.name);
            const int lo = int(GetDefault(p, e.min));
            const int hi = qMax(lo, int(GetDefault(p, e.max)));
            const int value = qBound(lo, int(GetDefault(p, e.value)), hi);
            int shownMin = 0, shownMax = 0, shown = 0;
            if (auto* pSpin = qobject_cast<QSpinBox*>(pWidget)) {
                shownMin = pSpin->minimum();
                shownMax = pSpin->maximum();
                shown = pSpin->value();
            } else {
                auto* pSlider = qobject_cast<QSlider*>(pWidget);
                shownMin = pSlider->minimum();
                shownMax = pSlider->maximum();
                shown = pSlider->value();
            }
            if (p == 14 && (qstrcmp(e.name, "horizontalSlider_TINT") == 0 || qstrcmp(e.name, "spinBox_TINT") == 0))
                continue; // the X1550's exposure is shown in microseconds (checked below)
            QCOMPARE(shownMin, lo);
            QCOMPARE(shownMax, hi);
            QCOMPARE(shown, value);
            QVERIFY2(OwnEnabled(pWidget) == True(p, e.enabled), e.name);
            QVERIFY2(OwnVisible(pWidget) == True(p, e.visible), e.name);
        }

        static const Expectation plain[] = {
            {"label_TINT", 94, -1, -1, -1, 95},
            {"label_ADD0C", 79, -1, -1, -1, 80},
            {"label_AGC_Centre", 83, -1, -1, -1, 84},
            {"label_FileName", 92, -1, -1, -1, 93},
            {"lineEdit_FileName", 104, -1, -1, -1, 105},
            {"pushButton_SetParameters", 112, -1, -1, -1, 113},
            {"pushButton_Take_Snapshot", 108, -1, -1, -1, 109},
            {"pushButton_Take_FPN_Reference", 110, -1, -1, -1, 111},
            {"label_Voltage_ADD0D", -1, -1, -1, -1, 99},
            {"line_2", -1, -1, -1, -1, 103},
        };
        for (const Expectation& e : plain) {
            QWidget* pWidget = bench.window->findChild<QWidget*>(e.name);
            QVERIFY2(pWidget, e.name);
            if (e.enabled >= 0)
                QVERIFY2(OwnEnabled(pWidget) == True(p, e.enabled), e.name);
            QVERIFY2(OwnVisible(pWidget) == True(p, e.visible), e.name);
        }

        Ui::MainWindow* ui = bench.ui();
        // Fixed settings of the set-up.
        QVERIFY(!OwnEnabled(ui->checkBox_SaveStream));
        QVERIFY(!OwnEnabled(ui->spinBox_Number_Images_AverageFPN));
        QVERIFY(OwnVisible(ui->spinBox_Number_Images_AverageFPN));
        QVERIFY(!OwnEnabled(ui->pushButton_ZoomM));
        QVERIFY(!OwnEnabled(ui->pushButton_ZoomP));
        QCOMPARE(ui->comboBox_BayerMode->currentIndex(), 0);
        QCOMPARE(ui->spinBox_Gamma->value(), 1.0);
        QCOMPARE(ui->spinBox_AGC_GainClip->value(), 32);
        QCOMPARE(ui->spinBox_AGC_Centre->value(), 127);
        QCOMPARE(ui->spinBox_ImageOffset->singleStep(), 50);
        QCOMPARE(bench.window->AGCMargin, int(GetDefault(p, 249)));
        QCOMPARE(bench.window->LastSentParameters[0], int(GetDefault(p, TINT)));
        QCOMPARE(bench.window->LastSentParameters[4], int(GetDefault(p, DAC_D)));
        QCOMPARE(bench.window->LastSentParameters[20], int(GetDefault(p, CKDIV)));
        // No board: the two-tap box and the start button stay off.
        QVERIFY(!OwnEnabled(ui->checkBox_2Tap));
        QVERIFY(!OwnEnabled(ui->pushButton_Start));
        for (QWidget* pBox : ParameterGroupBoxes(ui))
            QCOMPARE(OwnEnabled(pBox), p != kNoProxyIndex);
        const int iSize = (ui->checkBox_SizeA->isChecked() ? 1 : 0) + (ui->checkBox_SizeB->isChecked() ? 2 : 0);
        QCOMPARE(bench.window->ImageSizeCode, iSize);
    }

    // Facts of the table that the form must reflect, over all 25 records.
    void recordFacts()
    {
        Bench bench;
        Ui::MainWindow* ui = bench.ui();
        for (int r = 0; r < kProxyRecordCount; ++r) {
            InitProxyParameterTable();
            bench.applyBelmorRecord(r);
            QCOMPARE(bench.window->CurrentProxyIndex.load(), r);
            const QByteArray row = QByteArray::number(r);
            QVERIFY2(OwnEnabled(ui->checkBox_OAdj1) == (r == 16), row);
            QVERIFY2(OwnEnabled(ui->checkBox_MAdj0) == (r == 16), row);
            QVERIFY2(OwnEnabled(ui->checkBox_Ref0) == (r == 16), row);
            QVERIFY2(OwnEnabled(ui->spinBox_Gamma) == (r == 14), row);
            QVERIFY2(OwnEnabled(ui->checkBox_Gamma) == (r == 14), row);
            QVERIFY2(OwnEnabled(ui->comboBox_BayerMode) == (r == 14 || r == 16), row);
            // The Belmor leaves the two-tap box as the record set it.
            QVERIFY2(OwnEnabled(ui->checkBox_2Tap) == (r == 9 || r == 12), row);
            QVERIFY2(ui->checkBox_2Tap->isChecked() == (r == 12), row);
        }
    }

    void x1550AcquisitionSize()
    {
        Bench bench;
        bench.apply(BoardKind::None, "X1550");
        QSpinBox* pAcqX = bench.ui()->spinBox_AcqX;
        QCOMPARE(pAcqX->minimum(), 65535);
        QCOMPARE(pAcqX->maximum(), 65535);
        QCOMPARE(pAcqX->value(), 65535);
        QVERIFY(!OwnEnabled(pAcqX));
        QVERIFY(!OwnVisible(pAcqX));
        QCOMPARE(bench.ui()->spinBox_AcqY->value(), 65535);
    }

    void imageOffsetRangeIsSymmetric()
    {
        Bench bench;
        bench.apply(BoardKind::None, "Z668");
        QCOMPARE(bench.ui()->horizontalSlider_ImageOffset->minimum(), -65535);
        QCOMPARE(bench.ui()->horizontalSlider_ImageOffset->maximum(), 65535);
        QCOMPARE(bench.ui()->spinBox_ImageOffset->minimum(), -65535);
        QCOMPARE(bench.ui()->spinBox_ImageOffset->maximum(), 65535);
    }

    // A cell holding 65535 counts as true for every on/off property.
    void unsetCellCountsAsTrue()
    {
        InitProxyParameterTable();
        QCheckBox box;
        box.setEnabled(false);
        box.setVisible(false);
        SetCurrent(3, 15, 65535);
        SetCurrent(3, 16, 65535);
        SetCurrent(3, 17, 65535);
        ApplyDescriptorRow({&box, CellRef::C(15), CellRef::C(16), {}, {}, CellRef::C(17)}, 3);
        QVERIFY(OwnEnabled(&box));
        QVERIFY(box.isChecked());
        QVERIFY(OwnVisible(&box));
        SetCurrent(3, 16, 0);
        ApplyDescriptorRow({&box, {}, CellRef::C(16), {}, {}, {}}, 3);
        QVERIFY(!box.isChecked());
        InitProxyParameterTable();
    }

    void flipRule_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<bool>("alternative");
        QTest::newRow("Arvex") << BoardKind::Arvex << true;
        QTest::newRow("Belmor+") << BoardKind::BelmorPlus << true;
        QTest::newRow("Dunstel") << BoardKind::Dunstel << true;
        QTest::newRow("Belmor") << BoardKind::Belmor << false;
        QTest::newRow("Eskra") << BoardKind::Eskra << false;
        QTest::newRow("Corvane") << BoardKind::Corvane << false;
        QTest::newRow("none") << BoardKind::None << false;
    }
    void flipRule()
    {
        QFETCH(BoardKind, kind);
        QFETCH(bool, alternative);
        Bench bench;
        const int p = kind == BoardKind::Eskra ? 17 : 11;
        // Distinct values, so the source of the checked state shows.
        const uint32_t uCurrentBefore = 7;
        SetCurrent(p, UpCol, uCurrentBefore);
        bench.apply(kind, kind == BoardKind::Eskra ? "Z603" : "Z647");
        QCOMPARE(bench.window->CurrentProxyIndex.load(), p);
        if (alternative) {
            QCOMPARE(GetCurrent(p, UpCol), GetDefault(p, 348));
            QCOMPARE(GetCurrent(p, UpRow), GetDefault(p, 349));
            QCOMPARE(bench.ui()->checkBox_UpCol->isChecked(), GetDefault(p, 348) != 0);
        } else {
            QCOMPARE(GetCurrent(p, UpCol), uCurrentBefore);
            QCOMPARE(bench.ui()->checkBox_UpCol->isChecked(), GetDefault(p, UpCol) != 0);
        }
        // What was last sent is the record's own default, whichever the box shows.
        QCOMPARE(bench.window->LastSentParameters[13], int(GetDefault(p, UpCol)));
        QCOMPARE(bench.window->LastSentParameters[14], int(GetDefault(p, UpRow)));
    }

    // ----- Board-kind rules ---------------------------------------------------------------

    void boardRules_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::newRow("Arvex") << BoardKind::Arvex;
        QTest::newRow("Belmor") << BoardKind::Belmor;
        QTest::newRow("Belmor+") << BoardKind::BelmorPlus;
        QTest::newRow("Dunstel") << BoardKind::Dunstel;
        QTest::newRow("Eskra") << BoardKind::Eskra;
        QTest::newRow("Corvane") << BoardKind::Corvane;
    }
    void boardRules()
    {
        QFETCH(BoardKind, kind);
        Bench bench;
        QStringList boards;
        QObject::connect(bench.window.get(), &MainWindow::CommandsBoardChanged,
                         [&boards](const QString& p_sBoard) { boards << p_sBoard; });
        bench.apply(kind, "Z603");
        Ui::MainWindow* ui = bench.ui();
        const int p = bench.window->CurrentProxyIndex;
        QCOMPARE(p, 17);
        QCOMPARE(boards, QStringList{ui->comboBox_SelectDigiBoard->currentText()});

        const bool bArvex = kind == BoardKind::Arvex;
        const bool bBelmorPlus = kind == BoardKind::BelmorPlus;
        const bool bCorvane = kind == BoardKind::Corvane;

        // Gain and offset start neutral on every board.
        QCOMPARE(ui->spinBox_ImageGain->minimum(), 1);
        QCOMPARE(ui->spinBox_ImageGain->maximum(), 255);
        QCOMPARE(ui->spinBox_ImageGain->value(), 1);
        QCOMPARE(ui->horizontalSlider_ImageGain->minimum(), 1);
        QCOMPARE(ui->spinBox_ImageOffset->value(), 0);
        QCOMPARE(ui->horizontalSlider_ImageOffset->value(), 0);
        QCOMPARE(GetCurrent(p, ImageGainSliderMax), 255u);
        QCOMPARE(GetCurrent(p, ImageOffset), 0u);

        QCOMPARE(ui->spinBox_ImageGain->buttonSymbols(),
                 bBelmorPlus ? QAbstractSpinBox::NoButtons : QAbstractSpinBox::UpDownArrows);
        QCOMPARE(ui->spinBox_ImageOffset->buttonSymbols(), ui->spinBox_ImageGain->buttonSymbols());

        // The boards with their own gain control offer no AGC.
        if (bArvex || bBelmorPlus) {
            QVERIFY(!ui->checkBox_AGC->isChecked());
            QVERIFY(!OwnEnabled(ui->checkBox_AGC));
            QVERIFY(!OwnEnabled(ui->spinBox_AGC_Centre));
            QCOMPARE(ui->spinBox_AGC_Centre->value(), 127);
            QCOMPARE(GetCurrent(p, AGCCentre), 0u);
            QCOMPARE(GetCurrent(p, 249), 5u);
            QCOMPARE(GetCurrent(p, 250), 5u);
            QCOMPARE(GetCurrent(p, AGCGainClip), 32u);
        } else {
            QCOMPARE(OwnEnabled(ui->checkBox_AGC), True(p, AGCEnabled));
        }

        // Where the one-point NUC runs.
        QCOMPARE(ui->checkBox_ApplyNUC->text(),
                 bBelmorPlus ? QStringLiteral("1 point NUC Embedded") : QStringLiteral("1 point NUC"));
        const bool bHardware = bArvex || bBelmorPlus;
        QCOMPARE(ui->label_NUCType_Val->text(), bHardware ? QStringLiteral("Hardware") : QStringLiteral("Software"));
        QCOMPARE(bench.window->SoftwareNUC.load(), !bHardware);
        QCOMPARE(OwnEnabled(ui->checkBox_Enable_AverageFPN), !bHardware);
        QCOMPARE(ui->action_NUCHardware->isChecked(), bHardware);
        QCOMPARE(ui->action_NUCSoftware->isChecked(), !bHardware);
        QCOMPARE(ui->action_NUCHardware->isEnabled(), bBelmorPlus || bCorvane);
        QCOMPARE(ui->action_NUCSoftware->isEnabled(), bBelmorPlus || bCorvane);
        if (bHardware) {
            QCOMPARE(OwnEnabled(ui->checkBox_ApplyNUC), bBelmorPlus);
            QVERIFY(!ui->checkBox_ApplyNUC->isChecked());
            QCOMPARE(GetCurrent(p, ApplyNUCEnabled), 1u);
            QCOMPARE(GetCurrent(p, ApplyNUC), 0u);
            QVERIFY(OwnEnabled(ui->pushButton_Take_FPN_Reference));
        }
        if (bCorvane)
            QVERIFY(ui->checkBox_Enable_AverageFPN->isChecked());

        QVERIFY(!OwnEnabled(ui->comboBox_BPCorrectionMode));
        if (kind != BoardKind::Belmor)
            QCOMPARE(GetCurrent(p, BPCorrectionModeEnabled), 0u);

        // Two-tap readout: only records 7 and 12 on the Camera Link boards.
        if (kind != BoardKind::Belmor) {
            QVERIFY(!OwnVisible(ui->checkBox_2Tap));
            QVERIFY(!OwnEnabled(ui->checkBox_2Tap));
            QCOMPARE(GetCurrent(p, TwoTapVisible), 0u);
        }

        // Windowing controls are never on the main form with a board.
        for (QWidget* pWidget : {static_cast<QWidget*>(ui->checkBox_SizeA), static_cast<QWidget*>(ui->spinBox_AcqY),
                                 static_cast<QWidget*>(ui->spinBox_XLast), static_cast<QWidget*>(ui->line),
                                 static_cast<QWidget*>(ui->line_2), static_cast<QWidget*>(ui->pushButton_SetWindow)})
            QVERIFY2(!OwnVisible(pWidget), qPrintable(pWidget->objectName()));
        if (kind >= BoardKind::Dunstel) {
            QVERIFY(!OwnEnabled(ui->spinBox_XLast));
            for (int cell : {63, 65, 66, 68, 157, 161, 162, 166, 218, 222, 223, 227, 228, 232, 233, 237, 114, 115, 102, 103})
                QCOMPARE(GetCurrent(p, cell), 0u);
        }

        if (kind == BoardKind::Eskra)
            QCOMPARE(ui->label_Info_Proxy_Freq->text(), QStringLiteral("Only with Z603 @6.8FPS"));
        for (QWidget* pBox : ParameterGroupBoxes(ui))
            QVERIFY(OwnEnabled(pBox));
    }

    void noBoardKeepsGroupBoxesByProxy()
    {
        Bench bench;
        bench.window->CurrentProxyIndex = 0;
        bench.window->UpdateGUI();
        QVERIFY(!OwnEnabled(bench.ui()->checkBox_2Tap));
        QVERIFY(!OwnEnabled(bench.ui()->pushButton_Start));
        for (QWidget* pBox : ParameterGroupBoxes(bench.ui()))
            QVERIFY(OwnEnabled(pBox));
    }

    void noProxyDisablesParameterGroups_data()
    {
        QTest::addColumn<BoardKind>("kind");
        for (int kind = 0; kind <= 6; ++kind)
            QTest::newRow(qPrintable(QString::number(kind))) << BoardKindFromIndex(kind);
    }
    void noProxyDisablesParameterGroups()
    {
        QFETCH(BoardKind, kind);
        Bench bench;
        bench.selectBoard(kind);
        bench.window->CurrentProxyIndex = kNoProxyIndex;
        bench.window->UpdateGUI();
        // The Eskra board serves its one proxy whatever was selected.
        const bool bExpectEnabled = kind == BoardKind::Eskra;
        for (QWidget* pBox : ParameterGroupBoxes(bench.ui()))
            QCOMPARE(OwnEnabled(pBox), bExpectEnabled);
        if (kind == BoardKind::Arvex || kind == BoardKind::BelmorPlus) {
            QVERIFY(!OwnEnabled(bench.ui()->spinBox_CKDIV));
            QCOMPARE(GetCurrent(kNoProxyIndex, CKDIVEnabled), 0u);
        }
    }

    void twoTapOnCameraLink_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<QString>("proxyText");
        QTest::addColumn<int>("frameRate");
        QTest::addColumn<bool>("shown");
        QTest::newRow("Arvex Y1437") << BoardKind::Arvex << "Y1437" << 30 << true;
        QTest::newRow("Belmor+ Y1437P at 120") << BoardKind::BelmorPlus << "Y1437P" << 120 << true;
        QTest::newRow("Arvex Y1437P at 60") << BoardKind::Arvex << "Y1437P" << 60 << false;
        QTest::newRow("Belmor+ Z602") << BoardKind::BelmorPlus << "Z602" << 30 << false;
    }
    void twoTapOnCameraLink()
    {
        QFETCH(BoardKind, kind);
        QFETCH(QString, proxyText);
        QFETCH(int, frameRate);
        QFETCH(bool, shown);
        Bench bench;
        bench.window->FrameRate = frameRate;
        bench.apply(kind, proxyText);
        QCOMPARE(OwnVisible(bench.ui()->checkBox_2Tap), shown);
        QCOMPARE(GetCurrent(bench.window->CurrentProxyIndex, TwoTapVisible), shown ? 1u : 0u);
    }

    void clockDividerNeedsAdvancedUser()
    {
        Bench bench;
        bench.apply(BoardKind::Arvex, "Z602");
        QVERIFY(!OwnEnabled(bench.ui()->spinBox_CKDIV));
        QCOMPARE(GetCurrent(5, CKDIVEnabled), 0u);
        bench.window->AdvancedUserAuthenticated = 1;
        bench.window->InitGUIWithProxy();
        QVERIFY(OwnEnabled(bench.ui()->spinBox_CKDIV));
        QVERIFY(OwnEnabled(bench.ui()->label_CKDIV));
        QCOMPARE(GetCurrent(5, CKDIVEnabled), 1u);
        QCOMPARE(GetCurrent(5, AdvancedUserEnabled), 1u);
        QVERIFY(bench.ui()->checkBox_Advanced_user->isChecked());
    }

    // ----- Frame-rate follow-up -------------------------------------------------------------

    void dynamicFrequency()
    {
        Bench bench;
        bench.apply(BoardKind::Dunstel, "Y1437P");
        MainWindow& w = *bench.window;
        const int p = 9;
        SetCurrent(p, 278, 13);
        SetCurrent(p, 290 + 5, 300);
        SetCurrent(p, 283 + 5, 2000);
        w.ConfigurationCustom = false;
        w.UpdateValuesOnDynamicFrequency(120);
        QVERIFY(w.ConfigurationCustom);
        QCOMPARE(GetCurrent(p, CKDIV), 300u);
        QCOMPARE(bench.ui()->spinBox_CKDIV->value(), 300);
        QCOMPARE(GetCurrent(p, DAC_D), 2000u);
        QCOMPARE(GetCurrent(p, DAC_DSlider), 2000u);
        QCOMPARE(bench.ui()->spinBox_DAC_D->value(), qMin(2000, bench.ui()->spinBox_DAC_D->maximum()));
        QVERIFY(LogText(bench.folder).contains(
            " : After Dynamic Reconfiguration, on ProxyBoard 9 CKDIV = 300 - GSK = 2000\n"));

        // A channel that names no DAC moves only the divider.
        SetCurrent(p, 278, 65535);
        SetCurrent(p, 290 + 3, 310);
        SetCurrent(p, 283 + 3, 1500);
        const int iDacD = bench.ui()->spinBox_DAC_D->value();
        w.UpdateValuesOnDynamicFrequency(60);
        QCOMPARE(bench.ui()->spinBox_CKDIV->value(), 310);
        QCOMPARE(bench.ui()->spinBox_DAC_D->value(), iDacD);
        QCOMPARE(GetCurrent(p, DAC_D), 2000u);

        // The custom configuration reads what the board set-up window stored.
        SetCurrent(p, 278, 2);
        SetCurrent(p, 361, 123);
        SetCurrent(p, 360, 1000);
        w.UpdateValuesOnDynamicFrequency(254);
        QCOMPARE(GetCurrent(p, CKDIV), 123u);
        QCOMPARE(GetCurrent(p, DAC_A), 1000u);
        QCOMPARE(GetCurrent(p, DAC_ASlider), 1000u);
    }

    // A rate the record does not offer: nothing undefined reaches the controls or the cells.
    void dynamicFrequencyUnsetValues()
    {
        Bench bench;
        bench.apply(BoardKind::Corvane, "Y1437P");
        MainWindow& w = *bench.window;
        const int p = 9;
        SetCurrent(p, 278, 13);
        SetCurrent(p, 290 + 6, ProxyParameterNotSet);
        SetCurrent(p, 283 + 6, ProxyParameterNotSet);
        SetCurrent(p, CKDIV, 200);
        SetCurrent(p, DAC_D, 1800);
        bench.ui()->spinBox_CKDIV->setValue(200);
        bench.ui()->spinBox_DAC_D->setValue(1800);
        w.UpdateValuesOnDynamicFrequency(200);
        QCOMPARE(GetCurrent(p, CKDIV), 200u);
        QCOMPARE(bench.ui()->spinBox_CKDIV->value(), 200);
        QCOMPARE(GetCurrent(p, DAC_D), 1800u);
        QCOMPARE(bench.ui()->spinBox_DAC_D->value(), 1800);
        const QString sLog = LogText(bench.folder);
        QVERIFY(sLog.contains("CKDIV = not defined - GSK = not defined"));
        QVERIFY(sLog.contains("left unchanged"));
    }

    void defaultFrequencyOnlyMovesTheDivider()
    {
        Bench bench;
        bench.apply(BoardKind::Dunstel, "Z602");
        MainWindow& w = *bench.window;
        const int p = 5;
        bench.ui()->spinBox_CKDIV->setRange(0, 4095);
        bench.ui()->spinBox_CKDIV->setValue(3);
        SetCurrent(p, CKDIV, 42);
        w.ConfigurationCustom = false;
        w.UpdateValuesOnDynamicFrequency(255);
        QVERIFY(!w.ConfigurationCustom);
        QCOMPARE(GetCurrent(p, CKDIV), 42u);
        const uint32_t uStart = GetDefault(p, 347);
        const uint32_t uHigh = GetCurrent(p, 359);
        if (uStart != ProxyParameterNotSet && uHigh != ProxyParameterNotSet)
            QCOMPARE(bench.ui()->spinBox_CKDIV->value(), qMin(4095, int((uHigh << 10) + uStart)));
        else
            QCOMPARE(bench.ui()->spinBox_CKDIV->value(), 3);

        // Boards without a divider cell show the number itself.
        bench.selectBoard(BoardKind::Eskra);
        w.UpdateValuesOnDynamicFrequency(7);
        QCOMPARE(bench.ui()->spinBox_CKDIV->value(), 7);
    }

    // A custom configuration at a first start with the board's default rate:
    // the divider is the record's start divider of the board's family, with the
    // high bit the Camera Link boards drop; the board then shows it.
    void defaultRateDividerAtConnection_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<int>("startCell");
        QTest::addColumn<bool>("highBitKept");
        QTest::newRow("Arvex") << BoardKind::Arvex << 345 << false;
        QTest::newRow("Belmor") << BoardKind::Belmor << 345 << false;
        QTest::newRow("Belmor+") << BoardKind::BelmorPlus << 345 << false;
        QTest::newRow("Dunstel") << BoardKind::Dunstel << 347 << true;
        QTest::newRow("Eskra") << BoardKind::Eskra << -1 << true;
        QTest::newRow("Corvane") << BoardKind::Corvane << 346 << true;
    }
    void defaultRateDividerAtConnection()
    {
        QFETCH(BoardKind, kind);
        QFETCH(int, startCell);
        QFETCH(bool, highBitKept);
        Bench bench;
        MainWindow& w = *bench.window;
        const int p = 9;
        bench.selectBoard(kind);
        SetCurrent(p, 359, 1);
        w.ConfigurationCustom = true;
        w.FirstStart = true;
        w.FrameRate = 255;
        bench.apply(kind, "Y1437P");
        const uint32_t uStart = startCell >= 0 ? GetDefault(p, startCell) : 0;
        QVERIFY(uStart != ProxyParameterNotSet);
        QCOMPARE(GetCurrent(p, 359), highBitKept ? 1u : 0u);
        QCOMPARE(GetCurrent(p, CKDIV), (highBitKept ? 1024u : 0u) + uStart);
        if (startCell >= 0)
            QCOMPARE(bench.ui()->spinBox_CKDIV->value(),
                     qMin(bench.ui()->spinBox_CKDIV->maximum(), int((highBitKept ? 1024u : 0u) + uStart)));
    }

    void customFrameRateAtConnection()
    {
        Bench bench;
        MainWindow& w = *bench.window;
        const int p = 9;
        SetCurrent(p, 278, 13);
        SetCurrent(p, 359, 0);
        SetCurrent(p, 290 + 2, 250);
        SetCurrent(p, 283 + 2, 1900);
        w.ConfigurationCustom = true;
        w.FrameRate = 50;
        bench.apply(BoardKind::Dunstel, "Y1437P");
        QCOMPARE(GetCurrent(p, CKDIV), 250u);
        QCOMPARE(GetCurrent(p, DAC_D), 1900u);
        QCOMPARE(GetCurrent(p, DAC_DSlider), 1900u);
        QCOMPARE(bench.ui()->spinBox_FrameRate->value(), 50.0);
        QCOMPARE(bench.ui()->spinBox_CKDIV->value(), qMin(250, bench.ui()->spinBox_CKDIV->maximum()));

        // After a first disconnection the block is no longer applied to the cells.
        w.FirstStart = false;
        SetCurrent(p, 290 + 2, 260);
        bench.ui()->spinBox_FrameRate->setValue(12.0);
        bench.apply(BoardKind::Dunstel, "Y1437P");
        QCOMPARE(GetCurrent(p, CKDIV), 250u);
        QCOMPARE(bench.ui()->spinBox_CKDIV->value(), qMin(260, bench.ui()->spinBox_CKDIV->maximum()));
        QCOMPARE(bench.ui()->spinBox_FrameRate->value(), 50.0);
    }

    // ----- Model captions and voltage labels ------------------------------------------------

    void modelCaptions()
    {
        Bench bench;
        bench.apply(BoardKind::Dunstel, "Z668P");
        Ui::MainWindow* ui = bench.ui();
        QCOMPARE(bench.window->ProxyName, QStringLiteral("Z668P"));
        QCOMPARE(ui->checkBox_SizeA->text(), QStringLiteral("SizeA"));
        QCOMPARE(bench.window->DefaultImageSizeCode, 3);
        QCOMPARE(ui->label_ADD02->text(), QStringLiteral("GFID"));
        QCOMPARE(ui->label_ADD0D->text(), QStringLiteral("VBUS"));
        QCOMPARE(ui->label_Voltage_ADD0C->text(), QStringLiteral("5.0V"));

        // Records 0 and 22 have no model: nothing changes.
        bench.window->CurrentProxyIndex = 22;
        bench.window->applyProxyModelDefaults();
        QCOMPARE(bench.window->ProxyName, QStringLiteral("Z668P"));
        QCOMPARE(ui->label_ADD02->text(), QStringLiteral("GFID"));
        QCOMPARE(bench.window->DefaultImageSizeCode, 3);
    }

    void noProxyResetsTheTable()
    {
        Bench bench;
        bench.apply(BoardKind::Dunstel, "Z602");
        Ui::MainWindow* ui = bench.ui();
        const QString sVoltage = ui->label_Voltage_ADD02->text();
        SetCurrent(4, DAC_A, 1234);
        SetCurrent(20, TINT, 77);
        bench.window->CurrentProxyIndex = kNoProxyIndex;
        ui->pushButton_Start->setEnabled(true);
        bench.window->applyProxyModelDefaults();
        QVERIFY(bench.window->ProxyName.isEmpty());
        QVERIFY(!ui->pushButton_Start->isEnabled());
        QCOMPARE(ui->checkBox_SizeA->text(), QStringLiteral("Size A"));
        QCOMPARE(ui->label_TINT->text(), QStringLiteral("TINT\nTEXP"));
        QCOMPARE(ui->label_ADD03->text(), QStringLiteral("ADD03"));
        QCOMPARE(ui->label_Voltage_ADD02->text(), sVoltage);
        for (int r = 0; r < kProxyRecordCount; ++r)
            for (int c = 0; c < kProxyParameterCount; ++c)
                QCOMPARE(GetCurrent(r, c), GetDefault(r, c));
    }

    void x1550ExposureInMicroseconds()
    {
        Bench bench;
        Ui::MainWindow* ui = bench.ui();
        bench.window->CurrentProxyIndex = 14;
        bench.window->FrameRate = 255;
        ui->spinBox_CKDIV->setValue(0);
        bench.window->applyProxyModelDefaults();
        QCOMPARE(ui->horizontalSlider_TINT->minimum(), 25);
        QCOMPARE(ui->horizontalSlider_TINT->maximum(), 66212);
        QCOMPARE(ui->horizontalSlider_TINT->singleStep(), 32);
        QCOMPARE(ui->spinBox_TINT->minimum(), 25);
        QCOMPARE(ui->spinBox_TINT->maximum(), 66212);
        QCOMPARE(ui->spinBox_TINT->singleStep(), 32);
        QCOMPARE(ui->label_TINT->text(), QString::fromUtf8("TEXP\n(\xC2\xB5s)"));

        // No frame rate read yet: the ranges stay.
        ui->spinBox_TINT->setRange(3, 9);
        bench.window->FrameRate = 0;
        bench.window->applyProxyModelDefaults();
        QCOMPARE(ui->spinBox_TINT->minimum(), 3);
        QCOMPARE(ui->spinBox_TINT->maximum(), 9);
    }

    void voltageLabelsFollowTheDacs()
    {
        Bench bench;
        bench.apply(BoardKind::Dunstel, "Z602");
        Ui::MainWindow* ui = bench.ui();
        QCOMPARE(ui->label_Voltage_ADD02->text(), QStringLiteral("2.7V"));
        ui->spinBox_DAC_A->setRange(0, 4095);
        ui->spinBox_DAC_A->setValue(1);
        ui->spinBox_DAC_A->setValue(0);
        QCOMPARE(ui->label_Voltage_ADD02->text(), QStringLiteral("0.8V"));
        ui->spinBox_DAC_A->setValue(4095);
        QCOMPARE(ui->label_Voltage_ADD02->text(), QStringLiteral("3.2V"));
        ui->spinBox_DAC_B->setRange(0, 4095);
        ui->spinBox_DAC_B->setValue(1);
        ui->spinBox_DAC_B->setValue(4095);
        QCOMPARE(ui->label_Voltage_ADD03->text(), QStringLiteral("3.5V"));

        // Another model: the same code reads differently once the value changes.
        bench.apply(BoardKind::Dunstel, "Y1437P");
        ui->spinBox_DAC_C->setRange(0, 4095);
        ui->spinBox_DAC_C->setValue(1);
        ui->spinBox_DAC_C->setValue(4095);
        QCOMPARE(ui->label_Voltage_ADD0C->text(), QStringLiteral("2.5V"));
        ui->spinBox_DAC_D->setRange(0, 4095);
        ui->spinBox_DAC_D->setValue(1);
        ui->spinBox_DAC_D->setValue(0);
        QCOMPARE(ui->label_Voltage_ADD0D->text(), QStringLiteral("0.4V"));
    }

    void histogramPixelCount()
    {
        Bench bench;
        bench.window->FrameWidth = 640;
        bench.window->FrameHeight = 480;
        bench.window->setLabel_Histogram_NbPixelMaxValue(307200);
        QCOMPARE(bench.ui()->label_NbPixelMax->text(), QStringLiteral("100.0000% - 307200 pixels"));
        bench.window->setLabel_Histogram_NbPixelMaxValue(0);
        QCOMPARE(bench.ui()->label_NbPixelMax->text(), QString());
        bench.window->FrameWidth = 0;
        bench.window->setLabel_Histogram_NbPixelMaxValue(5);
        QCOMPARE(bench.ui()->label_NbPixelMax->text(), QString());
    }

    // ----- Saved-images folder --------------------------------------------------------------

    void proxyFolder()
    {
        Bench bench;
        bench.apply(BoardKind::Dunstel, "Z602");
        QVERIFY(QFileInfo(bench.folder.rootPath() + "/SavedImages/Z602").isDir());
        QCOMPARE(LogText(bench.folder).count(" : Z602 SavedImages folder created.\n"), 1);
        bench.apply(BoardKind::Dunstel, "Z602");
        QCOMPARE(LogText(bench.folder).count(" : Z602 SavedImages folder created.\n"), 1);
        QVERIFY(bench.boxes.isEmpty());
    }

    void proxyFolderCannotBeCreated()
    {
        Bench bench;
        QFile blocker(bench.folder.rootPath() + "/SavedImages/Z654");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        bench.apply(BoardKind::Arvex, "Z654");
        QCOMPARE(bench.titles(), QStringList{"Folder can't be created"});
        QCOMPARE(bench.boxes.first().text, QStringLiteral("The Z654 SavedImages folder can't be created."));
        QCOMPARE(bench.boxes.first().icon, QMessageBox::Critical);
        QVERIFY(LogText(bench.folder).contains(" : Proxy SavedImages folder can't be created.\n"));
        // The set-up went on with the board rules.
        QCOMPARE(bench.ui()->label_NUCType_Val->text(), QStringLiteral("Hardware"));
    }

    // ----- Message boxes ------------------------------------------------------------------

    void logErrorBoxes_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("text");
        QTest::newRow("open") << "ErrorLogCantBeOpen" << "The log file can't be opened. No log will be saved.";
        QTest::newRow("not open") << "ErrorLogNotOpen" << "The log file is not opened. No log will be saved.";
        QTest::newRow("writable") << "ErrorLogNotWritable" << "The log file is not writable. No log will be saved.";
        QTest::newRow("renamed") << "ErrorLogNotRenamed"
                                 << "The log file can't be renamed. The destination file name may already exists.";
        QTest::newRow("reset") << "ErrorLogNotReset" << "The log file can't be reset.";
    }
    void logErrorBoxes()
    {
        QFETCH(QString, slot);
        QFETCH(QString, text);
        Bench bench;
        QVERIFY(QMetaObject::invokeMethod(bench.window.get(), slot.toLatin1().constData()));
        QCOMPARE(bench.boxes.size(), 1);
        QCOMPARE(bench.boxes.first().title, QStringLiteral("LogFile Error"));
        QCOMPARE(bench.boxes.first().text, text);
        QCOMPARE(bench.boxes.first().icon, QMessageBox::Critical);
        QCOMPARE(bench.boxes.first().buttons, QStringList{"Ok"});
        QCOMPARE(bench.boxes.first().parent, bench.window.get());
    }

    // The log's own failure signals reach the boxes, one per failure.
    void logSignalsAreConnected()
    {
        Bench bench;
        emit bench.window->Log->LogFileNotWritable();
        emit bench.window->Log->LogFileNotWritable();
        QCOMPARE(bench.boxes.size(), 2);
        QCOMPARE(bench.boxes.at(1).text, QStringLiteral("The log file is not writable. No log will be saved."));
    }

    void genericBoxes()
    {
        Bench bench;
        bench.window->MessageBoxCritical("No stream started", "Please start the stream to save the video.");
        bench.window->MessageBoxWarning("Warning", "w");
        bench.window->MessageBoxInformation("Information", "i");
        QCOMPARE(bench.titles(), (QStringList{"No stream started", "Warning", "Information"}));
        QCOMPARE(bench.boxes.at(0).icon, QMessageBox::Critical);
        QCOMPARE(bench.boxes.at(0).text, QStringLiteral("Please start the stream to save the video."));
        QCOMPARE(bench.boxes.at(1).icon, QMessageBox::Warning);
        QCOMPARE(bench.boxes.at(2).icon, QMessageBox::Information);
    }

    void frequencyWarning()
    {
        Bench bench;
        // "Open" runs the board set-up window's action; with no board connected it first offers the connection.
        const auto opened = [&bench]() {
            int n = 0;
            for (const MessageBoxRequest& box : bench.boxes)
                n += box.title == QStringLiteral("Start connexion first");
            return n;
        };
        bench.answer = 0;
        bench.window->MessageBoxFrequencyWarning(75);
        QCOMPARE(bench.boxes.size(), 1);
        const MessageBoxRequest& box = bench.boxes.first();
        QCOMPARE(box.title, QStringLiteral("Frequency problem"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons, (QStringList{"Ok", "Open"}));
        QVERIFY(box.text.startsWith("Frequency value (75FPS) read by Kestivo is not include in the frequency list"));
        QVERIFY(box.text.endsWith("\n\nVantrel recommands to use one on the frequency tested and available (using "
                                  "Setup DigiBoard window)."));
        QCOMPARE(opened(), 0);
        bench.answer = 1;   // "Open", then "Cancel" in the connection offer
        bench.window->MessageBoxFrequencyWarning(75);
        QCOMPARE(opened(), 1);
        bench.answer = -1; // closed
        bench.window->MessageBoxFrequencyWarning(75);
        QCOMPARE(opened(), 1);
    }

    void windowCorners()
    {
        Bench bench;
        Ui::MainWindow* ui = bench.ui();
        for (QSpinBox* pSpin : {ui->spinBox_XFirst, ui->spinBox_XLast, ui->spinBox_YFirst, ui->spinBox_YLast,
                                ui->spinBox_AcqX, ui->spinBox_AcqY})
            pSpin->setRange(0, 4000);
        bench.window->CurrentProxyIndex = 11;
        ui->spinBox_XFirst->setValue(0);
        ui->spinBox_XLast->setValue(639);
        ui->spinBox_YFirst->setValue(0);
        ui->spinBox_YLast->setValue(479);
        QCOMPARE(ui->spinBox_AcqX->value(), 640);
        QCOMPARE(ui->spinBox_AcqY->value(), 480);
        QCOMPARE(GetCurrent(11, XLast), 639u);
        QCOMPARE(GetCurrent(11, YLast), 479u);
        ui->spinBox_XFirst->setValue(100);
        QCOMPARE(ui->spinBox_AcqX->value(), 540);
        QCOMPARE(GetCurrent(11, XFirst), 100u);
    }

    // ----- Keyboard and debug mode ------------------------------------------------------------

    void debugModeOnce()
    {
        Bench bench;
        MainWindow& w = *bench.window;
        QVERIFY(!w.ui->actionDebug_Mode->isEnabled());
        QTest::keyPress(&w, Qt::Key_F1);
        QVERIFY(bench.boxes.isEmpty());
        QTest::keyPress(&w, Qt::Key_F4);
        QCOMPARE(bench.titles(), QStringList{"Debug Mode enabled"});
        QCOMPARE(bench.boxes.first().text, QStringLiteral("The Debug Mode has been enabled !"));
        QCOMPARE(bench.boxes.first().icon, QMessageBox::Information);
        QVERIFY(w.ui->actionDebug_Mode->isEnabled());
        QVERIFY(w.ui->actionDebug_Mode->isVisible());
        QVERIFY(w.ui->actionDebug_Mode->isCheckable());
        // A third key held shows nothing more; nor does reaching 2 again.
        QTest::keyPress(&w, Qt::Key_F1);
        QCOMPARE(w.F1F4Count, 3);
        QTest::keyRelease(&w, Qt::Key_F1);
        QTest::keyRelease(&w, Qt::Key_F4);
        QTest::keyRelease(&w, Qt::Key_F1);
        QCOMPARE(w.F1F4Count, 0);
        QTest::keyPress(&w, Qt::Key_F4);
        QTest::keyPress(&w, Qt::Key_F1);
        QCOMPARE(bench.boxes.size(), 1);
        QCOMPARE(LogText(bench.folder).count(" : Debug Mode enabled\n"), 1);
    }

    // The same keys in a watched spin box, counted once each.
    void debugModeFromChildWidget()
    {
        Bench bench;
        MainWindow& w = *bench.window;
        QTest::keyPress(w.ui->spinBox_DAC_A, Qt::Key_F1);
        QCOMPARE(w.F1F4Count, 1);
        QTest::keyPress(w.ui->spinBox_TINT, Qt::Key_F4);
        QCOMPARE(w.F1F4Count, 2);
        QCOMPARE(bench.titles(), QStringList{"Debug Mode enabled"});
    }

    void shutterKey_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<bool>("boardCommand");
        QTest::addColumn<bool>("filterConsumes");
        QTest::newRow("none") << BoardKind::None << false << false;
        QTest::newRow("Arvex") << BoardKind::Arvex << false << false;
        QTest::newRow("Belmor") << BoardKind::Belmor << false << true;
        QTest::newRow("Belmor+") << BoardKind::BelmorPlus << true << true;
        QTest::newRow("Dunstel") << BoardKind::Dunstel << false << true;
        QTest::newRow("Eskra") << BoardKind::Eskra << false << false;
        QTest::newRow("Corvane") << BoardKind::Corvane << false << true;
    }
    void shutterKey()
    {
        QFETCH(BoardKind, kind);
        QFETCH(bool, boardCommand);
        QFETCH(bool, filterConsumes);
        sim::ResetSimulation();
        Bench bench;
        bench.selectBoard(kind);
        MainWindow& w = *bench.window;
        // The Belmor+ link is open, as after a connection: the command reaches the board.
        if (kind == BoardKind::BelmorPlus) {
            sim::SimulationSettings settings;
            for (BoardKind other : {BoardKind::Arvex, BoardKind::Belmor})
                settings.setBoardPresent(other, false);
            hSerRef ref = nullptr;
            QCOMPARE(clSerialInit(0, &ref), int32_t(CL_ERR_NO_ERR));
            g_hCameraLinkSerial = ref;
        }
        // On the window itself: one action per key press, whichever handler takes it.
        QTest::keyPress(&w, Qt::Key_S);
        QCOMPARE(sim::RecordedBytes(BoardKind::BelmorPlus, "serial"),
                 boardCommand ? QList<QByteArray>{"!s"} : QList<QByteArray>{});
        QCOMPARE(bench.fpnRequests(), boardCommand ? 0 : 1);
        QVERIFY(!LogText(bench.folder).contains("Shutter command !s not sent"));

        // In a watched child widget the filter takes the key only for some boards.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier, "s");
        QObject* pFilter = &w;
        QCOMPARE(pFilter->eventFilter(w.ui->spinBox_CKDIV, &press), filterConsumes);
        QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QVERIFY(!pFilter->eventFilter(w.ui->spinBox_CKDIV, &other));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_S, Qt::NoModifier, "s");
        QVERIFY(!pFilter->eventFilter(w.ui->spinBox_CKDIV, &release));
        CloseCameraLinkSerial();
        sim::ResetSimulation();
    }

    // The key runs the reference button's own slot.
    void shutterKeyRunsTheReferenceButton()
    {
        Bench bench;
        bench.selectBoard(BoardKind::Dunstel);
        QTest::keyPress(bench.window.get(), Qt::Key_S);
        QVERIFY(LogText(bench.folder).contains(" : Get FPN Reference Image\n"));
    }

    // ----- File picker ------------------------------------------------------------------

    void selectFileCancelled()
    {
        Bench bench;
        QTimer::singleShot(0, bench.window.get(), [&bench]() {
            auto* pDialog = bench.window->findChild<QFileDialog*>();
            QVERIFY(pDialog);
            QCOMPARE(pDialog->windowTitle(), QStringLiteral("Gain file"));
            QVERIFY(!pDialog->isModal());
            pDialog->reject();
        });
        const QString sPath = bench.window->SelectFileDialog("Gain file", "CSV files (*.csv)");
        QVERIFY(sPath.isEmpty());
        QVERIFY(LogText(bench.folder).contains(" does not seems correct. Abort.\n"));
    }

    void selectFileChosen()
    {
        Bench bench;
        const QString sFile = bench.folder.rootPath() + "/gain.csv";
        QFile file(sFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QTimer::singleShot(0, bench.window.get(), [&bench, sFile]() {
            auto* pDialog = bench.window->findChild<QFileDialog*>();
            QVERIFY(pDialog);
            pDialog->selectFile(sFile);
            static_cast<QDialog*>(pDialog)->accept();
        });
        QCOMPARE(bench.window->SelectFileDialog("Gain file", "CSV files (*.csv)"), sFile);
    }

    // ----- Advanced-user mode ------------------------------------------------------------------

    void wrongThenRightPassword()
    {
        Bench bench;
        MainWindow& w = *bench.window;
        Ui::MainWindow* ui = bench.ui();
        w.CurrentProxyIndex = 2;
        // The proxy's defaults may have enabled the advanced controls.
        for (QWidget* pWidget : {static_cast<QWidget*>(ui->spinBox_CKDIV), static_cast<QWidget*>(ui->label_CKDIV),
                                 static_cast<QWidget*>(ui->checkBox_DACFilter),
                                 static_cast<QWidget*>(ui->checkBox_InvPClock)})
            pWidget->setEnabled(true);
        ui->checkBox_InvPClock->setChecked(true);
        ui->checkBox_Advanced_user->setEnabled(true);

        Window_AdvancedUser* pPassword = w.AdvancedUserWindow;
        QVERIFY(pPassword);
        QSignalSpy pressed(pPassword, &Window_AdvancedUser::ButtonPressed);
        ui->checkBox_Advanced_user->setChecked(true);
        // Asking already locks the controls and unticks the box.
        QVERIFY(w.PasswordWindowOpen);
        QVERIFY(pPassword->isVisible());
        QVERIFY(!ui->checkBox_Advanced_user->isChecked());
        QVERIFY(!OwnEnabled(ui->spinBox_CKDIV));
        QVERIFY(!ui->checkBox_InvPClock->isChecked());

        QTest::keyClicks(pPassword->ui->lineEdit_Password, "nope");
        QTest::mouseClick(pPassword->ui->pushButton_CheckPassword, Qt::LeftButton);
        QCOMPARE(pressed.size(), 1);
        QVERIFY(pressed.first().first().toInt() != 0);
        QCOMPARE(bench.titles(), QStringList{"Warning"});
        QCOMPARE(bench.boxes.first().text, QStringLiteral("Incorrect Password. Please try again."));
        QCOMPARE(bench.boxes.first().parent, pPassword);
        QVERIFY(!pPassword->isVisible());
        QVERIFY(!w.PasswordWindowOpen);
        QCOMPARE(w.AdvancedUserAuthenticated, 0);
        QVERIFY(!ui->checkBox_Advanced_user->isChecked());
        QVERIFY(!OwnEnabled(ui->spinBox_CKDIV));
        QVERIFY(!OwnEnabled(ui->label_CKDIV));
        QVERIFY(!OwnEnabled(ui->checkBox_DACFilter));
        QVERIFY(!OwnEnabled(ui->checkBox_InvPClock));
        QVERIFY(!ui->checkBox_InvPClock->isChecked());
        for (int cell : {CKDIVEnabled, CKDIVLabelEnabled, DACFilterEnabled, InvPClockEnabled, InvPClock})
            QCOMPARE(GetCurrent(2, cell), 0u);

        ui->checkBox_Advanced_user->setChecked(true);
        QVERIFY(pPassword->isVisible());
        QVERIFY(pPassword->ui->lineEdit_Password->text().isEmpty());
        QTest::keyClicks(pPassword->ui->lineEdit_Password, "QUARTZINE");
        QTest::keyClick(pPassword->ui->lineEdit_Password, Qt::Key_Return);
        QCOMPARE(pressed.size(), 2);
        QCOMPARE(pressed.at(1).first().toInt(), 0);
        QCOMPARE(bench.boxes.size(), 1);
        QCOMPARE(w.AdvancedUserAuthenticated, 1);
        QVERIFY(!pPassword->isVisible());
        QVERIFY(ui->checkBox_Advanced_user->isChecked());
        QVERIFY(OwnEnabled(ui->spinBox_CKDIV));
        QVERIFY(OwnEnabled(ui->label_CKDIV));
        QVERIFY(OwnEnabled(ui->checkBox_DACFilter));
        QVERIFY(OwnEnabled(ui->checkBox_InvPClock));
        for (int cell : {CKDIVEnabled, CKDIVLabelEnabled, DACFilterEnabled, InvPClockEnabled})
            QCOMPARE(GetCurrent(2, cell), 1u);
        QCOMPARE(GetCurrent(2, 251), 1u);
        const QString sLog = LogText(bench.folder);
        QVERIFY(sLog.contains(" : Password incorrect\n"));
        QVERIFY(sLog.contains(" : Password correct\n"));
        QVERIFY(sLog.contains(" : Check Password\n"));
        QVERIFY(sLog.contains(" : Advanced User Mode CheckBox:1\n"));

        // Once unlocked the box locks and unlocks without asking again.
        ui->checkBox_Advanced_user->setChecked(false);
        QVERIFY(!OwnEnabled(ui->spinBox_CKDIV));
        QCOMPARE(GetCurrent(2, 251), 0u);
        ui->checkBox_Advanced_user->setChecked(true);
        QVERIFY(OwnEnabled(ui->spinBox_CKDIV));
        QVERIFY(!pPassword->isVisible());
        QCOMPARE(bench.boxes.size(), 1);
    }

    void dacFilterOnlyForFirstProxies_data()
    {
        QTest::addColumn<int>("proxy");
        QTest::addColumn<bool>("dacFilter");
        QTest::newRow("1") << 1 << true;
        QTest::newRow("3") << 3 << true;
        QTest::newRow("5") << 5 << false;
        QTest::newRow("13") << 13 << false;
    }
    void dacFilterOnlyForFirstProxies()
    {
        QFETCH(int, proxy);
        QFETCH(bool, dacFilter);
        Bench bench;
        bench.window->CurrentProxyIndex = proxy;
        bench.window->CheckPassword(0);
        QCOMPARE(OwnEnabled(bench.ui()->checkBox_DACFilter), dacFilter);
        QCOMPARE(GetCurrent(proxy, DACFilterEnabled), dacFilter ? 1u : 0u);
        QVERIFY(OwnEnabled(bench.ui()->spinBox_CKDIV));
    }

    void passwordWindowClosedWithoutAnswer()
    {
        Bench bench;
        MainWindow& w = *bench.window;
        w.CurrentProxyIndex = 2;
        Window_AdvancedUser* pPassword = w.AdvancedUserWindow;
        QSignalSpy pressed(pPassword, &Window_AdvancedUser::ButtonPressed);
        QSignalSpy closed(pPassword, &Window_AdvancedUser::WindowClosed);
        w.ui->checkBox_Advanced_user->setChecked(true);
        QVERIFY(pPassword->isVisible());
        pPassword->close();
        QCOMPARE(pressed.size(), 0);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!w.PasswordWindowOpen);
        QVERIFY(!w.ui->checkBox_Advanced_user->isChecked());
        QVERIFY(!OwnEnabled(w.ui->spinBox_CKDIV));
        QVERIFY(bench.boxes.isEmpty());
        QVERIFY(LogText(bench.folder).contains(" : Close Advanced User window\n"));
    }

    // Closing the main window does not leave the password window behind.
    void passwordWindowClosesWithTheMainWindow()
    {
        Bench bench;
        MainWindow& w = *bench.window;
        w.CurrentProxyIndex = 2;
        w.show();
        w.ui->checkBox_Advanced_user->setChecked(true);
        QVERIFY(w.AdvancedUserWindow->isVisible());
        w.close();
        QVERIFY(!w.AdvancedUserWindow->isVisible());
        QVERIFY(!w.PasswordWindowOpen);
        QVERIFY(!w.ui->checkBox_Advanced_user->isChecked());
    }

    void passwordWindowItself()
    {
        TestAppFolder folder;
        Window_AdvancedUser window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Password"));
        QCOMPARE(window.ui->lineEdit_Password->maxLength(), 50);
        QCOMPARE(window.ui->lineEdit_Password->echoMode(), QLineEdit::Password);
        QVERIFY(window.ui->pushButton_CheckPassword->autoDefault());
        QCOMPARE(window.ui->pushButton_CheckPassword->text(), QStringLiteral("Check"));
        QCOMPARE(window.ui->label_EnterPassword->text(), QStringLiteral("Please enter password"));
        QSignalSpy pressed(&window, &Window_AdvancedUser::ButtonPressed);
        QSignalSpy closed(&window, &Window_AdvancedUser::WindowClosed);
        window.show();
        window.PushButton_CheckPassword();
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(pressed.first().first().toInt(), 1); // empty text sorts first
        QCOMPARE(closed.size(), 1);
        QVERIFY(!window.isVisible());
        window.show();
        window.ui->lineEdit_Password->setText("Quartzine");
        window.ClearPassword();
        QVERIFY(window.ui->lineEdit_Password->text().isEmpty());
    }

    // ----- Activity check from the capture thread -----------------------------------------------

    void activityCheckQueuesTheTearDown()
    {
        Bench bench;
        MainWindow& w = *bench.window;
        // Never shown yet: nothing is going away.
        std::thread([&w]() { w.CheckMainWindowActiv(); }).join();
        QVERIFY(!w.StopAcquisition);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.CentralWidgetVisible);
        std::thread([&w]() { w.CheckMainWindowActiv(); }).join();
        QVERIFY(!w.StopAcquisition);

        w.Connected = true;
        w.hide();
        QVERIFY(!w.CentralWidgetVisible);
        std::thread([&w]() {
            w.CheckMainWindowActiv();
            w.CheckMainWindowActiv();
        }).join();
        // The capture thread only asked; the GUI thread tears down.
        QVERIFY(w.StopAcquisition);
        QVERIFY(w.TearDownQueued);
        QVERIFY(!LogText(bench.folder).contains("Deinitializing ..."));
        QCoreApplication::processEvents();
        // The queued tear-down ran once, on the GUI thread.
        QCOMPARE(LogText(bench.folder).count(" : Deinitializing ...\n"), 1);
        QVERIFY(!w.Connected);

        // Shown again, the next hide asks again.
        w.show();
        QVERIFY(!w.TearDownQueued);
    }

    void badPixelDetectionStatus()
    {
        Bench bench;
        bench.window->setBadPixelDetectionStatus(true);
        QVERIFY(bench.window->BadPixelDetectionRunning);
        bench.window->setBadPixelDetectionStatus(false);
        QVERIFY(!bench.window->BadPixelDetectionRunning);
    }
};

QTEST_MAIN(TestProxyGui)
#include "tst_proxy_gui.moc"
