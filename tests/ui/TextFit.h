// What a person sees of a window's labels: each text whole, none over another control.
#pragma once

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

#include "framework/Window.h"

// Every label of the window shows its whole text, measured with the label's own font
// within its own rectangle (wrapped where it wraps), and lies inside the window over no
// other control. Returns how many labels it checked.
inline int ExpectEveryTextFits(const fw::Window& w) {
    QWidget* body = w.Body();
    const auto controls = body->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    int labels = 0;
    for (QWidget* c : controls) {
        auto* label = qobject_cast<QLabel*>(c);
        if (!label) continue;
        ++labels;
        SCOPED_TRACE(w.FullClassName() + " " + label->objectName().toStdString() + ": \"" +
                     label->text().toStdString() + "\"");
        const QFontMetrics fm(label->font());
        const QRect box = label->contentsRect();
        if (label->wordWrap()) {
            const QRect needed = fm.boundingRect(QRect(0, 0, box.width(), 1 << 20),
                                                 static_cast<int>(label->alignment()) | Qt::TextWordWrap, label->text());
            EXPECT_LE(needed.width(), box.width());
            EXPECT_LE(needed.height(), box.height());
        } else {
            EXPECT_LE(fm.horizontalAdvance(label->text()), box.width());
            EXPECT_LE(fm.height(), box.height());
        }
        EXPECT_TRUE(body->rect().contains(label->geometry())) << "beyond the window's edge";
        for (QWidget* other : controls) {
            if (other == label) continue;
            EXPECT_FALSE(label->geometry().intersects(other->geometry())) << "over " << other->objectName().toStdString();
        }
    }
    return labels;
}
