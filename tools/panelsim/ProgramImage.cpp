#include "ProgramImage.h"

ProgramImage::ProgramImage(int rows, int columns)
    : m_Rows(rows)
    , m_Columns(columns)
{
}

int ProgramImage::frameSize() const
{
    return m_Rows * ((m_Columns + 7) / 8);
}

static bool isFillerFrom(const QByteArray& image, int pos)
{
    const char filler = image.at(pos);
    if (filler != 0x00 && filler != char(0xFF))
        return false;
    for (int i = pos; i < image.size(); ++i) {
        if (image.at(i) != filler)
            return false;
    }
    return true;
}

QStringList ProgramImage::decode(const QByteArray& image, int blockCount) const
{
    QStringList lines;
    const int f = frameSize();
    const int leds = m_Rows * m_Columns;
    const int lastBlockStart = qMax(0, (blockCount - 1) * 32);
    int sequence = 0;
    int frame = 0;
    int frames = 0;
    int pos = 0;
    QString problem;

    while (pos < image.size()) {
        // Only whole sequences lie before filler, and the last block is the only
        // place where the sender pads.
        if (frame == 0 && sequence > 0 && pos >= lastBlockStart && isFillerFrom(image, pos)) {
            lines << QStringLiteral("PADDING %1").arg(image.size() - pos);
            pos = image.size();
            break;
        }
        const quint8 op = quint8(image.at(pos));
        if (op == 0x00) {
            lines << QStringLiteral("SEQUENCE %1 END FRAMES %2").arg(sequence).arg(frame);
            ++sequence;
            frame = 0;
            ++pos;
        } else if (op == 0x03) {
            if (pos + 1 + f > image.size()) {
                problem = QStringLiteral("TRUNCATED AT %1").arg(pos);
                break;
            }
            QString line = QStringLiteral("SEQUENCE %1 FRAME %2 LEDS").arg(sequence).arg(frame);
            const char* bits = image.constData() + pos + 1;
            for (int i = 0; i < leds && i / 8 < f; ++i) {
                if (quint8(bits[i / 8]) & (1u << (i % 8)))
                    line += QStringLiteral(" %1").arg(i);
            }
            lines << line;
            ++frame;
            ++frames;
            pos += 1 + f;
        } else {
            problem = QStringLiteral("BADBYTE %1 AT %2").arg(op, 2, 16, QLatin1Char('0')).arg(pos);
            break;
        }
    }
    if (!problem.isEmpty())
        lines << problem;
    else if (frame > 0)
        lines << QStringLiteral("UNTERMINATED SEQUENCE %1").arg(sequence);

    lines << QStringLiteral("IMAGE %1 BLOCKS %2 SEQUENCES %3 FRAMES %4")
                 .arg(image.size()).arg(blockCount).arg(sequence).arg(frames);
    return lines;
}
