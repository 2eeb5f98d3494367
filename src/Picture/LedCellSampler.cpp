#include "Picture/LedCellSampler.h"

#include "Helper/Math.h"

#include <QImage>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// Enough points that neighbouring ones are at most half a picture pixel apart,
// within the most that fit a cell (between 2 and 24 across).
int pointsAcross(double pixels, int most)
{
    return qBound(2, int(std::ceil(2.0 * qMin(pixels, 1e6))), most);
}

double cellExtent(double spacing, double fallback)
{
    const double extent = std::fabs(spacing);
    return extent > 0.0 ? extent : (fallback > 0.0 ? fallback : 1.0);
}

} // namespace

LedCellSampler::LedCellSampler(const LedLayout& layout, const QSize& pictureSize, PictureImportSettings::eFit fit,
                               qint64 maxSamples)
    : m_PictureSize(pictureSize)
{
    const int rows = qMax(0, layout.rows());
    const int columns = qMax(0, layout.columns());
    const bool ring = layout.type() == LedLayout::Ring;
    if (ring) {
        const double radiusStep = cellExtent(layout.rowSpacing(), layout.ledItemsSize());
        double outer = 0.0;
        for (int row = 0; row < rows; ++row) {
            const double radius = cartesianToPolar(layout.ledPosition(row, 0)).x();
            outer = qMax(outer, radius + radiusStep / 2.0);
        }
        m_PanelRect = QRectF(-outer, -outer, 2.0 * outer, 2.0 * outer);
    } else {
        const double width = cellExtent(layout.columnSpacing(), layout.ledItemsSize());
        const double height = cellExtent(layout.rowSpacing(), layout.ledItemsSize());
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                const QPointF centre = layout.ledPosition(row, column);
                const QRectF cell(centre.x() - width / 2.0, centre.y() - height / 2.0, width, height);
                m_PanelRect = m_PanelRect.isNull() ? cell : m_PanelRect.united(cell);
            }
        }
    }

    const double w = qMax(1, pictureSize.width());
    const double h = qMax(1, pictureSize.height());
    const QPointF centre = m_PanelRect.center();
    if (fit == PictureImportSettings::Stretch) {
        m_PictureRect = m_PanelRect;
    } else {
        const double sx = m_PanelRect.width() / w;
        const double sy = m_PanelRect.height() / h;
        const double scale = fit == PictureImportSettings::Fit ? qMin(sx, sy) : qMax(sx, sy);
        m_PictureRect = QRectF(centre.x() - w * scale / 2.0, centre.y() - h * scale / 2.0, w * scale, h * scale);
    }

    const int leds = rows * columns;
    m_MostAcross = qBound(2, int(std::sqrt(double(qMin(maxSamples, MaxSamples)) / qMax(1, leds))), 24);
    m_First.reserve(leds + 1);
    if (pictureSize.isEmpty() || m_PanelRect.isEmpty()) {
        m_First.fill(0, rows * columns + 1);
        return;
    }
    if (ring)
        planRing(layout);
    else
        planGrid(layout);
    m_First.append(m_Samples.size());
}

QRectF LedCellSampler::panelRect() const
{
    return m_PanelRect;
}

QRectF LedCellSampler::pictureRect() const
{
    return m_PictureRect;
}

void LedCellSampler::addPoint(double x, double y, float weight)
{
    const double px = (x - m_PictureRect.left()) / m_PictureRect.width() * m_PictureSize.width();
    const double py = (y - m_PictureRect.top()) / m_PictureRect.height() * m_PictureSize.height();
    int pixel = -1;
    if (px >= 0.0 && py >= 0.0 && px < m_PictureSize.width() && py < m_PictureSize.height())
        pixel = int(py) * m_PictureSize.width() + int(px);
    m_Samples.append(Sample { pixel, weight });
}

void LedCellSampler::planGrid(const LedLayout& layout)
{
    const double width = cellExtent(layout.columnSpacing(), layout.ledItemsSize());
    const double height = cellExtent(layout.rowSpacing(), layout.ledItemsSize());
    const int across = pointsAcross(width * m_PictureSize.width() / m_PictureRect.width(), m_MostAcross);
    const int down = pointsAcross(height * m_PictureSize.height() / m_PictureRect.height(), m_MostAcross);
    const int count = int(layout.ledCount());
    for (int led = 0; led < count; ++led) {
        m_First.append(m_Samples.size());
        const QPointF centre = layout.ledPositionOf(led);
        for (int j = 0; j < down; ++j) {
            const double y = centre.y() + height * ((j + 0.5) / down - 0.5);
            for (int i = 0; i < across; ++i)
                addPoint(centre.x() + width * ((i + 0.5) / across - 0.5), y, 1.0f);
        }
    }
}

void LedCellSampler::planRing(const LedLayout& layout)
{
    const double radiusStep = cellExtent(layout.rowSpacing(), layout.ledItemsSize());
    const double angleStep = cellExtent(layout.columnSpacing(), 1.0);
    const double pixelsPerUnit = m_PictureSize.width() / m_PictureRect.width();
    const int count = int(layout.ledCount());
    for (int led = 0; led < count; ++led) {
        {
            m_First.append(m_Samples.size());
            const QPointF polar = cartesianToPolar(layout.ledPositionOf(led));
            const double inner = qMax(0.0, polar.x() - radiusStep / 2.0);
            const double outer = polar.x() + radiusStep / 2.0;
            const int radial = pointsAcross((outer - inner) * pixelsPerUnit, m_MostAcross);
            const int angular = pointsAcross(qDegreesToRadians(angleStep) * outer * pixelsPerUnit, m_MostAcross);
            for (int j = 0; j < radial; ++j) {
                const double radius = inner + (outer - inner) * (j + 0.5) / radial;
                for (int i = 0; i < angular; ++i) {
                    const double angle = qDegreesToRadians(polar.y() + angleStep * ((i + 0.5) / angular - 0.5));
                    // A ring cell widens outwards: each point stands for an area that grows with its radius.
                    addPoint(radius * std::cos(angle), radius * std::sin(angle), float(radius));
                }
            }
        }
    }
}

QVector<double> LedCellSampler::meanLuminance(const QImage& picture) const
{
    const int ledCount = m_First.size() - 1;
    QVector<double> means(qMax(0, ledCount), 0.0);
    if (ledCount <= 0 || picture.size() != m_PictureSize)
        return means;

    // Opaque pixels are stored with alpha 255, so both plain formats are read as they are, without a copy.
    const bool direct = picture.format() == QImage::Format_ARGB32 || picture.format() == QImage::Format_RGB32;
    const QImage argb = direct ? picture : picture.convertToFormat(QImage::Format_ARGB32);
    const uchar* bits = argb.constBits();
    const int width = argb.width();
    const qsizetype stride = argb.bytesPerLine();
    for (int led = 0; led < ledCount; ++led) {
        double sum = 0.0;
        double weights = 0.0;
        for (int k = m_First.at(led); k < m_First.at(led + 1); ++k) {
            const Sample& sample = m_Samples.at(k);
            weights += sample.weight;
            if (sample.pixel < 0)
                continue;
            const int y = sample.pixel / width;
            const int x = sample.pixel % width;
            const QRgb rgb = reinterpret_cast<const QRgb*>(bits + y * stride)[x];
            // Rec. 601 luma, on black where the picture is transparent.
            const int luma = 299 * qRed(rgb) + 587 * qGreen(rgb) + 114 * qBlue(rgb);
            sum += sample.weight * (double(luma) * qAlpha(rgb) / 255000.0);
        }
        means[led] = weights > 0.0 ? sum / weights : 0.0;
    }
    return means;
}
