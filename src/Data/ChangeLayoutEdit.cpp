#include "Data/ChangeLayoutEdit.h"

#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"

namespace {

QVector<QVector<int>> allIntensities(const LedPanelModel& model)
{
    QVector<QVector<int>> values;
    for (int s = 0; s < model.sequenceCount(); ++s) {
        const CommandList* sequence = model.sequence(s);
        for (int f = 0; f < sequence->frameCount(); ++f)
            values.append(sequence->frame(f)->intensities());
    }
    return values;
}

} // namespace

ChangeLayoutEdit::ChangeLayoutEdit(const LedPanelModel& model, const LedLayout& layout, eKeep keep)
    : AbstractEdit(tr("Change layout"))
    , m_Keep(keep)
    , m_Layout(layout)
    , m_OldLayout(model.panelLayout())
    , m_Growth(0)
    , m_DroppedLit(0)
{
    const QVector<QVector<int>> values = allIntensities(model);
    for (const QVector<int>& frame : values) {
        m_Growth += layout.ledCount() - frame.count();
        moved(frame, m_OldLayout, m_Layout, &m_DroppedLit, m_Keep);
    }
}

qint64 ChangeLayoutEdit::droppedLitCount() const
{
    return m_DroppedLit;
}

qint64 ChangeLayoutEdit::ledValueGrowth() const
{
    return m_Growth;
}

QVector<int> ChangeLayoutEdit::moved(const QVector<int>& intensities, const LedLayout& from, const LedLayout& to,
                                     qint64* droppedLit, eKeep keep)
{
    QVector<int> result(int(qBound<qint64>(0, to.ledCount(), LedLayout::MaxLedCount)));
    const int fromColumns = qMax(1, from.columns());
    const qint64 fromCount = from.ledCount();
    // A frame read under another layout may hold more or fewer LEDs than its layout says.
    for (int i = 0; i < intensities.count(); ++i) {
        const int value = intensities.at(i);
        int target = i < result.count() ? i : -1;
        if (keep == KeepPlaces) {
            // LEDs beyond the old layout have no cell of their own; they carry on as further rows.
            const QPoint cell = i < fromCount ? from.cellOf(i) : QPoint(i % fromColumns, i / fromColumns);
            target = to.indexAt(cell.y(), cell.x());
        }
        if (target >= 0 && target < result.count())
            result[target] = value;
        else if (value > 0 && droppedLit)
            ++*droppedLit;
    }
    return result;
}

void ChangeLayoutEdit::redo(LedPanelModel& model)
{
    m_OldLayout = model.panelLayout();
    m_OldIntensities = allIntensities(model);
    QVector<QVector<int>> values;
    values.reserve(m_OldIntensities.count());
    for (const QVector<int>& frame : qAsConst(m_OldIntensities))
        values.append(moved(frame, m_OldLayout, m_Layout, nullptr, m_Keep));
    setLayout(model, m_Layout, values);
}

void ChangeLayoutEdit::undo(LedPanelModel& model)
{
    setLayout(model, m_OldLayout, m_OldIntensities);
    m_OldIntensities.clear();
}
