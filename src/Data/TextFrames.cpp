#include "Data/TextFrames.h"

TextFrames::TextFrames(const LedLayout& layout, const QString& text)
    : m_Layout(layout)
    , m_Face(BitmapFont::faceFor(layout.rows()))
    , m_Columns(BitmapFont::render(m_Face, text))
{
}

int TextFrames::length(const QString& text)
{
    return text.toUcs4().size();
}

BitmapFont::eFace TextFrames::face() const
{
    return m_Face;
}

int TextFrames::width() const
{
    return m_Columns.size();
}

QVector<int> TextFrames::frameAt(int firstColumn) const
{
    const int rows = m_Layout.rows();
    const int columns = m_Layout.columns();
    QVector<int> values(int(m_Layout.ledCount()), 0);
    if (values.isEmpty())
        return values;
    const int height = BitmapFont::height(m_Face);
    // Rounded down, so a face taller than the panel loses as many rows at the top as at the bottom, or one more.
    const int top = (rows - height) >= 0 ? (rows - height) / 2 : -((height - rows + 1) / 2);
    const bool ring = m_Layout.type() == LedLayout::Ring;
    for (int x = 0; x < m_Columns.size(); ++x) {
        const int column = firstColumn + x;
        if (column < 0 || column >= columns)
            continue;
        for (int y = 0; y < height; ++y) {
            if (!(m_Columns.at(x) & (1 << y)))
                continue;
            const int line = top + y;
            if (line < 0 || line >= rows)
                continue;
            const int row = ring ? rows - 1 - line : line;
            values[m_Layout.indexAt(row, column)] = 1;
        }
    }
    return values;
}

QVector<int> TextFrames::still() const
{
    return frameAt(0);
}

qint64 TextFrames::scrollFrameCount() const
{
    return qint64(m_Layout.columns()) + width() + 1;
}

QVector<int> TextFrames::scrollFrame(int k) const
{
    return frameAt(m_Layout.columns() - k);
}

QVector<QVector<int>> TextFrames::scroll() const
{
    QVector<QVector<int>> frames;
    const int count = int(scrollFrameCount());
    frames.reserve(count);
    for (int k = 0; k < count; ++k)
        frames.append(scrollFrame(k));
    return frames;
}
