#include "app/ViewKeeper.h"

#include "app/ApplicationDlg.h"
#include "app/MenuDlg.h"
#include "core/ViewFile.h"
#include "shell/Page.h"
#include "shell/PageIds.h"
#include "ui/FileDialog.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <cstdio>

namespace rf {
namespace {

ViewRect ToViewRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

ViewLimits ProgramLimits() {
    ViewLimits limits{{kMenuPages.begin(), kMenuPages.end()}, {}};
    for (const QScreen* screen : QGuiApplication::screens()) {
        limits.screens.push_back(ToViewRect(screen->geometry()));
    }
    return limits;
}

} // namespace

CViewKeeper::CViewKeeper(std::string path, QObject* parent) : QObject(parent), path_(std::move(path)) {
    std::string problem;
    state_ = CheckViewState(ReadViewFile(path_, problem), ProgramLimits());
    if (!problem.empty()) {
        std::fprintf(stderr, "radiofleet: the view file %s %s; the default view is used\n", path_.c_str(),
                     problem.c_str());
    }
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(kSaveDelayMs);
    connect(&saveTimer_, &QTimer::timeout, this, &CViewKeeper::Save);
    FileDialog::UseFolders(&state_.folders, [this] { saveTimer_.start(); });
}

CViewKeeper::~CViewKeeper() {
    FileDialog::UseFolders(nullptr, nullptr);
}

std::uint16_t CViewKeeper::LanguageId(std::uint16_t chosen) {
    if (chosen != 0) {
        state_.languageId = chosen;
    }
    return state_.languageId.value_or(0);
}

void CViewKeeper::Attach(CApplicationDlg& window) {
    window_ = &window;
    windowObject_ = &window;
    for (const int pageId : kMenuPages) {
        CPage* page = window.Pages()->Page(pageId);
        if (page == nullptr) {
            continue;
        }
        if (const auto kept = state_.lists.find(pageId); kept != state_.lists.end()) {
            page->RestoreListView(kept->second);
        }
        connect(page, &CPage::listViewChanged, &saveTimer_, qOverload<>(&QTimer::start));
    }
    if (state_.window) {
        const ViewRect& rect = *state_.window;
        window.setGeometry(rect.x, rect.y, rect.width, rect.height);
    }
    if (state_.lastPage) {
        window.Menu()->SelectPage(*state_.lastPage);
    }
    connect(window.Menu(), &CMenuDlg::pageSelected, &saveTimer_, qOverload<>(&QTimer::start));
    window.installEventFilter(this);
}

void CViewKeeper::Show(bool maximise) {
    if (!window_) {
        return;
    }
    if (maximise || state_.maximised) {
        // Without a window manager (a bare X server) maximising alone changes nothing.
        if (const QScreen* screen = QApplication::primaryScreen()) {
            window_->setGeometry(screen->availableGeometry());
        }
        window_->showMaximized();
    } else {
        window_->show();
    }
}

bool CViewKeeper::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // Compared as objects: the window also sends events while it is being destroyed, when it is no longer
    // a CApplicationDlg.
    if (watched == windowObject_ &&
        (type == QEvent::Move || type == QEvent::Resize || type == QEvent::WindowStateChange)) {
        saveTimer_.start(); // a drag or a resize is written once it rests
    }
    return QObject::eventFilter(watched, event);
}

void CViewKeeper::Collect() {
    if (!window_) {
        return;
    }
    for (const int pageId : kMenuPages) {
        const CPage* page = window_->Pages()->Page(pageId);
        if (const auto view = page != nullptr ? page->CurrentListView() : std::nullopt) {
            state_.lists[pageId] = *view;
        }
    }
    state_.lastPage = window_->Pages()->CurrentPageId();
    state_.maximised = window_->isMaximized();
    // A maximised or minimised window keeps the size and place it had before; they come back when it is
    // made normal again.
    if (!state_.maximised && !window_->isMinimized()) {
        state_.window = ToViewRect(window_->geometry());
    }
}

bool CViewKeeper::Save() {
    saveTimer_.stop();
    Collect();
    const bool saved = WriteViewFile(path_, state_);
    if (!saved && !writeFailed_) {
        std::fprintf(stderr, "radiofleet: the view cannot be kept in %s\n",
                     path_.empty() ? "the user's folder (neither XDG_CONFIG_HOME nor HOME is set)"
                                   : path_.c_str());
    }
    writeFailed_ = !saved;
    return saved;
}

} // namespace rf
