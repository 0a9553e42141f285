#include <gtest/gtest.h>

#include <deque>

#include <QDir>
#include <QFile>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/GameAudio.h"
#include "app/MainForm.h"
#include "app/ScriptEdit.h"
#include "app/ScriptEditorScreen.h"
#include "controls/ColorButton.h"
#include "controls/GraphicPanel.h"
#include "scenario/ScriptsModule.h"
#include "tests/app/AppFixture.h"

namespace qx {
namespace {

// Answers the editor's questions from queues and records what it said.
class TFakeDialogs : public IScriptEditorDialogs {
public:
    struct TAsked {
        QString Title;
        QString Filter;
        QString Start;
    };
    QString OpenFile(const QString& title, const QString& filter, const QString& start) override {
        Opens.push_back({title, filter, start});
        return Take(OpenAnswers);
    }
    QString SaveFile(const QString& title, const QString& filters, const QString& start, QString& chosen) override {
        Saves.push_back({title, filters, start});
        chosen = ChosenFilter;
        return Take(SaveAnswers);
    }
    TAnswer AskSaveChanges(const QString& question) override {
        Questions << question;
        if (Answers.empty()) return TAnswer::Cancel;
        const TAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void ShowMessage(const QString& text) override { Messages << text; }
    void ShowError(const QString& text) override { Errors << text; }

    std::deque<QString> OpenAnswers;
    std::deque<QString> SaveAnswers;
    std::deque<TAnswer> Answers;
    QString ChosenFilter;
    std::vector<TAsked> Opens;
    std::vector<TAsked> Saves;
    QStringList Questions;
    QStringList Messages;
    QStringList Errors;

private:
    static QString Take(std::deque<QString>& queue) {
        if (queue.empty()) return {};
        QString value = queue.front();
        queue.pop_front();
        return value;
    }
};

// The application exists before the fixture's widgets.
struct WithGameApp {
    WithGameApp() { test::GameApp(); }
};

class ScriptEditorTest : public WithGameApp, public ::testing::Test {
protected:
    ScriptEditorTest() : editor(scripts, test::BuildData(), nullptr) {
        editor.SetDialogs(&dialogs);
        editor.resize(632, 453);
        editor.show();
        QApplication::processEvents();
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    TColorButton* Button(const char* name) { return editor.findChild<TColorButton*>(name); }
    bool Shown(const char* name) { return Button(name)->isVisibleTo(&editor); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton, {}, QPoint(5, 5)); }
    // Types at the end of the text, as a player would.
    void Type(const QString& text) {
        editor.Memo()->moveCursor(QTextCursor::End);
        const QStringList lines = text.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0) QTest::keyClick(editor.Memo(), Qt::Key_Return);
            QTest::keyClicks(editor.Memo(), lines[i]);
        }
    }
    QString Selection() const { return editor.Memo()->textCursor().selectedText(); }
    // Opens a scenario through the button and the (fake) dialog.
    void OpenScenario(const QString& path) {
        dialogs.OpenAnswers.push_back(path);
        Click("btnLoadScenarioScript");
    }
    // Compiles `text` as a scenario read from a file with these bytes.
    void CompileFile(const QByteArray& bytes) {
        OpenScenario(Write("test.qxscen", bytes));
        dialogs.Messages.clear();
        Click("btnTestScript");
    }

    TdmScripts scripts;
    TFakeDialogs dialogs;
    TScriptEditorScreen editor;
    QTemporaryDir temp;
    QDir folder{temp.path()};
};

TEST_F(ScriptEditorTest, NothingToCompileOrSaveBeforeAScriptIsOpened) {
    EXPECT_EQ(editor.objectName(), "pnlEditors");
    EXPECT_TRUE(editor.Description().isEmpty());
    EXPECT_FALSE(Shown("btnTestScript"));
    EXPECT_FALSE(Shown("btnSaveScript"));
    EXPECT_TRUE(Shown("btnSaveScriptAs"));
    EXPECT_TRUE(Shown("btnLoadScenarioScript"));
    EXPECT_EQ(Button("btnLoadScenarioScript")->toolTip(), "Load Scenario Script File");
    EXPECT_EQ(Button("btnLoadBrainScript")->toolTip(), "Load Brain Script File");
    Type("x := 1;");
    EXPECT_FALSE(Shown("btnSaveScript")) << "no file to save to yet";
    QTest::keyClick(editor.Memo(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.Saves.empty());
    EXPECT_TRUE(dialogs.Messages.isEmpty());
}

TEST_F(ScriptEditorTest, OpeningAScenarioOrABrainUsesTheirDialogs) {
    const QString scenario = Write("Rings.qxscen", "SetMapSize( 10, 10 );\n");
    OpenScenario(scenario);
    ASSERT_EQ(dialogs.Opens.size(), 1u);
    EXPECT_EQ(dialogs.Opens[0].Title, "Open Scenario File");
    EXPECT_EQ(dialogs.Opens[0].Filter, "Quorvex Scenario (*.qxscen)");
    EXPECT_EQ(dialogs.Opens[0].Start, editor.GameFolder(TScriptKind::Scenario)) << "the game's own scenarios";
    EXPECT_EQ(editor.Description(), "Scenario Script: Rings.qxscen");
    EXPECT_EQ(editor.Kind(), TScriptKind::Scenario);
    EXPECT_EQ(editor.Memo()->toPlainText(), "SetMapSize( 10, 10 );\n");
    EXPECT_TRUE(Shown("btnTestScript"));
    EXPECT_FALSE(Shown("btnSaveScript"));
    Type("{ more }");
    EXPECT_TRUE(Shown("btnSaveScript"));
    editor.Memo()->undo();
    EXPECT_FALSE(Shown("btnSaveScript")) << "back as it was read";

    const QString brain = Write("Wary.qxbrain", "x := 1;\n");
    dialogs.OpenAnswers.push_back(brain);
    Click("btnLoadBrainScript");
    EXPECT_EQ(dialogs.Opens[1].Title, "Open Brain File");
    EXPECT_EQ(dialogs.Opens[1].Filter, "Quorvex Brains (*.qxbrain)");
    EXPECT_EQ(editor.Description(), "Brain Script: Wary.qxbrain");
    EXPECT_EQ(editor.Kind(), TScriptKind::Brain);
    // The next scenario dialog starts at the scenario chosen last.
    Click("btnLoadScenarioScript");
    EXPECT_EQ(dialogs.Opens[2].Start, scenario);
    EXPECT_EQ(editor.Kind(), TScriptKind::Brain) << "cancelled: nothing changes";

    // A file that cannot be read is reported and the open script stays.
    OpenScenario(folder.filePath("missing.qxscen"));
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains("missing.qxscen"));
    EXPECT_EQ(editor.Description(), "Brain Script: Wary.qxbrain");

    // Nor is a file far larger than any script.
    QByteArray huge(static_cast<qsizetype>(TScriptText::MaxFileBytes) + 1, ' ');
    OpenScenario(Write("huge.qxscen", huge));
    EXPECT_EQ(dialogs.Errors.size(), 2);
    EXPECT_EQ(editor.Description(), "Brain Script: Wary.qxbrain");

    // Entering the screen again starts empty.
    editor.Enter();
    EXPECT_TRUE(editor.Description().isEmpty());
    EXPECT_TRUE(editor.Memo()->toPlainText().isEmpty());
    EXPECT_FALSE(Shown("btnTestScript"));
}

TEST_F(ScriptEditorTest, TheGamesOwnScriptsCompileWithoutErrors) {
    OpenScenario(QDir(test::BuildData()).filePath("scenarios/Duel.qxscen"));
    Click("btnTestScript");
    EXPECT_EQ(dialogs.Messages, QStringList{"No Errors were detected in this Script"});
    EXPECT_EQ(editor.Status(), "No Errors were detected in this Script");
    dialogs.OpenAnswers.push_back(QDir(test::BuildData()).filePath("brains/Defender.qxbrain"));
    Click("btnLoadBrainScript");
    QTest::keyClick(editor.Memo(), Qt::Key_F9);
    EXPECT_EQ(dialogs.Messages.size(), 2);
    EXPECT_EQ(dialogs.Messages.last(), "No Errors were detected in this Script");
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST_F(ScriptEditorTest, ACompileErrorSelectsItsCharacterEvenAfterNonAsciiText) {
    // UTF-8: the comment's letters take two, three and four bytes each.
    CompileFile("{ Größe – Ω 😀 }\nSetMapSize( 10, 10 );\nx := 1 @ 2;\n");
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].startsWith("Syntaxerror")) << dialogs.Messages[0].toStdString();
    EXPECT_EQ(Selection(), "@");
    EXPECT_EQ(editor.Memo()->CursorLine(), 3);
    EXPECT_TRUE(editor.Status().contains("line 3, column 8")) << editor.Status().toStdString();
    EXPECT_TRUE(editor.Memo()->hasFocus());
    // The error's line stays marked until the text changes.
    EXPECT_TRUE(editor.Memo()->HasErrorMark());
    Type(" ");
    QApplication::processEvents();
    EXPECT_FALSE(editor.Memo()->HasErrorMark());
    Click("btnTestScript");
    EXPECT_TRUE(editor.Memo()->HasErrorMark());
    // Opening another script (a new document text) drops the mark first.
    dialogs.Answers.push_back(IScriptEditorDialogs::TAnswer::Discard);

    // A character the language does not know is selected whole.
    CompileFile("x := 'ok';\ny := é;\n");
    EXPECT_EQ(Selection(), QString::fromUtf8("é"));

    // A one-byte file counts one byte per character.
    CompileFile("{ caf\xE9 na\xEFve }\nx := 1 @ 2;\n");
    EXPECT_EQ(Selection(), "@");

    // An error at the first character selects the first character.
    CompileFile("@x := 1;\n");
    EXPECT_EQ(editor.Memo()->textCursor().selectionStart(), 0);
    EXPECT_EQ(Selection(), "@");

    // An error reported past the end is clamped to the text
    // (the lexer reports a constant too long at the blank it adds after the text).
    CompileFile("x := $123456789");
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].contains("[Position 16]")) << dialogs.Messages[0].toStdString();
    const QTextCursor cursor = editor.Memo()->textCursor();
    EXPECT_EQ(cursor.selectionEnd(), editor.Memo()->toPlainText().size());
    EXPECT_EQ(Selection(), "9");
}

TEST_F(ScriptEditorTest, SavingWritesThroughATemporaryFileAndOnlyThenSaysSo) {
    const QString path = Write("Home.qxscen", "x := 1;\r\ny := 2;\r\n");
    OpenScenario(path);
    Type("z := 3;");
    ASSERT_TRUE(Shown("btnSaveScript"));
    Click("btnSaveScript");
    EXPECT_EQ(dialogs.Messages, QStringList{"Script has been saved"});
    EXPECT_EQ(Read(path), "x := 1;\r\ny := 2;\r\nz := 3;") << "line ends kept as the file had them";
    EXPECT_FALSE(Shown("btnSaveScript"));
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(folder.entryList(QDir::Files), QStringList{"Home.qxscen"}) << "no temporary file left";

    // The file cannot be replaced (a folder now stands in its place): an
    // error, no "saved", and Save stays offered with the text unsaved.
    Type("\nw := 4;");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(folder.mkdir("Home.qxscen"));
    dialogs.Messages.clear();
    Click("btnSaveScript");
    EXPECT_TRUE(dialogs.Messages.isEmpty());
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].startsWith("The script could not be saved")) << dialogs.Errors[0].toStdString();
    EXPECT_TRUE(Shown("btnSaveScript"));
    EXPECT_TRUE(editor.Modified());
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(folder.entryList(QDir::Files), QStringList{}) << "the failed write left nothing behind";
}

TEST_F(ScriptEditorTest, SaveAsWritesTheNewFileAndMakesItTheCurrentOne) {
    const QString original = Write("Base.qxscen", "x := 1;\n");
    OpenScenario(original);
    Type("y := 2;\n");
    const QString copy = folder.filePath("Copy.qxscen");
    dialogs.SaveAnswers.push_back(copy);
    Click("btnSaveScriptAs");
    ASSERT_EQ(dialogs.Saves.size(), 1u);
    EXPECT_EQ(dialogs.Saves[0].Title, "Save Scenario Script");
    EXPECT_EQ(dialogs.Saves[0].Filter, "Quorvex Scenarios (*.qxscen)");
    EXPECT_EQ(dialogs.Saves[0].Start, original);
    EXPECT_EQ(Read(copy), "x := 1;\ny := 2;\n");
    EXPECT_EQ(Read(original), "x := 1;\n");
    EXPECT_EQ(editor.Description(), "Scenario Script: Copy.qxscen");
    EXPECT_EQ(editor.FileName(), copy);
    EXPECT_EQ(dialogs.Messages, QStringList{"Script has been saved"});
    EXPECT_FALSE(Shown("btnSaveScript"));
    // "Save" now writes the copy.
    Type("z := 3;");
    Click("btnSaveScript");
    EXPECT_EQ(Read(copy), "x := 1;\ny := 2;\nz := 3;");
    EXPECT_EQ(Read(original), "x := 1;\n");

    // Names that cannot travel in a game are refused where they are typed.
    dialogs.Messages.clear();
    for (const char* bad : {"two;parts.qxscen", "~hidden.qxscen", "pipe|d.qxscen"}) {
        dialogs.SaveAnswers.push_back(folder.filePath(bad));
        Click("btnSaveScriptAs");
        EXPECT_FALSE(QFile::exists(folder.filePath(bad))) << bad;
    }
    EXPECT_EQ(dialogs.Errors.size(), 3);
    EXPECT_TRUE(dialogs.Messages.isEmpty());
    EXPECT_EQ(editor.FileName(), copy);

    // A brain is saved with the brain dialog.
    dialogs.OpenAnswers.push_back(Write("B.qxbrain", "a := 1;"));
    Click("btnLoadBrainScript");
    dialogs.SaveAnswers.push_back(folder.filePath("B2.qxbrain"));
    Click("btnSaveScriptAs");
    EXPECT_EQ(dialogs.Saves.back().Title, "Save Brain Script");
    EXPECT_EQ(dialogs.Saves.back().Filter, "Quorvex Brains (*.qxbrain)");
    EXPECT_EQ(editor.Description(), "Brain Script: B2.qxbrain");
}

TEST_F(ScriptEditorTest, AScriptTypedFromScratchTakesTheKindOfItsName) {
    Type("x := 1;");
    dialogs.SaveAnswers.push_back(folder.filePath("Fresh.qxbrain"));
    Click("btnSaveScriptAs");
    ASSERT_EQ(dialogs.Saves.size(), 1u);
    EXPECT_EQ(dialogs.Saves[0].Filter, "Quorvex Scenarios (*.qxscen);;Quorvex Brains (*.qxbrain)");
    EXPECT_EQ(editor.Kind(), TScriptKind::Brain);
    EXPECT_EQ(editor.Description(), "Brain Script: Fresh.qxbrain");
    EXPECT_TRUE(Shown("btnTestScript"));
    EXPECT_EQ(Read(folder.filePath("Fresh.qxbrain")), "x := 1;");
}

TEST_F(ScriptEditorTest, UnsavedTextIsNeverLostWithoutAsking) {
    const QString first = Write("First.qxscen", "a := 1;\n");
    const QString second = Write("Second.qxscen", "b := 2;\n");
    OpenScenario(first);
    Type("c := 3;");

    dialogs.Answers.push_back(IScriptEditorDialogs::TAnswer::Cancel);
    OpenScenario(second);
    ASSERT_EQ(dialogs.Questions.size(), 1);
    EXPECT_TRUE(dialogs.Questions[0].contains("First.qxscen"));
    EXPECT_EQ(editor.Description(), "Scenario Script: First.qxscen");
    EXPECT_EQ(editor.Memo()->toPlainText(), "a := 1;\nc := 3;");

    dialogs.Answers.push_back(IScriptEditorDialogs::TAnswer::Save);
    OpenScenario(second);
    EXPECT_EQ(Read(first), "a := 1;\nc := 3;");
    EXPECT_EQ(editor.Description(), "Scenario Script: Second.qxscen");

    Type("d := 4;");
    dialogs.Answers.push_back(IScriptEditorDialogs::TAnswer::Discard);
    OpenScenario(first);
    EXPECT_EQ(Read(second), "b := 2;\n");
    EXPECT_EQ(editor.Description(), "Scenario Script: First.qxscen");
    EXPECT_EQ(dialogs.Questions.size(), 3);

    // Nothing changed: no question.
    EXPECT_TRUE(editor.MayDiscard());
    EXPECT_EQ(dialogs.Questions.size(), 3);
}

TEST_F(ScriptEditorTest, CloseAndQuittingAskAboutUnsavedText) {
    test::TConfigFolder config;
    auto window = std::make_unique<TfrmMain>(test::BuildData(), config.SettingsFile(), std::make_unique<TSilentAudio>());
    window->SetTipsAtStart(false);
    window->show();
    QApplication::processEvents();
    TScriptEditorScreen* screen = window->ScriptEditor();
    screen->SetDialogs(&dialogs);
    const auto click = [&](const char* name) {
        QTest::mouseClick(window->findChild<TColorButton*>(name), Qt::LeftButton, {}, QPoint(5, 5));
    };
    click("btnGameEditors");
    ASSERT_EQ(window->CurrentScreen(), screen);
    dialogs.OpenAnswers.push_back(Write("Mine.qxscen", "a := 1;\n"));
    click("btnLoadScenarioScript");
    screen->Memo()->moveCursor(QTextCursor::End);
    QTest::keyClicks(screen->Memo(), "b := 2;");

    dialogs.Answers.push_back(IScriptEditorDialogs::TAnswer::Cancel);
    click("btnEditorClose");
    EXPECT_EQ(window->CurrentScreen(), screen);
    dialogs.Answers.push_back(IScriptEditorDialogs::TAnswer::Cancel);
    window->close();
    EXPECT_TRUE(window->isVisible()) << "quitting waits for the answer";
    EXPECT_EQ(dialogs.Questions.size(), 2);

    dialogs.Answers.push_back(IScriptEditorDialogs::TAnswer::Discard);
    click("btnEditorClose");
    EXPECT_EQ(window->CurrentScreen()->objectName(), "pnlTitle");
    // Back in the editor, the screen starts empty.
    click("btnGameEditors");
    EXPECT_TRUE(screen->Description().isEmpty());
    EXPECT_TRUE(screen->Memo()->toPlainText().isEmpty());
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs.Questions.size(), 3);
}

} // namespace
} // namespace qx
