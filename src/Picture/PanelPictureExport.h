#ifndef PANELPICTUREEXPORT_H
#define PANELPICTUREEXPORT_H

#include "Data/LedLayout.h"

#include <QCoreApplication>
#include <QImage>
#include <QString>
#include <QVector>

#include <functional>

// Frames as pictures, drawn by the panel painter without antialiasing, so a
// picture holds only the painter's four colours: one frame as an image or PNG,
// a run of frames as an animated GIF that loops forever.
class PanelPictureExport
{
    Q_DECLARE_TR_FUNCTIONS(PanelPictureExport)

public:
    static constexpr int MinSize = 16;
    static constexpr int MaxSize = 4096;
    static constexpr int DefaultSize = 480;

    PanelPictureExport(const LedLayout& layout, int longerSide);

    // The editor cannot wait at a pipe nobody reads; a terminal command can.
    void setWaitForReader(bool wait) { m_WaitForReader = wait; }

    QSize imageSize() const;
    QImage render(const QVector<int>& intensities) const;

    bool writePng(const QVector<int>& intensities, const QString& fileName, QString* error) const;
    // frame(i) gives frame i of count, shown at framesPerSecond.
    bool writeGif(int count, const std::function<QVector<int>(int)>& frame, int framesPerSecond,
                  const QString& fileName, QString* error) const;

private:
    LedLayout m_Layout;
    QSize m_Size;
    bool m_WaitForReader = true;
};

#endif // PANELPICTUREEXPORT_H
