#pragma once

#include <QImage>
#include <QWidget>

namespace qx {

// A picture cut into NumCellsX x NumCellsY equal cells. It shows the picture
// unscaled; GetCell hands out one cell at a time in a bitmap it owns.
class TCellImage : public QWidget {
    Q_OBJECT
public:
    explicit TCellImage(QWidget* parent = nullptr);

    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);
    int NumCellsX() const { return cellsX_; }
    void SetNumCellsX(int cells) { cellsX_ = cells; }
    int NumCellsY() const { return cellsY_; }
    void SetNumCellsY(int cells) { cellsY_ = cells; }

    // The cell's pixels, or nullptr for an index outside the grid (negative
    // included), no cells or no picture. The bitmap is this control's own and
    // the next call overwrites it.
    const QImage* GetCell(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QImage cell_;
    int cellsX_ = 1;
    int cellsY_ = 1;
};

} // namespace qx
