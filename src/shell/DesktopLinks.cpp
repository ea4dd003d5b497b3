#include "shell/DesktopLinks.h"

#include "core/Language.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"

#include <QDesktopServices>
#include <QDir>

namespace rf {

namespace {

std::function<bool(const QUrl&)>& Opener() {
    static std::function<bool(const QUrl&)> opener = [](const QUrl& url) {
        return QDesktopServices::openUrl(url);
    };
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

bool OpenInBrowser(QWidget* parent, const QUrl& url) {
    if (Opener()(url)) {
        return true;
    }
    const QString address = url.isLocalFile() ? url.toLocalFile() : url.toString();
    MessageBox::copyable(parent, TranslateText("No web browser opened. The address is:") +
                                     QStringLiteral("\n\n") + address);
    return false;
}

void SetBrowserOpener(std::function<bool(const QUrl&)> opener) {
    Opener() = std::move(opener);
}

} // namespace rf
