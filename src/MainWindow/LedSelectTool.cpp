#include "MainWindow/LedSelectTool.h"

#include "Data/CommandList.h"
#include "Data/LedShapes.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "Data/RegionOperations.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedStateWidget.h"
#include "TreeView/LedTreeView.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QSet>
#include <QUndoStack>

namespace {

// Far from the pen's stroke numbers, so a paste never merges into a stroke.
const int firstPasteId = 1 << 30;

} // namespace

LedSelectTool::LedSelectTool(QObject* parent)
    : QObject(parent)
    , m_Active(false)
    , m_Drag(NoDrag)
    , m_FromLed(-1)
    , m_Floating(false)
    , m_FloatingId(firstPasteId)
    , m_Submitting(false)
    , m_Sequence(-1)
    , m_Frame(-1)
{
}

void LedSelectTool::setDocument(LedPanelDocument* document)
{
    drop();
    m_Drag = NoDrag;
    while (!m_Connections.isEmpty())
        disconnect(m_Connections.takeFirst());
    if (m_pView)
        m_pView->removeEventFilter(this);
    m_pDocument = document;
    m_Moves.clear();
    m_pView = document ? document->ledFrame() : nullptr;
    if (!m_pView)
        return;
    m_pView->installEventFilter(this);
    QUndoStack* undo = document->undoStack();
    const auto dropUnlessOurs = [this] {
        if (!m_Submitting)
            drop();
    };
    m_Connections << connect(m_pView, &LedStateWidget::ledPressed, this, &LedSelectTool::pressed)
                  << connect(m_pView, &LedStateWidget::ledMoved, this, &LedSelectTool::moved)
                  << connect(m_pView, &LedStateWidget::ledReleased, this, &LedSelectTool::released)
                  << connect(m_pView, &LedStateWidget::selectionKeyPressed, this, &LedSelectTool::keyPressed)
                  << connect(m_pView, &LedStateWidget::sceneReplaced, this, &LedSelectTool::drop)
                  << connect(document->treeView()->selectionModel(), &QItemSelectionModel::currentChanged, this,
                             &LedSelectTool::drop)
                  << connect(undo, &QUndoStack::indexChanged, this, dropUnlessOurs)
                  << connect(undo, &QUndoStack::indexChanged, this, &LedSelectTool::followUndoStack)
                  << connect(undo, &QUndoStack::cleanChanged, this, &LedSelectTool::drop);
}

void LedSelectTool::setActive(bool active)
{
    m_Active = active;
    if (!active && m_Drag != NoDrag) {
        setSelection(m_Base);
        m_Drag = NoDrag;
    }
}

LedSelection LedSelectTool::selection() const
{
    return m_pView ? m_pView->selection() : LedSelection();
}

void LedSelectTool::setSelection(const LedSelection& selection)
{
    if (m_pView && selection.ledCount() == m_pView->selection().ledCount())
        m_pView->setSelection(selection);
}

void LedSelectTool::selectAll()
{
    if (!m_pView)
        return;
    drop();
    LedSelection all(selection().ledCount());
    all.selectAll();
    setSelection(all);
}

bool LedSelectTool::isFloating() const
{
    return m_Floating;
}

void LedSelectTool::drop()
{
    m_Floating = false;
    m_Underneath.clear();
}

bool LedSelectTool::eventFilter(QObject* watched, QEvent* event)
{
    Q_UNUSED(watched)
    if (m_Floating && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            drop();
            return true;
        }
    }
    return false;
}

void LedSelectTool::pressed(const LedPointerEvent& event)
{
    if (event.button != Qt::LeftButton || !m_pDocument || !m_pView)
        return;
    const bool inside = event.led >= 0 && selection().contains(event.led);
    if (!inside)
        drop();
    if (!m_Active || event.doubleClick || !m_pDocument->currentFrame())
        return;
    m_From = event.scenePos;
    m_FromLed = LedShapes::nearestLed(m_pDocument->panelLayout(), event.scenePos);
    m_Modifiers = event.modifiers;
    m_Base = selection();
    m_Drag = inside && !event.modifiers.testFlag(Qt::ShiftModifier) ? Moving : Marking;
}

void LedSelectTool::moved(const LedPointerEvent& event)
{
    // The release went elsewhere (a pan or a menu began meanwhile): the drag ends where it began.
    if (m_Drag != NoDrag && !(event.buttons & Qt::LeftButton)) {
        setSelection(m_Base);
        m_Drag = NoDrag;
        return;
    }
    if (m_Drag == Marking) {
        if (LedShapes::nearestLed(m_pDocument->panelLayout(), event.scenePos) != m_FromLed)
            mark(event.scenePos);
    } else if (m_Drag == Moving) {
        const QPoint step = stepTo(event.scenePos);
        setSelection(m_Base.moved(m_pDocument->panelLayout(), step.y(), step.x()));
    }
}

void LedSelectTool::released(const LedPointerEvent& event)
{
    if (event.button != Qt::LeftButton || m_Drag == NoDrag || !m_pDocument)
        return;
    const eDrag drag = m_Drag;
    m_Drag = NoDrag;
    if (drag == Marking) {
        mark(event.scenePos);
        return;
    }
    const QPoint step = stepTo(event.scenePos);
    setSelection(m_Base);
    if (step.isNull())
        return;
    if (m_Floating)
        moveFloating(step.y(), step.x());
    else
        move(step.y(), step.x(), m_Modifiers.testFlag(Qt::ControlModifier));
}

void LedSelectTool::mark(const QPointF& to)
{
    const LedLayout& layout = m_pDocument->panelLayout();
    // A click marks the LED under it for Shift and Ctrl; alone, it clears the selection.
    const bool click = LedShapes::nearestLed(layout, to) == m_FromLed;
    const QVector<int> leds = click ? QVector<int> { m_FromLed }
                                    : LedShapes::covered(layout, LedShapes::Rectangle, m_From, to, true);
    LedSelection marked = m_Base;
    if (m_Modifiers.testFlag(Qt::ShiftModifier)) {
        marked.add(leds);
    } else if (m_Modifiers.testFlag(Qt::ControlModifier)) {
        marked.remove(leds);
    } else {
        marked.clear();
        if (!click)
            marked.add(leds);
    }
    setSelection(marked);
}

QPoint LedSelectTool::stepTo(const QPointF& point) const
{
    const LedLayout& layout = m_pDocument->panelLayout();
    const int to = LedShapes::nearestLed(layout, point);
    if (to < 0 || m_FromLed < 0)
        return QPoint();
    const QPoint from = layout.cellOf(m_FromLed);
    QPoint step = layout.cellOf(to) - from;
    if (layout.isFullCircle()) {
        const int columns = layout.columns();
        step.rx() = ((step.x() % columns) + columns) % columns;
        if (step.x() > columns / 2)
            step.rx() -= columns;
    }
    return step;
}

void LedSelectTool::submit(LedValuesEdit* edit, bool floating)
{
    // A paste's own edits must not drop the paste they belong to.
    m_Submitting = floating;
    if (edit->isEmpty())
        delete edit;
    else
        m_pDocument->submit(edit);
    m_Submitting = false;
}

QList<const LedStateCommand*> LedSelectTool::targetFrames() const
{
    QList<const LedStateCommand*> frames;
    CommandList* sequence = m_pDocument->currentSequence();
    for (int row : m_pDocument->targetFrameRows())
        frames.append(sequence->frame(row));
    return frames;
}

void LedSelectTool::move(int rows, int columns, bool copy)
{
    const LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr;
    const LedSelection current = selection();
    if (!frame || current.isEmpty())
        return;
    const LedLayout& layout = m_pDocument->panelLayout();
    auto* edit = new LedValuesEdit(copy ? tr("Copy LEDs") : tr("Move LEDs"));
    for (const LedStateCommand* target : targetFrames())
        edit->setFrame(target, RegionOperations::move(target->intensities(), layout, current, rows, columns, copy));
    const LedSelection moved = current.moved(layout, rows, columns);
    setSelection(moved);
    if (edit->isEmpty()) {
        delete edit;
        return;
    }
    const QString text = edit->text();
    submit(edit, false);
    rememberMove(text, current, moved);
}

void LedSelectTool::rememberMove(const QString& text, const LedSelection& before, const LedSelection& after)
{
    QUndoStack* undo = m_pDocument->undoStack();
    const QUndoCommand* step = undo->command(undo->index() - 1);
    if (!step || step->text() != text)
        return;
    // Steps the stack has let go of are forgotten.
    QSet<const QUndoCommand*> held;
    for (int i = 0; i < undo->count(); ++i)
        held.insert(undo->command(i));
    for (auto it = m_Moves.begin(); it != m_Moves.end();)
        it = held.contains(it.key()) ? std::next(it) : m_Moves.erase(it);
    m_Moves.insert(step, { text, before, after });
}

void LedSelectTool::followUndoStack(int index)
{
    QUndoStack* undo = m_pDocument->undoStack();
    const QUndoCommand* undone = undo->command(index);
    const auto back = undone ? m_Moves.constFind(undone) : m_Moves.constEnd();
    if (back != m_Moves.constEnd() && back->text == undone->text() && selection() == back->after) {
        setSelection(back->before);
        return;
    }
    const QUndoCommand* redone = undo->command(index - 1);
    const auto forth = redone ? m_Moves.constFind(redone) : m_Moves.constEnd();
    if (forth != m_Moves.constEnd() && forth->text == redone->text() && selection() == forth->before)
        setSelection(forth->after);
}

int LedSelectTool::paste(const QMimeData* data)
{
    const LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr;
    if (!frame || !m_pView || !data || !data->hasFormat(QLatin1String(LedRegion::MimeType)))
        return -1;
    const LedRegion region = LedRegion::fromByteArray(data->data(QLatin1String(LedRegion::MimeType)));
    if (region.isEmpty())
        return -1;
    drop();
    const LedLayout& layout = m_pDocument->panelLayout();
    const LedSelection current = selection();
    m_Region = region;
    m_At = current.isEmpty() ? region.origin() : current.bounds(layout).topLeft();
    m_Sequence = frame->parent()->index();
    m_Frame = frame->index();
    m_Underneath = frame->intensities();
    ++m_FloatingId;

    const LedRegion::Placed placed = region.place(layout, m_At);
    auto* edit = new LedValuesEdit(tr("Paste"), m_FloatingId);
    for (int i = 0; i < placed.leds.size(); ++i)
        edit->set(frame, placed.leds.at(i), placed.states.at(i));
    LedSelection pasted(current.ledCount());
    pasted.add(placed.leds);
    setSelection(pasted);
    submit(edit, true);
    m_Floating = true;
    return placed.dropped;
}

void LedSelectTool::moveFloating(int rows, int columns)
{
    CommandList* sequence = m_pDocument->sequence(m_Sequence);
    const LedStateCommand* frame = sequence ? sequence->frame(m_Frame) : nullptr;
    if (!frame) {
        drop();
        return;
    }
    const LedLayout& layout = m_pDocument->panelLayout();
    const LedRegion::Placed before = m_Region.place(layout, m_At);
    m_At += QPoint(columns, rows);
    const LedRegion::Placed after = m_Region.place(layout, m_At);
    // Merged into the paste: the LEDs it leaves get back what they held before it.
    auto* edit = new LedValuesEdit(tr("Paste"), m_FloatingId);
    for (int led : before.leds)
        edit->set(frame, led, m_Underneath.value(led));
    for (int i = 0; i < after.leds.size(); ++i)
        edit->set(frame, after.leds.at(i), after.states.at(i));
    LedSelection moved(selection().ledCount());
    moved.add(after.leds);
    setSelection(moved);
    submit(edit, true);
}

void LedSelectTool::clearSelected()
{
    const LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr;
    if (!frame)
        return;
    drop();
    auto* edit = new LedValuesEdit(FrameOperations::text(FrameOperations::Clear, LedLayout::Rectangle));
    for (const LedStateCommand* target : targetFrames())
        edit->setFrame(target, RegionOperations::apply(FrameOperations::Clear, target->intensities(),
                                                       m_pDocument->panelLayout(), selection()));
    submit(edit, false);
}

void LedSelectTool::keyPressed(int key)
{
    if (!m_pDocument)
        return;
    // While a drag runs, the outline shows where it would end, not LEDs to act on: keys wait for
    // the release, but Esc drops the selection, and the drag with it.
    if (m_Drag != NoDrag) {
        if (key != Qt::Key_Escape)
            return;
        m_Drag = NoDrag;
    }
    // On a ring up is outward, as on the circle's top.
    const bool ring = m_pDocument->panelLayout().type() == LedLayout::Ring;
    int rows = 0;
    int columns = 0;
    switch (key) {
    case Qt::Key_Escape:
        drop();
        setSelection(LedSelection(selection().ledCount()));
        return;
    case Qt::Key_Delete:
        clearSelected();
        return;
    case Qt::Key_Left:
        columns = -1;
        break;
    case Qt::Key_Right:
        columns = 1;
        break;
    case Qt::Key_Up:
        rows = ring ? 1 : -1;
        break;
    case Qt::Key_Down:
        rows = ring ? -1 : 1;
        break;
    default:
        return;
    }
    if (m_Floating)
        moveFloating(rows, columns);
    else
        move(rows, columns, false);
}
