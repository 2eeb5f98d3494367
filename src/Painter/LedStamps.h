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
    // Blends the LED centred on the point (in the image's pixels) over the image,
    // which must be premultiplied ARGB32.
    void draw(QImage& target, const QPointF& centre, bool lit);
    // The same on the pixels of such an image, held by the caller: no per-LED checks.
    void draw(uint* pixels, int width, int height, int stride, qreal x, qreal y, bool lit);

private:
    struct Stamp
    {
        QImage image;
        // The pixels the LED colours: the rest is never looked at.
        QRect used;
        const uint* pixels = nullptr;
        int stride = 0;
    };

    const Stamp& stamp(bool lit, int phaseX, int phaseY);

    LedPanelPainter m_Painter;
    qreal m_Scale;
    int m_Origin;
    QVector<Stamp> m_Stamps;
};

#endif // LEDSTAMPS_H
