#include "Picture/JpegScanner.h"

#include <QIODevice>

#include <cstring>

namespace {

// The file in blocks: the picture's data is searched for markers, a byte at a
// time through QIODevice would cost more than the decoding.
class Blocks
{
public:
    explicit Blocks(QIODevice* device)
        : m_pDevice(device)
    {
    }

    bool byte(int* value)
    {
        if (m_Next == m_Block.size() && !fill())
            return false;
        *value = quint8(m_Block.at(m_Next++));
        return true;
    }

    bool skip(qint64 count)
    {
        while (count > 0) {
            if (m_Next == m_Block.size() && !fill())
                return false;
            const int step = int(qMin<qint64>(count, m_Block.size() - m_Next));
            m_Next += step;
            count -= step;
        }
        return true;
    }

    // Up to the next 0xFF, which is consumed.
    bool findFF()
    {
        for (;;) {
            if (m_Next == m_Block.size() && !fill())
                return false;
            const char* start = m_Block.constData() + m_Next;
            const void* found = std::memchr(start, 0xFF, size_t(m_Block.size() - m_Next));
            if (found) {
                m_Next += int(static_cast<const char*>(found) - start) + 1;
                return true;
            }
            m_Next = m_Block.size();
        }
    }

    qint64 offset() const { return m_Done + m_Next; }

private:
    bool fill()
    {
        m_Done += m_Block.size();
        m_Block = m_pDevice->read(64 * 1024);
        m_Next = 0;
        return !m_Block.isEmpty();
    }

    QIODevice* m_pDevice;
    QByteArray m_Block;
    int m_Next = 0;
    qint64 m_Done = 0;
};

bool standalone(int marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

} // namespace

void JpegScanner::scan(QIODevice* device)
{
    m_Complete = false;
    m_CutOff = false;
    Blocks in(device);
    int first = 0;
    int second = 0;
    if (!in.byte(&first) || !in.byte(&second) || first != 0xFF || second != 0xD8) {
        m_CutOff = true;
        m_StopOffset = in.offset();
        return;
    }
    int marker = -1; // one found in the picture's data, not yet handled
    for (;;) {
        m_StopOffset = in.offset();
        if (marker < 0) {
            int byte = 0;
            if (!in.byte(&byte))
                break;
            if (byte != 0xFF)
                return;
            // Any number of 0xFF may pad before a marker.
            bool read = in.byte(&marker);
            while (read && marker == 0xFF)
                read = in.byte(&marker);
            if (!read)
                break;
        }
        if (marker == 0xD9) {
            m_Complete = true;
            m_StopOffset = in.offset();
            return;
        }
        if (standalone(marker)) {
            marker = -1;
            continue;
        }
        int high = 0;
        int low = 0;
        if (!in.byte(&high) || !in.byte(&low))
            break;
        const int length = high << 8 | low;
        if (length < 2)
            return;
        if (!in.skip(length - 2))
            break;
        const bool scanData = marker == 0xDA;
        marker = -1;
        if (!scanData)
            continue;
        // Coded data runs to the next marker that is neither a stuffed 0xFF 0x00 nor a restart.
        for (;;) {
            if (!in.findFF())
                break;
            int next = 0;
            bool read = in.byte(&next);
            while (read && next == 0xFF)
                read = in.byte(&next);
            if (!read)
                break;
            if (next != 0x00 && (next < 0xD0 || next > 0xD7)) {
                marker = next;
                break;
            }
        }
        if (marker < 0)
            break;
    }
    m_CutOff = true;
    m_StopOffset = in.offset();
}

bool JpegScanner::isComplete() const
{
    return m_Complete;
}

bool JpegScanner::isCutOff() const
{
    return m_CutOff;
}

qint64 JpegScanner::stopOffset() const
{
    return m_StopOffset;
}
