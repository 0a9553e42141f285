#include "app/ServerStatsForm.h"

#include <cmath>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/GameDialogs.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"

namespace qx {

namespace {

constexpr const char* kTimeActive = "Time Active:";
constexpr const char* kClients = "Clients Connected:";
constexpr const char* kSubjects = "Client-Created Subjects:";
constexpr const char* kTotalConnections = "Total Connections:";
constexpr const char* kPeak = "Peak Connections:";
constexpr const char* kRead = "Total Bytes Read:";
constexpr const char* kWritten = "Total Bytes Written:";
constexpr const char* kCreated = "Subjects Created:";

} // namespace

QString TfrmServerStats::FormatCount(double value) {
    if (!std::isfinite(value)) value = 0;
    const double rounded = std::nearbyint(value);  // halves to the even neighbour
    QString digits = QString::number(std::fabs(rounded), 'f', 0);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, ',');
    return (rounded < 0 ? "-" : "") + digits;
}

TfrmServerStats::TfrmServerStats(TKyrelConnection& kyrel, QWidget* parent) : QDialog(parent), kyrel_(kyrel) {
    setObjectName("frmServerStats");
    ApplyGameLook(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(10);
    auto* heading = new QLabel("KyrelServer", this);
    heading->setObjectName("lblStatsTitle");
    heading->setFont(DisplayFont(20, true));
    layout->addWidget(heading);

    auto group = [this, layout](const QString& title, const QStringList& captions) {
        auto* box = new QGroupBox(title, this);
        box->setFont(DisplayFont(14));
        auto* grid = new QGridLayout(box);
        grid->setHorizontalSpacing(16);
        grid->setVerticalSpacing(4);
        for (int row = 0; row < captions.size(); ++row) AddRow(grid, row, captions[row]);
        layout->addWidget(box);
    };
    group("Current Information", {kTimeActive, kClients, kSubjects});
    group("Historical Information", {kTotalConnections, kPeak, kRead, kWritten, kCreated});

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    TColorButton* close = MakeGameButton(this, "btnStatsClose", "Close", 'C', 85);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &TColorButton::clicked, this, &QDialog::accept);
    connect(&timer_, &QTimer::timeout, this, [this] {
        // Without the connection there is nothing more to show.
        if (!kyrel_.Active()) {
            reject();
            return;
        }
        kyrel_.RequestServerStats();
    });
}

TfrmServerStats::~TfrmServerStats() { Release(); }

QLabel* TfrmServerStats::AddRow(QGridLayout* grid, int row, const QString& caption) {
    auto* name = new QLabel(caption, this);
    name->setFont(TextFont(13));
    auto* value = new QLabel(this);
    value->setFont(TextFont(13, true));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setMinimumWidth(150);
    QPalette white = value->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    value->setPalette(white);
    grid->addWidget(name, row, 0);
    grid->addWidget(value, row, 1);
    values_.append({caption, value});
    return value;
}

QString TfrmServerStats::Value(const QString& caption) const {
    for (const auto& [name, label] : values_)
        if (name == caption) return label->text();
    return {};
}

void TfrmServerStats::ShowStats(const TKyrelServerStats& stats) {
    const auto set = [this](const char* caption, const QString& text) {
        for (const auto& [name, label] : values_)
            if (name == caption) label->setText(text);
    };
    set(kTimeActive, QString::fromStdString(stats.TimeActiveText()));
    set(kClients, FormatCount(stats.CurrentConnections));
    set(kSubjects, FormatCount(stats.CurrentSubjects));
    set(kTotalConnections, FormatCount(stats.TotalConnections));
    set(kPeak, FormatCount(stats.PeakConnections));
    set(kRead, FormatCount(stats.BytesRead));
    set(kWritten, FormatCount(stats.BytesWritten));
    set(kCreated, FormatCount(stats.TotalSubjects));
    ++updates_;
}

int TfrmServerStats::Execute(const TKyrelServerStats& stats) {
    setWindowTitle(Title);
    ShowStats(stats);
    if (AutoUpdate) {
        previous_ = kyrel_.OnServerStatus;
        holding_ = true;
        kyrel_.OnServerStatus = [this](TObject*, TKyrelServerStats* fresh) {
            if (fresh) ShowStats(*fresh);
        };
        timer_.start(UpdateInterval);
    }
    return exec();
}

void TfrmServerStats::Release() {
    timer_.stop();
    if (!holding_) return;
    holding_ = false;
    kyrel_.OnServerStatus = previous_;
    previous_ = nullptr;
}

void TfrmServerStats::done(int result) {
    Release();
    QDialog::done(result);
}

} // namespace qx
