// The in-place rename of the status page: an editor over the Location cell, the name rules of the
// device's model, and the rename worker.
#include "core/OperateCharacter.h"
#include "pages/DeviceList.h"
#include "pages/DeviceRows.h"
#include "pages/DeviceWorkers.h"
#include "pages/StatusDlg.h"
#include "protocol/CodeTables.h"
#include "rules/DeviceRules.h"
#include "ui/GridCtrl.h"
#include "ui/MessageBox.h"
#include "ui/QtConvert.h"

#include <QLineEdit>

namespace rf {
namespace {

constexpr size_t kMaxNameBytes = 32;

} // namespace

void CStatusDlg::BeginRename(int row) {
    if (list_->IsAnnouncedRow(row)) {
        return;
    }
    CancelRename();
    CGridCtrl* grid = list_->Grid();
    renameRow_ = row;
    oldName_ = ToStdString(grid->GetCellText(row, kColumnLocation));
    renameEditor_ = new QLineEdit(grid->viewport());
    renameEditor_->setObjectName(QStringLiteral("renameEditor"));
    renameEditor_->setProperty("rfNoTranslate", true);
    renameEditor_->setAlignment(Qt::AlignCenter);
    renameEditor_->setGeometry(grid->CellRect(row, kColumnLocation));
    renameEditor_->setText(ToQString(oldName_));
    renameEditor_->selectAll();
    renameEditor_->show();
    renameEditor_->setFocus();
    connect(renameEditor_, &QLineEdit::editingFinished, this, &CStatusDlg::EndRename);
}

void CStatusDlg::CancelRename() {
    if (renameEditor_) {
        QLineEdit* editor = renameEditor_;
        renameEditor_.clear();
        editor->disconnect(this);
        editor->hide();
        editor->deleteLater();
    }
    renameRow_ = -1;
}

void CStatusDlg::EndRename() {
    if (!renameEditor_ || renameRow_ < 1) {
        return;
    }
    const int row = renameRow_;
    const std::string newName = ToStdString(renameEditor_->text());
    CancelRename();
    CGridCtrl* grid = list_->Grid();
    if (newName == oldName_) {
        return;
    }
    if (newName.empty()) {
        grid->SetCellText(row, kColumnLocation, ToQString(oldName_));
        return;
    }
    const int model = ModelCode(ToStdString(grid->GetCellText(row, kColumnType)));
    if (!IsValidName(newName, model)) {
        grid->SetCellText(row, kColumnLocation, ToQString(oldName_));
        MessageBox::warning(this, TranslateText(NameRuleMessage(model)));
        return;
    }
    const std::string name = TruncateToByteBudget(newName, kMaxNameBytes);
    grid->SetCellText(row, kColumnLocation, ToQString(name));
    const SelectedDevice device =
        SelectedDevice::Make(ToStdString(grid->GetCellText(row, kColumnIp)),
                             ToStdString(grid->GetCellText(row, kColumnMac)), model);
    renameWorker_.Start([&engine = context_.engine, name, device](std::stop_token stop) {
        RunRename(stop, engine, name, device);
    });
    reloadTimer_.start();
}

} // namespace rf
