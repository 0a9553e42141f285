#include "app/HistoryScreen.h"

#include <QInputDialog>
#include <QLabel>
#include <QTreeWidget>

#include "app/AppInfo.h"
#include "app/LobbyLook.h"
#include "app/Messages.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "net/KyrelConnection.h"
#include "net/game/GameSubject.h"

namespace qx {

THistoryScreen::THistoryScreen(TKyrelConnection& kyrel, QWidget* parent)
    : TScreen("pnlHistory", parent), kyrel_(kyrel) {
    AddLabel("lblHistoryTitle", "Game History", QRect(8, 4, 616, 30), 22, style::Aqua());
    AddLabel("lblHistoryHint", "Who played whom across KyrelServer, the best Star Lords, and when they are about.",
             QRect(8, 32, 616, 18), 13, style::Silver());
    games_ = AddList("lvGameLog", "Multi-Player Game Log", {"Date", "Victor", "Defeated", "Impulses"},
                     QRect(8, 74, 616, 150));
    fame_ = AddList("lvHallOfFame", "Hall of Fame Rankings", {"Ranking", "Star Lord"}, QRect(8, 254, 250, 156));
    schedules_ = AddList("lvSchedules", "Player Schedules", {"Name", "Time most likely to be logged in"},
                         QRect(266, 254, 358, 156));
    games_->setColumnWidth(0, 96);
    games_->setColumnWidth(1, 130);
    games_->setColumnWidth(2, 290);
    fame_->setColumnWidth(0, 130);
    schedules_->setColumnWidth(0, 110);
    TColorButton* submit = AddButton("btnSubmitSchedule", "Submit Schedule ...", 'S', QRect(340, 420, 176, 24));
    // The window leads "Return" back to the lobby.
    AddButton("btnHistoryReturn", "Return", 'R', QRect(524, 420, 100, 24));
    connect(submit, &TColorButton::clicked, this, [this] { Guarded([this] { btnSubmitScheduleClick(); }); });
    AskSchedule = [this]() -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(this, "Submit Schedule", "When are you usually logged in?",
                                                   QLineEdit::Normal, QString(), &ok);
        if (!ok) return std::nullopt;
        return text;
    };
    Loaded();
}

QTreeWidget* THistoryScreen::AddList(const QString& name, const QString& title, const QStringList& columns,
                                     const QRect& rect) {
    AddLabel(name + "Title", title, QRect(rect.left(), rect.top() - 22, rect.width(), 20), 15, Qt::white);
    auto* list = new QTreeWidget(this);
    list->setObjectName(name);
    list->setColumnCount(static_cast<int>(columns.size()));
    list->setHeaderLabels(columns);
    ApplyListLook(list);
    list->setGeometry(rect);
    return list;
}

void THistoryScreen::RequestHistory() { kyrel_.SendCustom("QXHISTORY", ""); }

void THistoryScreen::ShowHistory(const std::string& text) {
    const TGameHistory history = TGameHistory::Parse(text);
    const auto fill = [](QTreeWidget* list, const std::vector<std::vector<std::string>>& records) {
        list->clear();
        const int columns = list->columnCount();
        for (const std::vector<std::string>& record : records) {
            QStringList cells;
            for (int i = 0; i < columns; ++i)
                cells << (i < static_cast<int>(record.size()) ? QString::fromStdString(record[static_cast<size_t>(i)])
                                                              : QString());
            auto* item = new QTreeWidgetItem(list, cells);
            for (int i = 0; i < columns; ++i) item->setToolTip(i, cells[i]);
        }
    };
    fill(games_, history.Games);
    fill(fame_, history.HallOfFame);
    fill(schedules_, history.Schedules);
}

QString THistoryScreen::CheckSchedule(const QString& typed, QString& schedule) {
    schedule.clear();
    const QString trimmed = typed.trimmed();
    for (QChar c : trimmed) {
        if (c.unicode() < 32 || c.unicode() == 127) return "A schedule cannot contain control characters.";
        if (QString("%;~|^`").contains(c)) return "A schedule cannot contain any of % ; ~ | ^ `";
    }
    if (trimmed.toUtf8().size() > MaxSchedule)
        return QString("A schedule can be at most %1 characters long.").arg(MaxSchedule);
    schedule = trimmed;
    return {};
}

void THistoryScreen::btnSubmitScheduleClick() {
    const std::optional<QString> answer = AskSchedule ? AskSchedule() : std::nullopt;
    if (!answer) return;
    QString schedule;
    const QString refused = CheckSchedule(*answer, schedule);
    if (!refused.isEmpty()) {
        TMessages::Show(this, refused);
        return;
    }
    if (schedule.isEmpty()) return;
    kyrel_.SendCustom("QXSCHEDULE", schedule.toStdString());
    // The lists show the new schedule once the server answers again.
    RequestHistory();
}

} // namespace qx
