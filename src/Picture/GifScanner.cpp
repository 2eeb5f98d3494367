#include "Picture/GifScanner.h"

#include <QIODevice>

namespace {

class Bytes
{
public:
    explicit Bytes(QIODevice* device)
        : m_pDevice(device)
        , m_Start(device->pos())
    {
    }

    bool byte(int* value)
    {
        char c = 0;
        if (!m_pDevice->getChar(&c))
            return false;
        *value = quint8(c);
        return true;
    }

    bool skip(qint64 count) { return m_pDevice->skip(count) == count; }
    bool read(char* data, qint64 count) { return m_pDevice->read(data, count) == count; }
    qint64 offset() const { return m_pDevice->pos() - m_Start; }

    // Data sub-blocks up to their empty terminator.
    bool skipSubBlocks()
    {
        int size = 0;
        while (byte(&size)) {
            if (size == 0)
                return true;
            if (!skip(size))
                return false;
        }
        return false;
    }

private:
    QIODevice* m_pDevice;
    qint64 m_Start;
};

int word(const char* bytes)
{
    return quint8(bytes[0]) | quint8(bytes[1]) << 8;
}

qint64 colourTableSize(int packed)
{
    return (packed & 0x80) ? 3 * (qint64(1) << ((packed & 7) + 1)) : 0;
}

} // namespace

void GifScanner::scan(QIODevice* device)
{
    m_Delays.clear();
    m_Complete = false;
    m_Canvas = QSize();
    Bytes in(device);
    char header[13];
    if (!in.read(header, sizeof header) || qstrncmp(header, "GIF", 3) != 0) {
        m_StopOffset = in.offset();
        return;
    }
    m_Canvas = QSize(word(header + 6), word(header + 8));
    bool ok = in.skip(colourTableSize(quint8(header[10])));
    int delay = 0;
    while (ok) {
        m_StopOffset = in.offset();
        int introducer = 0;
        if (!in.byte(&introducer))
            break;
        if (introducer == 0x3B) {
            m_Complete = true;
            m_StopOffset = in.offset();
            return;
        }
        if (introducer == 0x21) {
            int label = 0;
            if (!in.byte(&label))
                break;
            if (label == 0xF9) {
                char control[5];
                if (!in.read(control, sizeof control) || quint8(control[0]) < 4)
                    break;
                delay = 10 * (quint8(control[2]) | quint8(control[3]) << 8);
                // The control block's own terminator, then any further sub-blocks.
                ok = in.skip(quint8(control[0]) - 4) && in.skipSubBlocks();
            } else {
                ok = in.skipSubBlocks();
            }
        } else if (introducer == 0x2C) {
            char descriptor[9];
            int codeSize = 0;
            ok = in.read(descriptor, sizeof descriptor);
            if (ok) {
                m_Canvas = m_Canvas.expandedTo(QSize(word(descriptor) + word(descriptor + 4),
                                                     word(descriptor + 2) + word(descriptor + 6)));
            }
            ok = ok && in.skip(colourTableSize(quint8(descriptor[8]))) && in.byte(&codeSize) && in.skipSubBlocks();
            if (ok) {
                m_Delays.append(delay);
                delay = 0;
            }
        } else {
            break;
        }
    }
}

int GifScanner::frameCount() const
{
    return m_Delays.size();
}

const QVector<int>& GifScanner::delays() const
{
    return m_Delays;
}

bool GifScanner::isComplete() const
{
    return m_Complete;
}

QSize GifScanner::canvasSize() const
{
    return m_Canvas;
}

qint64 GifScanner::stopOffset() const
{
    return m_StopOffset;
}
