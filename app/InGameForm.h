#pragma once

#include <QString>
#include <QWidget>

class QKeyEvent;

namespace qx {

class IInGameHost;
class TColorButton;

// A small window that floats beside the game screen: the game's colours, a
// "Close" button, its place kept in the settings under a prefix, and the
// game screen (the host) to act through.
class TInGameForm : public QWidget {
    Q_OBJECT
public:
    TInGameForm(const QString& name, const QString& caption, const QString& settingsPrefix, QWidget* parent);

    // The prefix of the window's "Left", "Top", "Width", "Height" settings.
    QString SettingsPrefix() const { return prefix_; }
    IInGameHost* Host() const { return host_; }
    virtual void SetHost(IInGameHost* host) { host_ = host; }
    // Whether the window has a place of its own worth keeping: it was shown
    // or its place was read from the settings.
    bool Placed() const { return placed_; }
    void SetPlaced() { placed_ = true; }
    TColorButton* CloseButton() const { return close_; }

protected:
    // The "Close" button; the window lays it out.
    TColorButton* MakeCloseButton();
    // Hands a key to the game screen, or without one to the main window;
    // false when there is neither.
    bool ForwardKey(QKeyEvent& event);
    void showEvent(QShowEvent* event) override;

private:
    QString prefix_;
    IInGameHost* host_ = nullptr;
    TColorButton* close_ = nullptr;
    bool placed_ = false;
};

} // namespace qx
