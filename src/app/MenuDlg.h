#pragma once

#include "ui/TDialog.h"

#include <QString>
#include <map>

namespace rf {

class CTButtonPicture;
class CTStatic;
struct SkinPaths;

// The navigation column: one button per page and the version label.
class CMenuDlg : public CTDialog {
    Q_OBJECT

public:
    CMenuDlg(const SkinPaths& skin, const QString& versionLabel, QWidget* parent);

    // Gives pageId's button the selected look and reports the choice.
    void SelectPage(int pageId);
    int SelectedPage() const { return selected_; }
    CTButtonPicture* Button(int pageId) const;

Q_SIGNALS:
    void pageSelected(int pageId);

private:
    std::map<int, CTButtonPicture*> buttons_;
    CTStatic* version_ = nullptr;
    int selected_ = 0;
};

} // namespace rf
