// The main-window controls by name: every name reaches a control of the form, and each call reaches the widget it names.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include <QtTest>

class tst_control_names : public QObject
{
    Q_OBJECT

private slots:
    // A name that reaches no control would turn the board code's calls into
    // warnings and no change.
    void everyNameReachesItsControl()
    {
        MainWindow w;
        QtMessageHandler previous = qInstallMessageHandler([](QtMsgType p_Type, const QMessageLogContext&,
                                                               const QString& p_sText) {
            if (p_Type == QtWarningMsg && p_sText.startsWith(QLatin1String("Main control")))
                QFAIL(qPrintable(p_sText));
        });
        for (int i = 0; i < MainControlCount; ++i)
            w.SetControlEnabled(MainControl(i), true);
        qInstallMessageHandler(previous);
    }

    void valuesReachTheNamedWidget_data()
    {
        QTest::addColumn<int>("control");
        QTest::addColumn<QString>("widgetName");
        QTest::addColumn<int>("value");
        QTest::newRow("TINT spin box") << int(MainControl::TINTSpinBox) << "spinBox_TINT" << 40;
        QTest::newRow("TINT slider") << int(MainControl::TINTSlider) << "horizontalSlider_TINT" << 41;
        QTest::newRow("DAC D") << int(MainControl::DACDSpinBox) << "spinBox_DAC_D" << 7;
        QTest::newRow("image offset slider") << int(MainControl::ImageOffsetSlider) << "horizontalSlider_ImageOffset" << 5;
        QTest::newRow("X last corner") << int(MainControl::XLastSpinBox) << "spinBox_XLast" << 9;
        QTest::newRow("Bayer mode index") << int(MainControl::BayerModeBox) << "comboBox_BayerMode" << 1;
    }
    void valuesReachTheNamedWidget()
    {
        QFETCH(int, control);
        QFETCH(QString, widgetName);
        QFETCH(int, value);
        MainWindow w;
        QWidget* pWidget = w.findChild<QWidget*>(widgetName);
        QVERIFY(pWidget);
        pWidget->setEnabled(true);
        w.SetControlRange(MainControl(control), 0, 100);
        w.SetControlValue(MainControl(control), value);
        QCOMPARE(w.ControlValue(MainControl(control)), value);
        QCOMPARE(pWidget->property(qobject_cast<QComboBox*>(pWidget) ? "currentIndex" : "value").toInt(), value);
    }

    // The quiet form sets the value without the control's slots running.
    void quietValueEmitsNothing()
    {
        MainWindow w;
        QSignalSpy spy(w.ui->spinBox_XFirst, qOverload<int>(&QSpinBox::valueChanged));
        const int iValue = w.ui->spinBox_XFirst->value() + 1;
        w.SetControlValueQuietly(MainControl::XFirstSpinBox, iValue);
        QCOMPARE(w.ui->spinBox_XFirst->value(), iValue);
        QCOMPARE(spy.count(), 0);
        w.SetControlValue(MainControl::XFirstSpinBox, iValue + 1);
        QCOMPARE(spy.count(), 1);
    }

    // Check boxes and actions alike; a click runs what the operator's click runs.
    void checksAndClicks()
    {
        MainWindow w;
        w.SetControlChecked(MainControl::FireLUTAction, false);
        QVERIFY(!w.ui->action_FireLUT->isChecked());
        // Its group boxes start disabled, and a disabled box takes no click.
        for (QWidget* pWidget = w.ui->checkBox_Gain1; pWidget != nullptr; pWidget = pWidget->parentWidget())
            pWidget->setEnabled(true);
        const bool bBefore = w.ui->checkBox_Gain1->isChecked();
        QSignalSpy clicked(w.ui->checkBox_Gain1, &QAbstractButton::clicked);
        w.ClickControl(MainControl::Gain1Box);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(w.ControlChecked(MainControl::Gain1Box), !bBefore);
        w.SetControlText(MainControl::StateLabel, QStringLiteral("Ready"));
        QCOMPARE(w.ui->label_State->text(), QStringLiteral("Ready"));
        w.ClearControlText(MainControl::StateLabel);
        QVERIFY(w.ui->label_State->text().isEmpty());
        w.SetControlText(MainControl::StartButton, QStringLiteral("Safe\ndisconnection"));
        QCOMPARE(w.ControlText(MainControl::StartButton), QStringLiteral("Safe\ndisconnection"));
    }
};

QTEST_MAIN(tst_control_names)
#include "tst_control_names.moc"
