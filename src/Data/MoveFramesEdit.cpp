#include "Data/MoveFramesEdit.h"

#include "Data/LedPanelModel.h"

#include <algorithm>

namespace {

QList<int> sortedRows(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// Which entries of order form a longest increasing run: those frames keep their places.
QVector<bool> longestIncreasing(const QVector<int>& order)
{
    const int n = order.size();
    QVector<int> tails;        // index into order of the smallest tail of each length
    QVector<int> previous(n, -1);
    for (int i = 0; i < n; ++i) {
        auto it = std::lower_bound(tails.begin(), tails.end(), order.at(i),
                                   [&](int index, int value) { return order.at(index) < value; });
        if (it != tails.begin())
            previous[i] = *(it - 1);
        if (it == tails.end())
            tails.append(i);
        else
            *it = i;
    }
    QVector<bool> keep(n, false);
    for (int i = tails.isEmpty() ? -1 : tails.last(); i >= 0; i = previous.at(i))
        keep[order.at(i)] = true;
    return keep;
}

} // namespace

MoveFramesEdit::MoveFramesEdit(const QString& text, int sequence)
    : AbstractEdit(text)
    , m_Sequence(sequence)
    , m_First(0)
    , m_FocusRow(-1)
{
}

MoveFramesEdit::MoveFramesEdit(const QString& text, int sequence, const QList<int>& rows, int destination)
    : MoveFramesEdit(text, sequence)
{
    const QList<int> moving = sortedRows(rows);
    if (moving.isEmpty())
        return;
    Q_ASSERT(moving.first() >= 0 && destination >= 0);
    m_First = qMin(moving.first(), destination);
    const int last = qMax(moving.last(), destination - 1);
    m_FocusRow = moving.first();
    for (int row = m_First; row < destination; ++row) {
        if (!moving.contains(row))
            m_Order.append(row - m_First);
    }
    for (int row : moving)
        m_Order.append(row - m_First);
    for (int row = destination; row <= last; ++row) {
        if (!moving.contains(row))
            m_Order.append(row - m_First);
    }
}

MoveFramesEdit* MoveFramesEdit::byOne(const QString& text, int sequence, const QList<int>& rows, int step)
{
    Q_ASSERT(step == -1 || step == 1);
    auto* edit = new MoveFramesEdit(text, sequence);
    const QList<int> moving = sortedRows(rows);
    if (moving.isEmpty())
        return edit;
    edit->m_First = step < 0 ? moving.first() - 1 : moving.first();
    Q_ASSERT(edit->m_First >= 0);
    edit->m_FocusRow = moving.first();
    const int last = step < 0 ? moving.last() : moving.last() + 1;
    for (int row = edit->m_First; row <= last; ++row)
        edit->m_Order.append(row - edit->m_First);
    // Each moving frame swaps with the neighbour in its way; a run of them moves as one.
    QVector<int>& order = edit->m_Order;
    for (int i = 0; i < moving.size(); ++i) {
        const int row = (step < 0 ? moving.at(i) : moving.at(moving.size() - 1 - i)) - edit->m_First;
        std::swap(order[row], order[row + step]);
    }
    return edit;
}

bool MoveFramesEdit::isEmpty() const
{
    for (int j = 0; j < m_Order.size(); ++j) {
        if (m_Order.at(j) != j)
            return false;
    }
    return true;
}

void MoveFramesEdit::reorder(LedPanelModel& model, const QVector<int>& order)
{
    AbstractCommand* sequence = model.node(m_Sequence);
    Q_ASSERT(sequence);
    const QVector<bool> keep = longestIncreasing(order);
    // Where each frame of the range stands now, by its place before the reorder.
    QVector<int> now(order.size());
    for (int j = 0; j < now.size(); ++j)
        now[j] = j;
    for (int j = 0; j < order.size(); ++j) {
        if (keep.at(order.at(j)))
            continue;
        // Right after the frame that precedes it in the new order.
        const int from = int(now.indexOf(order.at(j)));
        const int to = j == 0 ? 0 : int(now.indexOf(order.at(j - 1))) + 1;
        moveNodes(model, sequence, m_First + from, m_First + from, m_First + to);
        now.remove(from);
        now.insert(to > from ? to - 1 : to, order.at(j));
    }
}

void MoveFramesEdit::redo(LedPanelModel& model)
{
    reorder(model, m_Order);
}

void MoveFramesEdit::undo(LedPanelModel& model)
{
    QVector<int> inverse(m_Order.size());
    for (int j = 0; j < m_Order.size(); ++j)
        inverse[m_Order.at(j)] = j;
    reorder(model, inverse);
}

AbstractCommand* MoveFramesEdit::focus(LedPanelModel& model, bool undone) const
{
    if (m_FocusRow < 0)
        return nullptr;
    const int row = undone ? m_FocusRow : m_First + int(m_Order.indexOf(m_FocusRow - m_First));
    return model.node(m_Sequence, row);
}
