#pragma once

#include <functional>

#include <QColor>
#include <QListWidget>

class QPainter;

namespace qx {

// A list box that draws its items itself, each ItemHeight pixels high: the
// selection in SelectColor with white text, and by default the item text cut
// before the first Delimiter. Without DefaultDrawing, OnCustomDraw (or a
// subclass) draws the item after the background. Each item may carry a
// number beside its text.
class TOwnerDrawListBox : public QListWidget {
    Q_OBJECT
public:
    static constexpr int ItemHeight = 18;
    // Sender, item index, item rectangle, selected, painter (background and
    // pen already set).
    using TCustomDraw = std::function<void(class TOwnerDrawListBox*, int, const QRect&, bool, QPainter&)>;

    explicit TOwnerDrawListBox(QWidget* parent = nullptr);

    QColor SelectColor() const { return selectColor_; }
    void SetSelectColor(const QColor& color);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on);
    bool UseDelimiter() const { return useDelimiter_; }
    void SetUseDelimiter(bool on);
    QChar Delimiter() const { return delimiter_; }
    void SetDelimiter(QChar delimiter);
    TCustomDraw OnCustomDraw;

    // Appends an item carrying a number; returns its index.
    int AddItem(const QString& text, int number = 0);
    int ItemNumber(int index) const;
    QString ItemText(int index) const;
    bool IsItemSelected(int index) const;

    // Draws one item: background, then the text or the custom drawing.
    virtual void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected);

protected:
    // Fills the item's background and sets the pen to its text colour.
    void DrawBackground(QPainter& painter, const QRect& rect, bool selected) const;

private:
    QColor selectColor_{0, 0, 128};
    bool defaultDrawing_ = true;
    bool useDelimiter_ = true;
    QChar delimiter_{';'};
};

} // namespace qx
