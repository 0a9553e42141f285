#pragma once

#include <memory>
#include <optional>

#include <QString>

class QFileDialog;
class QInputDialog;
class QWidget;

namespace qx {

// The game's own questions as Qt dialogs: the scenario and saved-game file
// dialogs with the game's titles and filters, the empire name prompt and
// yes/no questions.
namespace dialogs {

enum class TFileKind { Scenario, OpenGame, SaveGame };

// A file dialog set up for one kind of file, opening in `folder` (made when
// it is missing, for saved games): "Open Scenario File" with "Quorvex
// Scenario (*.qxscen)", or "Select Save Game File" with "Quorvex (*.qx)";
// saving asks before it overwrites and adds the extension.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, TFileKind kind, const QString& folder);
// Shows it; the chosen file, or empty when cancelled.
QString ChooseFile(QWidget* parent, TFileKind kind, const QString& folder);

// "What is the name of your Empire?", titled "Player Info".
std::unique_ptr<QInputDialog> MakeEmpireNameDialog(QWidget* parent);
// The answer, none when cancelled.
std::optional<QString> AskEmpireName(QWidget* parent);

// A yes/no question; true for yes.
bool Confirm(QWidget* parent, const QString& question);

} // namespace dialogs

} // namespace qx
