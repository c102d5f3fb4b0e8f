// The program's file dialogs: Qt's own (not the platform's), non-modal, waited for while events keep flowing.
#include "app/file_dialog.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QPointer>
#include <QStandardPaths>

QString ChooseFile(const FileDialogRequest& p_Request)
{
    QPointer<QFileDialog> pDialog =
        new QFileDialog(p_Request.Parent, p_Request.Caption, p_Request.Folder, p_Request.Filter);
    // Qt's dialog looks the same everywhere, and tests can drive it.
    pDialog->setOption(QFileDialog::DontUseNativeDialog, true);
    if (p_Request.Save) {
        pDialog->setAcceptMode(QFileDialog::AcceptSave);
        pDialog->setFileMode(QFileDialog::AnyFile);
    } else {
        pDialog->setAcceptMode(QFileDialog::AcceptOpen);
        pDialog->setFileMode(QFileDialog::ExistingFile);
    }
    if (!p_Request.DefaultSuffix.isEmpty())
        pDialog->setDefaultSuffix(p_Request.DefaultSuffix);
    if (!p_Request.Places.isEmpty())
        pDialog->setSidebarUrls(p_Request.Places);
    pDialog->setModal(false);

    QEventLoop loop;
    int iResult = QDialog::Rejected;
    QObject::connect(pDialog.data(), &QDialog::finished, &loop, [&loop, &iResult](int p_iResult) {
        iResult = p_iResult;
        loop.quit();
    });
    QObject::connect(pDialog.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    pDialog->show();
    loop.exec();

    QString sPath;
    if (pDialog) {
        const QStringList selected = pDialog->selectedFiles();
        if (iResult == QDialog::Accepted && !selected.isEmpty())
            sPath = selected.first();
        pDialog->deleteLater();
    }
    return sPath;
}

QList<QUrl> StandardPlacesAnd(const QString& p_sFolder)
{
    QList<QUrl> places;
    for (QStandardPaths::StandardLocation where :
         {QStandardPaths::DesktopLocation, QStandardPaths::DownloadLocation, QStandardPaths::HomeLocation}) {
        const QStringList paths = QStandardPaths::standardLocations(where);
        if (!paths.isEmpty())
            places << QUrl::fromLocalFile(paths.first());
    }
    places << QUrl::fromLocalFile(p_sFolder);
    return places;
}
