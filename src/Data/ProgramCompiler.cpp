#include "Data/ProgramCompiler.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"

namespace {

const char OpcodeFrame = 0x03;
const char OpcodeSequenceEnd = 0x00;

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
    case typeCommandList: {
        const auto* sequence = static_cast<const CommandList*>(command);
        m_ProgramLabels.append(qMakePair(sequence->label(), m_ProgramMemory.size()));
        break;
    }
    case typeLedState:
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
    const qint64 layoutLeds = qint64(m_LedRows) * m_LedColumns;
    const int count = int(qMin<qint64>(frame->ledCount(), layoutLeds));
    m_SurplusLeds += frame->ledCount() - count;

    for (int i = 0; i < count; ++i) {
        if (frame->led(i)->intensity() > 0)
            bitMap[i / 8] = char(bitMap.at(i / 8) | (1 << (i % 8)));
    }

    m_ProgramMemory.append(OpcodeFrame);
    m_ProgramMemory += bitMap;
}

bool ProgramCompiler::compile(const LedPanelModel& show, QByteArray* image, QString* problem)
{
    Q_ASSERT(image && problem);
    const int rows = show.panelLayout().rows();
    const int columns = show.panelLayout().columns();
    if (rows <= 0 || columns <= 0) {
        *problem = tr("The panel layout has %1 rows and %2 columns, so it has no LEDs to program.")
                       .arg(rows)
                       .arg(columns);
        return false;
    }
    const qint64 ledCount = show.panelLayout().ledCount();
    for (int s = 0; s < show.sequenceCount(); ++s) {
        const CommandList* sequence = show.sequence(s);
        for (int f = 0; f < sequence->frameCount(); ++f) {
            const int leds = sequence->frame(f)->ledCount();
            if (leds > ledCount) {
                *problem = tr("Frame %1 of sequence %2 has %3 LEDs, but the panel layout has only %4.")
                               .arg(f + 1)
                               .arg(s + 1)
                               .arg(leds)
                               .arg(ledCount);
                return false;
            }
        }
    }

    ProgramCompiler compiler(rows, columns);
    for (int s = 0; s < show.sequenceCount(); ++s) {
        CommandList* sequence = show.sequence(s);
        compiler.addCommand(sequence);
        for (int f = 0; f < sequence->frameCount(); ++f)
            compiler.addCommand(sequence->frame(f));
        compiler.addCommand(cmdLedSequence);
    }
    *image = QByteArray(compiler.programMemory(), compiler.programMemorySize());
    return true;
}
