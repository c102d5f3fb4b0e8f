// The main window's glue to the board links: Camera Link port selection, FPGA registers and the window's frame path.
#include "app/globals.h"
#include "board/acquisition_state.h"
#include "board/cameralink_serial.h"
#include "board/gige_link.h"
#include "board/mainwindow_board_link.h"
#include "board_link_fixture.h"
#include "mainwindow/MainWindow.h"
#include "pipeline/frame_buffers.h"
#include "ui_MainWindow.h"
#include "platform/clserial/clserial.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>
#include <thread>
#include <vector>

using sim::BoardKind;

class tst_board_link_glue : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BoardLinkBench> m_pBench;

    static QString windowLog(MainWindow& p_Window)
    {
        QFile f(p_Window.Log->filePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void onlyCameraLinkBoard(BoardKind p_Kind)
    {
        sim::SimulationSettings s;
        for (BoardKind k : {BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus})
            s.setBoardPresent(k, k == p_Kind);
    }

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void init()
    {
        m_pBench = std::make_unique<BoardLinkBench>();
        sim::ResetCameraLinkSimulation();
    }
    void cleanup()
    {
        CloseCameraLinkSerial();
        sim::ResetCameraLinkSimulation();
        m_pBench.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The selection writes to the main window's own log.
    void portSelectionLogsToTheWindow()
    {
        MainWindow window;
        sim::SetCameraLinkPortLayout({sim::CameraLinkPlug::Nothing, sim::CameraLinkPlug::BelmorPlus});
        char message[CameraLinkMessageBufferSize] = {};
        QCOMPARE(window.ActivateTerminal_Belmor(message), 0);
        QVERIFY(windowLog(window).contains("Port 1 is not available. Try the next one."));
        QVERIFY(windowLog(window).contains("Port selected: 2"));
        sim::SetCameraLinkPortLayout({sim::CameraLinkPlug::Nothing});
        QCOMPARE(window.ActivateTerminal_Arvex(message), 1);
        QCOMPARE(QByteArray(message), QByteArray("clSerialInit error 128\n"));
    }

    // Both Camera Link kinds take the pair through the Belmor encoder, 50 ms after each.
    void fpgaPairOverCameraLink_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::newRow("Belmor+") << BoardKind::BelmorPlus;
        QTest::newRow("Arvex") << BoardKind::Arvex;
    }
    void fpgaPairOverCameraLink()
    {
        QFETCH(BoardKind, kind);
        const BoardKind board = static_cast<BoardKind>(kind);
        MainWindow window;
        onlyCameraLinkBoard(board);
        QCOMPARE(SelectCameraLinkPort(nullptr, nullptr, 0), 0);
        sim::ClearRecordedMessages();
        window.DigiBoardKind = kind;
        QElapsedTimer clock;
        clock.start();
        window.Send_Command_To_FPGA(6, 1);
        QVERIFY(clock.elapsed() >= 100);
        QCOMPARE(sim::RecordedBytes(board, "serial"), (QList<QByteArray>{"!a006", "!b001"}));
        QVERIFY(m_pBench->boxes.isEmpty());
        QVERIFY(!windowLog(window).contains("Couldn't set"));
    }

    void fpgaFailureGivesOneBoxAndOneLine()
    {
        MainWindow window;
        onlyCameraLinkBoard(BoardKind::BelmorPlus);
        QCOMPARE(SelectCameraLinkPort(nullptr, nullptr, 0), 0);
        sim::ClearRecordedMessages();
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::WriteFailure, 1);
        window.DigiBoardKind = BoardKind::BelmorPlus;
        window.Send_Command_To_FPGA(16, 2);
        // The value is not sent after a failed address.
        QVERIFY(sim::RecordedBytes(BoardKind::BelmorPlus, "serial").isEmpty());
        QCOMPARE(m_pBench->boxes.size(), 1);
        QCOMPARE(m_pBench->boxes.first().title, QString("Critical"));
        QCOMPARE(m_pBench->boxes.first().text, QString("Couldn't set PERSO_ADDR to 16.\n"));
        QCOMPARE(windowLog(window).count("Couldn't set PERSO_ADDR to 16."), 1);
    }

    // The frame path the program gives the GigE link reads the window's own fields;
    // ending a save-all run from the pipeline thread stops the saving at once
    // and leaves the widgets to the GUI thread.
    void gigeFramePathOfTheWindow()
    {
        MainWindow window;
        window.FrameHeight = 4;
        window.FramePitch = 8;
        const std::unique_ptr<FrameSink> path = MakeWindowFramePath(&window, window.DunstelLink->framePathRules());
        QCOMPARE(path->geometry().Height, 4);
        QCOMPARE(path->geometry().Pitch, 8);
        QVERIFY(path->frameBuffer() == AllocatedRawFrameBuffer());
        window.SaveAllFramesRaw = true;
        window.SaveAllFramesBmp = false;
        window.NumberFrames = 1;
        window.SaveAllFramesRunning = true;
        const QString sButton = window.ui->pushButton_SaveAllFrames->text();
        std::vector<unsigned short> frame(16, 0x1234);
        std::thread pipelineThread([&] {
            for (int i = 0; i < 2; ++i)
                path->offer(RawFrame{frame.data(), FrameGeometry{window.FrameWidth, 4, 8}});
        });
        pipelineThread.join();
        QVERIFY(!window.SaveAllFramesRunning);
        QCOMPARE(window.ui->pushButton_SaveAllFrames->text(), sButton);
        QCoreApplication::processEvents();
        QVERIFY(!window.SaveAllFramesRunning);
        QCOMPARE(window.ui->pushButton_SaveAllFrames->text(), QString("Save 1 frames in RAW"));
        g_bDisplayBusy = false;
        g_pRawImage16b = nullptr;
    }
};

QTEST_MAIN(tst_board_link_glue)
#include "tst_board_link_glue.moc"
