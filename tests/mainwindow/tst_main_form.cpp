// The main form as setupUi builds it: object names, kinds, places, ranges, initial values, menus and actions.
#include "ui_MainWindow.h"

#include <QtTest>

// The form alone on a bare window, before any set-up of the main window, so
// the test sees exactly what the Designer description gives.
class TestMainForm : public QObject
{
    Q_OBJECT

private:
    QMainWindow* m_pWindow = nullptr;
    Ui::MainWindow* m_pUi = nullptr;

    QWidget* widget(const QString& p_sName) const
    {
        return m_pWindow->findChild<QWidget*>(p_sName);
    }

private slots:
    void initTestCase()
    {
        m_pWindow = new QMainWindow;
        m_pUi = new Ui::MainWindow;
        m_pUi->setupUi(m_pWindow);
    }
    void cleanupTestCase()
    {
        delete m_pUi;
        delete m_pWindow;
    }

    void windowSize()
    {
        QCOMPARE(m_pWindow->objectName(), QStringLiteral("MainWindow"));
        QCOMPARE(m_pWindow->size(), QSize(1905, 1000));
        QCOMPARE(m_pWindow->minimumSize(), QSize(500, 700));
        QCOMPARE(m_pWindow->maximumSize(), QSize(1905, 1000));
        QCOMPARE(m_pWindow->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(m_pWindow->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(m_pWindow->windowTitle(), QStringLiteral("MainWindow"));
        QCOMPARE(m_pWindow->centralWidget(), m_pUi->centralWidget);
        QCOMPARE(m_pWindow->statusBar(), m_pUi->statusBar);
        QCOMPARE(m_pUi->menuBar->geometry(), QRect(0, 0, 1905, 20));
        // The window can be made smaller down to its minimum, never larger.
        m_pWindow->resize(400, 600);
        QCOMPARE(m_pWindow->size(), QSize(500, 700));
        m_pWindow->resize(2500, 1400);
        QCOMPARE(m_pWindow->size(), QSize(1905, 1000));
        m_pWindow->resize(1905, 1000);
    }

    void objectKindCounts()
    {
        // Every object of the central widget, itself included.
        QMap<QString, int> counts;
        QList<QWidget*> all = m_pUi->centralWidget->findChildren<QWidget*>();
        all << m_pUi->centralWidget;
        for (QWidget* pWidget : all) {
            if (pWidget->objectName().isEmpty() || pWidget->objectName().startsWith(QLatin1String("qt_")))
                continue; // scroll bars, viewports and other Qt internals
            const QString sClass = QString::fromLatin1(pWidget->metaObject()->className());
            counts[sClass == "Line" ? QStringLiteral("QFrame") : sClass]++;
        }
        const QMap<QString, int> expected = {
            {"QLabel", 67},      {"QCheckBox", 40},  {"QFrame", 25},     {"QPushButton", 21},
            {"QSpinBox", 17},    {"QGroupBox", 13},  {"QSlider", 7},     {"QWidget", 4},
            {"QComboBox", 4},    {"QScrollArea", 3}, {"QDoubleSpinBox", 2}, {"QLineEdit", 2}};
        QCOMPARE(counts, expected);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QVariantMap>("properties");

        auto row = [](const char* name, const char* kind, const char* parent, QRect geo, QVariantMap props = {}) {
            QTest::newRow(name) << QString(kind) << QString(parent) << geo << props;
        };
        // Central widget and the control column
        row("groupBox_SensorParameters", "QGroupBox", "centralWidget", {10, 60, 481, 121},
            {{"title", "Advanced User : Sensor Parameters"}, {"flat", true}});
        row("groupBox_BadPixeCorrection", "QGroupBox", "centralWidget", {10, 500, 481, 51},
            {{"title", "BadPixel Correction"}, {"flat", true}});
        row("pushButton_Start", "QPushButton", "centralWidget", {300, 5, 191, 31},
            {{"text", "Connect"}, {"toolTip", "Start the acquisition"}, {"enabled", true}});
        row("comboBox_SelectDigiBoard", "QComboBox", "centralWidget", {10, 10, 111, 21},
            {{"count", 1}, {"currentIndex", 0}, {"currentText", "Select digi board"},
             {"toolTip", "Select the Digi Board"}});
        row("checkBox_2Tap", "QCheckBox", "centralWidget", {430, 40, 51, 21},
            {{"text", "2Tap"}, {"toolTip", "Does the Belmor+ work in 2Tap Mode ?"}, {"checked", false}});
        row("checkBox_WindowingEnabled", "QCheckBox", "centralWidget", {300, 40, 121, 21},
            {{"text", "Windowing enabled"}, {"toolTip", "Does the Belmor+ work in 2Tap Mode ?"}});
        row("label_State", "QLabel", "centralWidget", {340, 930, 151, 20},
            {{"text", "Ready"}, {"alignment", int(Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter)}});
        row("label_Copyright", "QLabel", "centralWidget", {10, 940, 481, 20}, {{"text", "COPYRIGHT"}});
        row("label_Info_Proxy_Freq", "QLabel", "centralWidget", {60, 35, 241, 16}, {{"text", ""}});
        row("label_IMG", "QLabel", "centralWidget", {570, 30, 1024, 768},
            {{"minimumSize", QSize(1024, 768)}, {"maximumSize", QSize(1024, 768)}, {"mouseTracking", true},
             {"alignment", int(Qt::AlignCenter)}});
        row("scrollArea", "QScrollArea", "centralWidget", {520, 10, 1081, 941},
            {{"minimumSize", QSize(1030, 775)}, {"maximumSize", QSize(1920, 1080)}, {"mouseTracking", true},
             {"widgetResizable", false}, {"alignment", int(Qt::AlignCenter)},
             {"horizontalScrollBarPolicy", int(Qt::ScrollBarAlwaysOff)},
             {"verticalScrollBarPolicy", int(Qt::ScrollBarAlwaysOff)}});
        row("line_8", "QFrame", "centralWidget", {490, 10, 3, 941}, {{"frameShape", int(QFrame::VLine)}});
        row("line_10", "QFrame", "centralWidget", {1600, 10, 3, 941}, {{"frameShape", int(QFrame::VLine)}});
        row("line_11", "QFrame", "centralWidget", {10, 54, 481, 3}, {{"frameShape", int(QFrame::HLine)}});
        // Sensor parameters
        row("checkBox_Gain0", "QCheckBox", "groupBox_SensorParameters", {190, 50, 61, 21},
            {{"text", "Gain1"}, {"checked", true}});
        row("checkBox_Gain1", "QCheckBox", "groupBox_SensorParameters", {190, 70, 61, 21},
            {{"text", "Gain2"}, {"checked", false}});
        row("checkBox_Gain2", "QCheckBox", "groupBox_SensorParameters", {190, 90, 61, 21},
            {{"text", "Gain3"}, {"checked", false}});
        row("checkBox_GMS", "QCheckBox", "groupBox_SensorParameters", {7, 20, 61, 31},
            {{"text", "GMS"}, {"checked", true}});
        row("checkBox_SizeB", "QCheckBox", "groupBox_SensorParameters", {310, 70, 51, 21}, {{"checked", true}});
        row("checkBox_OAdj2", "QCheckBox", "groupBox_SensorParameters", {20, 50, 51, 19},
            {{"text", "OAdj2"}, {"checked", false}});
        row("checkBox_Ref0", "QCheckBox", "groupBox_SensorParameters", {140, 70, 51, 19},
            {{"text", "Ref0"}, {"checked", false}});
        row("spinBox_YFirst", "QSpinBox", "groupBox_SensorParameters", {370, 50, 51, 20},
            {{"minimum", 0}, {"maximum", 500}, {"value", 0}});
        row("spinBox_YLast", "QSpinBox", "groupBox_SensorParameters", {370, 70, 51, 20},
            {{"minimum", 0}, {"maximum", 767}, {"value", 767}});
        row("spinBox_XLast", "QSpinBox", "groupBox_SensorParameters", {430, 20, 51, 20},
            {{"maximum", 1028}, {"value", 1027}});
        row("spinBox_AcqX", "QSpinBox", "groupBox_SensorParameters", {420, 40, 51, 20},
            {{"maximum", 1029}, {"value", 1028}});
        row("spinBox_AcqY", "QSpinBox", "groupBox_SensorParameters", {420, 60, 50, 20},
            {{"maximum", 768}, {"value", 768}});
        row("pushButton_SetWindow", "QPushButton", "groupBox_SensorParameters", {410, 90, 61, 21},
            {{"text", "Set window"}, {"toolTip", "Send commands for Windowing"}});
        // Proxy parameters: the slider and spin box of TINT start apart
        row("horizontalSlider_TINT", "QSlider", "groupBox_ProxyParameters", {70, 20, 281, 23},
            {{"minimum", 13}, {"maximum", 1024}, {"value", 256}, {"pageStep", 5}, {"tickInterval", 50},
             {"tickPosition", int(QSlider::NoTicks)}, {"orientation", int(Qt::Horizontal)}});
        row("spinBox_TINT", "QSpinBox", "groupBox_ProxyParameters", {360, 20, 56, 22},
            {{"minimum", 15}, {"maximum", 511}, {"value", 497}});
        row("horizontalSlider_DAC_B", "QSlider", "groupBox_ProxyParameters", {70, 80, 281, 23},
            {{"minimum", 0}, {"maximum", 4095}, {"value", 815}});
        row("spinBox_DAC_C", "QSpinBox", "groupBox_ProxyParameters", {360, 110, 56, 22},
            {{"maximum", 4095}, {"value", 3550}});
        row("spinBox_DAC_D", "QSpinBox", "groupBox_ProxyParameters", {360, 140, 56, 22},
            {{"maximum", 4095}, {"value", 1992}});
        row("spinBox_CKDIV", "QSpinBox", "groupBox_ProxyParameters", {90, 180, 51, 22},
            {{"minimum", 0}, {"maximum", 4095}, {"value", 4}});
        row("label_ADD0C", "QLabel", "groupBox_ProxyParameters", {26, 114, 41, 31},
            {{"text", "DAC C"}, {"alignment", int(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignTop)}});
        row("label_Voltage_ADD0D", "QLabel", "groupBox_ProxyParameters", {430, 140, 41, 20}, {{"text", "0V"}});
        row("pushButton_SetParameters", "QPushButton", "groupBox_ProxyParameters", {380, 170, 91, 41},
            {{"text", "Set\nparameters"}, {"toolTip", "Send BIAS, Int Time and Sensor Parameters values"}});
        row("checkBox_Enable_DAC_A", "QCheckBox", "groupBox_ProxyParameters", {7, 50, 21, 21},
            {{"text", ""}, {"checked", true}});
        row("checkBox_Advanced_user", "QCheckBox", "groupBox_ProxyParameters", {7, 180, 21, 21},
            {{"text", ""}, {"checked", false}});
        row("checkBox_DACFilter", "QCheckBox", "groupBox_ProxyParameters", {250, 180, 71, 21}, {{"text", "Bias Filter"}});
        // NUC
        row("spinBox_Number_Images_AverageFPN", "QSpinBox", "groupBox_NUC", {430, 20, 43, 22},
            {{"minimum", 1}, {"maximum", 99}, {"value", 10}});
        row("checkBox_Enable_AverageFPN", "QCheckBox", "groupBox_NUC", {250, 20, 161, 21},
            {{"text", "Average FPN on 10 images"}});
        row("pushButton_Take_FPN_Reference", "QPushButton", "groupBox_NUC", {360, 60, 111, 41},
            {{"text", "Take FPN\nReference"}});
        // Bad pixels
        row("pushButton_SelectBPFile", "QPushButton", "groupBox_BadPixeCorrection", {10, 20, 101, 21},
            {{"text", "Select BP file"}, {"enabled", false}});
        row("label_BPFile", "QLabel", "groupBox_BadPixeCorrection", {120, 20, 221, 31},
            {{"text", ""}, {"wordWrap", true}});
        row("comboBox_BPCorrectionMode", "QComboBox", "groupBox_BadPixeCorrection", {350, 20, 121, 22},
            {{"count", 1}, {"currentText", "BP Correction"}});
        // Display
        row("horizontalSlider_ImageOffset", "QSlider", "groupBox_DisplayParameters", {60, 50, 281, 23},
            {{"minimum", -65535}, {"maximum", 100000}, {"value", 0}, {"pageStep", 500}, {"tickInterval", 5000}});
        row("spinBox_ImageOffset", "QSpinBox", "groupBox_DisplayParameters", {350, 50, 71, 22},
            {{"minimum", -65535}, {"maximum", 100000}, {"singleStep", 500}, {"value", 0},
             {"alignment", int(Qt::AlignCenter)}});
        row("horizontalSlider_ImageGain", "QSlider", "groupBox_DisplayParameters", {60, 20, 281, 23},
            {{"minimum", 1}, {"maximum", 64}, {"value", 1}, {"pageStep", 2}});
        row("spinBox_AGC_Centre", "QSpinBox", "groupBox_DisplayParameters", {250, 100, 61, 22},
            {{"maximum", 255}, {"value", 1}});
        row("spinBox_AGC_GainClip", "QSpinBox", "groupBox_DisplayParameters", {170, 100, 65, 22},
            {{"maximum", 64}, {"value", 1}});
        row("spinBox_Gamma", "QDoubleSpinBox", "groupBox_DisplayParameters", {170, 130, 62, 22},
            {{"minimum", 0.2}, {"maximum", 5.0}, {"singleStep", 0.1}, {"decimals", 1}, {"value", 1.0}});
        row("comboBox_BayerMode", "QComboBox", "groupBox_DisplayParameters", {250, 130, 81, 22},
            {{"currentText", "Bayer ..."}});
        row("comboBox_InterpolationMethod", "QComboBox", "groupBox_DisplayParameters", {350, 130, 121, 23},
            {{"currentText", "Interpolation Mode"}});
        row("checkBox_InvertBW", "QCheckBox", "groupBox_DisplayParameters", {10, 130, 81, 21}, {{"text", "Invert B/W"}});
        row("pushButton_Reset_Gain_Offset", "QPushButton", "groupBox_DisplayParameters", {430, 20, 41, 51},
            {{"text", "Reset"}});
        // Saving
        row("lineEdit_FileName", "QLineEdit", "groupBox_SaveImage", {70, 25, 111, 21},
            {{"text", "Snapshot_.bmp"}, {"readOnly", true}});
        row("checkBox_RAW", "QCheckBox", "groupBox_SaveImage", {110, 90, 71, 21}, {{"enabled", false}});
        row("checkBox_JPG", "QCheckBox", "groupBox_SaveImage", {60, 90, 51, 21},
            {{"text", "JPEG"}, {"enabled", false}});
        row("checkBox_SaveStream", "QCheckBox", "groupBox_SaveImage", {10, 65, 201, 21},
            {{"text", "Save stream with a 100 ms period"}, {"enabled", true}});
        row("pushButton_SaveAllFrames", "QPushButton", "groupBox_SaveImage", {290, 25, 141, 21},
            {{"text", "Save all frames BMP"}});
        row("checkBox_SaveAllDisplayedImageRAW", "QCheckBox", "groupBox_SaveImage", {220, 70, 111, 41},
            {{"text", "Save displayed\nimages in\n16-bit RAW"}});
        // Recording
        row("lineEdit_FileNameVideo", "QLineEdit", "groupBox_RecordingVideo", {70, 60, 101, 21},
            {{"text", "Video.avi"}, {"readOnly", false}});
        row("spinBox_FrameRate", "QDoubleSpinBox", "groupBox_RecordingVideo", {250, 60, 62, 22},
            {{"minimum", 1.0}, {"maximum", 255.0}, {"singleStep", 1.0}, {"decimals", 1}, {"value", 30.0}});
        row("pushButton_RecordVideo", "QPushButton", "groupBox_RecordingVideo", {340, 30, 121, 51},
            {{"text", "Start\nRecording Video"}});
        row("label_REC_Img", "QLabel", "groupBox_RecordingVideo", {290, 32, 16, 16}, {{"scaledContents", true}});
        row("checkBox_LaunchVideoAfterRecord", "QCheckBox", "groupBox_RecordingVideo", {120, 30, 161, 21},
            {{"text", "Launch video after recording "}});
        // Information column
        row("groupBox_Information", "QGroupBox", "centralWidget", {1630, 10, 271, 771}, {{"title", "Information"}});
        row("groupBox_DigiBoard", "QGroupBox", "groupBox_Information", {10, 20, 251, 161}, {{"title", "Digi Board"}});
        row("label_Connection_Val", "QLabel", "groupBox_DigiBoard", {110, 20, 121, 16},
            {{"text", "NONE"}, {"textFormat", int(Qt::PlainText)}});
        row("label_Configuration_Val", "QLabel", "groupBox_DigiBoard", {110, 40, 71, 16}, {{"text", "Default"}});
        row("pushButton_SaveConfiguration", "QPushButton", "groupBox_DigiBoard", {20, 110, 80, 41},
            {{"text", "Save current\nconfiguration"}});
        row("label_Framerate_Acq_Val", "QLabel", "groupBox_Image", {110, 70, 121, 16}, {{"text", "0 FPS"}});
        row("label_Bandwidth_Val", "QLabel", "groupBox_Image", {110, 140, 121, 16}, {{"text", "0 Mbits/s"}});
        row("label_TapMode_Val", "QLabel", "groupBox_Image", {110, 160, 71, 16}, {{"text", "1 Tap"}});
        row("label_NUCType_Val", "QLabel", "groupBox_Image", {110, 180, 71, 16}, {{"text", "Software"}});
        row("label_MinValue_Val", "QLabel", "groupBox_Image", {95, 210, 31, 16}, {{"text", "0"}});
        row("label_Y_Pos_Val", "QLabel", "groupBox_Cursor", {90, 40, 41, 21}, {{"text", "0"}});
        row("label_X_Pos", "QLabel", "groupBox_Cursor", {10, 20, 91, 16}, {{"text", "X position"}});
        row("label_Histogram", "QScrollArea", "groupBox_Histogram", {10, 40, 224, 161},
            {{"autoFillBackground", true}, {"frameShape", int(QFrame::Box)}, {"frameShadow", int(QFrame::Plain)},
             {"widgetResizable", false}, {"horizontalScrollBarPolicy", int(Qt::ScrollBarAlwaysOff)}});
        row("line_Vert_Histo_127", "QFrame", "groupBox_Histogram", {123, 200, 1, 10},
            {{"frameShape", int(QFrame::VLine)}, {"frameShadow", int(QFrame::Plain)}, {"lineWidth", 1}});
        row("line_Hori_Abs", "QFrame", "groupBox_Histogram", {10, 200, 220, 1},
            {{"frameShape", int(QFrame::HLine)}, {"frameShadow", int(QFrame::Plain)}});
        row("label_Val_255", "QLabel", "groupBox_Histogram", {223, 210, 20, 16},
            {{"text", "255"}, {"alignment", int(Qt::AlignCenter)}});
        row("label_NbPixelMax", "QLabel", "groupBox_Histogram", {10, 20, 221, 16}, {{"text", ""}});
        row("pushButton_SizeUp", "QPushButton", "groupBox_Histogram", {230, 20, 21, 21},
            {{"text", ""}, {"flat", true}, {"iconSize", QSize(21, 21)}});
        row("pushButton_SaveHistogramCSV", "QPushButton", "groupBox_Information", {140, 740, 111, 21},
            {{"text", "Save Histogram CSV"}});
        // Miniature
        row("label_Miniature", "QScrollArea", "groupBox_MiniatureImage", {70, 30, 180, 135},
            {{"widgetResizable", true}, {"verticalScrollBarPolicy", int(Qt::ScrollBarAlwaysOff)}});
        row("pushButton_ZoomM", "QPushButton", "groupBox_MiniatureImage", {10, 140, 51, 21},
            {{"text", "Zoom -"}, {"enabled", false}});
        row("pushButton_ZoomP", "QPushButton", "groupBox_MiniatureImage", {10, 110, 51, 21},
            {{"text", "Zoom +"}, {"enabled", false}});
    }

    void controls()
    {
        QFETCH(QString, kind);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        QFETCH(QVariantMap, properties);

        QWidget* pWidget = widget(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY2(pWidget, QTest::currentDataTag());
        QCOMPARE(QString::fromLatin1(pWidget->metaObject()->className()), kind);
        QVERIFY(pWidget->parentWidget());
        QCOMPARE(pWidget->parentWidget()->objectName(), parent);
        QCOMPARE(pWidget->geometry(), geometry);
        for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
            QVariant actual = pWidget->property(it.key().toLatin1().constData());
            QVERIFY2(actual.isValid(), qPrintable(it.key()));
            QVariant wanted = it.value();
            if (actual.userType() != wanted.userType() && wanted.canConvert(actual.userType()))
                wanted.convert(actual.userType());
            if (actual.userType() != QMetaType::Int && wanted.userType() == QMetaType::Int)
                actual.convert(QMetaType::Int); // enums and flags compare as numbers
            QVERIFY2(actual == wanted, qPrintable(it.key() + ": " + actual.toString() + " != " + wanted.toString()));
        }
    }

    void scrollAreaContents()
    {
        QCOMPARE(m_pUi->scrollArea->widget(), m_pUi->scrollAreaWidgetContents);
        // The scroll area places its content itself; the form gives the size.
        QCOMPARE(m_pUi->scrollAreaWidgetContents->size(), QSize(1028, 773));
        QCOMPARE(m_pUi->label_Histogram->widget(), m_pUi->scrollAreaWidget_Histo);
        QCOMPARE(m_pUi->scrollAreaWidget_Histo->geometry(), QRect(0, 0, 218, 159));
        QCOMPARE(m_pUi->label_Miniature->widget(), m_pUi->scrollAreaWidgetContents_2);
    }

    void fonts()
    {
        QCOMPARE(m_pUi->pushButton_Start->font().pointSize(), 8);
        QVERIFY(m_pUi->pushButton_Start->font().kerning());
        QCOMPARE(m_pUi->pushButton_SetParameters->font().pointSize(), 8);
        QVERIFY(!m_pUi->pushButton_SetParameters->font().kerning());
        QCOMPARE(m_pUi->label_Copyright->font().pointSize(), 7);
        QVERIFY(!m_pUi->label_Copyright->font().bold());
        QVERIFY(!m_pUi->groupBox_DisplayParameters->font().bold());
        QCOMPARE(m_pUi->pushButton_SetParameters->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
        QCOMPARE(m_pUi->pushButton_SetParameters->sizePolicy().verticalPolicy(), QSizePolicy::Ignored);
    }

    void palettes()
    {
        const QColor placeholder(231, 231, 231, 128);
        int common = 0;
        int value = 0;
        for (QWidget* pWidget : m_pUi->centralWidget->findChildren<QWidget*>()) {
            const QString sName = pWidget->objectName();
            if (sName.isEmpty() || sName.startsWith(QLatin1String("qt_")) || sName.startsWith(QLatin1String("scrollAreaWidget")))
                continue;
            const QPalette palette = pWidget->palette();
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                QVERIFY2(palette.color(group, QPalette::PlaceholderText) == placeholder, qPrintable(sName));
            if (sName.endsWith(QLatin1String("_Val"))) {
                ++value;
                QCOMPARE(palette.color(QPalette::Active, QPalette::WindowText), QColor(130, 130, 130));
                QCOMPARE(palette.color(QPalette::Inactive, QPalette::WindowText), QColor(130, 130, 130));
                QCOMPARE(palette.color(QPalette::Disabled, QPalette::WindowText), QColor(160, 160, 160));
                QCOMPARE(palette.color(QPalette::Disabled, QPalette::Light), QColor(134, 134, 134));
                QCOMPARE(palette.color(QPalette::Active, QPalette::Text), QColor(127, 127, 127));
                QCOMPARE(palette.color(QPalette::Disabled, QPalette::Text), QColor(160, 160, 160));
            } else {
                ++common;
            }
        }
        QCOMPARE(value, 18);
        QCOMPARE(common, 183);
    }

    void comboPlaceholders_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("comboBox_SelectDigiBoard") << "Select digi board";
        QTest::newRow("comboBox_BPCorrectionMode") << "BP Correction";
        QTest::newRow("comboBox_InterpolationMethod") << "Interpolation Mode";
        QTest::newRow("comboBox_BayerMode") << "Bayer ...";
    }
    void comboPlaceholders()
    {
        QFETCH(QString, item);
        auto* pCombo = m_pWindow->findChild<QComboBox*>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(pCombo);
        QCOMPARE(pCombo->count(), 1);
        QCOMPARE(pCombo->itemText(0), item);
        QCOMPARE(pCombo->currentIndex(), 0);
    }

    // The form connects nothing: a click on a control reaches no slot.
    void connectsNothing()
    {
        // (Menus connect to their own entries, so the action checked here is in no menu.)
        const QList<QPair<QObject*, QMetaMethod>> signalsToCheck = {
            {m_pUi->pushButton_Start, QMetaMethod::fromSignal(&QPushButton::released)},
            {m_pUi->pushButton_Start, QMetaMethod::fromSignal(&QPushButton::clicked)},
            {m_pUi->pushButton_Take_Snapshot, QMetaMethod::fromSignal(&QPushButton::clicked)},
            {m_pUi->checkBox_AGC, QMetaMethod::fromSignal(&QCheckBox::stateChanged)},
            {m_pUi->spinBox_TINT, QMetaMethod::fromSignal(QOverload<int>::of(&QSpinBox::valueChanged))},
            {m_pUi->horizontalSlider_ImageGain, QMetaMethod::fromSignal(&QSlider::valueChanged)},
            {m_pUi->comboBox_SelectDigiBoard, QMetaMethod::fromSignal(QOverload<int>::of(&QComboBox::currentIndexChanged))},
            {m_pUi->action_AboutUs, QMetaMethod::fromSignal(&QAction::triggered)},
            {m_pUi->action_FireLUT, QMetaMethod::fromSignal(&QAction::toggled)}};
        for (const auto& check : signalsToCheck)
            // disconnect() with wildcards reports whether it broke a connection of that signal.
            QVERIFY2(!QObject::disconnect(check.first, check.second, nullptr, QMetaMethod()),
                     qPrintable(check.first->objectName() + "." + check.second.name()));
    }

    void menuBar()
    {
        QStringList titles;
        QStringList names;
        for (QAction* pAction : m_pUi->menuBar->actions()) {
            titles << pAction->text();
            names << pAction->menu()->objectName();
        }
        QCOMPARE(titles, (QStringList{"File", "View", "Configuration", "Datasheets", "Log", "?"}));
        QCOMPARE(names, (QStringList{"menu_File", "menu_View", "menu_Configuration", "menuDatasheet", "menuLog", "menu"}));
    }

    void menuEntries_data()
    {
        QTest::addColumn<QStringList>("entries");
        // "-" is a separator, ">name" a submenu.
        QTest::newRow("menu_File") << QStringList{"-", ">menu_DemoMode_Options", ">menu_MainDisplay", "-",
                                                  "actionDebug_Mode", "actionAuto_Start", "actionAuto_NUC",
                                                  "actionExit"};
        QTest::newRow("menu_DemoMode_Options") << QStringList{"actionDemoMode", "actionDualView"};
        QTest::newRow("menu_MainDisplay") << QStringList{"actionDisplay_1", "actionDisplay_2"};
        QTest::newRow("menu_View") << QStringList{"action_OpenCommandsWindow", "action_OpenTerminal",
                                                  "action_Advanced_Histogram", "action_CablibrationScript"};
        QTest::newRow("menu_Configuration")
            << QStringList{"action_ResetParameters", "action_OpenBPOffsetWindow",
                           "action_Send_I2C_Configuration_file", "action_OpenSetupDigiBoardWindow", ">menu_NUC", "-",
                           "action_SoftwareBPCorrection", "action_SaveImages_Configuration", "-", ">menuEnable_Color",
                           "action_WindowingConfiguration", "actionProxy_Test", "actionDetectBP"};
        QTest::newRow("menu_NUC") << QStringList{"action_NUCHardware", "action_NUCSoftware"};
        QTest::newRow("menuEnable_Color") << QStringList{"action_FireLUT", "action_CoolLUT", "action_CustomLUT"};
        QTest::newRow("menuDatasheet") << QStringList{"-", "-", "action_Datasheet_DigiBoard",
                                                      "action_Datasheet_Proxy", "action_Datasheet_Kestivo"};
        QTest::newRow("menuLog") << QStringList{"action_Open_LogFile", "action_Rename_LogFile",
                                                "action_Erase_LogFile_content"};
        QTest::newRow("menu") << QStringList{"action_Website", "action_About_Kestivo"};
    }
    void menuEntries()
    {
        QFETCH(QStringList, entries);
        auto* pMenu = m_pWindow->findChild<QMenu*>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(pMenu);
        QStringList actual;
        for (QAction* pAction : pMenu->actions()) {
            if (pAction->isSeparator())
                actual << "-";
            else if (pAction->menu())
                actual << ">" + pAction->menu()->objectName();
            else
                actual << pAction->objectName();
        }
        QCOMPARE(actual, entries);
    }

    void submenuTitles()
    {
        QCOMPARE(m_pUi->menu_DemoMode_Options->title(), QStringLiteral("Demo Mode Option"));
        QCOMPARE(m_pUi->menu_MainDisplay->title(), QStringLiteral("Main Display"));
        QCOMPARE(m_pUi->menu_NUC->title(), QStringLiteral("NUC"));
        QCOMPARE(m_pUi->menuEnable_Color->title(), QStringLiteral("LUT"));
        QCOMPARE(m_pUi->menu_NUC->parent(), m_pUi->menu_Configuration);
    }

    void actions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("checkable");
        QTest::addColumn<bool>("checked");
        auto row = [](const char* name, const char* text, const char* shortcut = "", bool checkable = false,
                      bool checked = false) {
            QTest::newRow(name) << QString(text) << QString(shortcut) << checkable << checked;
        };
        row("action_AboutUs", "Abous us");
        row("action_SignalABug", "Signal a bug");
        row("actionExit", "Exit");
        row("actionZ668P", "Z668P");
        row("actionY1437P", "Y1437P");
        row("action_Disclaimer", "Disclaimer");
        row("actionMaximized", "FullScreen", "F11");
        row("actionMinimized", "Minimized");
        row("action_ResetParameters", "Reset parameters");
        row("action_Datasheet_DigiBoard", "DigiBoard");
        row("actionPordexv2", "Belmor+");
        row("actionDrellin", "Corvane");
        row("action_Datasheet_Kestivo", "Kestivo");
        row("action_OpenTerminal", "Terminal", "F12");
        row("action_OpenCommandsWindow", "Commands", "F5");
        row("action_OpenSetupDigiBoardWindow", "Setup DigiBoard", "F6");
        row("action_OpenBPOffsetWindow", "Adjust Offset BadPixels");
        row("actionDunstel", "Dunstel");
        row("actionSaveAllFrames", "Save all frames in RAW");
        row("actionDisplay_1", "Display_1");
        row("actionDisplay_2", "Display_2");
        row("actionDemoMode", "Demo Mode", "F10");
        row("actionDualView", "Dual View", "", true);
        row("action_NUCHardware", "Hardware", "", true);
        row("action_NUCSoftware", "Software", "", true);
        row("actionInformation_window", "Information window");
        row("actionDebug", "Debug", "Ctrl+Alt+F12");
        row("actionDebug_Mode", "Debug Mode");
        row("action_Datasheet_Proxy", "Proxy");
        row("action_SoftwareBPCorrection", "BP Correction Software Mode", "", true, true);
        row("action_SaveImages_Configuration", "Setup Saving files");
        row("action_Open_LogFile", "Open Log File");
        row("action_Rename_LogFile", "Rename Current Log File");
        row("action_Erase_LogFile_content", "Erase Log File content");
        row("action_Advanced_Histogram", "Advanced Histogram");
        row("action_Website", "Website");
        row("action_Send_I2C_Configuration_file", "Send I2C Configuration file");
        row("action_FireLUT", "Fire", "", true);
        row("action_CoolLUT", "Cool", "", true);
        row("action_CustomLUT", "Custom", "", true);
        row("action_DisplayTemperaturecolumn", "Display Temperature column", "", true, true);
        row("action_CablibrationScript", "Calibration Window");
        row("actionAuto_Start", "Auto Start", "", true);
        row("actionAuto_NUC", "Auto 1-pt NUC", "", true);
        row("action_WindowingConfiguration", "Windowing configuration");
        row("actionProxy_Test", "Proxy Test");
        row("actionDetectBP", "Auto Detect BadPixel");
        row("action_About_Kestivo", "About Kestivo");
    }
    void actions()
    {
        QFETCH(QString, text);
        QFETCH(QString, shortcut);
        QFETCH(bool, checkable);
        QFETCH(bool, checked);
        auto* pAction = m_pWindow->findChild<QAction*>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(pAction);
        QCOMPARE(pAction->parent(), m_pWindow);
        QCOMPARE(pAction->text(), text);
        QCOMPARE(pAction->shortcut(), QKeySequence(shortcut));
        QCOMPARE(pAction->isCheckable(), checkable);
        QCOMPARE(pAction->isChecked(), checked);
        QVERIFY(pAction->isEnabled());
        QVERIFY(pAction->isVisible());
        QVERIFY(pAction->icon().isNull());
    }

    void actionOrderAndCheckedOnes()
    {
        // The record's actions: 57, of which exactly two start checked.
        QStringList checked;
        int count = 0;
        for (QAction* pAction : m_pWindow->findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (pAction->objectName().isEmpty() || pAction->objectName().startsWith(QLatin1String("menu")))
                continue; // separators and the menus' own actions
            ++count;
            if (pAction->isChecked())
                checked << pAction->objectName();
        }
        QCOMPARE(count, 57);
        checked.sort();
        QCOMPARE(checked, (QStringList{"action_DisplayTemperaturecolumn", "action_SoftwareBPCorrection"}));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_main_form.moc"
