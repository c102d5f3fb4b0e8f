// Shared bench of the board-link tests: a fresh application folder, a clean simulator and a readable log.
#pragma once

#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "sim/core/board_registry.h"
#include "support/test_app_folder.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

// One test function's bench: the log of the free functions points at a file
// in the staged folder, and critical boxes are collected instead of shown.
struct BoardLinkBench
{
    struct Box
    {
        QString title;
        QString text;
    };

    TestAppFolder folder;
    std::unique_ptr<KV_Log> log;
    QList<Box> boxes;

    BoardLinkBench()
    {
        sim::ResetSimulation();
        KV_Log::setMessageSink([](QMessageBox::Icon, const QString&, const QString&) {});
        log = std::make_unique<KV_Log>();
        log->setLogDirectory(folder.filePath("Logs/"));
        log->createLogFile();
        SetGlobalLog(log.get());
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            boxes.append({p_Request.title, p_Request.text});
            return 0;
        });
    }
    ~BoardLinkBench()
    {
        SetMessageBoxPresenter(nullptr);
        SetGlobalLog(nullptr);
        log.reset();
        KV_Log::setMessageSink(KV_Log::MessageSink());
        sim::ResetSimulation();
    }

    // The texts of the log's lines, after the banner, without their time stamps.
    // A line the program wrote with line breaks inside comes back as several.
    QStringList logLines() const
    {
        QFile file(log->filePath());
        QStringList lines;
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return lines;
        for (const QString& sLine : QString::fromUtf8(file.readAll()).split('\n')) {
            const int iAt = sLine.indexOf(QStringLiteral(" : "));
            lines.append(iAt >= 0 ? sLine.mid(iAt + 3) : sLine);
        }
        return lines;
    }
    // Log texts that start with p_sPrefix.
    QStringList logLinesStartingWith(const QString& p_sPrefix) const
    {
        QStringList out;
        for (const QString& s : logLines())
            if (s.startsWith(p_sPrefix))
                out.append(s);
        return out;
    }
};
