#ifndef LEDVALUESEDIT_H
#define LEDVALUESEDIT_H

#include "Abstract/AbstractEdit.h"

#include <QHash>

// New intensities for some LEDs of some frames: a click, a painted stroke, a
// whole-frame operation. Only what really changes is kept, each LED with its
// value before and after.
class LedValuesEdit : public AbstractEdit
{
public:
    explicit LedValuesEdit(const QString& text, int mergeId = -1);

    // LED led of the frame becomes value; undo gives it back what it holds now.
    void set(const LedStateCommand* frame, int led, int value);
    // Every LED of the frame becomes the value at its index (as far as both go).
    void setFrame(const LedStateCommand* frame, const QVector<int>& values);
    // The listed LEDs of the frame become value; a shape or fill of any size costs one pass over the frame.
    void setLeds(const LedStateCommand* frame, const QVector<int>& leds, int value);
    bool isEmpty() const;

    void redo(LedPanelModel& model) override;
    void undo(LedPanelModel& model) override;
    int mergeId() const override;
    bool mergeWith(const AbstractEdit& other) override;
    AbstractCommand* focus(LedPanelModel& model, bool undone) const override;

private:
    struct Change
    {
        int led;
        int before;
        int after;
    };
    struct FrameChanges
    {
        int sequence;
        int frame;
        QVector<Change> changes;
        // Where each LED's change stands in changes, for a long stroke that looks each one up; made
        // when first needed, it holds all of them or lags behind.
        QHash<int, int> position;
    };

    FrameChanges& changesOf(int sequence, int frame);
    static int find(FrameChanges& changes, int led);
    static void add(FrameChanges& changes, const Change& change);
    void apply(LedPanelModel& model, bool undo);

    QVector<FrameChanges> m_Frames;
    int m_MergeId;
};

#endif // LEDVALUESEDIT_H
