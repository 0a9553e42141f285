#pragma once

#include <memory>

#include <QString>

#include "app/Screens.h"
#include "app/ScriptText.h"

class QLabel;

namespace qx {

class TColorButton;
class TGraphicPanel;
class TScript;
class TScriptEdit;
class TdmScripts;

enum class TScriptKind { None, Scenario, Brain };

// The questions and messages of the script editor. The screen asks through
// this, so tests answer without modal windows.
class IScriptEditorDialogs {
public:
    enum class TAnswer { Save, Discard, Cancel };
    virtual ~IScriptEditorDialogs() = default;
    // An existing file; empty when cancelled.
    virtual QString OpenFile(const QString& title, const QString& filter, const QString& start) = 0;
    // A file to write (the dialog confirms replacing one). `filters` are
    // ";;"-separated; `chosenFilter` tells which one was picked. Empty when
    // cancelled.
    virtual QString SaveFile(const QString& title, const QString& filters, const QString& start,
                             QString& chosenFilter) = 0;
    virtual TAnswer AskSaveChanges(const QString& question) = 0;
    virtual void ShowMessage(const QString& text) = 0;
    virtual void ShowError(const QString& text) = 0;
};

// The file dialogs and message boxes of the desktop.
class TQtScriptEditorDialogs : public IScriptEditorDialogs {
public:
    explicit TQtScriptEditorDialogs(QWidget* parent) : parent_(parent) {}
    QString OpenFile(const QString& title, const QString& filter, const QString& start) override;
    QString SaveFile(const QString& title, const QString& filters, const QString& start,
                     QString& chosenFilter) override;
    TAnswer AskSaveChanges(const QString& question) override;
    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;

private:
    QWidget* parent_;
};

// The "Game Editors" screen: open a scenario or a brain script, edit it as
// plain text, compile it to find errors, and save it.
class TScriptEditorScreen : public TScreen {
    Q_OBJECT
public:
    // `dataFolder` holds the game's own scenarios/ and brains/, where the
    // open dialogs start; copies are saved to the player's folder when the
    // game's own cannot be written.
    TScriptEditorScreen(TdmScripts& scripts, const QString& dataFolder, QWidget* parent);
    ~TScriptEditorScreen() override;

    // Replaces the dialogs (not owned; null restores the desktop's).
    void SetDialogs(IScriptEditorDialogs* dialogs);

    // Entering the screen: no script, empty description and text.
    void Enter();
    // Whether the screen may be left or the text replaced: true when nothing
    // unsaved would be lost, or the player saved it or chose to discard it.
    bool MayDiscard();

    // The buttons.
    void btnLoadScenarioScriptClick();
    void btnLoadBrainScriptClick();
    void btnTestScriptClick();
    bool btnSaveScriptClick();
    bool btnSaveScriptAsClick();

    // Opens a file as the given kind (after asking about unsaved text);
    // false when it was not opened.
    bool OpenScript(TScriptKind kind, const QString& path);
    // Writes the text to `path` through a temporary file; on success it is
    // the current file of its kind.
    bool SaveScriptTo(const QString& path, TScriptKind kind);

    TScriptKind Kind() const { return kind_; }
    QString FileName() const;
    QString Description() const;
    bool Modified() const;
    TScriptEdit* Memo() const { return memo_; }
    // What the status line says about the last compile or save.
    QString Status() const;

    // Where a kind's files start in the dialogs, and the player's own folder
    // for them.
    QString GameFolder(TScriptKind kind) const;
    static QString PlayerFolder(TScriptKind kind);

protected:
    void showEvent(QShowEvent* event) override;

private:
    IScriptEditorDialogs& Dialogs() const;
    TScript& Target();
    void SetDescription();
    void UpdateButtons();
    void UpdatePosition();
    void SetStatus(const QString& text, const QColor& color);
    QString SaveStart(TScriptKind kind) const;

    TdmScripts& scripts_;
    QString dataFolder_;
    std::unique_ptr<TQtScriptEditorDialogs> ownDialogs_;
    IScriptEditorDialogs* dialogs_ = nullptr;

    TScriptKind kind_ = TScriptKind::None;
    QString scenarioFile_;  // last chosen in the scenario dialogs
    QString brainFile_;     // last chosen in the brain dialogs
    TScriptText file_;

    TGraphicPanel* description_ = nullptr;
    TScriptEdit* memo_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* position_ = nullptr;
    TColorButton* compile_ = nullptr;
    TColorButton* save_ = nullptr;
    TColorButton* saveAs_ = nullptr;
};

} // namespace qx
