#include "Data/ProgramCompiler.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"

namespace {

const char OpcodeFrame = 0x03;
const char OpcodeSequenceEnd = 0x00;

const int TypeFrame = 1;
const int TypeSequence = 2;

} // namespace

ProgramCompiler::ProgramCompiler(int rows, int columns)
    : m_LedRows(rows)
    , m_LedColumns(columns)
    , m_SurplusLeds(0)
{
    Q_ASSERT(m_LedRows > 0);
    Q_ASSERT(m_LedColumns > 0);
}

void ProgramCompiler::addCommand(AbstractCommand* command)
{
    Q_ASSERT(command);
    switch (command->type()) {
    case TypeSequence: {
        const auto* sequence = static_cast<const CommandList*>(command);
        m_ProgramLabels.append(qMakePair(sequence->label(), m_ProgramMemory.size()));
        break;
    }
    case TypeFrame:
        addFrame(static_cast<const LedStateCommand*>(command));
        break;
    default:
        Q_ASSERT(false);
        break;
    }
}

void ProgramCompiler::addCommand(eCommand type)
{
    switch (type) {
    case cmdLedSequence:
        m_ProgramMemory.append(OpcodeSequenceEnd);
        break;
    default:
        Q_ASSERT(false);
        break;
    }
}

int ProgramCompiler::programMemorySize() const
{
    return m_ProgramMemory.size();
}

const char* ProgramCompiler::programMemory() const
{
    return m_ProgramMemory.constData();
}

void ProgramCompiler::clear()
{
    // The labels point into the image, so they go with it.
    m_ProgramMemory.clear();
    m_ProgramLabels.clear();
    m_SurplusLeds = 0;
}

QList<QPair<QString, int> > ProgramCompiler::programLabels() const
{
    return m_ProgramLabels;
}

int ProgramCompiler::frameDataSize() const
{
    const int bytesPerRow = m_LedColumns / 8 + (m_LedColumns % 8 != 0 ? 1 : 0);
    return m_LedRows * bytesPerRow;
}

int ProgramCompiler::surplusLedCount() const
{
    return m_SurplusLeds;
}

void ProgramCompiler::addFrame(const LedStateCommand* frame)
{
    QVector<char> bitMap(frameDataSize(), 0);

    // Only the layout's own LEDs have a place in the bit map; anything beyond
    // rows x columns would land past the frame (or on padding bits).
    const QList<LedData*> leds = frame->leds();
    const qint64 layoutLeds = qint64(m_LedRows) * m_LedColumns;
    const int count = int(qMin<qint64>(leds.size(), layoutLeds));
    m_SurplusLeds += leds.size() - count;

    for (int i = 0; i < count; ++i) {
        if (leds.at(i)->intensity() > 0)
            bitMap[i / 8] = char(bitMap.at(i / 8) | (1 << (i % 8)));
    }

    m_ProgramMemory.append(OpcodeFrame);
    m_ProgramMemory += bitMap;
}
