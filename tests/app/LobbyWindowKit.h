#pragma once

// What the lobby's window tests share: a watcher that answers the modal
// windows as a player would, waiting on the event loop, a raw lobby
// connection for lines the game itself never sends, and windows logged in
// through the real login window.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "app/MainForm.h"
#include "controls/ColorButton.h"
#include "net/KyrelUser.h"
#include "net/LineBuffer.h"
#include "net/StringEncryptor.h"
#include "tests/app/AppFixture.h"

namespace qx::test {

// Runs the event loop until `done` or `ms` have passed.
inline bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

inline void Pump(int ms) {
    WaitFor([] { return false; }, ms);
}

// Answers the modal windows that open while it lives. Message boxes are
// recorded; a question is answered with the button set for its text (No
// when none is), an information box with OK. Text questions take the
// answer set for their prompt (Cancel when none is). Other dialogs go to
// the handler set for their object name, once, and are cancelled when
// there is none.
class TAnswerer {
public:
    TAnswerer() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    QStringList Messages;
    QStringList Dialogs;
    std::map<QString, QMessageBox::StandardButton> Buttons;
    std::map<QString, QString> Texts;
    std::map<QString, std::function<void(QDialog&)>> Handlers;

    bool Told(const QString& prefix) const {
        for (const QString& message : Messages)
            if (message.startsWith(prefix)) return true;
        return false;
    }
    int CountTold(const QString& prefix) const {
        int count = 0;
        for (const QString& message : Messages) count += message.startsWith(prefix) ? 1 : 0;
        return count;
    }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || !dialog->isVisible() || handling_.contains(dialog)) return;
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            Messages << box->text();
            const auto answer = Buttons.find(box->text());
            QAbstractButton* button = nullptr;
            if (answer != Buttons.end()) button = box->button(answer->second);
            if (!button) button = box->button(QMessageBox::No);
            if (!button) button = box->button(QMessageBox::Ok);
            if (button)
                button->click();
            else
                box->reject();
        } else if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
            Dialogs << input->windowTitle();
            const auto answer = Texts.find(input->labelText());
            if (answer == Texts.end()) {
                input->reject();
            } else {
                input->setTextValue(answer->second);
                input->accept();
            }
        } else {
            Dialogs << dialog->objectName();
            auto handler = Handlers.find(dialog->objectName());
            if (handler == Handlers.end()) {
                dialog->reject();
                return;
            }
            // The handler runs from the event loop, not from this timer: the
            // windows it opens in turn are answered by the timer again.
            const std::function<void(QDialog&)> run = handler->second;
            Handlers.erase(handler);
            handling_.insert(dialog);
            QPointer<QDialog> target(dialog);
            // (A timer, not a posted call: a dialog opened from a posted
            // call does not see the calls posted while it is open.)
            QTimer::singleShot(1, dialog, [this, run, target] {
                if (target) run(*target);
                handling_.remove(target.data());
            });
        }
    }
    QTimer timer_;
    QSet<QDialog*> handling_;
};

// A lobby connection that speaks raw lines, scrambled like the game's.
struct TRawLobbyUser {
    QTcpSocket socket;
    TStringEncryptor encryptor{kGameKey};
    TLineBuffer buffer;
    std::vector<std::string> lines;

    TRawLobbyUser(quint16 port, const std::string& name) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            const QByteArray bytes = socket.readAll();
            buffer.Append(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), [this](std::string l) {
                encryptor.DecryptLine(l);
                lines.push_back(l);
                return true;
            });
        });
        socket.connectToHost("127.0.0.1", port);
        WaitFor([this] { return socket.state() == QAbstractSocket::ConnectedState; });
        TKyrelUser user(name);
        user.Password = "pw";
        Send("LOGINNEW|" + name + "|Quorvex|" + user.ToText());
        WaitLine("JOINSUBJECT|Lobby Chat");
    }
    void Send(std::string line) {
        encryptor.EncryptLine(line);
        line += '\n';
        socket.write(line.data(), static_cast<qint64>(line.size()));
        socket.flush();
    }
    bool WaitLine(const std::string& prefix, int ms = 5000) {
        return WaitFor([&] {
            for (const std::string& line : lines)
                if (line.rfind(prefix, 0) == 0) return true;
            return false;
        }, ms);
    }
};

// A game window on the build's data with the settings file given, silent.
// (Defined apart: the sound module's headers and the game's cannot meet in
// one file.)
std::unique_ptr<TfrmMain> OpenGameWindow(const QString& settingsFile);

inline void ClickButton(QWidget& window, const char* name) {
    auto* button = window.findChild<TColorButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    ASSERT_TRUE(button->isVisibleTo(&window)) << name << " is not shown";
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
}

inline void ClickItem(QListWidget* list, int row, bool twice = false) {
    ASSERT_GE(row, 0);
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr);
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace qx::test
