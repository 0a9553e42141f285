#include "app/LoginForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/GameDialogs.h"
#include "app/LobbyLook.h"
#include "app/Messages.h"
#include "app/UserInfoForm.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "net/KyrelUser.h"

namespace qx {

namespace {

QLabel* Caption(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

void RetainSpace(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

TfrmLogin::TfrmLogin(QWidget* parent) : QDialog(parent) {
    setObjectName("frmLogin");
    setWindowTitle("KyrelServer Login");
    ApplyGameLook(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(10);

    auto* heading = new QLabel("KyrelServer Login", this);
    heading->setFont(DisplayFont(22, true));
    layout->addWidget(heading);
    auto* hint = new QLabel("Meet other Star Lords in the lobby, chat, and play them across the galaxy.", this);
    hint->setFont(TextFont(12));
    QPalette silver = hint->palette();
    silver.setColor(QPalette::WindowText, style::Silver());
    hint->setPalette(silver);
    layout->addWidget(hint);

    auto* account = new QGridLayout;
    account->setHorizontalSpacing(8);
    userName_ = new QLineEdit(this);
    userName_->setObjectName("edtUserName");
    userName_->setMaxLength(24);
    password_ = new QLineEdit(this);
    password_->setObjectName("edtPassword");
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(64);
    account->addWidget(Caption(this, "User Name:"), 0, 0);
    account->addWidget(userName_, 0, 1);
    account->addWidget(Caption(this, "Password:"), 1, 0);
    account->addWidget(password_, 1, 1);
    account->setColumnMinimumWidth(1, 220);
    account->setColumnStretch(2, 1);
    layout->addLayout(account);

    // The server: ours, whose address the web host gives, or another one.
    auto* server = new QGridLayout;
    server->setHorizontalSpacing(8);
    server->setVerticalSpacing(4);
    veltrano_ = new QRadioButton("Veltrano's", this);
    veltrano_->setObjectName("rbVeltrano");
    veltrano_->setChecked(true);
    webHost_ = new QLabel(this);
    webHost_->setObjectName("lblWebHost");
    webHost_->setFont(TextFont(11));
    webHost_->setPalette(silver);
    another_ = new QRadioButton("Another KyrelServer:", this);
    another_->setObjectName("rbAnother");
    hostLabel_ = Caption(this, "Host Address:");
    host_ = new QLineEdit("localhost", this);
    host_->setObjectName("edtHost");
    host_->setMaxLength(253);
    portLabel_ = Caption(this, "Port:");
    port_ = new QLineEdit(QString::number(TLobbyClient::DefaultPort), this);
    port_->setObjectName("edtPort");
    port_->setMaxLength(5);
    port_->setValidator(new QIntValidator(0, 65535, port_));
    port_->setFixedWidth(64);
    for (QWidget* widget : {static_cast<QWidget*>(hostLabel_), static_cast<QWidget*>(host_),
                            static_cast<QWidget*>(portLabel_), static_cast<QWidget*>(port_)})
        RetainSpace(widget);
    server->addWidget(veltrano_, 0, 0);
    server->addWidget(webHost_, 0, 1, 1, 4);
    server->addWidget(another_, 1, 0);
    server->addWidget(hostLabel_, 1, 1);
    server->addWidget(host_, 1, 2);
    server->addWidget(portLabel_, 1, 3);
    server->addWidget(port_, 1, 4);
    server->setColumnStretch(2, 1);
    layout->addLayout(server);
    connect(veltrano_, &QRadioButton::toggled, this, [this] { ServerChosen(); });
    ApplyChoiceLook(veltrano_);
    ApplyChoiceLook(another_);

    auto* buttons = new QHBoxLayout;
    TColorButton* newUser = MakeGameButton(this, "btnNewUser", "Create a New User", 'N', 150);
    TColorButton* proceed = MakeGameButton(this, "btnProceed", "Proceed", 'P', 85);
    TColorButton* cancel = MakeGameButton(this, "btnCancel", "Cancel", 'C', 85);
    buttons->addWidget(newUser);
    buttons->addStretch();
    buttons->addWidget(proceed);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(newUser, &TColorButton::clicked, this, [this] { btnNewUserClick(); });
    connect(proceed, &TColorButton::clicked, this, [this] { accept(); });
    connect(cancel, &TColorButton::clicked, this, &QDialog::reject);
    for (QLineEdit* edit : {userName_, password_, host_, port_})
        connect(edit, &QLineEdit::returnPressed, this, [this] { accept(); });
    // A new user made here belongs to the name it was made with.
    connect(userName_, &QLineEdit::textEdited, this, [this] { newUserRecord_.clear(); });

    EditNewUser = [this](TKyrelUser& user) {
        TKyrelUserInfoDialog dialog;
        dialog.Title = "New User Information";
        return dialog.Execute(user, true, this);
    };
    ApplyFieldLook(this);
    SetWebHost(TLobbyClient::DefaultWebHost);
    ServerChosen();
    userName_->setFocus();
}

void TfrmLogin::SetWebHost(const QString& webHost) {
    webHost_->setText("(its address from " + TLobbyClient::AddressDocumentUrl(webHost) + ")");
}

void TfrmLogin::ServerChosen() {
    const bool another = another_->isChecked();
    for (QWidget* widget : {static_cast<QWidget*>(hostLabel_), static_cast<QWidget*>(host_),
                            static_cast<QWidget*>(portLabel_), static_cast<QWidget*>(port_)})
        widget->setVisible(another);
    webHost_->setEnabled(!another);
}

TLoginRequest TfrmLogin::Request() const {
    TLoginRequest request;
    request.UserName = userName_->text().trimmed();
    request.Password = password_->text();
    request.NewUserRecord = newUserRecord_;
    request.AnotherServer = another_->isChecked();
    request.Host = host_->text().trimmed();
    request.Port = port_->text().toInt();
    return request;
}

QString TfrmLogin::Check() const {
    const TLoginRequest request = Request();
    if (request.UserName.isEmpty()) return "Please enter a User Name.";
    if (request.Password.isEmpty()) return "Please enter a Password.";
    if (request.AnotherServer && request.Host.isEmpty()) return "Please enter a Host Address.";
    // What travels in the login line cannot hold the line's separators.
    if (!TKyrelUser::IsValidUserId(request.UserName.toStdString()))
        return "A User Name is 1 to 24 characters long and holds none of | ^ ` = ~ ; : % , \\";
    if (!TKyrelUser::IsSafeField(request.Password.toStdString()))
        return "A Password cannot contain | ^ ` or control characters.";
    if (request.AnotherServer) {
        for (QChar c : request.Host)
            if (c.isSpace() || c == '|' || c == '/' || c.unicode() < 32)
                return "Please enter a Host Address without blanks or separators.";
        if (request.Port < 1 || request.Port > 65535) return "Please enter a Port from 1 to 65535.";
    }
    return {};
}

void TfrmLogin::accept() {
    const QString problem = Check();
    if (!problem.isEmpty()) {
        TMessages::Show(this, problem);
        return;
    }
    QDialog::accept();
}

void TfrmLogin::btnNewUserClick() {
    TKyrelUser user;
    if (!EditNewUser || !EditNewUser(user)) return;
    userName_->setText(QString::fromStdString(user.UserId));
    password_->setText(QString::fromStdString(user.Password));
    newUserRecord_ = QString::fromStdString(user.ToText());
    accept();
}

void TfrmLogin::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace qx
