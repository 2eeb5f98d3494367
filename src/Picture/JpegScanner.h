#ifndef JPEGSCANNER_H
#define JPEGSCANNER_H

#include <QtGlobal>

class QIODevice;

// Walks the markers of a JPEG without decoding it, to its end-of-image marker
// or to the byte where it breaks off or stops making sense. Qt's reader fills
// the missing part of a cut-off JPEG with grey and reports success; this tells.
class JpegScanner
{
public:
    // Reads the device from its current position.
    void scan(QIODevice* device);

    bool isComplete() const; // the end-of-image marker was reached
    bool isCutOff() const; // the file ended before it; otherwise it holds bytes that are no JPEG
    qint64 stopOffset() const; // where the end, the break or the damage is

private:
    bool m_Complete = false;
    bool m_CutOff = false;
    qint64 m_StopOffset = 0;
};

#endif // JPEGSCANNER_H
