// Tests of the main view's zoom state machine and of the miniature's cross.
#include "pipeline/affichage.h"
#include "pipeline/image_miniature.h"
#include "support/test_app_folder.h"

#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

namespace {

// A 640 x 480 view source and a log collector.
struct ViewFixture
{
    TestAppFolder Folder;
    Affichage View;
    QStringList Log;
    cv::Mat Full{480, 640, CV_8UC1, cv::Scalar(0)};
    cv::Mat Scaled{100, 100, CV_8UC1, cv::Scalar(9)};
    int Counter = 1;

    ViewFixture()
    {
        View.setLogSink([this](const QString& l) { Log << l; });
        AffichageImageSource src;
        src.FrameCounter = [this] { return Counter; };
        src.DisplayScaled = [this] { return Scaled; };
        src.Display8b = [this] { return Full; };
        src.LutActive = [] { return false; };
        View.setImageSource(src);
        View.resize(1000, 700);
        View.setMouseTracking(true); // as the main window sets it
        View.setFrameSize(640, 480);
        View.startAcquisition(1000, 700, 640);
    }

    void click(QPoint p) { QTest::mouseClick(&View, Qt::LeftButton, Qt::NoModifier, p); }
    void wheel(int delta, QPoint p = QPoint(10, 10))
    {
        QWheelEvent e(p, View.mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(&View, &e);
    }
    // Cosmetic zoom then a click: technical zoom placed around the click.
    void enterTechnical(QPoint p = QPoint(500, 350))
    {
        const double s = std::min(1000.0 / 640, 700.0 / 480);
        View.shiftDisplayScale(s);
        View.shiftDisplayScale(s);
        click(p);
    }
};

} // namespace

class tst_affichage : public QObject
{
    Q_OBJECT

private slots:
    void acquisitionStartByFrameWidth();
    void clickFromOffEntersCosmetic();
    void releaseOutsideClampsCentre();
    void cosmeticToTechnicalPlacesWindow();
    void sizeLimitsInTechnical();
    void wheelNotchAtSmallestSize();
    void buttonsInCosmeticDoNotClamp();
    void bottomWindowOffsetAndAlignment();
    void rightPressTurnsZoomOff();
    void nothingDrawnBeforeFirstFrame();
    void miniatureCross();
    void miniatureMouse();
};

void tst_affichage::acquisitionStartByFrameWidth()
{
    ViewFixture f;
    QVERIFY(f.View.isCosmetic());
    QCOMPARE(f.View.zoomSize, 121);
    Affichage wide;
    QSignalSpy enable(&wide, &Affichage::EnableInterpolation);
    wide.setFrameSize(1024, 768);
    wide.startAcquisition(1000, 700, 1024);
    QVERIFY(wide.isOff());
    QVERIFY(wide.zoomAllowed);
    QCOMPARE(enable.count(), 0);
    f.View.stopAcquisition();
    QVERIFY(f.View.isOff());
    QVERIFY(!f.View.zoomAllowed);
    QVERIFY(f.View.miniatureResetRequested);
}

void tst_affichage::clickFromOffEntersCosmetic()
{
    ViewFixture f;
    f.View.disableZoom();
    QVERIFY(f.View.isOff());
    QSignalSpy enable(&f.View, &Affichage::EnableInterpolation);
    QTest::mousePress(&f.View, Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
    QVERIFY(f.View.zoomActive);
    QVERIFY(!f.View.isCosmetic() && !f.View.isTechnical()); // pending until the release
    QCOMPARE(f.View.zoomMax, 480);
    QCOMPARE(f.View.zoomSize, 121);
    QTest::mouseRelease(&f.View, Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
    QVERIFY(f.View.isCosmetic());
    QCOMPARE(enable.count(), 1);
    QVERIFY(f.Log.contains("Cosmetic zoom enabled"));
    QCOMPARE(f.View.zoomCentreX, 200);
    QVERIFY(f.View.viewReleased);
    QVERIFY(!f.View.zoomStarting);
}

void tst_affichage::releaseOutsideClampsCentre()
{
    ViewFixture f;
    f.View.disableZoom();
    QTest::mousePress(&f.View, Qt::LeftButton, Qt::NoModifier, QPoint(30, 20));
    QTest::mouseRelease(&f.View, Qt::LeftButton, Qt::NoModifier, QPoint(-5, 20));
    QVERIFY(f.View.isCosmetic());
    QCOMPARE(f.View.zoomCentreX, 0);
    QCOMPARE(f.View.zoomCentreY, 20);
}

void tst_affichage::cosmeticToTechnicalPlacesWindow()
{
    ViewFixture f;
    QSignalSpy disable(&f.View, &Affichage::DisableInterpolation);
    f.enterTechnical();
    QVERIFY(f.View.isTechnical());
    QCOMPARE(disable.count(), 1);
    // 500 / 1.4583 = 342.9 and 350 / 1.4583 = 240, window of 121 around them.
    QCOMPARE(f.View.zoomOriginX, 282);
    QCOMPARE(f.View.zoomOriginY, 180);
    QCOMPARE(f.View.zoomCentreX, 342);
    QCOMPARE(f.View.zoomCentreY, 240);
    QVERIFY(f.Log.contains("Technical zoom enabled"));
    QVERIFY(f.Log.contains("xCenter = 342 - yCenter = 240"));
    QVERIFY(f.Log.contains("xOrigin = 282 - yOrigin = 180"));
    QVERIFY(f.Log.contains("Zoom Rectangle in pixel: 121"));
    // A second click recentres on the image pixel under the pointer.
    f.click(QPoint(1, 1)); // (0, 0) would mean the widget centre to QTest
    QVERIFY(f.Log.contains("Technical zoom refreshed"));
    QCOMPARE(f.View.zoomCentreX, 282);
    QCOMPARE(f.View.zoomOriginX, 222);
}

void tst_affichage::sizeLimitsInTechnical()
{
    ViewFixture f;
    f.enterTechnical();
    QSignalSpy plus(&f.View, &Affichage::ButtonZoomP_Enabled);
    QSignalSpy minus(&f.View, &Affichage::ButtonZoomM_Enabled);
    for (int i = 0; i < 60; ++i)
        f.View.zoomMinus();
    QCOMPARE(f.View.zoomSize, 479);
    QCOMPARE(minus.last().at(0).toBool(), false);
    QCOMPARE(plus.last().at(0).toBool(), true);
    for (int i = 0; i < 60; ++i)
        f.View.zoomPlus();
    QCOMPARE(f.View.zoomSize, 11);
    QCOMPARE(plus.last().at(0).toBool(), false);
    QCOMPARE(minus.last().at(0).toBool(), true);
    for (int i = 0; i < 5; ++i)
        f.wheel(-120);
    QCOMPARE(f.View.zoomSize, 61);
    QVERIFY(f.Log.contains("Wheel un-zoom: 21"));
    QCOMPARE(plus.last().at(0).toBool(), true);
    QCOMPARE(minus.last().at(0).toBool(), true);
}

void tst_affichage::wheelNotchAtSmallestSize()
{
    ViewFixture f;
    f.enterTechnical();
    f.View.zoomSize = 11;
    QSignalSpy plus(&f.View, &Affichage::ButtonZoomP_Enabled);
    f.wheel(120);
    QVERIFY(f.Log.contains("Wheel zoom: 1"));
    QCOMPARE(f.View.zoomSize, 11);
    QCOMPARE(plus.count(), 1);
    QCOMPARE(plus.last().at(0).toBool(), false);
    // Outside technical zoom the wheel does nothing.
    f.View.disableZoom();
    f.View.zoomSize = 50;
    f.wheel(120);
    QCOMPARE(f.View.zoomSize, 50);
}

void tst_affichage::buttonsInCosmeticDoNotClamp()
{
    ViewFixture f;
    QSignalSpy plus(&f.View, &Affichage::ButtonZoomP_Enabled);
    QSignalSpy minus(&f.View, &Affichage::ButtonZoomM_Enabled);
    for (int i = 0; i < 13; ++i)
        f.View.zoomPlus();
    QCOMPARE(f.View.zoomSize, 121 - 130);
    f.View.zoomMinus();
    QCOMPARE(f.View.zoomSize, 1);
    QCOMPARE(plus.count(), 0);
    QCOMPARE(minus.count(), 0);
}

void tst_affichage::bottomWindowOffsetAndAlignment()
{
    ViewFixture f;
    f.enterTechnical();
    f.View.zoomSize = 101;
    f.View.zoomCentreX = 320;
    f.View.zoomCentreY = 470;
    f.View.updateZoomOrigin();
    QCOMPARE(f.View.zoomOriginY, 379);
    QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&f.View, &move);
    QVERIFY2(std::abs(f.View.zoomOffsetY - 30.3) < 1e-3, qPrintable(QString::number(f.View.zoomOffsetY)));
    QCOMPARE(f.View.mouseImageY, 409);
    QCOMPARE(f.View.mouseImageX, 270);
    f.View.displayImageScaled();
    QCOMPARE(f.View.alignment(), Qt::AlignLeft | Qt::AlignBottom);
    QVERIFY(f.View.pixmap(Qt::ReturnByValue).width() == 1000);
    f.View.zoomCentreY = 40;
    f.View.updateZoomOrigin();
    f.View.displayImageScaled();
    QCOMPARE(f.View.alignment(), Qt::AlignLeft | Qt::AlignTop);
    f.View.zoomCentreY = 200;
    f.View.updateZoomOrigin();
    f.View.displayImageScaled();
    QCOMPARE(f.View.alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
}

void tst_affichage::rightPressTurnsZoomOff()
{
    ViewFixture f;
    f.enterTechnical();
    QSignalSpy disable(&f.View, &Affichage::DisableInterpolation);
    QSignalSpy plus(&f.View, &Affichage::ButtonZoomP_Enabled);
    QTest::mousePress(&f.View, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(f.View.isOff());
    QCOMPARE(disable.count(), 1);
    QCOMPARE(plus.last().at(0).toBool(), false);
    QCOMPARE(f.View.zoomSize, 11);
    QCOMPARE(f.View.zoomCentreX, 40);
    QVERIFY(f.View.miniatureResetRequested);
    QVERIFY(f.Log.contains("All zoom display disabled"));
}

void tst_affichage::nothingDrawnBeforeFirstFrame()
{
    ViewFixture f;
    f.Counter = -1;
    f.View.clear();
    f.View.displayImageScaled();
    QVERIFY(f.View.pixmap(Qt::ReturnByValue).isNull());
    f.Counter = 3;
    f.View.displayImageScaled();
    QVERIFY(f.View.pixmap(Qt::ReturnByValue).width() == 100);
    QVERIFY(f.View.hasScaledContents());
}

void tst_affichage::miniatureCross()
{
    QImage picture(100, 80, QImage::Format_Grayscale8);
    picture.fill(128);
    MiniatureCrossGeometry g;
    g.DisplayScale = 1.0;
    g.ViewWidth = 180;
    g.ViewHeight = 135;
    g.FrameWidth = 100;
    g.FrameHeight = 80;
    g.SelectionX = 50;
    g.SelectionY = 40;
    QImage out = PrintCrossMini(picture, g);
    auto grey = [&out](int x, int y) { return qGray(out.pixel(x, y)); };
    QCOMPARE(grey(50, 40), 0);
    QCOMPARE(grey(40, 39), 0);  // i = -10: black
    QCOMPARE(grey(59, 41), 0);  // i = 9: black
    QCOMPARE(grey(60, 40), 255); // i = 10: white
    QCOMPARE(grey(20, 40), 255); // i = -30
    QCOMPARE(grey(19, 40), 128); // beyond the arm
    QCOMPARE(grey(50, 70), 255); // vertical arm, i = 30
    QCOMPARE(grey(50, 71), 128);
    QCOMPARE(grey(53, 45), 128); // outside the arm's thickness
    QCOMPARE(qGray(picture.pixel(50, 40)), 128); // the input is not drawn on

    // Selection at (0, 0): neither arm is drawn.
    g.SelectionX = 0;
    g.SelectionY = 0;
    out = PrintCrossMini(picture, g);
    QCOMPARE(out, picture);

    // The scale converts to the scaled picture: centre at s x selection.
    g.DisplayScale = 0.5;
    g.SelectionX = 100;
    g.SelectionY = 80;
    out = PrintCrossMini(picture, g);
    QCOMPARE(qGray(out.pixel(50, 40)), 0);

    cv::Mat scaled(80, 100, CV_8UC1, cv::Scalar(128));
    const QPixmap pm = MiniaturePixmap(scaled, g);
    QCOMPARE(pm.height(), 135);
}

void tst_affichage::miniatureMouse()
{
    TestAppFolder folder;
    ImageMiniature mini;
    mini.resize(180, 135);
    QCOMPARE(mini.pointX(), 50u);
    QTest::mousePress(&mini, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(mini.pointX(), 50u);
    QVERIFY(!mini.isPressed());
    QTest::mouseRelease(&mini, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QVERIFY(mini.isReleased());
    QTest::mousePress(&mini, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    QVERIFY(mini.isPressed());
    QCOMPARE(mini.pointX(), 20u);
    QCOMPARE(mini.pointY(), 30u);
    QMouseEvent move(QEvent::MouseMove, QPointF(70, 60), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&mini, &move);
    QCOMPARE(mini.pointX(), 70u);
    QTest::mouseRelease(&mini, Qt::LeftButton, Qt::NoModifier, QPoint(70, 60));
    QVERIFY(!mini.isPressed());
    QMouseEvent move2(QEvent::MouseMove, QPointF(90, 90), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&mini, &move2);
    QCOMPARE(mini.pointX(), 70u);
}

QTEST_MAIN(tst_affichage)
#include "tst_affichage.moc"
