#include "LabelFit.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace fw::detail {
namespace {

constexpr int kSmallestTextPixels = 6;  // a label's text is drawn no smaller than this

// The size a label's text takes in the font, within `width` where it wraps.
QSize TextSize(const QLabel* label, const QFont& font, bool wrapped, int width) {
    const QFontMetrics fm(font);
    const int flags = static_cast<int>(label->alignment()) | (wrapped ? Qt::TextWordWrap : 0);
    const QRect bounds = fm.boundingRect(QRect(0, 0, wrapped ? width : 1 << 20, 1 << 20), flags, label->text());
    const int one = wrapped ? 0 : fm.horizontalAdvance(label->text());
    return {std::max(bounds.width(), one), std::max(bounds.height(), wrapped ? 0 : fm.height())};
}

// What a label may cover of `wanted` (its box grown for its text): no part of any other
// control of its window, nothing beyond the window's edge. Another control in the way cuts
// the rectangle off on the side the label grows to: below for a wrapped label, else right.
QRect LabelRoom(const QLabel* label, QRect wanted, bool wrapped) {
    const QWidget* body = label->parentWidget();
    if (!body) return wanted;
    QRect room = wanted & body->rect();
    for (const QObject* child : body->children()) {
        const auto* other = qobject_cast<const QWidget*>(child);
        if (!other || other == label || other->isHidden()) continue;
        const QRect r = other->geometry();
        if (!room.intersects(r)) continue;
        const bool right = r.left() > room.left(), below = r.top() > room.top();
        if (below && (wrapped || !right)) room.setBottom(r.top() - 1);
        else if (right) room.setRight(r.left() - 1);
    }
    return room;
}

}  // namespace

void FitLabel(QLabel* label, QFont font, const LabelBox& box) {
    QRect room;
    for (int pixels = QFontInfo(font).pixelSize();; font.setPixelSize(--pixels)) {
        const QSize wanted = TextSize(label, font, box.wrapped, box.width);
        const int width = box.wrapped ? box.width : std::max(box.width, wanted.width());
        room = LabelRoom(label, QRect(label->pos(), QSize(width, std::max(box.height, wanted.height()))), box.wrapped);
        const QSize needed = TextSize(label, font, box.wrapped, room.width());
        const bool fits = needed.width() <= room.width() && needed.height() <= room.height();
        if (fits || pixels <= kSmallestTextPixels) break;
    }
    if (label->font() != font) label->setFont(font);
    label->setGeometry(room);
}

}  // namespace fw::detail
