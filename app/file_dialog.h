// The program's file dialogs: Qt's own (not the platform's), non-modal, waited for while events keep flowing.
#pragma once

#include <QList>
#include <QString>
#include <QUrl>

class QWidget;

struct FileDialogRequest
{
    QWidget* Parent = nullptr; // the dialog is its child (none: a window of its own)
    QString Caption;
    QString Folder;        // where the dialog opens; empty: Qt's default
    QString Filter;        // e.g. "CSV files (*.csv)"; empty: every file
    QString DefaultSuffix; // added to a saved name typed without one, e.g. "csv"
    bool Save = false;     // a name to write (any file); otherwise an existing file to read
    QList<QUrl> Places;    // the side bar; empty: Qt's own
};

// Shows the dialog non-modal and returns once it is closed: the chosen path,
// or an empty text when the operator cancelled (or the dialog went away).
QString ChooseFile(const FileDialogRequest& p_Request);

// Desktop, Downloads and Home (those that exist on this system), then p_sFolder.
QList<QUrl> StandardPlacesAnd(const QString& p_sFolder);
