#include "app/Screenshots.h"

#include <cstdio>
#include <stdexcept>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QStackedWidget>

#include "app/AlliancesForm.h"
#include "app/CommunicateForm.h"
#include "app/GameDialogs.h"
#include "app/GameScreenshots.h"
#include "app/InGameWindows.h"
#include "app/LobbyScreenshots.h"
#include "app/MainForm.h"
#include "app/SampleGame.h"
#include "app/ScriptEdit.h"
#include "app/ScriptEditorScreen.h"
#include "app/StarShipForm.h"
#include "app/StarSystemForm.h"
#include "controls/ColorButton.h"
#include "engine/QuorvexEngine.h"

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
    // The setup screen previews the Duel, the game screen plays it.
    StagePreviewForScreenshots(window);
    QWidget* shown = window.CurrentScreen();
    TQuietEditorDialogs quiet;
    TScriptEditorScreen* editor = window.ScriptEditor();
    editor->SetDialogs(&quiet);
    for (QWidget* screen : window.AllScreens()) {
        // The lobby's screens are taken logged in, below.
        if (screen->objectName() == "pnlLobby" || screen->objectName() == "pnlHistory") continue;
        if (screen->objectName() == "pnlMain") {
            const QString staged = StageGameForScreenshots(window);
            if (!staged.isEmpty()) std::fprintf(stderr, "quorvex: the game screen shows no game: %s\n", qPrintable(staged));
        }
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

    // The in-game windows over a small game in progress.
    TSampleGame game(window.DataFolder());
    TInGameWindows* windows = window.InGameWindows();
    IInGameHost* host = windows->Host();
    windows->SetHost(&game);
    windows->GameStarted();
    TfrmCommunicate* chat = windows->Communicate();
    const TQuorvexEngine& engine = *game.Engine();
    chat->ReceiveData("GAMECHAT:1:1:0:0:0:Your fleet is welcome to refuel at Kyrel, Vega.", engine.GetPlayer(1)->Name);
    chat->ChatField()->setText("Agreed. Our scouts will watch the eastern stream for you.");
    chat->Send();
    chat->ReceiveData("GAMECHAT:1:1:1:0:1:The Hive does not forget.", engine.GetPlayer(4)->Name);
    chat->PlayerButton(2)->SetDown(false);
    chat->ChatField()->setText("Sable Throne, shall we talk?");
    windows->StarSystems()->SortBy(TSystemColumn::Resources);
    const QList<QPair<QWidget*, QString>> forms{{windows->StarShips(), "starships"},
                                                 {windows->StarSystems(), "starsystems"},
                                                 {windows->Communicate(), "communicate"},
                                                 {windows->Alliances(), "alliances"}};
    for (const auto& [form, name] : forms) {
        // Laid out and painted, but never put on a screen.
        form->setAttribute(Qt::WA_DontShowOnScreen, true);
        form->show();
        QApplication::processEvents();
        save(*form, name);
        form->hide();
        form->setAttribute(Qt::WA_DontShowOnScreen, false);
    }
    chat->Clear();
    windows->SetHost(host);

    TLobbyScreenshots::Take(window, save);

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
