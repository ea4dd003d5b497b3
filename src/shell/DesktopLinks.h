#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <string>

class QWidget;

namespace rf {

// The address behind a help-menu key: its text in the language file (the key itself when missing). A
// relative path names a file of the bundle, beside the executable.
QUrl HelpAddress(const std::string& key, const std::string& exeDirectory);

// Opens an address in the user's web browser. When no browser opens, the address is shown in a message
// whose text the user can select and copy. True when a browser took it.
bool OpenInBrowser(QWidget* parent, const QUrl& url);
// Tests replace the opener to see what would open; it answers whether a browser took the address.
void SetBrowserOpener(std::function<bool(const QUrl&)> opener);

} // namespace rf
