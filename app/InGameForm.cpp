#include "app/InGameForm.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include "app/GameDialogs.h"
#include "app/InGameHost.h"
#include "controls/ColorButton.h"

namespace qx {

TInGameForm::TInGameForm(const QString& name, const QString& caption, const QString& settingsPrefix,
                         QWidget* parent)
    : QWidget(parent, Qt::Tool), prefix_(settingsPrefix) {
    setObjectName(name);
    setWindowTitle(caption);
    ApplyGameLook(this);
    hide();
}

TColorButton* TInGameForm::MakeCloseButton() {
    close_ = MakeGameButton(this, "btnClose", "Close", 'C', 85);
    connect(close_, &TColorButton::clicked, this, &QWidget::close);
    return close_;
}

bool TInGameForm::ForwardKey(QKeyEvent& event) {
    if (host_) {
        host_->KeyPressed(event);
        return true;
    }
    // Without a game screen the key still goes to the main window.
    if (QWidget* main = parentWidget()) {
        QKeyEvent copy(event.type(), event.key(), event.modifiers(), event.text(), event.isAutoRepeat(),
                       static_cast<ushort>(event.count()));
        QCoreApplication::sendEvent(main, &copy);
        return true;
    }
    return false;
}

void TInGameForm::showEvent(QShowEvent* event) {
    placed_ = true;
    QWidget::showEvent(event);
}

} // namespace qx
