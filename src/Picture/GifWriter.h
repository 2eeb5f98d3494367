#ifndef GIFWRITER_H
#define GIFWRITER_H

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <QVector>

class QIODevice;
struct GifFileType;

// Writes an animated GIF that loops forever, through giflib, onto a device the
// caller opened. Every frame uses one global palette of up to 256 colours; a
// pixel of another colour takes the nearest one. A frame equal to the one
// before only lengthens it, and a changed frame stores just the rectangle that
// changed, so a long show of few colours stays small.
class GifWriter
{
    Q_DECLARE_TR_FUNCTIONS(GifWriter)

public:
    GifWriter(QIODevice* device, const QSize& size, const QVector<QRgb>& palette);
    ~GifWriter();

    // Header, screen and loop block; false with errorString() on failure.
    bool begin();
    // A frame of the screen's size shown for delay hundredths of a second.
    bool addFrame(const QImage& frame, int delay);
    // The same, given as one palette index per pixel, row by row.
    bool addIndexedFrame(const QByteArray& indices, int delay);
    // Writes the last frame and the trailer.
    bool finish();
    QString errorString() const;

    int writtenFrames() const;

private:
    QByteArray indices(const QImage& frame);
    bool flush();
    bool fail(int error);

    QIODevice* m_pDevice;
    QSize m_Size;
    QVector<QRgb> m_Palette;
    GifFileType* m_pGif;
    QByteArray m_Written; // the screen as the frames so far left it
    QByteArray m_Pending; // the frame not written yet, and how long it lasts
    int m_PendingDelay;
    bool m_HasWritten;
    int m_WrittenFrames;
    QRgb m_LastColour;
    int m_LastIndex;
    QString m_Error;
};

#endif // GIFWRITER_H
