// Stands for the desktop in a test: the URLs the program asks QDesktopServices to open.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// While it lives, QDesktopServices::openUrl hands every URL of the schemes
// the program opens (file, http, https) to this object instead of a viewer.
// One at a time: the last to go leaves no handler behind.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    enum Answer { Opens, Refuses };
    // Refuses: openUrl reports failure, as when the desktop has nothing to open the URL with.
    explicit UrlCatcher(Answer p_Answer = Opens);
    ~UrlCatcher() override;

    // The URLs opened, in order (none while refusing).
    QList<QUrl> Urls;

    Q_INVOKABLE void open(const QUrl& p_Url);
};
