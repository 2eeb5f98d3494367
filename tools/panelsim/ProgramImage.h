#ifndef PROGRAMIMAGE_H
#define PROGRAMIMAGE_H

#include <QByteArray>
#include <QStringList>

// Turns a program image (frames of opcode 03 plus a bit map, sequences closed by 00)
// into one readable line per frame and per sequence end.
class ProgramImage
{
public:
    ProgramImage(int rows, int columns);

    int frameSize() const;

    // blockCount tells how many 32-byte blocks carried the image, so filler in the
    // last block can be told apart from content.
    QStringList decode(const QByteArray& image, int blockCount) const;

private:
    int m_Rows;
    int m_Columns;
};

#endif // PROGRAMIMAGE_H
