#include "support/url_catcher.h"

#include <QDesktopServices>

namespace {

const char* const kSchemes[] = {"file", "http", "https"};

} // namespace

UrlCatcher::UrlCatcher(Answer p_Answer)
{
    // openUrl returns whether invoking the handler's method succeeded: a
    // name this class has no method for makes every call report failure.
    const char* szMethod = p_Answer == Opens ? "open" : "noSuchMethod";
    for (const char* szScheme : kSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(szScheme), this, szMethod);
}

UrlCatcher::~UrlCatcher()
{
    for (const char* szScheme : kSchemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(szScheme));
}

void UrlCatcher::open(const QUrl& p_Url)
{
    Urls << p_Url;
}
