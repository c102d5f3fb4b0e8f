// Tests of the main view's zoom state machine and of the miniature's cross.
#include "pipeline/affichage.h"
#include "pipeline/image_miniature.h"
#include "support/test_app_folder.h"

#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

namespace {

const double kFitScale = std::min(1000.0 / 640, 700.0 / 480);

enum class Mode { Off, Cosmetic, Technical };

// A 640 x 480 view source and a log collector.
struct ViewFixture
{
    TestAppFolder Folder;
    Affichage View;
    QStringList Log;
    cv::Mat Full{480, 640, CV_8UC1, cv::Scalar(0)};
    cv::Mat Scaled{100, 100, CV_8UC1, cv::Scalar(9)};
    int Counter = 1;

    // A 640-pixel frame starts in cosmetic zoom.
    explicit ViewFixture(Mode p_Start = Mode::Cosmetic)
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
        if (p_Start == Mode::Technical)
            enterTechnical();
        else if (p_Start == Mode::Off)
            View.disableZoom();
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
    void zoomFollowsTheMode();
    void zoomAtPointKeepsPixel_data();
    void zoomAtPointKeepsPixel();
    void zoomAtPointStopsAtFrameEdge();
    void zoomLimits_data();
    void zoomLimits();
    void tinyFrameHasOneZoom();
    void zoomToFit_data();
    void zoomToFit();
    void zoomChangedOncePerChange();
    void zoomChangedFromFrameThread();
    void miniatureCross();
    void miniatureMouse();
};

void tst_affichage::acquisitionStartByFrameWidth()
{
    ViewFixture f;
    QVERIFY(f.View.isCosmetic());
    QCOMPARE(f.View.zoomWindowSize(), 121);
    Affichage wide;
    QSignalSpy enable(&wide, &Affichage::EnableInterpolation);
    wide.setFrameSize(1024, 768);
    wide.startAcquisition(1000, 700, 1024);
    QVERIFY(wide.isOff());
    QVERIFY(wide.isZoomAllowed());
    QCOMPARE(enable.count(), 0);
    f.View.stopAcquisition();
    QVERIFY(f.View.isOff());
    QVERIFY(!f.View.isZoomAllowed());
    QVERIFY(f.View.isMiniatureResetRequested());
}

void tst_affichage::clickFromOffEntersCosmetic()
{
    ViewFixture f;
    f.View.disableZoom();
    QVERIFY(f.View.isOff());
    QSignalSpy enable(&f.View, &Affichage::EnableInterpolation);
    QTest::mousePress(&f.View, Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
    QVERIFY(f.View.isZoomActive());
    QVERIFY(!f.View.isCosmetic() && !f.View.isTechnical()); // pending until the release
    QCOMPARE(f.View.minimumZoom(), 1000.0 / 479); // the largest window is one less than the 480 rows
    QCOMPARE(f.View.zoomWindowSize(), 121);
    QTest::mouseRelease(&f.View, Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
    QVERIFY(f.View.isCosmetic());
    QCOMPARE(enable.count(), 1);
    QVERIFY(f.Log.contains("Cosmetic zoom enabled"));
    QCOMPARE(f.View.zoomWindowCentre().x(), 200);
    QVERIFY(f.View.hasBeenReleased());
    QVERIFY(!f.View.isZoomStarting());
}

void tst_affichage::releaseOutsideClampsCentre()
{
    ViewFixture f;
    f.View.disableZoom();
    QTest::mousePress(&f.View, Qt::LeftButton, Qt::NoModifier, QPoint(30, 20));
    QTest::mouseRelease(&f.View, Qt::LeftButton, Qt::NoModifier, QPoint(-5, 20));
    QVERIFY(f.View.isCosmetic());
    QCOMPARE(f.View.zoomWindowCentre(), QPoint(0, 20));
}

void tst_affichage::cosmeticToTechnicalPlacesWindow()
{
    ViewFixture f;
    QSignalSpy disable(&f.View, &Affichage::DisableInterpolation);
    f.enterTechnical();
    QVERIFY(f.View.isTechnical());
    QCOMPARE(disable.count(), 1);
    // 500 / 1.4583 = 342.9 and 350 / 1.4583 = 240, window of 121 around them.
    QCOMPARE(f.View.zoomWindowOrigin(), QPoint(282, 180));
    QCOMPARE(f.View.zoomWindowCentre(), QPoint(342, 240));
    QVERIFY(f.Log.contains("Technical zoom enabled"));
    QVERIFY(f.Log.contains("xCenter = 342 - yCenter = 240"));
    QVERIFY(f.Log.contains("xOrigin = 282 - yOrigin = 180"));
    QVERIFY(f.Log.contains("Zoom Rectangle in pixel: 121"));
    // A second click recentres on the image pixel under the pointer.
    f.click(QPoint(1, 1)); // (0, 0) would mean the widget centre to QTest
    QVERIFY(f.Log.contains("Technical zoom refreshed"));
    QCOMPARE(f.View.zoomWindowCentre().x(), 282);
    QCOMPARE(f.View.zoomWindowOrigin().x(), 222);
}

void tst_affichage::sizeLimitsInTechnical()
{
    ViewFixture f;
    f.enterTechnical();
    QSignalSpy plus(&f.View, &Affichage::ButtonZoomP_Enabled);
    QSignalSpy minus(&f.View, &Affichage::ButtonZoomM_Enabled);
    for (int i = 0; i < 60; ++i)
        f.View.zoomMinus();
    QCOMPARE(f.View.zoomWindowSize(), 479);
    QCOMPARE(minus.last().at(0).toBool(), false);
    QCOMPARE(plus.last().at(0).toBool(), true);
    for (int i = 0; i < 60; ++i)
        f.View.zoomPlus();
    QCOMPARE(f.View.zoomWindowSize(), 11);
    QCOMPARE(plus.last().at(0).toBool(), false);
    QCOMPARE(minus.last().at(0).toBool(), true);
    for (int i = 0; i < 5; ++i)
        f.wheel(-120);
    QCOMPARE(f.View.zoomWindowSize(), 61);
    QVERIFY(f.Log.contains("Wheel un-zoom: 21"));
    QCOMPARE(plus.last().at(0).toBool(), true);
    QCOMPARE(minus.last().at(0).toBool(), true);
}

void tst_affichage::wheelNotchAtSmallestSize()
{
    ViewFixture f;
    f.enterTechnical();
    f.View.setZoom(f.View.maximumZoom());
    QCOMPARE(f.View.zoomWindowSize(), 11);
    QSignalSpy plus(&f.View, &Affichage::ButtonZoomP_Enabled);
    f.wheel(120);
    QVERIFY(f.Log.contains("Wheel zoom: 1"));
    QCOMPARE(f.View.zoomWindowSize(), 11);
    QCOMPARE(plus.count(), 1);
    QCOMPARE(plus.last().at(0).toBool(), false);
    // Outside technical zoom the wheel does nothing (unclamped, a notch would take 11 to 1).
    f.View.disableZoom();
    f.Log.clear();
    f.wheel(120);
    QCOMPARE(f.View.zoomWindowSize(), 11);
    QVERIFY(f.Log.isEmpty());
}

void tst_affichage::buttonsInCosmeticDoNotClamp()
{
    ViewFixture f;
    QSignalSpy plus(&f.View, &Affichage::ButtonZoomP_Enabled);
    QSignalSpy minus(&f.View, &Affichage::ButtonZoomM_Enabled);
    for (int i = 0; i < 13; ++i)
        f.View.zoomPlus();
    QCOMPARE(f.View.zoomWindowSize(), 121 - 130);
    f.View.zoomMinus();
    QCOMPARE(f.View.zoomWindowSize(), 1);
    QCOMPARE(plus.count(), 0);
    QCOMPARE(minus.count(), 0);
}

void tst_affichage::bottomWindowOffsetAndAlignment()
{
    ViewFixture f;
    f.enterTechnical();
    f.View.setZoom(1000.0 / 101);
    QCOMPARE(f.View.zoomWindowSize(), 101);
    f.View.centreOn(QPoint(320, 470));
    QCOMPARE(f.View.zoomWindowOrigin().y(), 379);
    QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&f.View, &move);
    QVERIFY2(std::abs(f.View.zoomWindowOffsetY() - 30.3) < 1e-3, qPrintable(QString::number(f.View.zoomWindowOffsetY())));
    QCOMPARE(f.View.mouseImagePosition(), QPoint(270, 409));
    f.View.displayImageScaled();
    QCOMPARE(f.View.alignment(), Qt::AlignLeft | Qt::AlignBottom);
    QVERIFY(f.View.pixmap(Qt::ReturnByValue).width() == 1000);
    f.View.centreOn(QPoint(320, 40));
    QCOMPARE(f.View.alignment(), Qt::AlignLeft | Qt::AlignTop);
    f.View.centreOn(QPoint(320, 200));
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
    QCOMPARE(f.View.zoomWindowSize(), 11);
    QCOMPARE(f.View.zoomWindowCentre().x(), 40);
    QVERIFY(f.View.isMiniatureResetRequested());
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

void tst_affichage::zoomFollowsTheMode()
{
    ViewFixture f;
    f.View.shiftDisplayScale(kFitScale);
    QCOMPARE(f.View.zoom(), kFitScale); // fit: the scale the frame was fitted with
    f.enterTechnical();
    QCOMPARE(f.View.zoom(), 1000.0 / 121); // a 121-pixel window over 1000 widget pixels
    // The technical zoom is the operator's: a new display scale leaves it alone.
    f.View.shiftDisplayScale(0.5);
    QCOMPARE(f.View.zoom(), 1000.0 / 121);
    f.View.zoomPlus();
    QCOMPARE(f.View.zoom(), 1000.0 / 111);
    f.View.disableZoom();
    QCOMPARE(f.View.zoom(), 0.5);
}

void tst_affichage::zoomAtPointKeepsPixel_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("size");
    // The technical window starts at 121 pixels, origin (282, 180), on a 1000 x 700 view.
    QTest::newRow("centre, in") << QPoint(500, 350) << 61;
    QTest::newRow("centre, even side") << QPoint(500, 350) << 60;
    QTest::newRow("top left, out") << QPoint(100, 100) << 151;
    QTest::newRow("top left, far out") << QPoint(100, 100) << 241;
    QTest::newRow("top left, all the way in") << QPoint(100, 100) << 11;
    QTest::newRow("bottom right, in") << QPoint(900, 650) << 61;
    QTest::newRow("bottom right, out") << QPoint(900, 650) << 201;
    QTest::newRow("same size") << QPoint(733, 211) << 121;
}

void tst_affichage::zoomAtPointKeepsPixel()
{
    QFETCH(QPoint, point);
    QFETCH(int, size);
    ViewFixture f;
    f.enterTechnical();
    const QPoint before = f.View.mapToImage(point);
    f.View.setZoom(1000.0 / size, QPointF(point));
    QCOMPARE(f.View.zoomWindowSize(), size);
    QCOMPARE(f.View.mapToImage(point), before);
    // The read-out maps the pointer the same way once it moves there.
    QMouseEvent move(QEvent::MouseMove, QPointF(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&f.View, &move);
    QCOMPARE(f.View.mouseImagePosition(), before);
    const QPoint origin = f.View.zoomWindowOrigin();
    QCOMPARE(f.View.zoomWindowCentre(), origin + QPoint(size / 2, size / 2));
}

void tst_affichage::zoomAtPointStopsAtFrameEdge()
{
    ViewFixture f;
    f.enterTechnical();
    // Zooming out at the top-left corner would push the window past the right and bottom edges.
    f.View.setZoom(1000.0 / 401, QPointF(1, 1));
    QCOMPARE(f.View.zoomWindowSize(), 401);
    QCOMPARE(f.View.zoomWindowOrigin(), QPoint(640 - 401, 480 - 401));
    QCOMPARE(f.View.zoomWindowCentre(), QPoint(640 - 401 + 200, 480 - 401 + 200));
    // Zooming in at the bottom-right corner keeps the window inside the frame.
    f.View.setZoom(1000.0 / 41, QPointF(999, 699));
    const QPoint origin = f.View.zoomWindowOrigin();
    QVERIFY(origin.x() >= 0 && origin.x() + 41 <= 640);
    QVERIFY(origin.y() >= 0 && origin.y() + 41 <= 480);
}

void tst_affichage::zoomLimits_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("size");
    const double inf = std::numeric_limits<double>::infinity();
    const int technical = int(Mode::Technical);
    QTest::newRow("largest") << technical << 1000.0 / 11 << 11;
    QTest::newRow("beyond the largest") << technical << 1.0e6 << 11;
    QTest::newRow("smallest") << technical << 1000.0 / 479 << 479;
    QTest::newRow("below the smallest") << technical << 0.01 << 479;
    QTest::newRow("between, rounded") << technical << 1000.0 / 99.6 << 100;
    QTest::newRow("zero") << technical << 0.0 << 121;
    QTest::newRow("negative") << technical << -3.0 << 121;
    QTest::newRow("not a number") << technical << std::nan("") << 121;
    QTest::newRow("infinite") << technical << inf << 121;
    // The display scale rules outside the technical zoom.
    QTest::newRow("fit") << int(Mode::Cosmetic) << 20.0 << 121;
    QTest::newRow("off") << int(Mode::Off) << 20.0 << 11;
}

void tst_affichage::zoomLimits()
{
    QFETCH(int, mode);
    QFETCH(double, zoom);
    QFETCH(int, size);
    ViewFixture f(Mode{mode});
    const qreal before = f.View.zoom();
    for (const bool atPoint : {false, true}) {
        if (atPoint)
            f.View.setZoom(zoom, QPointF(500, 350));
        else
            f.View.setZoom(zoom);
        QCOMPARE(f.View.zoomWindowSize(), size);
    }
    if (Mode(mode) == Mode::Technical) {
        QVERIFY(f.View.zoom() >= f.View.minimumZoom() && f.View.zoom() <= f.View.maximumZoom());
        QCOMPARE(f.View.maximumZoom(), 1000.0 / 11);
        QCOMPARE(f.View.minimumZoom(), 1000.0 / 479);
    } else {
        QCOMPARE(f.View.zoom(), before);
    }
}

void tst_affichage::tinyFrameHasOneZoom()
{
    // Under 12 pixels the clamp has no range: the window is the whole frame.
    ViewFixture f;
    f.View.disableZoom();
    f.View.setFrameSize(8, 6);
    f.View.startAcquisition(1000, 700, 8);
    f.enterTechnical();
    QVERIFY(f.View.isTechnical());
    QCOMPARE(f.View.zoomWindowSize(), 6);
    QCOMPARE(f.View.minimumZoom(), f.View.maximumZoom());
    f.View.setZoom(0.1);
    QCOMPARE(f.View.zoomWindowSize(), 6);
    f.View.setZoom(1.0e3);
    QCOMPARE(f.View.zoomWindowSize(), 6);
}

void tst_affichage::zoomToFit_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<int>("to");
    const int off = int(Mode::Off), cosmetic = int(Mode::Cosmetic), technical = int(Mode::Technical);
    QTest::newRow("off, fit") << off << true << cosmetic;
    QTest::newRow("fit, fit") << cosmetic << true << cosmetic;
    QTest::newRow("technical, fit") << technical << true << cosmetic;
    QTest::newRow("fit, not fit") << cosmetic << false << off;
    QTest::newRow("off, not fit") << off << false << off;
    QTest::newRow("technical, not fit") << technical << false << technical;
}

void tst_affichage::zoomToFit()
{
    QFETCH(int, from);
    QFETCH(bool, fit);
    QFETCH(int, to);
    ViewFixture f(Mode{from});
    const int size = f.View.zoomWindowSize();
    f.View.setZoomToFit(fit);
    switch (Mode(to)) {
    case Mode::Off: QVERIFY(f.View.isOff()); break;
    case Mode::Cosmetic: QVERIFY(f.View.isCosmetic()); break;
    case Mode::Technical:
        QVERIFY(f.View.isTechnical());
        QCOMPARE(f.View.zoomWindowSize(), size);
        break;
    }
    if (Mode(to) != Mode::Cosmetic)
        return;
    // The next frame is scaled to fit; the zoom is that scale and the frame fits the view.
    f.View.shiftDisplayScale(kFitScale);
    const double z = f.View.zoom();
    QCOMPARE(z, kFitScale);
    QVERIFY(640 * z <= 1000.0 + 1e-9 && 480 * z <= 700.0 + 1e-9);
    QVERIFY(std::abs(640 * z - 1000.0) < 1e-9 || std::abs(480 * z - 700.0) < 1e-9);
}

void tst_affichage::zoomChangedOncePerChange()
{
    ViewFixture f;
    f.enterTechnical();
    QSignalSpy changed(&f.View, &Affichage::zoomChanged);
    auto last = [&changed] { return changed.last().at(0).toDouble(); };

    f.View.setZoom(1000.0 / 61);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(last(), 1000.0 / 61);
    f.View.setZoom(1000.0 / 61);
    f.View.setZoom(1000.0 / 61.2); // rounds to the same window
    QCOMPARE(changed.count(), 1);
    f.View.zoomPlus();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(last(), 1000.0 / 51);
    f.View.setZoom(1.0e6, QPointF(300, 300));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(last(), 1000.0 / 11);
    // At the limit: clamped back, nothing changed.
    f.View.setZoom(2.0e6);
    f.View.zoomPlus();
    f.wheel(120);
    QCOMPARE(changed.count(), 3);
    f.wheel(-120);
    QCOMPARE(changed.count(), 4);
    QCOMPARE(last(), 1000.0 / 21);
    // Moving the window or the pointer is no zoom change.
    f.View.centreOn(QPoint(100, 100));
    f.click(QPoint(400, 300));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&f.View, &move);
    f.View.shiftDisplayScale(0.75);
    QCOMPARE(changed.count(), 4);
    // Off: the display scale again.
    QTest::mousePress(&f.View, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(changed.count(), 5);
    QCOMPARE(last(), 0.75);
    f.View.shiftDisplayScale(0.75);
    f.View.stopAcquisition();
    QCOMPARE(changed.count(), 5);
    f.View.shiftDisplayScale(1.0);
    QCOMPARE(changed.count(), 6);
    QCOMPARE(last(), 1.0);
}

void tst_affichage::zoomChangedFromFrameThread()
{
    // The correction chain gives the display scale from its own thread; the
    // signal still comes on the view's thread.
    ViewFixture f;
    f.View.shiftDisplayScale(1.0);
    QThread* emittedOn = nullptr;
    qreal value = 0.0;
    int count = 0;
    connect(&f.View, &Affichage::zoomChanged, &f.View, [&](qreal z) {
        emittedOn = QThread::currentThread();
        value = z;
        ++count;
    }, Qt::DirectConnection);
    std::thread frames([&f] {
        f.View.shiftDisplayScale(kFitScale);
        f.View.shiftDisplayScale(kFitScale);
    });
    frames.join();
    QTRY_COMPARE(count, 1);
    QCOMPARE(emittedOn, f.View.thread());
    QCOMPARE(value, kFitScale);
    QCoreApplication::processEvents();
    QCOMPARE(count, 1);

    // Frame after frame while the GUI thread runs: every signal on the view's
    // thread, the last one with the last scale.
    bool offThread = false;
    connect(&f.View, &Affichage::zoomChanged, &f.View,
            [&](qreal) { offThread |= QThread::currentThread() != f.View.thread(); }, Qt::DirectConnection);
    // The frame thread waits for two full event passes after each change, so
    // a loaded machine still interleaves the two threads and the GUI thread
    // sees more than the last scale.
    std::atomic<bool> done{false};
    std::atomic<int> passes{0};
    frames = std::thread([&f, &done, &passes] {
        for (int i = 0; i < 2000; ++i) {
            f.View.shiftDisplayScale(i % 2 ? kFitScale : 1.0);
            const int seen = passes.load();
            while (passes.load() < seen + 2)
                std::this_thread::yield();
        }
        done = true;
    });
    while (!done) {
        QCoreApplication::processEvents();
        ++passes;
    }
    frames.join();
    QTRY_COMPARE(value, kFitScale);
    QVERIFY(!offThread);
    QVERIFY(count > 1);
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
