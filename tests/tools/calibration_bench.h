// What the calibration tests share: the stand-in calibration program, the box answerer and the folder dialog driver.
#pragma once

#include "app/message_boxes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMap>
#include <QTimer>
#include <QtTest>

#include <functional>

// Writes the stand-in for the external calibration program at
// p_sRoot/Processing_Calibration/main.exe: a script that writes its
// arguments, one a line, into arguments.txt beside itself.
inline bool WriteStandInCalibrationProgram(const QString& p_sRoot)
{
    const QString sFolder = p_sRoot + "/Processing_Calibration";
    if (!QDir().mkpath(sFolder))
        return false;
    QFile script(sFolder + "/main.exe");
    if (!script.open(QIODevice::WriteOnly))
        return false;
    script.write("#!/bin/sh\n"
                 "out=\"$(dirname \"$0\")/arguments.txt\"\n"
                 "printf '%s\\n' \"$@\" > \"$out.tmp\" && mv \"$out.tmp\" \"$out\"\n");
    script.close();
    return script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

inline QString StandInArgumentsPath(const QString& p_sRoot)
{
    return p_sRoot + "/Processing_Calibration/arguments.txt";
}

inline QByteArray ReadWholeFile(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The titles of boxes recorded as "title|text".
inline QStringList BoxTitles(const QStringList& p_Boxes)
{
    QStringList titles;
    for (const QString& sBox : p_Boxes)
        titles << sBox.section('|', 0, 0);
    return titles;
}

// Answers every box at once: records "title|text" and returns the answer set
// for its title (0, the first button, by default). A hook may act instead.
struct BoxAnswers
{
    QStringList Boxes;
    QMap<QString, int> ByTitle;
    std::function<void(const MessageBoxRequest&)> OnBox;

    BoxAnswers()
    {
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            Boxes << p_Request.title + "|" + p_Request.text;
            if (OnBox)
                OnBox(p_Request);
            return ByTitle.value(p_Request.title, 0);
        });
    }
    ~BoxAnswers() { SetMessageBoxPresenter({}); }
    QStringList titles() const { return BoxTitles(Boxes); }
};

// Once the folder dialog shows, lets it report p_sFolder, then accepts or cancels it.
inline void ChooseFolderWhenAsked(const QString& p_sFolder, bool p_bAccept)
{
    auto* pTimer = new QTimer;
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, p_sFolder, p_bAccept]() {
        for (QWidget* pWidget : QApplication::topLevelWidgets()) {
            auto* pDialog = qobject_cast<QFileDialog*>(pWidget);
            if (!pDialog || !pDialog->isVisible())
                continue;
            pDialog->setDirectory(p_sFolder);
            // Let the window's poll see what the dialog now reports.
            QTimer::singleShot(150, pDialog, [pDialog, p_bAccept]() {
                QDialog* pBase = pDialog;
                if (p_bAccept)
                    QMetaObject::invokeMethod(pBase, "accept");
                else
                    pBase->reject();
            });
            pTimer->stop();
            pTimer->deleteLater();
            return;
        }
    });
    pTimer->start(20);
}
