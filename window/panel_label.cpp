#include "window/panel_label.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QPalette>

namespace window {

namespace {

// Width of each of the two bevels.
constexpr int kBevel = 1;

}  // namespace

TPanelLabel::TPanelLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setContentsMargins(2 * kBevel, 2 * kBevel, 2 * kBevel, 2 * kBevel);
}

void TPanelLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect outer = rect();
    qDrawShadePanel(&painter, outer, palette(), true, kBevel);
    qDrawShadePanel(&painter, outer.adjusted(kBevel, kBevel, -kBevel, -kBevel), palette(), false,
                    kBevel);
    // One line, cut at the inner edge: a name never wraps and never spills over the bevel.
    const QRect inner = contentsRect();
    painter.setClipRect(inner);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

}  // namespace window
