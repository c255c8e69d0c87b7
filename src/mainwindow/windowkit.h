#pragma once

// Small pieces the main window and its page parts build their controls with.

#include <QColor>
#include <QString>

#include <algorithm>
#include <cmath>

class QLabel;
class QWidget;

namespace WindowKit
{
// Positions are worked out in single precision and placed on whole pixels,
// halves to even.
inline int px(float v)
{
    return static_cast<int>(std::nearbyint(v));
}

void place(QWidget *w, float left, float top, float width, float height);

void setTextColour(QWidget *w, QColor colour);
QLabel *makeLabel(const QString &text, QWidget *parent, QColor colour);
} // namespace WindowKit
