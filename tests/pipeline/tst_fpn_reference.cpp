// Tests of the software FPN reference: single, averaged, requests and runs.
#include "pipeline/correction_chain.h"
#include "pipeline/fpn_reference.h"

#include <QtTest>

#include <sstream>
#include <vector>

Q_DECLARE_METATYPE(std::vector<uint16_t>)

class tst_fpn_reference : public QObject
{
    Q_OBJECT

private slots:
    void referenceMeanRounding_data();
    void referenceMeanRounding();
    void noRequestTouchesNothing();
    void singleReferenceOfUniformFrame();
    void averagedRun();
    void averagedLatchesNAndSizesByFrame();
    void switchingModeDiscardsRun();
    void resetDiscardsRun();
};

void tst_fpn_reference::referenceMeanRounding_data()
{
    QTest::addColumn<std::vector<uint16_t>>("image");
    QTest::addColumn<int>("mean");
    QTest::newRow("1000") << std::vector<uint16_t>{1000, 1000} << 1000;
    QTest::newRow("1000.5 to even") << std::vector<uint16_t>{1000, 1001} << 1000;
    QTest::newRow("1001.5 to even") << std::vector<uint16_t>{1001, 1002} << 1002;
    QTest::newRow("1000.25") << std::vector<uint16_t>{1000, 1000, 1000, 1001} << 1000;
}

void tst_fpn_reference::referenceMeanRounding()
{
    QFETCH(std::vector<uint16_t>, image);
    QFETCH(int, mean);
    QCOMPARE(int(ReferenceMean(image.data(), image.size())), mean);
}

void tst_fpn_reference::noRequestTouchesNothing()
{
    FpnReferenceBuilder b;
    std::vector<uint16_t> raw(4, 7), active(4, 3);
    std::ostringstream out;
    const FpnFrameResult r = b.onFrame(raw.data(), active.data(), 4, true, 3, out);
    QVERIFY(!r.Requested && !r.RaiseNewReference && !r.ReferenceBuilt);
    QCOMPARE(active, std::vector<uint16_t>(4, 3));
    QVERIFY(!b.run().active());
    QVERIFY(out.str().empty());
}

void tst_fpn_reference::singleReferenceOfUniformFrame()
{
    FpnReferenceBuilder b;
    std::vector<uint16_t> raw(12, 1000), active(12, 0);
    std::ostringstream out;
    b.request();
    const FpnFrameResult r = b.onFrame(raw.data(), active.data(), 12, false, 10, out);
    QVERIFY(r.ReferenceBuilt && r.RaiseNewReference);
    QCOMPARE(int(r.Mean), 1000);
    QCOMPARE(out.str(), std::string("MeanReferenceImage = 1000\n"));
    QCOMPARE(active, raw);
    QVERIFY(!b.requested());

    // With FPN subtraction on, this frame and the next one of 1000 correct to 0
    // before offset and gain.
    FrameGeometry g{4, 3, 8};
    CorrectionSettings s;
    s.Input = SoftwareInput::FPN;
    std::vector<uint16_t> corrected(12, 1);
    std::vector<float> wf(12, 1.f);
    BadPixelFillState fill;
    GammaTable gamma;
    FrameOutputs o;
    o.Corrected = corrected.data();
    o.Working32f = wf.data();
    RunCorrectionChain({raw.data(), active.data(), nullptr}, g, s, {}, fill, gamma, o);
    QCOMPARE(corrected, std::vector<uint16_t>(12, 0));
    QCOMPARE(wf, std::vector<float>(12, 0.f));
}

void tst_fpn_reference::averagedRun()
{
    FpnReferenceBuilder b;
    std::vector<uint16_t> active(2, 500);
    std::ostringstream out;
    b.request();
    const uint16_t frames[3][2] = {{10, 100}, {11, 200}, {13, 301}};
    for (int k = 0; k < 3; ++k) {
        std::vector<uint16_t> raw(frames[k], frames[k] + 2);
        const FpnFrameResult r = b.onFrame(raw.data(), active.data(), 2, true, 3, out);
        QVERIFY(r.RaiseNewReference);
        if (k < 2) {
            QVERIFY(r.DisableButton && !r.EnableButton && !r.ReferenceBuilt);
            QCOMPARE(active, std::vector<uint16_t>(2, 500)); // unchanged until the N-th frame
            QVERIFY(b.requested());
        } else {
            QVERIFY(r.EnableButton && r.ReferenceBuilt);
        }
    }
    QCOMPARE(active, (std::vector<uint16_t>{11, 200}));
    QVERIFY(!b.requested());
    QVERIFY(!b.run().active());
    QVERIFY(out.str().empty()); // the averaged mean is not printed
}

void tst_fpn_reference::averagedLatchesNAndSizesByFrame()
{
    // N is taken at the first frame of a run: a change of the spin box midway
    // neither ends the run early nor stores beyond it. The run is sized by the
    // frame, here larger than any fixed slot size would have been.
    const size_t pixels = 1280 * 2048;
    FpnReferenceBuilder b;
    std::vector<uint16_t> raw(pixels, 4), active(pixels, 0);
    std::ostringstream out;
    b.request();
    QVERIFY(!b.onFrame(raw.data(), active.data(), pixels, true, 3, out).ReferenceBuilt);
    QCOMPARE(b.run().frames(), 3u);
    QVERIFY(!b.onFrame(raw.data(), active.data(), pixels, true, 1, out).ReferenceBuilt);
    raw.back() = 10;
    QVERIFY(b.onFrame(raw.data(), active.data(), pixels, true, 50, out).ReferenceBuilt);
    QCOMPARE(int(active.front()), 4);
    QCOMPARE(int(active.back()), 6); // (4 + 4 + 10) / 3
}

void tst_fpn_reference::switchingModeDiscardsRun()
{
    FpnReferenceBuilder b;
    std::vector<uint16_t> raw(3, 9), active(3, 0);
    std::ostringstream out;
    b.request();
    b.onFrame(raw.data(), active.data(), 3, true, 5, out);
    QVERIFY(b.run().active());
    const FpnFrameResult r = b.onFrame(raw.data(), active.data(), 3, false, 5, out);
    QVERIFY(r.RunDiscarded && r.EnableButton && r.ReferenceBuilt);
    QVERIFY(!b.run().active());
    // A new averaged request starts a fresh run from its first frame.
    b.request();
    raw.assign(3, 30);
    b.onFrame(raw.data(), active.data(), 3, true, 2, out);
    QCOMPARE(b.run().count(), 1u);
}

void tst_fpn_reference::resetDiscardsRun()
{
    FpnReferenceBuilder b;
    std::vector<uint16_t> raw(3, 9), active(3, 0);
    std::ostringstream out;
    b.request();
    b.onFrame(raw.data(), active.data(), 3, true, 5, out);
    b.reset();
    QVERIFY(!b.run().active());
    QVERIFY(!b.requested());
    // A frame of a different size during a run restarts it at that size.
    b.request();
    b.onFrame(raw.data(), active.data(), 3, true, 2, out);
    std::vector<uint16_t> raw2(2, 8), active2(2, 0);
    const FpnFrameResult r = b.onFrame(raw2.data(), active2.data(), 2, true, 2, out);
    QVERIFY(r.RunDiscarded);
    QCOMPARE(b.run().count(), 1u);
    QCOMPARE(b.run().pixels(), size_t(2));
}

QTEST_GUILESS_MAIN(tst_fpn_reference)
#include "tst_fpn_reference.moc"
