#ifndef LEDSTAMPS_H
#define LEDSTAMPS_H

#include "Painter/LedPanelPainter.h"

#include <QImage>
#include <QRect>
#include <QVector>

class QPointF;

// A lit and a dark LED drawn once by the panel painter at one scale, then copied
// pixel by pixel wherever an LED goes, so thousands of LEDs cost little more than
// their pixels. Each is kept at a few sub-pixel offsets: LEDs stay evenly spaced.
class LedStamps
{
public:
    LedStamps(const LedPanelPainter& painter, qreal scale);

    // Device pixels per scene unit.
    qreal scale() const;
    // How far from its centre an LED may colour a pixel, in device pixels.
    int reach() const;
    // Where an LED centred on a point lands: the whole pixel its picture starts at
    // and which of the sub-pixel pictures it takes. Worked out once, it can be
    // moved by whole pixels and drawn many times.
    struct Spot
    {
        int left = 0;
        int top = 0;
        int phase = 0;
    };
    Spot spot(qreal x, qreal y) const;

    // Blends the LED centred on the point (in the image's pixels) over the image,
    // which must be premultiplied ARGB32.
    void draw(QImage& target, const QPointF& centre, bool lit);
    // The same on the pixels of such an image, held by the caller, for an LED placed
    // by spot() and then moved by (dx, dy).
    void draw(uint* pixels, int width, int height, int stride, const Spot& spot, int dx, int dy, bool lit);

private:
    // Pixels of a stamp that an LED colours, side by side on one line.
    struct Run
    {
        int x = 0;
        int y = 0;
        int count = 0;
        const uint* pixels = nullptr;
    };

    struct Stamp
    {
        QImage image;
        // The pixels the LED colours: the rest is never looked at.
        QRect used;
        QVector<Run> runs;
        const uint* pixels = nullptr;
        int stride = 0;
    };

    const Stamp& stamp(bool lit, int phase);

    LedPanelPainter m_Painter;
    qreal m_Scale;
    int m_Origin;
    QVector<Stamp> m_Stamps;
};

#endif // LEDSTAMPS_H
