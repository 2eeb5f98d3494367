#ifndef LEDSELECTTOOL_H
#define LEDSELECTTOOL_H

#include "Data/LedRegion.h"
#include "Data/LedSelection.h"
#include "GraphicsView/LedPointerEvent.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class LedPanelDocument;
class LedStateCommand;
class LedValuesEdit;
class LedStateWidget;
class QMimeData;
class QUndoCommand;

// The select tool on a document's LED view, and what is done to the selection
// there. A drag marks the cells between press and release (Shift adds them, Ctrl
// from outside the selection removes them); a click outside clears it. A drag
// from inside moves the selected LEDs by whole rows and columns (Ctrl copies them),
// as do the arrows, one step each; Del clears them. A region pasted floats:
// it is written at once and moving it keeps one undo step, until Enter, a
// click outside, another frame or an undo drops it where it lies.
class LedSelectTool : public QObject
{
    Q_OBJECT

public:
    explicit LedSelectTool(QObject* parent = nullptr);

    void setDocument(LedPanelDocument* document);
    void setActive(bool active);
    void selectAll();
    // Places the clipboard's region on the current frame as a floating selection;
    // the count of cells that fell off the panel, -1 if there is nothing to paste.
    int paste(const QMimeData* data);
    bool isFloating() const;
    void drop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum eDrag
    {
        NoDrag,
        Marking,
        Moving
    };

    void pressed(const LedPointerEvent& event);
    void moved(const LedPointerEvent& event);
    void released(const LedPointerEvent& event);
    void keyPressed(int key);
    // The rows and columns from the press to the point; a ring's turn the shorter way round.
    QPoint stepTo(const QPointF& point) const;
    void mark(const QPointF& to);
    // The selected frames of the current sequence, or the current one: a move or a clear changes them all.
    QList<const LedStateCommand*> targetFrames() const;
    // Submits the edit, or drops it when it changes nothing.
    void submit(LedValuesEdit* edit, bool floating);
    void move(int rows, int columns, bool copy);
    void moveFloating(int rows, int columns);
    void clearSelected();
    LedSelection selection() const;
    void setSelection(const LedSelection& selection);
    // Undo and redo of a move take the outline back and forth with the LEDs.
    void rememberMove(const QString& text, const LedSelection& before, const LedSelection& after);
    void followUndoStack(int index);

    QPointer<LedPanelDocument> m_pDocument;
    QPointer<LedStateWidget> m_pView;
    QList<QMetaObject::Connection> m_Connections;
    bool m_Active;
    eDrag m_Drag;
    Qt::KeyboardModifiers m_Modifiers;
    QPointF m_From;
    int m_FromLed;
    // The selection when the drag began.
    LedSelection m_Base;

    // The floating paste: where on which frame, over what.
    bool m_Floating;
    int m_FloatingId;
    bool m_Submitting;
    LedRegion m_Region;
    QPoint m_At;
    int m_Sequence;
    int m_Frame;
    QVector<int> m_Underneath;

    struct Move
    {
        QString text;
        LedSelection before;
        LedSelection after;
    };
    // By the step on the undo stack; the text guards against a step at an address freed by another.
    QHash<const QUndoCommand*, Move> m_Moves;
};

#endif // LEDSELECTTOOL_H
