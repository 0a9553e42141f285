#pragma once

#include <cstdlib>
#include <functional>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include "app/QuorvexApplication.h"
#include "tests/controls/WidgetApp.h"

namespace qx::test {

// The game's own application object, once per test program.
inline TQuorvexApplication& GameApp() {
    static int argc = 1;
    static char name[] = "quorvex-tests";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static TQuorvexApplication* app = new TQuorvexApplication(argc, argv);
    return *app;
}

// The data folder the build made (generated pictures and copied data).
inline QString BuildData() { return QString(QX_BINARY_DIR) + "/data"; }

// Answers the modal windows that open while it lives: message boxes are
// recorded and confirmed, other dialogs are recorded by object name and
// handed to `onDialog` (which closes them) or accepted (file dialogs are
// cancelled).
class TModalWatcher {
public:
    TModalWatcher() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    QStringList Messages;
    QStringList Dialogs;
    std::function<void(QDialog&)> OnDialog;

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            Messages << box->text();
            box->accept();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            Dialogs << dialog->objectName();
            if (OnDialog)
                OnDialog(*dialog);
            else if (qobject_cast<QFileDialog*>(dialog))
                dialog->reject();  // a file dialog cannot be accepted without a file: cancel it
            else
                dialog->accept();
        }
    }
    QTimer timer_;
};

// A private XDG configuration folder for one test.
class TConfigFolder {
public:
    TConfigFolder() { setenv("XDG_CONFIG_HOME", qPrintable(dir_.path()), 1); }
    ~TConfigFolder() { unsetenv("XDG_CONFIG_HOME"); }
    QString Path() const { return dir_.path(); }
    QString SettingsFile() const { return dir_.path() + "/quorvex/quorvex.ini"; }

private:
    QTemporaryDir dir_;
};

} // namespace qx::test
