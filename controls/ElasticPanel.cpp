#include "controls/ElasticPanel.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QPainter>
#include <QResizeEvent>
#include <QVariant>

#include "controls/ControlRules.h"

namespace qx {

TElasticPanel::TElasticPanel(QWidget* parent) : QWidget(parent) {
    color_ = palette().color(QPalette::Window);
}

void TElasticPanel::SetColor(const QColor& color) {
    color_ = color;
    update();
}

void TElasticPanel::Loaded() {
    layout_.clear();
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow() || child->objectName().isEmpty()) continue;
        layout_.insert(child->objectName(), child->geometry());
    }
    if (design_.isEmpty()) design_ = size();
    loaded_ = true;
}

bool TElasticPanel::KeepsHeight(const QWidget* child) const {
    bool tagged = false;
    const int tag = child->property(TagProperty).toInt(&tagged);
    if (tagged && tag == -1) return true;
    const bool edit = qobject_cast<const QLineEdit*>(child) || qobject_cast<const QAbstractSpinBox*>(child);
    return edit && !resizeEditHeights_;
}

void TElasticPanel::Rescale() {
    if (!loaded_) return;
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow()) continue;
        const auto found = layout_.constFind(child->objectName());
        if (found == layout_.constEnd() || child->objectName().isEmpty()) continue;
        QRect target = ElasticRect(*found, design_, size(), horizontal_, vertical_, KeepsHeight(child));
        // Directions that do not scale, and kept heights, stay as they are now.
        if (!horizontal_ || design_.width() < 1) {
            target.moveLeft(child->x());
            target.setWidth(child->width());
        }
        if (!vertical_ || design_.height() < 1) {
            target.moveTop(child->y());
            target.setHeight(child->height());
        } else if (KeepsHeight(child)) {
            target.setHeight(child->height());
        }
        if (target != child->geometry()) child->setGeometry(target);
    }
}

void TElasticPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Rescale();
}

void TElasticPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
}

} // namespace qx
