#include "pages/TimeRebootDlg.h"

#include "pages/TabControls.h"
#include "ui/QtConvert.h"
#include "ui/TEdit.h"
#include "ui/WindowTranslation.h"

#include <QCheckBox>

namespace rf {
namespace {

constexpr std::array<const char*, kDayCount> kDayKeys{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                      "Friday", "Saturday", "Sunday"};
constexpr std::array<const char*, kDayCount> kDayNames{"dayMon", "dayTue", "dayWed", "dayThu",
                                                       "dayFri", "daySat", "daySun"};

} // namespace

CTimeRebootDlg::CTimeRebootDlg(const Settings& settings, const RebootScheduleBlock& stored, QWidget* parent)
    : CTDialog(parent) {
    setObjectName(QStringLiteral("TimeRebootDlg"));
    MakeChildPage();
    const RebootScheduleForm opening = OpenRebootScheduleForm(stored);
    MakeTabLabel(settings, this, "Time_to_restart", {30, 10, 150, 24});
    enable_ = MakeTabCheck(this, "rebootEnable", "Enable", {190, 10, 150, 24});
    MakeTabLabel(settings, this, "Restart_time", {30, 50, 150, 24});
    hour_ = MakeTabEdit(this, "rebootHour", {190, 50, 50, 24}, 2, CharMode::Digits);
    hour_->setText(ToQString(opening.hour));
    MakeTabLabel(settings, this, "Hour", {245, 50, 60, 24});
    minute_ = MakeTabEdit(this, "rebootMinute", {310, 50, 50, 24}, 2, CharMode::Digits);
    minute_->setText(ToQString(opening.minute));
    MakeTabLabel(settings, this, "Minutes", {365, 50, 80, 24});
    MakeTabLabel(settings, this, "Date", {30, 90, 150, 24});
    for (size_t day = 0; day < kDayCount; ++day) {
        const int column = static_cast<int>(day % 4);
        const int row = static_cast<int>(day / 4);
        days_[day] =
            MakeTabCheck(this, kDayNames[day], kDayKeys[day], {190 + 110 * column, 90 + 30 * row, 105, 24});
        days_[day]->setChecked(opening.days[day]);
    }
    everyday_ = MakeTabCheck(this, "rebootEveryday", "Everyday", {190 + 110 * 3, 120, 105, 24});
    enable_->setChecked(opening.enabled);
    EnableSchedule(opening.enabled);
    if (opening.everyday) {
        everyday_->setChecked(true);
        OnEveryday(true);
    }
    connect(enable_, &QCheckBox::toggled, this, &CTimeRebootDlg::EnableSchedule);
    connect(everyday_, &QCheckBox::toggled, this, &CTimeRebootDlg::OnEveryday);
    TranslateWindow(this);
}

void CTimeRebootDlg::EnableSchedule(bool on) {
    hour_->setEnabled(on);
    minute_->setEnabled(on);
    everyday_->setEnabled(on);
    for (QCheckBox* day : days_) {
        day->setEnabled(on && !everyday_->isChecked());
    }
}

void CTimeRebootDlg::OnEveryday(bool on) {
    for (QCheckBox* day : days_) {
        day->setChecked(on);
        day->setEnabled(!on && enable_->isChecked());
    }
}

RebootScheduleForm CTimeRebootDlg::Form() const {
    RebootScheduleForm form;
    form.enabled = enable_->isChecked();
    form.hour = ToStdString(hour_->text());
    form.minute = ToStdString(minute_->text());
    for (size_t day = 0; day < kDayCount; ++day) {
        form.days[day] = days_[day]->isChecked();
    }
    form.everyday = everyday_->isChecked();
    return form;
}

} // namespace rf
