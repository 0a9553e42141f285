#pragma once

#include <functional>

#include <QDialog>
#include <QString>

#include "app/LobbyClient.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace qx {

class TColorButton;
class TKyrelUser;

// The login window "KyrelServer Login": user name and password, the choice
// of server (ours, or "Another KyrelServer:" at a host and port), "Proceed",
// "Cancel" and "Create a New User". It opens with the new-user record
// cleared; a confirmed new user fills the name and leaves as "Proceed" does.
class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget* parent = nullptr);

    // The web host our lobby's address comes from, shown under "Veltrano's".
    void SetWebHost(const QString& webHost);
    // What the fields say (the new-user record included).
    TLoginRequest Request() const;
    // The text form of the new user made here; empty for an existing user.
    const QString& NewUserRecord() const { return newUserRecord_; }

    // "Proceed" (also Enter): the dialog closes only when the fields are
    // complete; otherwise the message says what is missing.
    void accept() override;
    // "Create a New User": the user dialog for an empty record.
    void btnNewUserClick();
    // The reason the fields cannot be used, empty when they can.
    QString Check() const;

    // Opens the user dialog for a new record; true when it was confirmed.
    // The window's default shows "New User Information".
    std::function<bool(TKyrelUser&)> EditNewUser;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ServerChosen();

    QLineEdit* userName_ = nullptr;
    QLineEdit* password_ = nullptr;
    QRadioButton* veltrano_ = nullptr;
    QRadioButton* another_ = nullptr;
    QLabel* webHost_ = nullptr;
    QLabel* hostLabel_ = nullptr;
    QLineEdit* host_ = nullptr;
    QLabel* portLabel_ = nullptr;
    QLineEdit* port_ = nullptr;
    QString newUserRecord_;
};

} // namespace qx
