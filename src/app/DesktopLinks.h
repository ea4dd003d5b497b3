#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <string>

namespace rf {

// The address behind a help-menu key: its text in the language file (the key itself when missing). A
// relative path names a file of the bundle, beside the executable.
QUrl HelpAddress(const std::string& key, const std::string& exeDirectory);

// Opens an address in the user's web browser. Tests replace the opener to see what would open.
void OpenInBrowser(const QUrl& url);
void SetBrowserOpener(std::function<void(const QUrl&)> opener);

} // namespace rf
