#pragma once

#include <QImage>
#include <QStringList>

#include "controls/ElasticPanel.h"
#include "engine/ShipTypes.h"

class QLabel;

namespace qx {

class TCellImage;
class TColorButton;
class TGraphicPanel;
class TShipDescriptions;
class TStarShipListBox;

// A full-window screen: an elastic panel laid out at the design size, over
// the title picture (full or dimmed) or black.
class TScreen : public TElasticPanel {
    Q_OBJECT
public:
    TScreen(const QString& name, QWidget* parent);
    // The picture stretched over the screen; `dim` darkens it behind text.
    void SetBackground(const QImage& picture, bool dim);
    // Adds a game-style button at a design rectangle.
    TColorButton* AddButton(const QString& name, const QString& caption, QChar hotKey, const QRect& rect);
    // Adds a caption line in the display font.
    QLabel* AddLabel(const QString& name, const QString& text, const QRect& rect, int pixelHeight,
                     const QColor& color, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage background_;
};

// The title screen: the title picture, the version and the eight buttons.
class TTitleScreen : public TScreen {
    Q_OBJECT
public:
    explicit TTitleScreen(QWidget* parent);
    TColorButton* TipsButton() const { return tips_; }

private:
    TColorButton* tips_ = nullptr;
};

// Choosing the six StarShip types a player may build: the 22 types with
// their picture and description.
class TSelectStarShipsScreen : public TScreen {
    Q_OBJECT
public:
    TSelectStarShipsScreen(const TShipDescriptions& descriptions, QWidget* parent);

    TStarShipListBox* List() const { return list_; }
    TCellImage* Cells() const { return cells_; }
    // Shows a type's name, picture and description.
    void ShowType(TShipType type);
    TShipType ShownType() const { return shown_; }
    // Refreshes the "n of 6 selected" line.
    void UpdateCount();

private:
    const TShipDescriptions& descriptions_;
    TStarShipListBox* list_ = nullptr;
    TCellImage* cells_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* picture_ = nullptr;
    QLabel* description_ = nullptr;
    QLabel* count_ = nullptr;
    TShipType shown_ = TShipType::WarShip;
};

// A screen whose content comes later: its title, what it will hold, and the
// buttons that lead away from it.
class TPlaceholderScreen : public TScreen {
    Q_OBJECT
public:
    struct TButton {
        QString Name;
        QString Caption;
        QChar HotKey;
    };
    TPlaceholderScreen(const QString& name, const QString& title, const QStringList& plans,
                       const QList<TButton>& buttons, QWidget* parent);
};

} // namespace qx
