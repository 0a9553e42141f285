#pragma once

#include <array>

#include <QWidget>

class QCheckBox;
class QLabel;
class QSpinBox;

namespace qx {

class TCellImage;
class TColorButton;
class TCommandInput;
class TQuorvexEngine;
class TStarShipListBox;

// The build panel: the types the builder may build, engines and weapons
// (double-click for the most the builder can pay), "Cloaked", the price,
// and the eight direction buttons around "-" that order the ship built in
// that neighbouring cell; "Select" and "Cancel" while choosing the type a
// star system builds by itself. Everything it shows comes from the command
// input's build panel model.
class TBuildPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 185;

    // The ship pictures come from `dataFolder`, in the colour of `engine`'s
    // local player.
    TBuildPanel(TCommandInput& input, const QString& dataFolder, const TQuorvexEngine* engine,
                QWidget* parent = nullptr);
    void Refresh();

    TStarShipListBox* List() const { return list_; }
    QSpinBox* Engines() const { return engines_; }
    QSpinBox* Weapons() const { return weapons_; }
    TColorButton* Direction(int button) const { return directions_[static_cast<size_t>(button)]; }

signals:
    void Used();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Changed();

    TCommandInput& input_;
    bool updating_ = false;
    TStarShipListBox* list_ = nullptr;
    TCellImage* cells_ = nullptr;
    QLabel* available_ = nullptr;
    QLabel* enginesLabel_ = nullptr;
    QSpinBox* engines_ = nullptr;
    QLabel* weaponsLabel_ = nullptr;
    QSpinBox* weapons_ = nullptr;
    QCheckBox* cloaked_ = nullptr;
    QLabel* cost_ = nullptr;
    std::array<TColorButton*, 8> directions_{};
    TColorButton* cancel_ = nullptr;
    TColorButton* select_ = nullptr;
    TColorButton* cancelAuto_ = nullptr;
};

} // namespace qx
