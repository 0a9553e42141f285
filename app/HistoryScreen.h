#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/Screens.h"

class QTreeWidget;

namespace qx {

class TKyrelConnection;

// The game history screen ("Players' Schedules" in the lobby): the lobby's
// "Multi-Player Game Log", "Hall of Fame Rankings" and "Player Schedules",
// filled from its QXHISTORY reply, and "Submit Schedule ..." to tell the
// others when one is usually logged in.
class THistoryScreen : public TScreen {
    Q_OBJECT
public:
    static constexpr int MaxSchedule = 100;

    THistoryScreen(TKyrelConnection& kyrel, QWidget* parent);

    // Asks the server for the history (shown when its reply comes).
    void RequestHistory();
    // The reply: the three lists, emptied first.
    void ShowHistory(const std::string& text);
    // "Submit Schedule ...".
    void btnSubmitScheduleClick();

    QTreeWidget* GameLog() const { return games_; }
    QTreeWidget* HallOfFame() const { return fame_; }
    QTreeWidget* Schedules() const { return schedules_; }

    // The schedule a player typed, trimmed; refused (the reason returned)
    // when it holds a separator of the history's texts or is too long.
    static QString CheckSchedule(const QString& typed, QString& schedule);

    // Asks "When are you usually logged in?"; none when cancelled.
    std::function<std::optional<QString>()> AskSchedule;

private:
    QTreeWidget* AddList(const QString& name, const QString& title, const QStringList& columns, const QRect& rect);

    TKyrelConnection& kyrel_;
    QTreeWidget* games_ = nullptr;
    QTreeWidget* fame_ = nullptr;
    QTreeWidget* schedules_ = nullptr;
};

} // namespace qx
