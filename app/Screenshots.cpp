#include "app/Screenshots.h"

#include <stdexcept>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextDocument>

#include "app/GameDialogs.h"
#include "app/MainForm.h"
#include "app/ScriptEdit.h"
#include "app/ScriptEditorScreen.h"

namespace qx {

namespace {

// The editor's questions, answered by no one while pictures are taken.
class TQuietEditorDialogs : public IScriptEditorDialogs {
public:
    QString OpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFile(const QString&, const QString&, const QString&, QString&) override { return {}; }
    TAnswer AskSaveChanges(const QString&) override { return TAnswer::Discard; }
    void ShowMessage(const QString&) override {}
    void ShowError(const QString&) override {}
};

// A scenario with a typing slip: the editor shows the compile error on it.
void ShowEditorWithError(TScriptEditorScreen& editor, const QString& dataFolder) {
    editor.Enter();
    if (!editor.OpenScript(TScriptKind::Scenario, QDir(dataFolder).filePath("scenarios/Duel.qxscen"))) return;
    // Typed over, as a player would, so the script shows as changed.
    QTextCursor slip = editor.Memo()->document()->find("CreateStarSystem( 3, 16, '?', 15, 8, 4,");
    if (slip.isNull()) return;
    slip.insertText("CreateStarSystem( 3, 16, '?', 15, 8 4,");
    editor.btnTestScriptClick();
}

} // namespace

QImage TScreenshots::Grab(QWidget& widget, int scale) {
    QImage image(widget.size() * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::black);
    widget.render(&image);
    image.setDevicePixelRatio(1);
    return image;
}

QStringList TScreenshots::Take(TfrmMain& window, const QString& folder) {
    if (!QDir().mkpath(folder)) throw std::runtime_error("cannot create the folder " + folder.toStdString());
    QStringList written;
    int number = 0;
    const auto save = [&](QWidget& widget, const QString& name) {
        ++number;
        for (int scale : {1, 2}) {
            const QString file =
                QDir(folder).filePath(QString("%1-%2@%3x.png").arg(number, 2, 10, QChar('0')).arg(name).arg(scale));
            if (!Grab(widget, scale).save(file, "PNG")) throw std::runtime_error("cannot write " + file.toStdString());
            written << file;
        }
    };
    QWidget* shown = window.CurrentScreen();
    TQuietEditorDialogs quiet;
    TScriptEditorScreen* editor = window.ScriptEditor();
    editor->SetDialogs(&quiet);
    for (QWidget* screen : window.AllScreens()) {
        window.Screens()->setCurrentWidget(screen);
        if (screen == editor) ShowEditorWithError(*editor, window.DataFolder());
        QApplication::processEvents();
        QString name = screen->objectName();
        if (name.startsWith("pnl")) name = name.mid(3);
        save(window, name.toLower());
    }
    window.Screens()->setCurrentWidget(shown);
    editor->Enter();
    editor->SetDialogs(nullptr);

    TAboutDialog about(&window);
    about.adjustSize();
    save(about, "about");
    TTipsDialog tips(window.Tips(), 0, true, &window);
    tips.adjustSize();
    save(tips, "tips");
    window.btnHelpClick();
    if (THelpWindow* help = window.HelpWindow()) {
        QApplication::processEvents();
        save(*help, "help");
        help->close();
    }
    return written;
}

} // namespace qx
