#include "app/UserInfoForm.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>
#include <QVBoxLayout>

#include "app/GameDialogs.h"
#include "app/LobbyLook.h"
#include "app/Messages.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"

namespace qx {

namespace {

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

QLineEdit* Field(QWidget* parent, const char* name, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    return edit;
}

QLabel* Caption(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

QImage GlyphToImage(const TKyrelGlyph& glyph) {
    if (glyph.Empty() || glyph.Colors.size() != static_cast<size_t>(glyph.Width) * static_cast<size_t>(glyph.Height))
        return {};
    QImage image(glyph.Width, glyph.Height, QImage::Format_RGB32);
    for (int32_t x = 0; x < glyph.Width; ++x)
        for (int32_t y = 0; y < glyph.Height; ++y) {
            const auto color = static_cast<uint32_t>(glyph.Pixel(x, y));
            image.setPixel(x, y, qRgb(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                                      static_cast<int>((color >> 16) & 0xFF)));
        }
    return image;
}

TKyrelGlyph ImageToGlyph(const QImage& source) {
    TKyrelGlyph glyph;
    if (source.isNull()) return glyph;
    QImage picture = source.convertToFormat(QImage::Format_RGB32);
    constexpr int kMax = TKyrelGlyph::MaxSize;
    if (picture.width() > kMax || picture.height() > kMax) {
        const QImage scaled = picture.scaled(kMax, kMax, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QImage square(kMax, kMax, QImage::Format_RGB32);
        square.fill(Qt::black);
        QPainter painter(&square);
        painter.drawImage((kMax - scaled.width()) / 2, (kMax - scaled.height()) / 2, scaled);
        painter.end();
        picture = square;
    }
    glyph.Width = picture.width();
    glyph.Height = picture.height();
    glyph.Colors.reserve(static_cast<size_t>(glyph.Width) * static_cast<size_t>(glyph.Height));
    for (int x = 0; x < glyph.Width; ++x)
        for (int y = 0; y < glyph.Height; ++y) {
            const QRgb pixel = picture.pixel(x, y);
            glyph.Colors.push_back(qRed(pixel) | (qGreen(pixel) << 8) | (qBlue(pixel) << 16));
        }
    return glyph;
}

TfrmUserInfo::TfrmUserInfo(TKyrelUser& user, bool allowEdit, const QStringList& validInfo, QWidget* parent)
    : QDialog(parent), user_(user), allowEdit_(allowEdit), glyph_(user.Glyph) {
    setObjectName("frmUserInfo");
    setWindowTitle("User Info");
    ApplyGameLook(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(8);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(5);
    userId_ = Field(this, "edtUserId", MaxUserId);
    password_ = Field(this, "edtPassword", MaxPassword);
    password_->setEchoMode(QLineEdit::Password);
    retype_ = Field(this, "edtRetype", MaxPassword);
    retype_->setEchoMode(QLineEdit::Password);
    firstName_ = Field(this, "edtFirstName", MaxName);
    lastName_ = Field(this, "edtLastName", MaxName);
    city_ = Field(this, "edtCity", MaxName);
    country_ = Field(this, "edtCountry", MaxName);
    email_ = Field(this, "edtEMail", MaxAddress);
    homePage_ = Field(this, "edtHomePage", MaxAddress);
    homePage_->installEventFilter(this);
    comments_ = new QPlainTextEdit(this);
    comments_->setObjectName("memoComments");
    comments_->setFixedHeight(58);
    connect(comments_, &QPlainTextEdit::textChanged, this, [this] {
        // At most 200 characters, however they came in.
        const QString text = comments_->toPlainText();
        if (text.size() <= MaxComments) return;
        const QSignalBlocker block(comments_);
        comments_->setPlainText(text.left(MaxComments));
        comments_->moveCursor(QTextCursor::End);
    });

    grid->addWidget(Caption(this, "User ID:"), 0, 0);
    grid->addWidget(userId_, 0, 1);
    QLabel* passwordCaption = Caption(this, "Password:");
    QLabel* retypeCaption = Caption(this, "Re-Type:");
    grid->addWidget(passwordCaption, 1, 0);
    grid->addWidget(password_, 1, 1);
    grid->addWidget(retypeCaption, 1, 2);
    grid->addWidget(retype_, 1, 3);
    passwordRow_ = {passwordCaption, password_, retypeCaption, retype_};
    grid->addWidget(Caption(this, "First Name:"), 2, 0);
    grid->addWidget(firstName_, 2, 1);
    grid->addWidget(Caption(this, "Last Name:"), 2, 2);
    grid->addWidget(lastName_, 2, 3);
    grid->addWidget(Caption(this, "City:"), 3, 0);
    grid->addWidget(city_, 3, 1);
    grid->addWidget(Caption(this, "Country:"), 3, 2);
    grid->addWidget(country_, 3, 3);
    grid->addWidget(Caption(this, "EMail:"), 4, 0);
    grid->addWidget(email_, 4, 1, 1, 3);
    grid->addWidget(Caption(this, "Home Page:"), 5, 0);
    grid->addWidget(homePage_, 5, 1, 1, 3);
    QLabel* commentsCaption = Caption(this, "Comments:");
    commentsCaption->setAlignment(Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(commentsCaption, 6, 0);
    grid->addWidget(comments_, 6, 1, 1, 3);
    for (QLineEdit* edit : {userId_, firstName_, lastName_, city_, country_, password_, retype_})
        edit->setMinimumWidth(150);

    // The glyph, shown twice its size, and the button that loads one.
    auto* glyphColumn = new QVBoxLayout;
    glyphColumn->setSpacing(6);
    glyphView_ = new QLabel(this);
    glyphView_->setObjectName("imgGlyph");
    glyphView_->setFixedSize(2 * TKyrelGlyph::MaxSize + 4, 2 * TKyrelGlyph::MaxSize + 4);
    glyphView_->setAlignment(Qt::AlignCenter);
    glyphView_->setFrameShape(QFrame::Box);
    glyphColumn->addWidget(glyphView_, 0, Qt::AlignHCenter);
    btnGlyph_ = MakeGameButton(this, "btnGlyph", "Glyph", 'G', 85);
    glyphColumn->addWidget(btnGlyph_, 0, Qt::AlignHCenter);
    glyphColumn->addStretch();
    grid->addLayout(glyphColumn, 0, 4, 4, 1);

    infoCaption_ = new QLabel("Server-Assigned Properties:", this);
    grid->addWidget(infoCaption_, 7, 0, 1, 2);
    info_ = new QListWidget(this);
    info_->setObjectName("lbInfo");
    info_->setFixedHeight(84);
    info_->setFocusPolicy(Qt::NoFocus);
    info_->setSelectionMode(QAbstractItemView::NoSelection);
    grid->addWidget(info_, 8, 0, 1, 5);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    btnEdit_ = MakeGameButton(this, "btnEdit", "Edit", 'E', 85);
    btnOK_ = MakeGameButton(this, "btnUserOK", "OK", 'O', 85);
    btnCancel_ = MakeGameButton(this, "btnUserCancel", "Cancel", 'C', 85);
    buttons->addWidget(btnEdit_);
    buttons->addStretch();
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);
    layout->addLayout(buttons);
    connect(btnEdit_, &TColorButton::clicked, this, [this] { btnEditClick(); });
    connect(btnOK_, &TColorButton::clicked, this, [this] { accept(); });
    connect(btnCancel_, &TColorButton::clicked, this, &QDialog::reject);
    connect(btnGlyph_, &TColorButton::clicked, this, [this] {
        const QString file = ChooseGlyphFile ? ChooseGlyphFile() : QString();
        if (!file.isEmpty()) LoadGlyph(file);
    });
    ChooseGlyphFile = [this] {
        return QFileDialog::getOpenFileName(this, "Select a Glyph", QString(),
                                            "Bitmaps (*.bmp);;Pictures (*.bmp *.png *.jpg *.jpeg *.gif);;All files (*)");
    };

    // The record's fields.
    userId_->setText(QString::fromStdString(user.UserId));
    password_->setText(QString::fromStdString(user.Password));
    retype_->setText(QString::fromStdString(user.Password));
    firstName_->setText(QString::fromStdString(user.FirstName));
    lastName_->setText(QString::fromStdString(user.LastName));
    city_->setText(QString::fromStdString(user.City));
    country_->setText(QString::fromStdString(user.Country));
    email_->setText(QString::fromStdString(user.EMail));
    homePage_->setText(QString::fromStdString(user.HomePage));
    comments_->setPlainText(QString::fromStdString(user.Comments).trimmed());
    for (int i = 0; i < user.InfoCount(); ++i) {
        const QString name = QString::fromStdString(user.InfoName(i));
        if (validInfo.isEmpty() || validInfo.contains(name))
            info_->addItem(name + ": " + QString::fromStdString(user.InfoText(i)));
    }
    // A user the server has not met yet has no properties to show.
    infoCaption_->setVisible(info_->count() > 0);
    info_->setVisible(info_->count() > 0);
    editing_ = user.UserId.empty();
    ApplyFieldLook(this);
    homeLook_ = homePage_->styleSheet();
    ShowGlyph();
    ShowMode();
}

void TfrmUserInfo::SetGlyph(const TKyrelGlyph& glyph) {
    glyph_ = glyph;
    ShowGlyph();
}

void TfrmUserInfo::ShowMode() {
    for (QLineEdit* edit : {firstName_, lastName_, city_, country_, email_, homePage_, password_, retype_})
        edit->setReadOnly(!editing_);
    // The user id is given once; it never changes afterwards.
    userId_->setReadOnly(!editing_ || !user_.UserId.empty());
    comments_->setReadOnly(!editing_);
    // The fields' look follows their read-only state.
    for (QWidget* field : {static_cast<QWidget*>(userId_), static_cast<QWidget*>(firstName_),
                           static_cast<QWidget*>(lastName_), static_cast<QWidget*>(city_),
                           static_cast<QWidget*>(country_), static_cast<QWidget*>(email_),
                           static_cast<QWidget*>(homePage_), static_cast<QWidget*>(comments_)}) {
        field->style()->unpolish(field);
        field->style()->polish(field);
    }
    for (QWidget* widget : passwordRow_) widget->setVisible(editing_);
    btnGlyph_->setVisible(editing_);
    btnEdit_->setVisible(allowEdit_ && !editing_);
    btnCancel_->setVisible(editing_);
    // While viewing, an address that may be opened looks like a link.
    const bool link = !editing_ && !HomePageUrl(homePage_->text()).isEmpty();
    QFont font = homePage_->font();
    font.setUnderline(link);
    homePage_->setFont(font);
    homePage_->setStyleSheet(homeLook_ + (link ? "QLineEdit[readOnly=\"true\"] { color: rgb(0, 255, 255); }" : ""));
    homePage_->setCursor(link ? Qt::PointingHandCursor : Qt::IBeamCursor);
    homePage_->setToolTip(link ? QString("Click to open the home page") : QString());
    if (editing_ && userId_->text().isEmpty()) userId_->setFocus();
}

void TfrmUserInfo::ShowGlyph() {
    const QImage picture = GlyphToImage(glyph_);
    if (picture.isNull()) {
        glyphView_->setPixmap({});
        glyphView_->setText("no\nglyph");
        return;
    }
    glyphView_->setPixmap(QPixmap::fromImage(picture.scaled(picture.size() * 2, Qt::IgnoreAspectRatio,
                                                            Qt::FastTransformation)));
}

void TfrmUserInfo::btnEditClick() {
    if (!allowEdit_) return;
    editing_ = true;
    ShowMode();
}

void TfrmUserInfo::LoadGlyph(const QString& file) {
    const QImage picture(file);
    if (picture.isNull()) {
        TMessages::Show(this, "The picture \"" + file + "\" could not be read.");
        return;
    }
    glyph_ = ImageToGlyph(picture);
    ShowGlyph();
}

TKyrelUser TfrmUserInfo::FieldsRecord() const {
    TKyrelUser record = user_;
    record.UserId = userId_->text().trimmed().toStdString();
    record.Password = Text(password_);
    record.FirstName = Text(firstName_);
    record.LastName = Text(lastName_);
    record.City = Text(city_);
    record.Country = Text(country_);
    record.EMail = Text(email_);
    record.HomePage = Text(homePage_);
    // The comment's lines become one, each followed by a blank.
    std::string comments;
    for (const QString& line : comments_->toPlainText().split('\n')) comments += line.toStdString() + " ";
    record.Comments = comments_->toPlainText().isEmpty() ? std::string() : comments;
    record.Glyph = glyph_;
    return record;
}

QString TfrmUserInfo::Check() const {
    if (userId_->text().trimmed().isEmpty()) return "Please provide a User ID.";
    if (password_->text().isEmpty() || password_->text() != retype_->text())
        return "Please make sure the Password fields match.";
    std::string why;
    if (!FieldsRecord().IsSafeRecord(&why)) {
        if (!TKyrelUser::IsValidUserId(userId_->text().trimmed().toStdString()))
            return "A User ID is 1 to 24 characters long and holds none of | ^ ` = ~ ; : % , \\";
        return QString::fromStdString(why) + ".";
    }
    return {};
}

void TfrmUserInfo::accept() {
    if (!editing_) {
        QDialog::reject();
        return;
    }
    const QString problem = Check();
    if (!problem.isEmpty()) {
        TMessages::Show(this, problem);
        return;
    }
    user_ = FieldsRecord();
    QDialog::accept();
}

QUrl TfrmUserInfo::HomePageUrl(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return {};
    const QUrl url = QUrl::fromUserInput(trimmed);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty()) return {};
    return url;
}

bool TfrmUserInfo::OpenHomePage() {
    if (editing_) return false;
    const QUrl url = HomePageUrl(homePage_->text());
    if (url.isEmpty()) return false;
    QDesktopServices::openUrl(url);
    return true;
}

bool TfrmUserInfo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == homePage_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !editing_)
        OpenHomePage();
    return QDialog::eventFilter(watched, event);
}

bool TKyrelUserInfoDialog::Execute(TKyrelUser& user, bool allowEdit, QWidget* parent) const {
    TfrmUserInfo form(user, allowEdit, ValidInfoTokens, parent);
    form.setWindowTitle(user.UserId.empty() ? QString("New User Information") : Title);
    return form.exec() == QDialog::Accepted;
}

} // namespace qx
