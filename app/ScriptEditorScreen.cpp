#include "app/ScriptEditorScreen.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QShortcut>
#include <QStandardPaths>
#include <QTextBlock>

#include "app/AppInfo.h"
#include "app/Messages.h"
#include "app/ScriptEdit.h"
#include "base/AtomicFile.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "controls/GraphicPanel.h"
#include "engine/Player.h"
#include "scenario/ScriptsModule.h"
#include "script/ScriptError.h"

namespace qx {

namespace {

const QString ScenarioOpenFilter = "Quorvex Scenario (*.qxscen)";
const QString ScenarioSaveFilter = "Quorvex Scenarios (*.qxscen)";
const QString BrainFilter = "Quorvex Brains (*.qxbrain)";

// The kind a file name says by its extension.
TScriptKind KindOfFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "qxbrain") return TScriptKind::Brain;
    if (suffix == "qxscen") return TScriptKind::Scenario;
    return TScriptKind::None;
}

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

const QColor Good(120, 230, 120);
const QColor Bad(255, 110, 90);

} // namespace

QString TQtScriptEditorDialogs::OpenFile(const QString& title, const QString& filter, const QString& start) {
    return QFileDialog::getOpenFileName(parent_, title, start, filter);
}

QString TQtScriptEditorDialogs::SaveFile(const QString& title, const QString& filters, const QString& start,
                                         QString& chosenFilter) {
    QFileDialog dialog(parent_, title, start, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension gets the one of the chosen kind.
    const auto suffixFor = [](const QString& filter) { return filter.contains("qxbrain") ? "qxbrain" : "qxscen"; };
    dialog.setDefaultSuffix(suffixFor(filters.section(";;", 0, 0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixFor](const QString& filter) { dialog.setDefaultSuffix(suffixFor(filter)); });
    if (!start.isEmpty()) dialog.selectFile(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}

IScriptEditorDialogs::TAnswer TQtScriptEditorDialogs::AskSaveChanges(const QString& question) {
    QMessageBox box(QMessageBox::Question, app::Title, question,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save: return TAnswer::Save;
    case QMessageBox::Discard: return TAnswer::Discard;
    default: return TAnswer::Cancel;
    }
}

void TQtScriptEditorDialogs::ShowMessage(const QString& text) { TMessages::Show(parent_, text); }
void TQtScriptEditorDialogs::ShowError(const QString& text) { TMessages::ShowError(parent_, text); }

TScriptEditorScreen::TScriptEditorScreen(TdmScripts& scripts, const QString& dataFolder, QWidget* parent)
    : TScreen("pnlEditors", parent), scripts_(scripts), dataFolder_(dataFolder),
      ownDialogs_(std::make_unique<TQtScriptEditorDialogs>(this)) {
    AddLabel("lblEditorsTitle", "Game Editors", QRect(8, 4, 300, 30), 22, style::Aqua());
    position_ = AddLabel("lblScriptPosition", "", QRect(424, 10, 200, 20), 13, style::Teal(),
                         Qt::AlignRight | Qt::AlignVCenter);

    description_ = new TGraphicPanel(this);
    description_->setObjectName("gpnlScriptDesc");
    description_->SetColor(Qt::black);
    description_->SetColorHighlight(style::Teal());
    description_->SetColorShadow(QColor(0, 64, 64));
    description_->SetBevelOuter(TBevelCut::Lowered);
    description_->SetAlignment(TCaptionAlignment::Left);
    description_->SetFontColor(Qt::white);
    description_->setFont(DisplayFont(15));
    description_->setGeometry(8, 38, 616, 24);

    memo_ = new TScriptEdit(this);
    memo_->setObjectName("memoScript");
    memo_->setGeometry(8, 66, 616, 322);

    status_ = AddLabel("lblScriptStatus", "", QRect(8, 392, 616, 22), 14, Good);
    status_->setFont(TextFont(13));

    struct TEntry {
        const char* Name;
        const char* Caption;
        char Hot;
        const char* Hint;
    };
    // The buttons shown only with a script come last, so none leaves a gap.
    const TEntry entries[] = {
        {"btnLoadScenarioScript", "Scenario...", 'S', "Load Scenario Script File"},
        {"btnLoadBrainScript", "Brain...", 'B', "Load Brain Script File"},
        {"btnSaveScriptAs", "Save As...", 'A', "Save the Script under another Name (Ctrl+Shift+S)"},
        {"btnTestScript", "Compile", 'C', "Check the Script for Errors (F9)"},
        {"btnSaveScript", "Save", 'v', "Save the Script (Ctrl+S)"},
    };
    int x = 8;
    QList<TColorButton*> buttons;
    for (const TEntry& entry : entries) {
        TColorButton* button = AddButton(entry.Name, entry.Caption, QChar(entry.Hot), QRect(x, 420, 92, 24));
        button->setToolTip(entry.Hint);
        buttons << button;
        x += 98;
    }
    saveAs_ = buttons[2];
    compile_ = buttons[3];
    save_ = buttons[4];
    // The main window wires "Close" to its screen move.
    AddButton("btnEditorClose", "Close", 'l', QRect(532, 420, 92, 24))->setToolTip("Back to the Title Screen");

    connect(buttons[0], &TColorButton::clicked, this, GuardedSlot([this] { btnLoadScenarioScriptClick(); }));
    connect(buttons[1], &TColorButton::clicked, this, GuardedSlot([this] { btnLoadBrainScriptClick(); }));
    connect(compile_, &TColorButton::clicked, this, GuardedSlot([this] { btnTestScriptClick(); }));
    connect(save_, &TColorButton::clicked, this, GuardedSlot([this] { btnSaveScriptClick(); }));
    connect(saveAs_, &TColorButton::clicked, this, GuardedSlot([this] { btnSaveScriptAsClick(); }));
    const auto key = [this](const QKeySequence& sequence, TColorButton* button) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [button] {
            if (button->isVisible() && button->isEnabled()) emit button->clicked();
        });
    };
    key(QKeySequence(Qt::Key_F9), compile_);
    key(QKeySequence(Qt::CTRL | Qt::Key_S), save_);
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), saveAs_);

    connect(memo_->document(), &QTextDocument::modificationChanged, this, [this] { UpdateButtons(); });
    connect(memo_, &QPlainTextEdit::cursorPositionChanged, this, [this] { UpdatePosition(); });
    Loaded();
    Enter();
}

TScriptEditorScreen::~TScriptEditorScreen() = default;

void TScriptEditorScreen::SetDialogs(IScriptEditorDialogs* dialogs) { dialogs_ = dialogs; }

IScriptEditorDialogs& TScriptEditorScreen::Dialogs() const { return dialogs_ ? *dialogs_ : *ownDialogs_; }

void TScriptEditorScreen::showEvent(QShowEvent* event) {
    TScreen::showEvent(event);
    memo_->setFocus();
}

void TScriptEditorScreen::Enter() {
    kind_ = TScriptKind::None;
    file_ = TScriptText();
    memo_->SetText(QString());
    memo_->document()->setModified(false);
    SetDescription();
    SetStatus("Open a scenario or a brain script to edit it.", style::Silver());
    UpdateButtons();
    UpdatePosition();
}

QString TScriptEditorScreen::FileName() const {
    switch (kind_) {
    case TScriptKind::Scenario: return scenarioFile_;
    case TScriptKind::Brain: return brainFile_;
    case TScriptKind::None: break;
    }
    return {};
}

QString TScriptEditorScreen::Description() const { return description_->Caption(); }

bool TScriptEditorScreen::Modified() const { return memo_->document()->isModified(); }

QString TScriptEditorScreen::Status() const { return status_->text(); }

void TScriptEditorScreen::SetDescription() {
    const QString name = QFileInfo(FileName()).fileName();
    switch (kind_) {
    case TScriptKind::Scenario: description_->SetCaption("Scenario Script: " + name); break;
    case TScriptKind::Brain: description_->SetCaption("Brain Script: " + name); break;
    case TScriptKind::None: description_->SetCaption(QString()); break;
    }
}

void TScriptEditorScreen::UpdateButtons() {
    const bool opened = !Description().isEmpty();
    compile_->setVisible(opened);
    save_->setVisible(opened && Modified());
}

void TScriptEditorScreen::UpdatePosition() {
    position_->setText(QString("Line %1, Column %2").arg(memo_->CursorLine()).arg(memo_->CursorColumn()));
}

void TScriptEditorScreen::SetStatus(const QString& text, const QColor& color) {
    status_->setText(text);
    QPalette colors = status_->palette();
    colors.setColor(QPalette::WindowText, color);
    status_->setPalette(colors);
}

bool TScriptEditorScreen::MayDiscard() {
    if (!Modified()) return true;
    const QString name = QFileInfo(FileName()).fileName();
    const QString question = name.isEmpty() ? QString("The script has not been saved. Save it now?")
                                            : QString("\"%1\" has changed. Save the changes?").arg(name);
    switch (Dialogs().AskSaveChanges(question)) {
    case IScriptEditorDialogs::TAnswer::Save: return kind_ == TScriptKind::None ? btnSaveScriptAsClick()
                                                                                : btnSaveScriptClick();
    case IScriptEditorDialogs::TAnswer::Discard: return true;
    case IScriptEditorDialogs::TAnswer::Cancel: break;
    }
    return false;
}

QString TScriptEditorScreen::GameFolder(TScriptKind kind) const {
    return QDir(dataFolder_).filePath(kind == TScriptKind::Brain ? "brains" : "scenarios");
}

QString TScriptEditorScreen::PlayerFolder(TScriptKind kind) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath(QString(app::SettingsFolder) + (kind == TScriptKind::Brain ? "/brains" : "/scenarios"));
}

void TScriptEditorScreen::btnLoadScenarioScriptClick() {
    const QString start = scenarioFile_.isEmpty() ? GameFolder(TScriptKind::Scenario) : scenarioFile_;
    const QString path = Dialogs().OpenFile("Open Scenario File", ScenarioOpenFilter, start);
    if (!path.isEmpty()) OpenScript(TScriptKind::Scenario, path);
}

void TScriptEditorScreen::btnLoadBrainScriptClick() {
    const QString start = brainFile_.isEmpty() ? GameFolder(TScriptKind::Brain) : brainFile_;
    const QString path = Dialogs().OpenFile("Open Brain File", BrainFilter, start);
    if (!path.isEmpty()) OpenScript(TScriptKind::Brain, path);
}

bool TScriptEditorScreen::OpenScript(TScriptKind kind, const QString& path) {
    if (kind == TScriptKind::None || !MayDiscard()) return false;
    std::string bytes;
    try {
        bytes = ReadWholeFile(LocalPath(path), static_cast<size_t>(TScriptText::MaxFileBytes));
    } catch (const EFileError& error) {
        Dialogs().ShowError(QString("The script could not be opened: %1").arg(QString::fromStdString(error.what())));
        return false;
    }
    file_ = TScriptText::Decode(bytes);
    kind_ = kind;
    (kind == TScriptKind::Brain ? brainFile_ : scenarioFile_) = QFileInfo(path).absoluteFilePath();
    memo_->SetText(file_.Text);
    memo_->document()->setModified(false);
    memo_->moveCursor(QTextCursor::Start);
    SetDescription();
    SetStatus(QString("Opened %1 (%2 lines).").arg(QDir::toNativeSeparators(FileName())).arg(memo_->blockCount()),
              style::Silver());
    UpdateButtons();
    memo_->setFocus();
    return true;
}

TScript& TScriptEditorScreen::Target() {
    if (kind_ == TScriptKind::Scenario) return scripts_.ScriptScenario();
    // Brains compile in the first computer player's component.
    TPlayer first(nullptr);
    first.Index = 0;
    return scripts_.GetBrain(&first);
}

void TScriptEditorScreen::btnTestScriptClick() {
    if (kind_ == TScriptKind::None) return;
    const QString text = memo_->toPlainText();
    TScript& target = Target();
    target.SetText(file_.CompileBytes(text));
    try {
        if (!target.Compile()) {
            Dialogs().ShowError("The script cannot be compiled while it runs.");
            return;
        }
    } catch (const EScriptError& error) {
        const TScriptText::TSelection selection = file_.ErrorSelection(text, error.Position());
        memo_->SelectRange(selection.Start, selection.Length);
        memo_->MarkError(selection.Start, selection.Length);
        const QString message = QString::fromStdString(error.what());
        const QTextBlock block = memo_->document()->findBlock(selection.Start);
        SetStatus(QString("%1  (line %2, column %3)")
                      .arg(message)
                      .arg(block.blockNumber() + 1)
                      .arg(selection.Start - block.position() + 1),
                  Bad);
        Dialogs().ShowMessage(message);
        memo_->setFocus();
        return;
    }
    SetStatus("No Errors were detected in this Script", Good);
    Dialogs().ShowMessage("No Errors were detected in this Script");
}

bool TScriptEditorScreen::btnSaveScriptClick() {
    if (kind_ == TScriptKind::None || FileName().isEmpty()) return btnSaveScriptAsClick();
    return SaveScriptTo(FileName(), kind_);
}

QString TScriptEditorScreen::SaveStart(TScriptKind kind) const {
    const QString name = kind == TScriptKind::None ? QString("Untitled.qxscen") : QFileInfo(FileName()).fileName();
    const QString current = FileName();
    if (!current.isEmpty() && QFileInfo(QFileInfo(current).absolutePath()).isWritable()) return current;
    // The game's own files are often read-only: a copy goes to the player's folder.
    const QString folder = PlayerFolder(kind == TScriptKind::None ? TScriptKind::Scenario : kind);
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

bool TScriptEditorScreen::btnSaveScriptAsClick() {
    QString title = "Save Script";
    QString filters = ScenarioSaveFilter + ";;" + BrainFilter;
    if (kind_ == TScriptKind::Scenario) {
        title = "Save Scenario Script";
        filters = ScenarioSaveFilter;
    } else if (kind_ == TScriptKind::Brain) {
        title = "Save Brain Script";
        filters = BrainFilter;
    }
    QString chosenFilter;
    const QString path = Dialogs().SaveFile(title, filters, SaveStart(kind_), chosenFilter);
    if (path.isEmpty()) return false;
    TScriptKind kind = kind_;
    if (kind == TScriptKind::None) {
        kind = KindOfFile(path);
        if (kind == TScriptKind::None) kind = chosenFilter.contains("qxbrain") ? TScriptKind::Brain
                                                                               : TScriptKind::Scenario;
    }
    return SaveScriptTo(path, kind);
}

bool TScriptEditorScreen::SaveScriptTo(const QString& path, TScriptKind kind) {
    if (kind == TScriptKind::None) return false;
    if (const QString problem = ScriptFileNameProblem(path); !problem.isEmpty()) {
        Dialogs().ShowError(problem);
        return false;
    }
    TScriptText written = file_;
    const std::string bytes = written.Encode(memo_->toPlainText());
    try {
        WriteFileAtomically(LocalPath(path), bytes);
    } catch (const EFileError& error) {
        const QString message = QString("The script could not be saved: %1").arg(QString::fromStdString(error.what()));
        SetStatus(message, Bad);
        Dialogs().ShowError(message);
        return false;
    }
    file_ = written;
    kind_ = kind;
    (kind == TScriptKind::Brain ? brainFile_ : scenarioFile_) = QFileInfo(path).absoluteFilePath();
    memo_->document()->setModified(false);
    SetDescription();
    UpdateButtons();
    SetStatus(QString("Script has been saved to %1").arg(QDir::toNativeSeparators(FileName())), Good);
    Dialogs().ShowMessage("Script has been saved");
    return true;
}

} // namespace qx
