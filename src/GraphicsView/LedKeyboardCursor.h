#ifndef LEDKEYBOARDCURSOR_H
#define LEDKEYBOARDCURSOR_H

#include "Data/LedLayout.h"

#include <QRectF>

class QPainter;

// The LED the keyboard is on. The arrow keys move it on the panel as the user
// sees it: on a grid by row and column, stopping at the edges; on a ring along
// its circle, round past the circle's first LED, and from circle to circle
// outward (Up) or inward (Down). The view draws it as an outline.
class LedKeyboardCursor
{
public:
    LedKeyboardCursor();

    int index() const;
    // Follows another layout, staying on the same LED where the new one has it.
    void setLayout(const LedLayout& layout);
    void setIndex(int index);
    // Moves by an arrow key; false for any other key.
    bool move(int key);

    // Where the outline is drawn, in scene coordinates; empty when the layout has no LEDs.
    QRectF rect() const;
    void paint(QPainter* painter) const;

private:
    int neighbourRow(int row, int column, bool outward) const;
    qreal distance(int row, int column) const;

    LedLayout m_Layout;
    int m_Row;
    int m_Column;
};

#endif // LEDKEYBOARDCURSOR_H
