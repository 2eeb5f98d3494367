#ifndef PICTUREIMPORTER_H
#define PICTUREIMPORTER_H

#include "Data/LedLayout.h"
#include "Picture/PictureImportSettings.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

class QIODevice;

// Reads a picture or every frame of an animation, one source frame at a time,
// and turns each into an LED frame of the layout. Limits are checked from the
// file's header, before anything is decoded whole.
class PictureImporter
{
    Q_DECLARE_TR_FUNCTIONS(PictureImporter)

public:
    static constexpr qint64 MaxPixels = 100000000;
    static constexpr int MaxFrames = 10000;
    // Qt decodes every frame of a GIF onto a whole screen, whatever the frame
    // covers, and keeps two of them: the screen bounds the memory, the screen
    // times the frames the time, to a few hundred MB and a few seconds.
    static constexpr qint64 MaxGifScreenPixels = 25000000;
    static constexpr qint64 MaxGifPixels = 500000000;
    // Sampling every frame onto the LEDs, in all.
    static constexpr qint64 MaxSampleLookups = 200000000;
    // A picture read from a pipe is held whole; the largest BMP of MaxPixels takes 400 MB.
    static constexpr int MaxPipedBytes = 512 << 20;

    enum eStatus
    {
        Ok = 0,
        NotAPicture,
        TooLarge,
        TooManyFrames,
        Truncated, // frames() holds the frames read before the break
        TooManyLedValues, // more than the bound given to read()
        Damaged // frames() holds the picture as far as it could be decoded
    };

    PictureImporter(const LedLayout& layout, const PictureImportSettings& settings);

    // Whether the file is a picture that can be imported within the limits on its pixels and frames, for a
    // preview of its first frame.
    static bool isPreviewable(const QString& fileName);

    // ledValueBound: how many LED values the frames may hold at most, -1 for no bound.
    eStatus read(const QString& fileName, qint64 ledValueBound = -1);
    eStatus read(QIODevice* device, qint64 ledValueBound = -1);

    // With keep-timing, a picture frame held for several LED frames appears
    // that many times, sharing its values.
    const QVector<QVector<int>>& frames() const;
    int pictureFrameCount() const; // frames read from the file
    QString errorText() const;

private:
    eStatus readFrames(QIODevice* device, const QString& name, qint64 ledValueBound);

    LedLayout m_Layout;
    PictureImportSettings m_Settings;
    QVector<QVector<int>> m_Frames;
    int m_PictureFrames;
    QString m_Error;
};

#endif // PICTUREIMPORTER_H
