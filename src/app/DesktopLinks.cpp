#include "app/DesktopLinks.h"

#include "core/Language.h"
#include "ui/QtConvert.h"

#include <QDesktopServices>
#include <QDir>

namespace rf {

namespace {

std::function<void(const QUrl&)>& Opener() {
    static std::function<void(const QUrl&)> opener = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return opener;
}

} // namespace

QUrl HelpAddress(const std::string& key, const std::string& exeDirectory) {
    const QString text = ToQString(Translate(key));
    const QUrl url(text);
    if (url.isValid() && !url.scheme().isEmpty() && url.scheme().size() > 1) {
        return url;
    }
    return QUrl::fromLocalFile(QDir(ToQString(exeDirectory)).filePath(text));
}

void OpenInBrowser(const QUrl& url) {
    Opener()(url);
}

void SetBrowserOpener(std::function<void(const QUrl&)> opener) {
    Opener() = std::move(opener);
}

} // namespace rf
