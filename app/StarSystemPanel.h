#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;

namespace qx {

class TColorButton;
class TCommandInput;

// The star system panel: name in its colour, owner, value, resources,
// shields and scanners with their build buttons and "Auto" boxes, the bonus,
// "Build StarShip" and the ship type the system builds by itself. Details
// show once the system has been seen, the controls only for one's own.
class TStarSystemPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 185;

    TStarSystemPanel(TCommandInput& input, QWidget* parent = nullptr);
    void Refresh();

signals:
    void Used();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* Row(const QString& name, const QString& caption, int y);

    TCommandInput& input_;
    QLabel* name_ = nullptr;
    QLabel* owner_ = nullptr;
    QLabel* value_ = nullptr;
    QLabel* resources_ = nullptr;
    QLabel* shields_ = nullptr;
    QLabel* scanners_ = nullptr;
    QLabel* bonus_ = nullptr;
    QLabel* autoShip_ = nullptr;
    QList<QWidget*> seen_;  // shown once seen
    QList<QWidget*> own_;   // shown for one's own system
    TColorButton* buildShield_ = nullptr;
    TColorButton* buildScanner_ = nullptr;
    TColorButton* buildShip_ = nullptr;
    TColorButton* queue_ = nullptr;
    QCheckBox* autoShields_ = nullptr;
    QCheckBox* autoScanners_ = nullptr;
    QCheckBox* autoStarShip_ = nullptr;
};

} // namespace qx
