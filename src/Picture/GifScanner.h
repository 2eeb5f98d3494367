#ifndef GIFSCANNER_H
#define GIFSCANNER_H

#include <QSize>
#include <QVector>

class QIODevice;

// Walks the blocks of a GIF without decoding any picture: how many frames are
// whole, how long each lasts, and whether the file ends properly. Qt's reader
// drops a frame that breaks off without saying so; this tells.
class GifScanner
{
public:
    // Reads the device from its current position to the trailer or the break.
    void scan(QIODevice* device);

    int frameCount() const; // complete frames
    // Per complete frame, in milliseconds as stored (hundredths × 10); 0 when none is given.
    const QVector<int>& delays() const;
    bool isComplete() const; // the trailer was reached
    qint64 stopOffset() const; // bytes read before the end or the break
    // The logical screen, widened to every frame read: what a decoder composes each frame on.
    QSize canvasSize() const;

private:
    QVector<int> m_Delays;
    bool m_Complete = false;
    qint64 m_StopOffset = 0;
    QSize m_Canvas;
};

#endif // GIFSCANNER_H
