// Renders Tessaloom's icon, a ring of LEDs, into PNG files of the usual icon sizes:
//   iconpainter FOLDER   writes FOLDER/tessaloom-<size>.png
// The PNGs are committed; run it again only to change the picture.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>

namespace {

const int sizes[] = { 16, 22, 24, 32, 48, 64, 128, 256 };

const QColor litColor(255, 214, 64); // the editor's lit LED
const QColor offColor(86, 92, 102);

void drawLed(QPainter& painter, const QPointF& centre, qreal radius, qreal level, bool glow)
{
    if (glow && level > 0) {
        QRadialGradient halo(centre, radius * 2.2);
        QColor inner = litColor;
        inner.setAlphaF(0.55 * level);
        QColor outer = litColor;
        outer.setAlphaF(0);
        halo.setColorAt(0.4, inner);
        halo.setColorAt(1, outer);
        painter.setPen(Qt::NoPen);
        painter.setBrush(halo);
        painter.drawEllipse(centre, radius * 2.2, radius * 2.2);
    }
    const QColor colour = QColor::fromRgbF(offColor.redF() + (litColor.redF() - offColor.redF()) * level,
                                           offColor.greenF() + (litColor.greenF() - offColor.greenF()) * level,
                                           offColor.blueF() + (litColor.blueF() - offColor.blueF()) * level);
    QRadialGradient body(centre - QPointF(radius, radius) * 0.35, radius * 1.3);
    body.setColorAt(0, colour.lighter(level > 0 ? 125 : 140));
    body.setColorAt(1, colour.darker(level > 0 ? 110 : 125));
    painter.setPen(Qt::NoPen);
    painter.setBrush(body);
    painter.drawEllipse(centre, radius, radius);
}

// Lit LEDs trail off like a light running round the ring.
qreal trail(int index, int count)
{
    const qreal length = count * 0.6;
    return index < length ? 1.0 - index / length : 0.0;
}

QImage render(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal s = size;
    const QPointF centre(s / 2, s / 2);
    const qreal rim = qMax<qreal>(1.0, s / 48);
    QRadialGradient plate(centre - QPointF(s, s) * 0.15, s * 0.7);
    plate.setColorAt(0, QColor(58, 64, 78));
    plate.setColorAt(1, QColor(22, 25, 32));
    painter.setPen(QPen(QColor(12, 14, 18), rim));
    painter.setBrush(plate);
    painter.drawEllipse(centre, s / 2 - rim / 2, s / 2 - rim / 2);

    const bool small = size < 32;
    const bool glow = size >= 32;
    const int outer = small ? 8 : 12;
    for (int i = 0; i < outer; ++i) {
        const qreal angle = qDegreesToRadians(-90.0 - 360.0 * i / outer);
        const QPointF at = centre + QPointF(qCos(angle), qSin(angle)) * s * 0.33;
        drawLed(painter, at, s * (small ? 0.105 : 0.072), trail(i, outer), glow);
    }
    if (size >= 48) {
        const int inner = 8;
        for (int i = 0; i < inner; ++i) {
            const qreal angle = qDegreesToRadians(90.0 - 360.0 * i / inner);
            const QPointF at = centre + QPointF(qCos(angle), qSin(angle)) * s * 0.17;
            drawLed(painter, at, s * 0.045, trail(i, inner), glow);
        }
    }
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int size : sizes) {
        const QString file = folder.filePath(QStringLiteral("tessaloom-%1.png").arg(size));
        if (!render(size).save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
