#pragma once

#include <QProxyStyle>

namespace rf {

// The platform's style with tooltips that appear half a second after the pointer stops.
class CToolTipStyle : public QProxyStyle {
    Q_OBJECT

public:
    static constexpr int kWakeUpDelayMs = 500;

    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

} // namespace rf
