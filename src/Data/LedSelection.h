#ifndef LEDSELECTION_H
#define LEDSELECTION_H

#include "Data/LedLayout.h"

#include <QRect>
#include <QVector>

// The LEDs picked out of the panel. It belongs to the view, not to a frame, so
// that the same LEDs can be changed frame after frame.
class LedSelection
{
public:
    explicit LedSelection(int ledCount = 0);

    int ledCount() const { return m_Selected.size(); }
    bool isEmpty() const { return m_Count == 0; }
    int count() const { return m_Count; }
    bool contains(int led) const;
    QVector<int> leds() const;

    void add(const QVector<int>& leds);
    void remove(const QVector<int>& leds);
    void selectAll();
    void clear();

    // The rows and columns as drawn that hold every selected LED (x = column,
    // y = row). A ring's band may run past LED 0: then left + width goes beyond
    // the columns and wraps.
    QRect bounds(const LedLayout& layout) const;
    // The selection moved by whole rows and columns; a ring turns, and what leaves the panel is dropped.
    LedSelection moved(const LedLayout& layout, int rows, int columns) const;

    // The LED in the cell that lies so many rows and columns from the given LED's
    // cell, the columns wrapping on a ring; -1 off the panel.
    static int step(const LedLayout& layout, int led, int rows, int columns);

    bool operator==(const LedSelection& other) const { return m_Selected == other.m_Selected; }

private:
    QVector<bool> m_Selected;
    int m_Count = 0;
};

#endif // LEDSELECTION_H
