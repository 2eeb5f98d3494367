#ifndef BITMAPFONT_H
#define BITMAPFONT_H

#include <QString>
#include <QVector>

// The program's own lettering for panels: three faces of fixed height and
// varying width for the printable ASCII characters. The small faces draw
// lower-case letters as capitals. A character a face lacks is drawn as a box.
class BitmapFont
{
public:
    enum eFace
    {
        Face3x4,
        Face3x5,
        Face5x7
    };

    // The largest face that fits that many rows; panels of fewer than four rows get the smallest, cut.
    static eFace faceFor(int rows);
    static int height(eFace face);
    // The glyph's columns, left to right; bit y of a column is its row y, the top row bit 0.
    static QVector<quint8> glyph(eFace face, QChar character);
    // The text's columns, letters one dark column apart.
    static QVector<quint8> render(eFace face, const QString& text);
    // Whether the face has a glyph of its own for the character (else it draws a box).
    static bool hasGlyph(eFace face, QChar character);
};

#endif // BITMAPFONT_H
