#pragma once

#include "core/ViewState.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <string>

namespace rf {

class CApplicationDlg;

// Keeps what the user arranged (the window, the page shown, each list's page size, order and column widths,
// the language and the dialogs' folders) in the user's view file: read when made, given to the window by
// Attach, and written a moment after each change and by Save at exit. A file that cannot be read or is
// damaged is reported by one line on standard error and the program keeps its defaults.
class CViewKeeper : public QObject {
    Q_OBJECT

public:
    static constexpr int kSaveDelayMs = 1000;

    explicit CViewKeeper(std::string path, QObject* parent = nullptr);
    ~CViewKeeper() override;
    CViewKeeper(const CViewKeeper&) = delete;
    CViewKeeper& operator=(const CViewKeeper&) = delete;

    // The language to start with: the chosen one (kept for the next start), else the kept one, else 0.
    std::uint16_t LanguageId(std::uint16_t chosen);
    // Gives the window its kept size, place, page and list arrangements, then follows its changes.
    void Attach(CApplicationDlg& window);
    // Shows the window, maximised when asked or when it was left so.
    void Show(bool maximise);
    // Writes the file now; false when it cannot be written, which standard error is told once.
    bool Save();

    const ViewState& State() const { return state_; }
    QTimer& SaveTimer() { return saveTimer_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Collect();

    std::string path_;
    ViewState state_;
    QPointer<CApplicationDlg> window_;
    const QObject* windowObject_ = nullptr; // the same window, for the event filter
    QTimer saveTimer_;
    bool writeFailed_ = false;
};

} // namespace rf
