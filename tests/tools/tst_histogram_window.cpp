// The advanced histogram window driven by object name: images through the main window's signal, controls, tracking line, exports, and its life from the menu action to its destruction on close.
#include "mainwindow/MainWindow.h"
#include "app/message_boxes.h"
#include "pipeline/advanced_histogram.h"
#include "tools/Window_Histogram.h"

#include "ui_MainWindow.h"
#include "ui_Window_Histogram.h"

#include "app/header_constants.h"
#include "support/test_app_folder.h"

#include <QFile>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>

namespace {

const QByteArray NB = "\xC2\xA0";

// Records every box instead of showing it.
struct Boxes
{
    QList<MessageBoxRequest> Asked;
    Boxes()
    {
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            Asked << p_Request;
            return 0;
        });
    }
    ~Boxes() { SetMessageBoxPresenter({}); }
};

// A file chooser that answers the names given, in turn, and records the filters asked for.
struct Chooser
{
    QStringList Answers;
    QStringList Filters;
    std::function<void()> WhileOpen;
    Window_Histogram::FileChooser function()
    {
        return [this](QWidget*, const QString& p_sCaption, const QString& p_sFilter) {
            Filters << p_sFilter;
            if (p_sCaption != "Histogram file")
                return QString();
            if (WhileOpen)
                WhileOpen();
            return Answers.isEmpty() ? QString() : Answers.takeFirst();
        };
    }
};

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// 1500 pixels of level 100, 10 black, 5 white.
cv::Mat KnownGrey()
{
    cv::Mat image(1, 1515, CV_8UC1, cv::Scalar(100));
    image.colRange(0, 10).setTo(0);
    image.colRange(10, 15).setTo(255);
    return image;
}

// Levels 1 to 254 once each, the same in the three planes: three flat curves
// at the top of the plot, so the channel drawn last fills the plot.
cv::Mat EqualColour()
{
    cv::Mat image(1, 254, CV_8UC3);
    for (int x = 0; x < 254; ++x)
        image.at<cv::Vec3b>(0, x) = cv::Vec3b(uchar(x + 1), uchar(x + 1), uchar(x + 1));
    return image;
}

struct Opened
{
    TestAppFolder Folder;
    Boxes Box;
    MainWindow Main;
    Chooser Files;
    QPointer<Window_Histogram> Window;
    Opened()
    {
        Main.ui->action_Advanced_Histogram->trigger();
        Window = Main.HistogramWindow;
        if (Window)
            Window->setFileChooser(Files.function());
    }
    void send(const cv::Mat& p_Grey, const cv::Mat& p_Colour = cv::Mat())
    {
        emit Main.UpdateAdvancedHistogram(p_Grey, p_Colour);
    }
    cv::Vec4b shown(int p_iX, int p_iY) const
    {
        const QImage picture = Window->ui->label->pixmap(Qt::ReturnByValue).toImage().convertToFormat(
            QImage::Format_RGBA8888);
        const uchar* p = picture.constScanLine(p_iY) + 4 * p_iX;
        return cv::Vec4b(p[0], p[1], p[2], p[3]);
    }
};

} // namespace

Q_DECLARE_METATYPE(cv::Vec4b)

class tst_histogram_window : public QObject
{
    Q_OBJECT

private slots:
    void builtAsTheFormSays()
    {
        TestAppFolder folder;
        const QString background = folder.filePath("Images/Backgrounds/Background_grid_Adv_Histo.png");
        QVERIFY(QFile::remove(background));
        Window_Histogram w;
        QCOMPARE(w.windowTitle(), QString("Advanced Histogram"));
        QCOMPARE(w.minimumSize(), QSize(1250, 950));
        QCOMPARE(w.maximumSize(), QSize(1250, 950));
        QCOMPARE(w.ui->label->geometry(), QRect(98, 50, 1025, 768));
        QVERIFY(!w.ui->spinBox_FilterStep->isEnabled());
        QCOMPARE(w.ui->spinBox_FilterStep->minimum(), 3);
        QCOMPARE(w.ui->spinBox_FilterStep->maximum(), 31);
        QCOMPARE(w.ui->spinBox_FilterStep->singleStep(), 2);
        QCOMPARE(w.ui->comboBox_setFront->count(), 3);
        QCOMPARE(w.ui->comboBox_setFront->itemText(1), QString("Set Green front"));
        QCOMPARE(w.ui->pushButton_SavePNG->text(), QString("Save\nHistogram\nPNG"));
        QCOMPARE(w.ui->label_BlackSaturated->text(), QString("Black saturated pixels"));
        QVERIFY(w.ui->label_PixValue->text().isEmpty());
        QVERIFY(w.ui->label_Values_XCoord->text().isEmpty());
        QVERIFY(!w.isCalculating());
        QCOMPARE(w.FilterStep, 1);
        QVERIFY(w.TrackingLineEnabled);
        // The grid picture is written when missing and is the plot label's background.
        const cv::Mat grid = cv::imread(background.toStdString());
        QCOMPARE(grid.cols, 1024);
        QCOMPARE(grid.rows, 768);
        QCOMPARE(grid.at<cv::Vec3b>(76, 10), cv::Vec3b(120, 120, 120));
        QCOMPARE(grid.at<cv::Vec3b>(77, 10), cv::Vec3b(200, 200, 200));
        QVERIFY(w.ui->label->styleSheet().contains(background));
        QCOMPARE(w.PlotImage.size(), QSize(1024, 768));
    }

    // The menu action and the size-up button open one window; closing it destroys it.
    void actionOpensItOnceAndCloseDestroysIt()
    {
        Opened o;
        QVERIFY(o.Window);
        QVERIFY(o.Window->isVisible());
        QVERIFY(o.Main.HistogramWindowOpen);
        QVERIFY(!o.Window->testAttribute(Qt::WA_QuitOnClose));
        o.Main.ui->action_Advanced_Histogram->trigger();
        QCOMPARE(o.Main.HistogramWindow.data(), o.Window.data());
        emit o.Main.ui->pushButton_SizeUp->released();
        QCOMPARE(o.Main.HistogramWindow.data(), o.Window.data());

        QSignalSpy closed(o.Window.data(), &Window_Histogram::CloseWindow);
        o.Window->close();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!o.Main.HistogramWindowOpen);
        QVERIFY(o.Main.HistogramWindow.isNull());
        QTRY_VERIFY(o.Window.isNull());
        // Nothing reaches a closed window; the next use builds a new one.
        o.send(KnownGrey());
        o.Main.ui->action_Advanced_Histogram->trigger();
        QVERIFY(o.Main.HistogramWindow);
        QVERIFY(o.Main.HistogramWindow->ui->label_PixValue->text().isEmpty());
    }

    void greyImageThroughTheMainWindow()
    {
        Opened o;
        o.send(KnownGrey());
        Window_Histogram& w = *o.Window;
        QCOMPARE(w.ui->label_BlackSaturated->text(), QString("10 are black saturated"));
        QCOMPARE(w.ui->label_WhiteSaturated->text(), QString("5 are white saturated"));
        QCOMPARE(w.ui->label_ValueMax->text(), QString("99.0099%\n1500 pixels"));
        QCOMPARE(w.GreyHistogram.at<float>(100, 0), 1500.0f);
        QCOMPARE(w.ui->label_PixValue->text(), QString("Value Pixel: 0"));
        QCOMPARE(w.ui->label_Values_XCoord->text(), QString("0 pixels"));
        QVERIFY(w.ui->label->hasScaledContents());
        QCOMPARE(w.PlotImage.format(), QImage::Format_RGBA8888);
        // The spike of level 100 is drawn at x 400; the tracking line at x 0 is black.
        QCOMPARE(o.shown(400, 300)[3], uchar(120));
        QCOMPARE(o.shown(0, 300), cv::Vec4b(0, 0, 0, 255));
        QCOMPARE(o.shown(700, 300)[3], uchar(0)); // transparent: the grid shows through

        // The main window's timer tick sends its display images, unless a calculation runs.
        o.Main.MatDisplayGrey = cv::Mat(8, 8, CV_8UC1, cv::Scalar(30));
        w.Calculating = true;
        o.Main.CalculHistogram();
        QCOMPARE(w.GreyHistogram.at<float>(100, 0), 1500.0f);
        w.Calculating = false;
        o.Main.CalculHistogram();
        QCOMPARE(w.GreyHistogram.at<float>(30, 0), 64.0f);
        QCOMPARE(w.ui->label_ValueMax->text(), QString("100.0000%\n64 pixels"));
    }

    void rgbOptionFollowsTheBayerMode()
    {
        Opened o;
        Window_Histogram& w = *o.Window;
        QVERIFY(!w.ui->checkBox_RGBHisto->isEnabled());
        QVERIFY(!w.ui->comboBox_setFront->isEnabled());
        o.Main.ComboBox_BayerMode(HeaderConstants::BayerModeNames.at(1));
        QVERIFY(w.ui->checkBox_RGBHisto->isEnabled());
        QVERIFY(w.ui->comboBox_setFront->isEnabled());
        QTest::mouseClick(w.ui->checkBox_RGBHisto, Qt::LeftButton);
        QVERIFY(w.RgbMode);
        // Any call returns the window to grey, with the box unchecked.
        o.Main.ComboBox_BayerMode(HeaderConstants::BayerModeNames.at(2));
        QVERIFY(!w.RgbMode);
        QVERIFY(!w.ui->checkBox_RGBHisto->isChecked());
        o.Main.ComboBox_BayerMode(HeaderConstants::BayerModeNames.at(0));
        QVERIFY(!w.ui->checkBox_RGBHisto->isEnabled());
        // A window opened while a Bayer mode is on offers the option at once.
        o.Main.ComboBox_BayerMode(HeaderConstants::BayerModeNames.at(3));
        w.close();
        o.Main.ui->action_Advanced_Histogram->trigger();
        QVERIFY(o.Main.HistogramWindow->ui->checkBox_RGBHisto->isEnabled());
    }

    void rgbPathAndFrontChannel_data()
    {
        QTest::addColumn<int>("front");
        QTest::addColumn<cv::Vec4b>("colour");
        QTest::newRow("red front") << 0 << cv::Vec4b(255, 0, 0, 120);
        QTest::newRow("green front") << 1 << cv::Vec4b(0, 255, 0, 120);
        QTest::newRow("blue front") << 2 << cv::Vec4b(0, 0, 255, 120);
    }
    void rgbPathAndFrontChannel()
    {
        QFETCH(int, front);
        QFETCH(cv::Vec4b, colour);
        Opened o;
        Window_Histogram& w = *o.Window;
        o.Main.ComboBox_BayerMode(HeaderConstants::BayerModeNames.at(1));
        // Before the first colour calculation the readout has no counts.
        QTest::mouseClick(w.ui->checkBox_RGBHisto, Qt::LeftButton);
        QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(98 + 200, 300));
        QCOMPARE(w.ui->label_PixValue->text(), QString("Value Pixel: 50"));
        QVERIFY(w.ui->label_Values_XCoord->text().isEmpty());

        w.ui->comboBox_setFront->setCurrentIndex(front);
        o.send(KnownGrey(), EqualColour());
        QCOMPARE(w.ui->label_Values_XCoord->text(), QString("R: 1\nG: 1\nB: 1"));
        QCOMPARE(w.ui->label_ValueMax->text(), QString("0.3937%\n1 pixels"));
        QCOMPARE(w.ui->label_BlackSaturated->text(), QString("0 are black saturated"));
        // The grey histogram was not touched by the colour path.
        QVERIFY(w.GreyHistogram.empty());
        QCOMPARE(o.shown(600, 400), colour);
    }

    void filterControls()
    {
        Opened o;
        Window_Histogram& w = *o.Window;
        QTest::mouseClick(w.ui->checkBox_FilterEnable, Qt::LeftButton);
        QVERIFY(w.FilterEnabled);
        QVERIFY(w.ui->spinBox_FilterStep->isEnabled());
        QCOMPARE(w.FilterStep, 3);
        w.ui->spinBox_FilterStep->setValue(5);
        QCOMPARE(w.FilterStep, 5);
        o.send(KnownGrey());
        // Bins 98 to 102 each hold 1500 / 5.
        QCOMPARE(w.GreyHistogram.at<float>(100, 0), 300.0f);
        QCOMPARE(w.GreyHistogram.at<float>(102, 0), 300.0f);
        QCOMPARE(w.GreyHistogram.at<float>(103, 0), 0.0f);
        QTest::mouseClick(w.ui->checkBox_FilterEnable, Qt::LeftButton);
        QVERIFY(!w.FilterEnabled);
        QVERIFY(!w.ui->spinBox_FilterStep->isEnabled());
        QCOMPARE(w.FilterStep, 1);
    }

    void trackingLine()
    {
        Opened o;
        Window_Histogram& w = *o.Window;
        o.send(KnownGrey());
        QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(0, 300));
        QCOMPARE(w.TrackingX, 0);
        QCOMPARE(w.ui->label_PixValue->text(), QString("Value Pixel: 0"));
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(98 + 401, 300));
        QCOMPARE(w.TrackingX, 401);
        QCOMPARE(w.ui->label_PixValue->text(), QString("Value Pixel: 100"));
        QCOMPARE(w.ui->label_Values_XCoord->text(), QString("1500 pixels"));
        QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(1240, 300));
        QCOMPARE(w.TrackingX, 1023);
        QCOMPARE(w.ui->label_PixValue->text(), QString("Value Pixel: 255"));
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(1240, 300));

        // Disabled: the plot without a line; a press still moves the position.
        QTest::mouseClick(w.ui->checkBox_TrackingLine, Qt::LeftButton);
        QVERIFY(!w.TrackingLineEnabled);
        QCOMPARE(o.shown(1023, 300)[3], uchar(0)); // transparent: the grid shows through
        QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(98 + 40, 300));
        QCOMPARE(w.TrackingX, 40);
        QCOMPARE(w.ui->label_PixValue->text(), QString("Value Pixel: 255"));
        QCOMPARE(o.shown(40, 300)[3], uchar(0)); // transparent: the grid shows through
        o.send(KnownGrey());
        QCOMPARE(w.ui->label_PixValue->text(), QString("Value Pixel: 10"));
        // Enabled again: drawn where the last press left it.
        QTest::mouseClick(w.ui->checkBox_TrackingLine, Qt::LeftButton);
        QCOMPARE(o.shown(40, 300), cv::Vec4b(0, 0, 0, 255));
    }

    void csvExports()
    {
        Opened o;
        Window_Histogram& w = *o.Window;
        const QString grey = o.Folder.filePath("grey.csv");
        const QString colour = o.Folder.filePath("colour.csv");
        o.Files.Answers << grey << colour;
        QTest::mouseClick(w.ui->pushButton_SaveCSV, Qt::LeftButton);
        QTest::mouseClick(w.ui->pushButton_SaveCSV, Qt::LeftButton);
        QVERIFY(w.SaveCsvRequested);
        o.send(KnownGrey());
        QVERIFY(!w.SaveCsvRequested);
        QCOMPARE(o.Files.Filters, QStringList{"CSV file (*.csv)"});
        const QByteArray text = ReadAll(grey);
        QCOMPARE(text, AdvancedHistogram::GreyCsvText(w.GreyHistogram));
        QVERIFY(text.startsWith("Pixel Value,Number Pixel\n0,0\n1,0\n"));
        QVERIFY(text.contains("\n100,1" + NB + "500\n"));
        QVERIFY(text.endsWith("\n254,0\n255,0\n"));
        // Two presses gave one save: the next calculation asks nothing.
        o.send(KnownGrey());
        QCOMPARE(o.Files.Filters.size(), 1);

        o.Main.ComboBox_BayerMode(HeaderConstants::BayerModeNames.at(1));
        QTest::mouseClick(w.ui->checkBox_RGBHisto, Qt::LeftButton);
        QTest::mouseClick(w.ui->pushButton_SaveCSV, Qt::LeftButton);
        o.send(KnownGrey(), EqualColour());
        const QByteArray rgb = ReadAll(colour);
        QVERIFY(rgb.startsWith("Pixel Value,Red,Green,Blue\n0,0,0,0\n"));
        QVERIFY(rgb.contains("\n50,1,1,1\n"));
        QVERIFY(rgb.endsWith("\n255,0,0,0\n"));
        QVERIFY(o.Box.Asked.isEmpty());
    }

    void cancelledAndUnusableFiles()
    {
        Opened o;
        Window_Histogram& w = *o.Window;
        // Cancel: nothing written, nothing shown, the request dropped.
        QTest::mouseClick(w.ui->pushButton_SaveCSV, Qt::LeftButton);
        o.send(KnownGrey());
        QVERIFY(!w.SaveCsvRequested);
        QVERIFY(o.Box.Asked.isEmpty());
        // A folder that does not exist: the box, and the request dropped.
        o.Files.Answers << o.Folder.filePath("no/such/folder/h.csv") << o.Folder.filePath("no/such/folder/h.png");
        QTest::mouseClick(w.ui->pushButton_SaveCSV, Qt::LeftButton);
        QTest::mouseClick(w.ui->pushButton_SavePNG, Qt::LeftButton);
        o.send(KnownGrey());
        QVERIFY(!w.SaveCsvRequested);
        QVERIFY(!w.SavePngRequested);
        QCOMPARE(o.Box.Asked.size(), 2);
        for (const MessageBoxRequest& r : o.Box.Asked) {
            QCOMPARE(r.icon, QMessageBox::Critical);
            QCOMPARE(r.title, QString("Histogram file"));
            QCOMPARE(r.text, QString("The histogram file gives can't be used. Please try again with an other file."));
            QCOMPARE(r.parent, static_cast<QWidget*>(&w));
        }
    }

    // The PNG holds what the label showed before the calculation: the previous plot.
    void pngExportAndTheOrderOfBothExports()
    {
        Opened o;
        Window_Histogram& w = *o.Window;
        o.send(KnownGrey());
        const QString png = o.Folder.filePath("h.png");
        const QString csv = o.Folder.filePath("h.csv");
        o.Files.Answers << png << csv;
        QTest::mouseClick(w.ui->pushButton_SaveCSV, Qt::LeftButton);
        QTest::mouseClick(w.ui->pushButton_SavePNG, Qt::LeftButton);
        o.send(cv::Mat(8, 8, CV_8UC1, cv::Scalar(200)));
        QCOMPARE(o.Files.Filters, (QStringList{"PNG file (*.png)", "CSV file (*.csv)"}));
        const cv::Mat saved = cv::imread(png.toStdString(), cv::IMREAD_UNCHANGED);
        QCOMPARE(saved.cols, 1024);
        QCOMPARE(saved.rows, 768);
        QCOMPARE(saved.channels(), 4);
        // OpenCV reads B, G, R, A: the level-100 spike of the previous frame, not level 200.
        QCOMPARE(saved.at<cv::Vec4b>(300, 400)[3], uchar(120));
        QCOMPARE(saved.at<cv::Vec4b>(300, 800)[3], uchar(0));
        QVERIFY(ReadAll(csv).contains("\n200,64\n"));
    }

    // Closing the window while its calculation waits in a save dialog: it goes only once the pass is over.
    void closedDuringASaveDialog()
    {
        Opened o;
        QPointer<Window_Histogram> w = o.Window;
        bool aliveInside = false;
        o.Files.WhileOpen = [&] {
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            aliveInside = !w.isNull();
        };
        QTest::mouseClick(w->ui->pushButton_SaveCSV, Qt::LeftButton);
        o.send(KnownGrey());
        QVERIFY(aliveInside);
        QVERIFY(o.Main.HistogramWindow.isNull());
        QTRY_VERIFY(w.isNull());
    }

    // The main window's shut-down closes and deletes an open histogram window.
    void mainWindowDestructorDeletesIt()
    {
        TestAppFolder folder;
        QPointer<Window_Histogram> w;
        {
            MainWindow main;
            main.ui->action_Advanced_Histogram->trigger();
            w = main.HistogramWindow;
            QVERIFY(w);
        }
        QVERIFY(w.isNull());
    }
};

QTEST_MAIN(tst_histogram_window)
#include "tst_histogram_window.moc"
