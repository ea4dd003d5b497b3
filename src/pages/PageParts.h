#pragma once

class QWidget;

namespace rf {

class CTStatic;
struct Settings;

// Pieces the list pages share.

// The size of a button on a list page's button row.
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;

// The one-line outcome of a page's last batch, beside its buttons: selectable, never translated.
CTStatic* MakeBatchSummaryLine(const Settings& settings, QWidget* page);
// The thin line under a page's buttons, in the settings' line colour.
QWidget* MakeSeparatorLine(const Settings& settings, QWidget* page);

} // namespace rf
