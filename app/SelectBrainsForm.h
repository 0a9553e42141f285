#pragma once

#include <array>

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

namespace qx {

class TBrainSelection;
class TColorButton;
class TQuorvexEngine;

// "Select Brains for Computer Players": a row per player slot with the
// brain's name and a button that puts the brain chosen in the list into the
// row. Rows of human slots and beyond the players are hidden; each row's
// label is in its player's colour. "Proceed" keeps the names.
class TfrmSelectBrains : public QDialog {
    Q_OBJECT
public:
    static constexpr int Rows = 10;

    TfrmSelectBrains(TBrainSelection& brains, const TQuorvexEngine& engine, QWidget* parent = nullptr);

    // Shows the rows of the computer players among `players`, the first
    // `humans` being human, and lists the brains found.
    void Prepare(int humans, int players);
    // The brain files offered ("Defender" first).
    QListWidget* List() const { return list_; }
    QLineEdit* NameField(int row) const { return names_[static_cast<size_t>(row)]; }
    QLabel* RowLabel(int row) const { return labels_[static_cast<size_t>(row)]; }
    TColorButton* RowButton(int row) const { return buttons_[static_cast<size_t>(row)]; }
    // The row button: the chosen file's base name goes into the row.
    void UseSelected(int row);
    // "Proceed": the rows' names are kept.
    void Proceed();

private:
    TBrainSelection& brains_;
    const TQuorvexEngine& engine_;
    QListWidget* list_ = nullptr;
    std::array<QLabel*, Rows> labels_{};
    std::array<QLineEdit*, Rows> names_{};
    std::array<TColorButton*, Rows> buttons_{};
};

} // namespace qx
