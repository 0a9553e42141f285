#pragma once

#include <array>

#include <QWidget>

class QCheckBox;
class QLabel;

namespace qx {

class TCommandInput;
class TOrderButton;

// The ship panel of the game screen: the selected ship's (or group's) name
// in its owner's colour, owner, standing order, engines and extra value, the
// fourteen order buttons that the selection offers, and "Attack Adjacent
// Enemies". Clicks go to the command input; Refresh shows what it says.
class TStarShipPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 185;

    TStarShipPanel(TCommandInput& input, QWidget* parent = nullptr);

    void Refresh();
    TOrderButton* OrderButton(int button) const { return buttons_[static_cast<size_t>(button)]; }
    QCheckBox* AttackAdjacent() const { return attack_; }

signals:
    // A button or box was used (the screen refreshes and plays nothing more).
    void Used();

private:
    void PlaceButtons();

    TCommandInput& input_;
    QLabel* name_ = nullptr;
    QLabel* owner_ = nullptr;
    QLabel* orders_ = nullptr;
    QLabel* enginesLabel_ = nullptr;
    QLabel* engines_ = nullptr;
    QLabel* valueLabel_ = nullptr;
    QLabel* value_ = nullptr;
    std::array<TOrderButton*, 14> buttons_{};
    QCheckBox* attack_ = nullptr;
};

} // namespace qx
