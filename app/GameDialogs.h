#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QTextBrowser;

namespace qx {

class TColorButton;

// Gives a dialog the game's look: black, aqua text, game-style buttons.
void ApplyGameLook(QWidget* widget);
TColorButton* MakeGameButton(QWidget* parent, const QString& name, const QString& caption, QChar hotKey,
                             int width = 100);

// The About box.
class TAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAboutDialog(QWidget* parent = nullptr);
};

// Tips of the day: one tip at a time, "Next Tip" to go on, and a box that
// says whether tips show when the game starts.
class TTipsDialog : public QDialog {
    Q_OBJECT
public:
    TTipsDialog(const QStringList& tips, int first, bool showAtStart, QWidget* parent = nullptr);

    int Current() const { return current_; }
    // The tip to show next time: the one after the last shown.
    int NextTip() const;
    bool ShowAtStart() const;
    void ShowTip(int index);

private:
    QStringList tips_;
    int current_ = 0;
    QLabel* text_ = nullptr;
    QLabel* counter_ = nullptr;
    QCheckBox* showAtStart_ = nullptr;
};

// The guide to playing, an HTML page of the data folder in a browser.
class THelpWindow : public QDialog {
    Q_OBJECT
public:
    THelpWindow(const QString& page, QWidget* parent = nullptr);
    // Shows the section with that anchor name.
    void ShowTopic(const QString& topic);
    QTextBrowser* Browser() const { return browser_; }
    bool Loaded() const { return loaded_; }

private:
    QTextBrowser* browser_ = nullptr;
    bool loaded_ = false;
};

} // namespace qx
