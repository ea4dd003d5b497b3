#pragma once

#include "rules/RebootScheduleForm.h"
#include "ui/TDialog.h"

#include <array>

class QCheckBox;

namespace rf {

class CTEdit;
struct Settings;

// The scheduled-reboot tab: on or off, the hour and minute, and the days (or "Everyday").
class CTimeRebootDlg : public CTDialog {
    Q_OBJECT

public:
    CTimeRebootDlg(const Settings& settings, const RebootScheduleBlock& stored, QWidget* parent);

    RebootScheduleForm Form() const;

    QCheckBox* EnableBox() const { return enable_; }
    CTEdit* HourEdit() const { return hour_; }
    CTEdit* MinuteEdit() const { return minute_; }
    QCheckBox* DayBox(size_t day) const { return days_[day]; }
    QCheckBox* EverydayBox() const { return everyday_; }

private:
    void EnableSchedule(bool on);
    void OnEveryday(bool on);

    QCheckBox* enable_ = nullptr;
    CTEdit* hour_ = nullptr;
    CTEdit* minute_ = nullptr;
    std::array<QCheckBox*, kDayCount> days_{};
    QCheckBox* everyday_ = nullptr;
};

} // namespace rf
