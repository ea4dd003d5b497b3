// The in-place rename of the status page: an editor over the Location cell of a device, the name rules
// of its model, and the rename batch.
#include "core/OperateCharacter.h"
#include "operations/OperationCatalogue.h"
#include "pages/DeviceList.h"
#include "pages/DeviceRows.h"
#include "pages/StatusDlg.h"
#include "ui/GridCtrl.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace rf {
namespace {

constexpr size_t kMaxNameBytes = 32;

// Escape on the editor cancels the rename.
class EscapeCancels : public QObject {
public:
    EscapeCancels(QObject* parent, std::function<void()> cancel)
        : QObject(parent), cancel_(std::move(cancel)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            cancel_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> cancel_;
};

} // namespace

void CStatusDlg::BeginRename(int row) {
    const DeviceRow* record = List().Row(row);
    if (record == nullptr || record->announced) {
        return;
    }
    const std::string mac = record->mac;
    const std::string name = record->name;
    EndRename(); // another cell's edit is committed, not lost
    row = List().RowOfDevice(mac);
    if (row < 0 || renameEditor_) { // a refused edit stays open for the user to mend
        return;
    }
    oldName_ = name;
    OpenRenameEditor(row, mac, ToQString(oldName_));
}

void CStatusDlg::OpenRenameEditor(int row, const std::string& mac, const QString& text) {
    CGridCtrl* grid = List().Grid();
    renameMac_ = mac;
    renameEditor_ = new QLineEdit(grid->viewport());
    renameEditor_->setObjectName(QStringLiteral("renameEditor"));
    renameEditor_->setProperty("rfNoTranslate", true);
    renameEditor_->setAlignment(Qt::AlignCenter);
    renameEditor_->setGeometry(grid->CellRect(row, List().ColumnOf(kFieldLocation)));
    renameEditor_->setText(text);
    renameEditor_->selectAll();
    renameEditor_->installEventFilter(new EscapeCancels(renameEditor_, [this] { CancelRename(); }));
    renameEditor_->show();
    renameEditor_->setFocus();
    connect(renameEditor_, &QLineEdit::editingFinished, this, &CStatusDlg::EndRename);
}

void CStatusDlg::PlaceRenameEditor() {
    if (!renameEditor_) {
        return;
    }
    const int row = List().RowOfDevice(renameMac_);
    if (row < 0) {
        CancelRename(); // the device left the page
        return;
    }
    renameEditor_->setGeometry(List().Grid()->CellRect(row, List().ColumnOf(kFieldLocation)));
}

void CStatusDlg::CancelRename() {
    if (renameEditor_) {
        QLineEdit* editor = renameEditor_;
        renameEditor_.clear();
        editor->disconnect(this);
        editor->hide();
        editor->deleteLater();
    }
    renameMac_.clear();
}

void CStatusDlg::EndRename() {
    if (!renameEditor_) {
        return;
    }
    const std::string mac = renameMac_;
    const std::string newName = ToStdString(renameEditor_->text());
    CancelRename();
    const int row = List().RowOfDevice(mac);
    const DeviceRow* record = List().Row(row);
    if (record == nullptr || newName == oldName_) {
        return;
    }
    CGridCtrl* grid = List().Grid();
    if (newName.empty()) {
        grid->SetCellText(row, List().ColumnOf(kFieldLocation), ToQString(oldName_));
        return;
    }
    const CheckResult check =
        CheckRename(SelectedDevice::Make(record->ip, record->mac, record->model), oldName_, newName);
    if (!check.Accepted()) {
        // The typed name stays in the editor for the user to mend, as the configuration dialog keeps it.
        MessageBox::warning(this, TranslateText(check.refusal->messageKey));
        OpenRenameEditor(row, mac, ToQString(newName));
        return;
    }
    ClearBatchSummary();
    if (!MayStartBatch()) {
        grid->SetCellText(row, List().ColumnOf(kFieldLocation), ToQString(oldName_));
        return;
    }
    const std::string name = TruncateToByteBudget(newName, kMaxNameBytes);
    grid->SetCellText(row, List().ColumnOf(kFieldLocation), ToQString(name));
    StartBatch(kRenameEntry.titleKey, check.plan);
}

} // namespace rf
