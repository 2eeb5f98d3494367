#ifndef LEDCELLSAMPLER_H
#define LEDCELLSAMPLER_H

#include "Data/LedLayout.h"
#include "Picture/PictureImportSettings.h"

#include <QRectF>
#include <QSize>
#include <QVector>

class QImage;

// The mean luminance of the part of a picture that each LED's cell covers: a
// grid's cell is the rectangle of one row and column spacing around the LED, a
// ring's lies between two circles and two angles half a spacing either side of
// it. The picture is fitted onto the panel, the area all cells span. Each cell
// is covered by a fixed pattern of sample points, worked out once for a picture
// size, so every frame of an animation costs only the lookups.
class LedCellSampler
{
public:
    // The points of all cells together: a plan of a few dozen MB and a frame of a few million lookups.
    static constexpr qint64 MaxSamples = 4 * 1024 * 1024;

    // At most maxSamples points in all, and between 2 and 24 along each side of a cell.
    LedCellSampler(const LedLayout& layout, const QSize& pictureSize, PictureImportSettings::eFit fit,
                   qint64 maxSamples = MaxSamples);

    // The scene area the cells span and where the picture lies in it.
    QRectF panelRect() const;
    QRectF pictureRect() const;

    // Per LED in index order, 0 (dark) to 255. Transparent and uncovered parts count as dark.
    QVector<double> meanLuminance(const QImage& picture) const;

private:
    struct Sample
    {
        int pixel; // y × width + x, -1 outside the picture
        float weight;
    };

    void addPoint(double x, double y, float weight);
    void planGrid(const LedLayout& layout);
    void planRing(const LedLayout& layout);

    QSize m_PictureSize;
    int m_MostAcross = 24; // sample points along a side of a cell
    QRectF m_PanelRect;
    QRectF m_PictureRect;
    // The samples of LED i are m_Samples[m_First[i]] up to m_Samples[m_First[i + 1]].
    QVector<int> m_First;
    QVector<Sample> m_Samples;
};

#endif // LEDCELLSAMPLER_H
