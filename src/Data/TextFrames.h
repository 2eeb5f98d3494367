#ifndef TEXTFRAMES_H
#define TEXTFRAMES_H

#include "Data/BitmapFont.h"
#include "Data/LedLayout.h"

#include <QString>
#include <QVector>

// Lettering as frames of a layout, in the face that suits its rows, centred
// vertically. On a grid the glyph rows are the grid's rows; on a ring they go on
// the circles, the outermost one the top row, and the glyph columns run with the
// LED numbering, so letters stand upright at the top of the ring.
class TextFrames
{
public:
    static constexpr int MaxLength = 200;
    // Characters as the font draws them: one outside the basic plane is one, not two.
    static int length(const QString& text);

    explicit TextFrames(const LedLayout& layout, const QString& text);

    BitmapFont::eFace face() const;
    // The text's width in columns.
    int width() const;

    // The text drawn from column 0 on a dark frame; what does not fit is cut.
    QVector<int> still() const;
    // The text running from right to left, one column a frame: frame k shows the
    // text's first column at column C - k (C the layout's columns), so the first
    // and the last of the C + width + 1 frames are dark.
    qint64 scrollFrameCount() const;
    QVector<int> scrollFrame(int k) const;
    QVector<QVector<int>> scroll() const;

private:
    // A frame with the text's first column at the given column.
    QVector<int> frameAt(int firstColumn) const;

    LedLayout m_Layout;
    BitmapFont::eFace m_Face;
    QVector<quint8> m_Columns;
};

#endif // TEXTFRAMES_H
