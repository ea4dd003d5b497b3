#include "app/ToolTipStyle.h"

namespace rf {

int CToolTipStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
    if (hint == QStyle::SH_ToolTip_WakeUpDelay) {
        return kWakeUpDelayMs;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace rf
