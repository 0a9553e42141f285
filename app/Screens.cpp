#include "app/Screens.h"

#include <QLabel>
#include <QPainter>

#include "app/AppInfo.h"
#include "app/ShipDescriptions.h"
#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "controls/GraphicPanel.h"
#include "controls/StarShipListBox.h"

namespace qx {

namespace {

QImage Dimmed(const QImage& picture) {
    QImage dim = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < dim.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(dim.scanLine(y));
        for (int x = 0; x < dim.width(); ++x)
            line[x] = qRgb(qRed(line[x]) / 5, qGreen(line[x]) / 5, qBlue(line[x]) / 5);
    }
    return dim;
}

} // namespace

TScreen::TScreen(const QString& name, QWidget* parent) : TElasticPanel(parent) {
    setObjectName(name);
    SetColor(Qt::black);
    SetDesignSize(QSize(app::DesignWidth, app::DesignHeight));
    resize(app::DesignWidth, app::DesignHeight);
}

void TScreen::SetBackground(const QImage& picture, bool dim) {
    background_ = dim ? Dimmed(picture) : picture;
    update();
}

TColorButton* TScreen::AddButton(const QString& name, const QString& caption, QChar hotKey, const QRect& rect) {
    auto* button = new TColorButton(this);
    button->setObjectName(name);
    button->SetGameStyle();
    button->SetCaption(caption);
    button->SetHighlightChar(hotKey);
    button->setGeometry(rect);
    return button;
}

QLabel* TScreen::AddLabel(const QString& name, const QString& text, const QRect& rect, int pixelHeight,
                          const QColor& color, Qt::Alignment alignment) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setFont(DisplayFont(pixelHeight));
    QPalette colors = label->palette();
    colors.setColor(QPalette::WindowText, color);
    label->setPalette(colors);
    label->setAlignment(alignment);
    label->setGeometry(rect);
    return label;
}

void TScreen::paintEvent(QPaintEvent* event) {
    if (background_.isNull()) {
        TElasticPanel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), background_);
}

TTitleScreen::TTitleScreen(QWidget* parent) : TScreen("pnlTitle", parent) {
    AddLabel("lblVersion", QString("Version ") + app::VersionText, QRect(216, 126, 200, 22), 18, Qt::white,
             Qt::AlignCenter);
    struct TEntry {
        const char* Name;
        const char* Caption;
        char Hot;
    };
    const TEntry entries[] = {
        {"btnBeginNewGame", "Begin New Game", 'B'}, {"btnOpenSavedGame", "Open Saved Game", 'O'},
        {"btnSelectStarShips", "Select StarShips", 'S'}, {"btnLogin", "KyrelServer Login", 'K'},
        {"btnGameEditors", "Game Editors", 'G'}, {"btnHelp", "Help", 'H'},
        {"btnAbout", "About", 'A'}, {"btnExit", "Exit", 'x'},
    };
    constexpr int kWidth = 164, kHeight = 24, kGap = 14, kTop = 168, kStep = 32;
    const int left = (app::DesignWidth - 2 * kWidth - kGap) / 2;
    for (int i = 0; i < 8; ++i) {
        const int column = i % 2, row = i / 2;
        AddButton(entries[i].Name, entries[i].Caption, QChar(entries[i].Hot),
                  QRect(left + column * (kWidth + kGap), kTop + row * kStep, kWidth, kHeight));
    }
    tips_ = AddButton("imTips", "", QChar(), QRect(8, app::DesignHeight - 32, 24, 24));
    tips_->setToolTip("Tip of the Day");
    // A lit "i" on a dark disc, drawn pixel by pixel.
    QImage glyph(16, 16, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int dx = 2 * x - 15, dy = 2 * y - 15;
            if (dx * dx + dy * dy <= 15 * 15) glyph.setPixel(x, y, qRgb(0, 64, 64));
        }
    for (int y = 3; y < 5; ++y)
        for (int x = 7; x < 9; ++x) glyph.setPixel(x, y, qRgb(255, 255, 255));
    for (int y = 6; y < 13; ++y)
        for (int x = 7; x < 9; ++x) glyph.setPixel(x, y, qRgb(0, 255, 255));
    tips_->SetGlyph(glyph);
    Loaded();
}

TSelectStarShipsScreen::TSelectStarShipsScreen(const TShipDescriptions& descriptions, QWidget* parent)
    : TScreen("pnlSelectStarShips", parent), descriptions_(descriptions) {
    AddLabel("lblSelectTitle", "Select StarShip Types", QRect(8, 4, 616, 30), 22, style::Aqua());
    AddLabel("lblSelectHint", "Pick the six StarShip types your empire may build in every game.",
             QRect(8, 32, 616, 18), 13, style::Silver());

    cells_ = new TCellImage(this);
    cells_->setObjectName("cellStarShips");
    cells_->SetNumCellsX(46);
    cells_->SetNumCellsY(10);
    cells_->hide();

    list_ = new TStarShipListBox(this);
    list_->setObjectName("lbSelectStarShips");
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->SetStarShipCells(cells_);
    list_->setFont(DisplayFont(13));
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette colors = list_->palette();
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::Text, style::Aqua());
    colors.setColor(QPalette::WindowText, style::Teal());
    list_->setPalette(colors);
    list_->setGeometry(8, 56, 188, 22 * 18 + 4);

    name_ = AddLabel("lblShipName", "", QRect(212, 56, 412, 28), 20, Qt::white);
    picture_ = new QLabel(this);
    picture_->setObjectName("imgShip");
    picture_->setGeometry(212, 90, 96, 96);
    picture_->setAlignment(Qt::AlignCenter);
    description_ = new QLabel(this);
    description_->setObjectName("lblShipDesc");
    description_->setWordWrap(true);
    description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description_->setFont(TextFont(14));
    QPalette text = description_->palette();
    text.setColor(QPalette::WindowText, QColor(220, 235, 235));
    description_->setPalette(text);
    description_->setGeometry(320, 90, 304, 260);
    count_ = AddLabel("lblSelectedCount", "", QRect(212, 392, 220, 22), 15, style::Aqua());
    AddButton("btnProceedShips", "Proceed", 'P', QRect(440, 420, 88, 24));
    AddButton("btnCancelShips", "Cancel", 'C', QRect(536, 420, 88, 24));

    connect(list_, &QListWidget::itemSelectionChanged, this, &TSelectStarShipsScreen::UpdateCount);
    Loaded();
}

void TSelectStarShipsScreen::ShowType(TShipType type) {
    shown_ = type;
    const TShipDescription description = descriptions_.For(type);
    name_->setText(description.Heading.isEmpty() ? QString::fromLatin1(ShipTypeName(type)) : description.Heading);
    description_->setText(description.Lines.join("\n\n"));
    if (const QImage* cell = cells_->GetCell(2 * static_cast<int>(type), 0))
        picture_->setPixmap(QPixmap::fromImage(cell->scaled(cell->size() * 3, Qt::IgnoreAspectRatio,
                                                            Qt::FastTransformation)));
    else
        picture_->clear();
}

void TSelectStarShipsScreen::UpdateCount() {
    const int count = static_cast<int>(list_->selectedItems().size());
    count_->setText(QString("%1 of 6 selected").arg(count));
    QPalette colors = count_->palette();
    colors.setColor(QPalette::WindowText, count == 6 ? style::Aqua() : QColor(255, 200, 0));
    count_->setPalette(colors);
}

TPlaceholderScreen::TPlaceholderScreen(const QString& name, const QString& title, const QStringList& plans,
                                       const QList<TButton>& buttons, QWidget* parent)
    : TScreen(name, parent) {
    AddLabel("lblScreenTitle", title, QRect(8, 4, 616, 34), 24, style::Aqua());
    auto* frame = new TGraphicPanel(this);
    frame->setObjectName("gpnlPlans");
    frame->SetColor(QColor(0, 0, 0));
    frame->SetColorHighlight(style::Teal());
    frame->SetColorShadow(QColor(0, 64, 64));
    frame->SetBevelOuter(TBevelCut::Lowered);
    frame->setGeometry(8, 48, 616, 360);
    auto* notice = new QLabel(frame);
    notice->setObjectName("lblNotBuilt");
    notice->setFont(DisplayFont(16));
    QPalette amber = notice->palette();
    amber.setColor(QPalette::WindowText, QColor(255, 200, 0));
    notice->setPalette(amber);
    notice->setText("This screen is not part of this version yet.");
    notice->setGeometry(16, 12, 584, 24);
    auto* text = new QLabel(frame);
    text->setObjectName("lblPlans");
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setFont(TextFont(14));
    QPalette light = text->palette();
    light.setColor(QPalette::WindowText, QColor(220, 235, 235));
    text->setPalette(light);
    QString html = "<p>It will hold:</p><ul>";
    for (const QString& plan : plans) html += "<li>" + plan.toHtmlEscaped() + "</li>";
    html += "</ul>";
    text->setText(html);
    text->setGeometry(16, 44, 584, 300);
    int x = app::DesignWidth - 8;
    for (qsizetype i = buttons.size() - 1; i >= 0; --i) {
        const int width = buttons[i].Caption.size() > 10 ? 176 : 100;
        x -= width;
        AddButton(buttons[i].Name, buttons[i].Caption, buttons[i].HotKey, QRect(x, 420, width, 24));
        x -= 8;
    }
    Loaded();
}

} // namespace qx
