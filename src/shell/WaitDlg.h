#pragma once

#include "shell/WaitSchedule.h"
#include "ui/TDialog.h"

#include <QTimer>

class QProgressBar;

namespace rf {

class CNetManagement;
class CTButtonPicture;
struct SkinPaths;

// A timed progress bar shown while devices restart or move; it can search for them again near its end.
// A skinned dialog: Enter and Escape do not end the wait early (only its close button does).
class CWaitDlg : public CTDialog {
    Q_OBJECT

public:
    static constexpr int kTickMs = 500;

    CWaitDlg(CNetManagement& engine, const SkinPaths& skin, int seconds, bool search, int searchCount,
             QWidget* parent = nullptr);

    // One tick of the timer.
    void OnTick();
    QTimer& Timer() { return timer_; }
    const WaitSchedule& Schedule() const { return schedule_; }
    int Progress() const;

private:
    CNetManagement& engine_;
    WaitSchedule schedule_;
    QTimer timer_;
    QProgressBar* progress_ = nullptr;
};

} // namespace rf
