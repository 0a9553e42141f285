#include "app/GameFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "app/AppInfo.h"
#include "app/Messages.h"
#include "game/GameSetup.h"

namespace qx::dialogs {

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, TFileKind kind, const QString& folder) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setObjectName(kind == TFileKind::Scenario ? "dlgOpenScenario"
                          : kind == TFileKind::OpenGame ? "dlgOpenGame"
                                                         : "dlgSaveGame");
    if (kind == TFileKind::Scenario) {
        dialog->setWindowTitle("Open Scenario File");
        dialog->setNameFilter("Quorvex Scenario (*.qxscen)");
        dialog->setDefaultSuffix("qxscen");
    } else {
        dialog->setWindowTitle("Select Save Game File");
        dialog->setNameFilter("Quorvex (*.qx)");
        dialog->setDefaultSuffix("qx");
    }
    if (kind == TFileKind::SaveGame) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        QDir().mkpath(folder);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    if (QDir(folder).exists()) dialog->setDirectory(folder);
    return dialog;
}

QString ChooseFile(QWidget* parent, TFileKind kind, const QString& folder) {
    if (TMessages::Quiet()) return {};
    const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(parent, kind, folder);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().front();
}

std::unique_ptr<QInputDialog> MakeEmpireNameDialog(QWidget* parent) {
    auto dialog = std::make_unique<QInputDialog>(parent);
    dialog->setObjectName("dlgPlayerInfo");
    dialog->setWindowTitle("Player Info");
    dialog->setLabelText("What is the name of your Empire?");
    dialog->setInputMode(QInputDialog::TextInput);
    if (auto* edit = dialog->findChild<QLineEdit*>()) edit->setMaxLength(4 * MaxNameLength);
    return dialog;
}

std::optional<QString> AskEmpireName(QWidget* parent) {
    if (TMessages::Quiet()) return std::nullopt;
    const std::unique_ptr<QInputDialog> dialog = MakeEmpireNameDialog(parent);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return dialog->textValue();
}

bool Confirm(QWidget* parent, const QString& question) {
    if (TMessages::Quiet()) return false;
    QMessageBox box(QMessageBox::Question, app::Title, question, QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName("dlgConfirm");
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

} // namespace qx::dialogs
