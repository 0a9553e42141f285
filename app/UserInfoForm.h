#pragma once

#include <functional>

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <QUrl>

#include "net/KyrelUser.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace qx {

class TColorButton;

// A user's glyph as a picture and back. Colours travel as the lobby keeps
// them: red in the low byte, then green, then blue.
QImage GlyphToImage(const TKyrelGlyph& glyph);
// A picture larger than 32 pixels either way is scaled, keeping its shape,
// into the middle of a black 32 x 32 square; smaller ones stay as they are.
TKyrelGlyph ImageToGlyph(const QImage& picture);

// The user information window: the record's fields, its glyph and the
// properties the server assigns. It opens for viewing (the password fields
// and "Glyph" hidden); "Edit", offered only for one's own record, switches
// to editing, in which "OK" checks and writes the fields back. A record
// without a user id (a new user) opens for editing at once.
class TfrmUserInfo : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxUserId = 24, MaxPassword = 12, MaxName = 24, MaxAddress = 48, MaxComments = 200;

    // `validInfo` names the server's properties that are shown (all when empty).
    TfrmUserInfo(TKyrelUser& user, bool allowEdit, const QStringList& validInfo, QWidget* parent = nullptr);

    bool Editing() const { return editing_; }
    // "Edit".
    void btnEditClick();
    // "OK": in editing mode the fields are checked and written to the
    // record, and the dialog returns true; when viewing it just closes.
    void accept() override;
    // The reason the fields cannot be taken, empty when they can.
    QString Check() const;
    // "Glyph": a picture file, scaled into 32 x 32.
    void LoadGlyph(const QString& file);
    const TKyrelGlyph& Glyph() const { return glyph_; }
    void SetGlyph(const TKyrelGlyph& glyph);
    // A click on the home page while viewing. Only http and https addresses
    // are opened; true when it was.
    bool OpenHomePage();
    // The address the home page field names, empty when it is none that
    // may be opened (another scheme, no host).
    static QUrl HomePageUrl(const QString& text);

    // Asks for the picture file (title "Select a Glyph"); empty when cancelled.
    std::function<QString()> ChooseGlyphFile;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowMode();
    void ShowGlyph();
    // The record the fields make.
    TKyrelUser FieldsRecord() const;

    TKyrelUser& user_;
    bool allowEdit_ = false;
    bool editing_ = false;
    TKyrelGlyph glyph_;
    QLineEdit* userId_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* retype_ = nullptr;
    QLineEdit* firstName_ = nullptr;
    QLineEdit* lastName_ = nullptr;
    QLineEdit* city_ = nullptr;
    QLineEdit* country_ = nullptr;
    QLineEdit* email_ = nullptr;
    QLineEdit* homePage_ = nullptr;
    QString homeLook_;
    QPlainTextEdit* comments_ = nullptr;
    QLabel* glyphView_ = nullptr;
    QLabel* infoCaption_ = nullptr;
    QListWidget* info_ = nullptr;
    QList<QWidget*> passwordRow_;
    TColorButton* btnGlyph_ = nullptr;
    TColorButton* btnEdit_ = nullptr;
    TColorButton* btnOK_ = nullptr;
    TColorButton* btnCancel_ = nullptr;
};

// The user information dialog as the window keeps it: its title and the
// server properties worth showing.
class TKyrelUserInfoDialog {
public:
    QString Title = "User Info";
    QStringList ValidInfoTokens;
    // True when the user confirmed an edit (the record holds it then).
    bool Execute(TKyrelUser& user, bool allowEdit, QWidget* parent = nullptr) const;
};

} // namespace qx
