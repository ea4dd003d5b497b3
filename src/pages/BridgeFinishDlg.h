#pragma once

#include "ui/TDialog.h"

namespace rf {

struct Settings;
struct SkinPaths;

// The wizard's closing page: a picture and what Save is about to do; no input.
class CBridgeFinishDlg : public CTDialog {
    Q_OBJECT

public:
    CBridgeFinishDlg(const Settings& settings, const SkinPaths& skin, QWidget* parent);
};

} // namespace rf
