#pragma once

#include "ui/TDialog.h"

#include <QString>
#include <map>

namespace rf {

class CTButtonPicture;
class CTStatic;
struct Settings;
struct SkinPaths;

// The navigation column: one button per page and the version label at its foot. Its width is fixed; it
// takes the height the window gives it.
class CMenuDlg : public CTDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 220;
    static constexpr int kMinimumHeight = 522;
    // Menu button texts are centred, but never begin left of the icon's right edge (44 pixels) and a gap.
    static constexpr int kTextMargin = 50;

    CMenuDlg(const Settings& settings, const SkinPaths& skin, QWidget* parent);

    // Gives pageId's button the selected look and reports the choice.
    void SelectPage(int pageId);
    int SelectedPage() const { return selected_; }
    CTButtonPicture* Button(int pageId) const;
    // Every navigation button, for the length of a page's long operation.
    void SetButtonsEnabled(bool on);

protected:
    void resizeEvent(QResizeEvent* event) override;

Q_SIGNALS:
    void pageSelected(int pageId);

private:
    std::map<int, CTButtonPicture*> buttons_;
    CTStatic* version_ = nullptr;
    int selected_ = 0;
};

} // namespace rf
