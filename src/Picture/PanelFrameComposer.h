#ifndef PANELFRAMECOMPOSER_H
#define PANELFRAMECOMPOSER_H

#include "Data/LedLayout.h"

#include <QByteArray>
#include <QRgb>
#include <QSize>
#include <QVector>

class LedPanelPainter;
class QTransform;

// Frames of one layout at one size as indices into palette(), for a long run of
// frames: the panel painter draws the body once and each LED once, and a frame
// is then a copy of the body with every LED's pixels filled in. Frames come out
// pixel for pixel as the painter draws them without antialiasing.
class PanelFrameComposer
{
public:
    enum eIndex
    {
        Background = 0,
        Body,
        Lit,
        Dark
    };

    PanelFrameComposer(const LedLayout& layout, const QSize& size);

    static QVector<QRgb> palette();
    QSize size() const;
    // A non-zero intensity is lit, a missing one dark.
    QByteArray compose(const QVector<int>& intensities) const;

private:
    struct Span
    {
        int offset; // y × width + x
        int length;
    };

    void drawBody(const LedPanelPainter& panel, const QTransform& transform);
    void findLedPixels(const LedPanelPainter& panel, const QTransform& transform);
    void fill(QByteArray* frame, int led, char index) const;

    QSize m_Size;
    QByteArray m_Body;
    // The spans of LED i are m_Spans[m_First[i]] up to m_Spans[m_First[i + 1]].
    QVector<int> m_First;
    QVector<Span> m_Spans;
};

#endif // PANELFRAMECOMPOSER_H
