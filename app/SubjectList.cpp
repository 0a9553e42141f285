#include "app/SubjectList.h"

#include <QFontMetrics>
#include <QPainter>

#include "app/UserInfoForm.h"
#include "controls/GameStyle.h"
#include "net/KyrelUser.h"
#include "net/game/GameSubject.h"

namespace qx {

namespace {

constexpr int KindRole = Qt::UserRole + 10;
constexpr int UserRole = Qt::UserRole + 11;
constexpr int kSubjectItem = 1, kUserItem = 2;
constexpr QChar kUserSeparator = '\\';

// A 16 x 16 picture drawn from rows of characters, one colour per letter.
QImage Picture(const char* const rows[16], const QList<QPair<char, QRgb>>& colors) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            for (const auto& [letter, color] : colors)
                if (rows[y][x] == letter) image.setPixel(x, y, color);
    return image;
}

} // namespace

QImage TKyrelSubjectList::GamePicture() {
    // A ringed world with a star beside it.
    static const char* const rows[16] = {
        "..............y.", ".............yyy", "..............y.", "......oooo......",
        "....oorrrroo....", "...orrrrrrrro...", "aa.orrrrrrrro...", "..aaarrrrrrro...",
        "...oaaaaarrro...", "...orrrraaaaaa..", "....oorrrrooaaaa", "......oooo......",
        "................", "..y.............", ".yyy............", "..y.............",
    };
    static const QImage image =
        Picture(rows, {{'o', qRgb(200, 120, 0)}, {'r', qRgb(240, 170, 40)}, {'a', qRgb(0, 255, 255)},
                       {'y', qRgb(255, 255, 160)}});
    return image;
}

QImage TKyrelSubjectList::ChatPicture() {
    // Two speech bubbles.
    static const char* const rows[16] = {
        "................", ".aaaaaaaaa......", "abbbbbbbbba.....", "abwbwbwbbba.....",
        "abbbbbbbbba.....", "abwbwbbbbbaccc..", ".aaaaaaaaaddddc.", "...aa.cddddddddc",
        "...a..cdwdwdwddc", "......cddddddddc", "......cdwdwddddc", ".......ccccccccc",
        ".............cc.", "..............c.", "................", "................",
    };
    static const QImage image = Picture(rows, {{'a', qRgb(0, 255, 255)}, {'b', qRgb(0, 64, 96)},
                                               {'c', qRgb(0, 200, 90)}, {'d', qRgb(0, 70, 40)},
                                               {'w', qRgb(255, 255, 255)}});
    return image;
}

QImage TKyrelSubjectList::NoGlyphPicture() {
    // A pilot's helmet for users without a glyph of their own.
    static const char* const rows[16] = {
        "................", ".....gggggg.....", "....gssssssg....", "...gssssssssg...",
        "...gsvvvvvvsg...", "...gvvvvvvvvg...", "...gvvvvvvvvg...", "...gsvvvvvvsg...",
        "...gssssssssg...", "....gssssssg....", ".....gggggg.....", "...gggggggggg...",
        "..gsssssssssg...", "..gsssssssssssg.", "..gssssssssssssg", "................",
    };
    static const QImage image =
        Picture(rows, {{'g', qRgb(96, 96, 96)}, {'s', qRgb(170, 170, 170)}, {'v', qRgb(0, 110, 160)}});
    return image;
}

TKyrelSubjectList::TKyrelSubjectList(QWidget* parent) : TOwnerDrawListBox(parent) {
    SetDefaultDrawing(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

int TKyrelSubjectList::FindItem(const QString& text) const {
    for (int row = 0; row < count(); ++row)
        if (item(row)->text() == text) return row;
    return -1;
}

bool TKyrelSubjectList::IsUser(int row) const {
    const QListWidgetItem* entry = item(row);
    return entry && entry->data(KindRole).toInt() == kUserItem;
}

QString TKyrelSubjectList::SubjectOf(int row) const {
    const QListWidgetItem* entry = item(row);
    if (!entry) return {};
    if (!IsUser(row)) return entry->text();
    const QString text = entry->text();
    return text.left(text.size() - UserOf(row).size() - 1);
}

QString TKyrelSubjectList::UserOf(int row) const {
    const QListWidgetItem* entry = item(row);
    return entry && IsUser(row) ? entry->data(UserRole).toString() : QString();
}

void TKyrelSubjectList::AddSubject(const QString& name) {
    if (FindItem(name) >= 0) return;
    auto* entry = new QListWidgetItem(name, this);
    entry->setData(KindRole, kSubjectItem);
    entry->setToolTip(QString::fromStdString(TGameSubject::Shown(name.toStdString())));
}

void TKyrelSubjectList::RemoveSubject(const QString& name) {
    const int row = FindItem(name);
    if (row >= 0 && !IsUser(row)) delete takeItem(row);
}

void TKyrelSubjectList::AddUser(const QString& subject, const QString& userId) {
    const QString text = subject + kUserSeparator + userId;
    if (FindItem(text) >= 0) return;
    // Below the subject and the users listed under it so far.
    int at = FindItem(subject);
    if (at < 0) {
        at = count();
    } else {
        ++at;
        while (at < count() && IsUser(at) && SubjectOf(at) == subject) ++at;
    }
    auto* entry = new QListWidgetItem(text);
    entry->setData(KindRole, kUserItem);
    entry->setData(UserRole, userId);
    insertItem(at, entry);
}

void TKyrelSubjectList::RemoveUser(const QString& subject, const QString& userId) {
    const int row = FindItem(subject + kUserSeparator + userId);
    if (row >= 0 && IsUser(row)) delete takeItem(row);
}

void TKyrelSubjectList::RemoveUsers() {
    for (int row = count() - 1; row >= 0; --row)
        if (IsUser(row)) delete takeItem(row);
}

void TKyrelSubjectList::SelectSubject(const QString& name) {
    const int row = FindItem(name);
    if (row < 0) return;
    setCurrentRow(row);
    scrollToItem(item(row));
}

QString TKyrelSubjectList::UserLine(const TKyrelUser& user) {
    QString line = QString::fromStdString(user.UserId);
    const std::string score = user.InfoValue("QxScore");
    if (!score.empty())
        line += " (" + QString::fromStdString(score) + ") " + QString::fromStdString(user.InfoValue("QxRank"));
    return line;
}

QString TKyrelSubjectList::Shown(int row) const {
    if (!item(row)) return {};
    if (!IsUser(row)) return QString::fromStdString(TGameSubject::Shown(item(row)->text().toStdString()));
    const TKyrelUser* user = FindUser ? FindUser(UserOf(row)) : nullptr;
    return user ? UserLine(*user) : UserOf(row);
}

void TKyrelSubjectList::DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) {
    DrawBackground(painter, rect, selected);
    const int middle = rect.top() + (rect.height() - 16) / 2;
    if (!IsUser(index)) {
        const QString name = item(index)->text();
        painter.drawImage(rect.left() + 10, middle, TGameSubject::IsGame(name.toStdString()) ? GamePicture()
                                                                                              : ChatPicture());
        painter.setFont(DisplayFont(13));
        const QFontMetrics metrics(painter.font());
        const int baseline = rect.top() + (rect.height() + metrics.ascent() - metrics.descent()) / 2;
        painter.drawText(rect.left() + 36, baseline,
                         metrics.elidedText(Shown(index), Qt::ElideRight, rect.width() - 40));
        return;
    }
    const TKyrelUser* user = FindUser ? FindUser(UserOf(index)) : nullptr;
    QImage glyph = user ? GlyphToImage(user->Glyph) : QImage();
    glyph = glyph.isNull() ? NoGlyphPicture() : glyph.scaled(16, 16, Qt::KeepAspectRatio, Qt::FastTransformation);
    painter.drawImage(rect.left() + 16 + (16 - glyph.width()) / 2, middle + (16 - glyph.height()) / 2, glyph);
    // 10 points at the screen's 96 dots to the inch.
    painter.setFont(TextFont(13));
    if (!selected) painter.setPen(QColor(220, 235, 235));
    const QFontMetrics metrics(painter.font());
    const int baseline = rect.top() + (rect.height() + metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(rect.left() + 52, baseline, metrics.elidedText(Shown(index), Qt::ElideRight, rect.width() - 56));
}

} // namespace qx
