#pragma once

#include <functional>

#include <QImage>
#include <QString>

#include "controls/OwnerDrawListBox.h"

namespace qx {

class TKyrelUser;

// The lobby's list of subjects and, under the joined one, its users. A
// subject's item holds its name; a user's holds the subject's name, "\" and
// the user's name, and sits below its subject. Games (names starting with
// "~") show the game picture and only their name, chat rooms the chat
// picture; users show their glyph, their name and, when the server ranks
// them, their score and rank.
class TKyrelSubjectList : public TOwnerDrawListBox {
    Q_OBJECT
public:
    explicit TKyrelSubjectList(QWidget* parent = nullptr);

    // The user record for a name (the connection's); none when it is gone.
    std::function<const TKyrelUser*(const QString& userId)> FindUser;

    void AddSubject(const QString& name);
    void RemoveSubject(const QString& name);
    void AddUser(const QString& subject, const QString& userId);
    void RemoveUser(const QString& subject, const QString& userId);
    // Every user item goes; the subjects stay.
    void RemoveUsers();
    void SelectSubject(const QString& name);

    int FindItem(const QString& text) const;
    bool IsUser(int row) const;
    // The subject of a row (its own name for a subject's row).
    QString SubjectOf(int row) const;
    // The user of a user's row; empty for a subject's.
    QString UserOf(int row) const;
    // The text a row shows: a game's name, a room's name, or the user's line.
    QString Shown(int row) const;
    // "Ann (1516) Commander": the name, and the score and rank when ranked.
    static QString UserLine(const TKyrelUser& user);

    static QImage GamePicture();
    static QImage ChatPicture();
    static QImage NoGlyphPicture();

    void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) override;
};

} // namespace qx
