#include "app/GameDialogs.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/AppInfo.h"
#include "app/SettingsRules.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"

namespace qx {

void ApplyGameLook(QWidget* widget) {
    QPalette colors = widget->palette();
    colors.setColor(QPalette::Window, Qt::black);
    colors.setColor(QPalette::WindowText, style::Aqua());
    colors.setColor(QPalette::Base, QColor(0, 0, 24));
    colors.setColor(QPalette::Text, Qt::white);
    colors.setColor(QPalette::Button, Qt::black);
    colors.setColor(QPalette::ButtonText, style::Aqua());
    colors.setColor(QPalette::Highlight, style::Navy());
    colors.setColor(QPalette::HighlightedText, Qt::white);
    colors.setColor(QPalette::Link, style::Aqua());
    colors.setColor(QPalette::Light, style::Aqua());
    colors.setColor(QPalette::Dark, style::Teal());
    widget->setPalette(colors);
    widget->setAutoFillBackground(true);
    widget->setFont(TextFont(13));
}

TColorButton* MakeGameButton(QWidget* parent, const QString& name, const QString& caption, QChar hotKey, int width) {
    auto* button = new TColorButton(parent);
    button->setObjectName(name);
    button->SetGameStyle();
    button->SetCaption(caption);
    button->SetHighlightChar(hotKey);
    button->resize(width, 21);
    button->setFixedSize(width, 21);
    return button;
}

TAboutDialog::TAboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgAbout");
    setWindowTitle(QString("About ") + app::Title);
    ApplyGameLook(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(8);
    auto* name = new QLabel(app::Caption, this);
    name->setFont(DisplayFont(28, true));
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto* text = new QLabel(this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    text->setText("A real-time space strategy game for up to ten players.\n\n"
                  "Build StarShips at the StarSystems you own, give them standing orders and outwit "
                  "your rivals, human or computer brain, one impulse at a time.\n\n"
                  "Galaxies come from scenario scripts and computer players from brain scripts, "
                  "both yours to read and change.");
    text->setMinimumWidth(360);
    layout->addWidget(text);
    auto* credits = new QLabel("Display font: Play, by Jonas Hecksher (SIL Open Font License).", this);
    credits->setFont(TextFont(11));
    credits->setAlignment(Qt::AlignCenter);
    credits->setWordWrap(true);
    layout->addWidget(credits);
    auto* row = new QHBoxLayout;
    row->addStretch();
    TColorButton* ok = MakeGameButton(this, "btnAboutOK", "OK", 'O', 85);
    row->addWidget(ok);
    row->addStretch();
    layout->addLayout(row);
    connect(ok, &TColorButton::clicked, this, &QDialog::accept);
}

TTipsDialog::TTipsDialog(const QStringList& tips, int first, bool showAtStart, QWidget* parent)
    : QDialog(parent), tips_(tips) {
    setObjectName("dlgTips");
    setWindowTitle("Tip of the Day");
    ApplyGameLook(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->setSpacing(10);
    auto* heading = new QLabel("Did you know ...", this);
    heading->setFont(DisplayFont(20, true));
    layout->addWidget(heading);
    text_ = new QLabel(this);
    text_->setObjectName("lblTip");
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setMinimumSize(380, 96);
    text_->setFont(TextFont(14));
    QPalette white = text_->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    text_->setPalette(white);
    layout->addWidget(text_, 1);
    counter_ = new QLabel(this);
    counter_->setFont(TextFont(11));
    layout->addWidget(counter_);
    auto* row = new QHBoxLayout;
    showAtStart_ = new QCheckBox("Show tips at start", this);
    showAtStart_->setObjectName("cbShowTips");
    showAtStart_->setChecked(showAtStart);
    row->addWidget(showAtStart_);
    row->addStretch();
    TColorButton* next = MakeGameButton(this, "btnNextTip", "Next Tip", 'N', 95);
    TColorButton* close = MakeGameButton(this, "btnCloseTips", "Close", 'C', 85);
    row->addWidget(next);
    row->addWidget(close);
    layout->addLayout(row);
    connect(next, &TColorButton::clicked, this, [this] { ShowTip(current_ + 1); });
    connect(close, &TColorButton::clicked, this, &QDialog::accept);
    ShowTip(first);
}

void TTipsDialog::ShowTip(int index) {
    current_ = TipIndex(index, static_cast<int>(tips_.size()));
    if (tips_.isEmpty()) {
        text_->setText("No tips were found beside the game.");
        counter_->clear();
        return;
    }
    text_->setText(tips_[current_]);
    counter_->setText(QString("Tip %1 of %2").arg(current_ + 1).arg(tips_.size()));
}

int TTipsDialog::NextTip() const { return TipIndex(current_ + 1, static_cast<int>(tips_.size())); }

bool TTipsDialog::ShowAtStart() const { return showAtStart_->isChecked(); }

THelpWindow::THelpWindow(const QString& page, QWidget* parent) : QDialog(parent) {
    setObjectName("frmHelp");
    setWindowTitle(QString(app::Title) + " Help");
    resize(620, 520);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("browserHelp");
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
    if (QFileInfo(page).isFile()) {
        browser_->setSource(QUrl::fromLocalFile(page));
        loaded_ = !browser_->document()->isEmpty();
    }
    if (!loaded_)
        browser_->setHtml(QString("<h2>Help is missing</h2><p>The guide to playing was not found at <tt>%1</tt>. "
                                  "It is installed with the game; reinstalling brings it back.</p>")
                              .arg(page.toHtmlEscaped()));
}

void THelpWindow::ShowTopic(const QString& topic) {
    if (loaded_) browser_->scrollToAnchor(topic);
}

} // namespace qx
