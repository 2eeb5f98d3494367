#include "Data/LedValuesEdit.h"

#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"


LedValuesEdit::LedValuesEdit(const QString& text, int mergeId)
    : AbstractEdit(text)
    , m_MergeId(mergeId)
{
}

LedValuesEdit::FrameChanges& LedValuesEdit::changesOf(int sequence, int frame)
{
    for (FrameChanges& changes : m_Frames) {
        if (changes.sequence == sequence && changes.frame == frame)
            return changes;
    }
    m_Frames.append(FrameChanges { sequence, frame, {}, {} });
    return m_Frames.last();
}

void LedValuesEdit::set(const LedStateCommand* frame, int led, int value)
{
    Q_ASSERT(frame && frame->parent());
    Q_ASSERT(led >= 0 && led < frame->ledCount());
    FrameChanges& changes = changesOf(frame->parent()->index(), frame->index());
    const int known = find(changes, led);
    if (known >= 0) {
        changes.changes[known].after = value;
        return;
    }
    const int before = frame->led(led)->intensity();
    if (before != value)
        add(changes, Change { led, before, value });
}

int LedValuesEdit::find(FrameChanges& changes, int led)
{
    // Made when first asked for: an operation on whole frames never looks an LED up, and the index
    // would take three times the memory of its changes.
    if (changes.position.size() != changes.changes.size()) {
        changes.position.clear();
        changes.position.reserve(changes.changes.size());
        for (int i = 0; i < changes.changes.size(); ++i)
            changes.position.insert(changes.changes.at(i).led, i);
    }
    return changes.position.value(led, -1);
}

void LedValuesEdit::add(FrameChanges& changes, const Change& change)
{
    // An index kept so far is kept up.
    if (changes.position.size() == changes.changes.size())
        changes.position.insert(change.led, changes.changes.size());
    changes.changes.append(change);
}

void LedValuesEdit::setFrame(const LedStateCommand* frame, const QVector<int>& values)
{
    Q_ASSERT(frame && frame->parent());
    const int count = qMin(frame->ledCount(), values.size());
    FrameChanges& changes = changesOf(frame->parent()->index(), frame->index());
    if (!changes.changes.isEmpty()) {
        for (int led = 0; led < count; ++led)
            set(frame, led, values.at(led));
        return;
    }
    // Nothing known of this frame yet: no LED needs looking up, which a large frame could not afford.
    for (int led = 0; led < count; ++led) {
        const int before = frame->led(led)->intensity();
        if (before != values.at(led))
            changes.changes.append(Change { led, before, values.at(led) });
    }
    changes.changes.squeeze();
}

void LedValuesEdit::setLeds(const LedStateCommand* frame, const QVector<int>& leds, int value)
{
    QVector<int> values = frame->intensities();
    for (int led : leds) {
        Q_ASSERT(led >= 0);
        if (led < values.size())
            values[led] = value;
    }
    setFrame(frame, values);
}

bool LedValuesEdit::isEmpty() const
{
    for (const FrameChanges& changes : m_Frames) {
        for (const Change& change : changes.changes) {
            if (change.before != change.after)
                return false;
        }
    }
    return true;
}

void LedValuesEdit::apply(LedPanelModel& model, bool undo)
{
    for (const FrameChanges& changes : qAsConst(m_Frames)) {
        auto* frame = static_cast<LedStateCommand*>(model.node(changes.sequence, changes.frame));
        Q_ASSERT(frame && frame->type() == typeLedState);
        if (!frame)
            continue;
        for (const Change& change : changes.changes)
            frame->led(change.led)->setIntensity(undo ? change.before : change.after);
        ledsChanged(model, frame);
    }
}

void LedValuesEdit::redo(LedPanelModel& model)
{
    apply(model, false);
}

void LedValuesEdit::undo(LedPanelModel& model)
{
    apply(model, true);
}

int LedValuesEdit::mergeId() const
{
    return m_MergeId;
}

bool LedValuesEdit::mergeWith(const AbstractEdit& other)
{
    const auto* later = dynamic_cast<const LedValuesEdit*>(&other);
    if (!later || m_MergeId < 0 || later->m_MergeId != m_MergeId)
        return false;
    for (const FrameChanges& frame : later->m_Frames) {
        FrameChanges& changes = changesOf(frame.sequence, frame.frame);
        for (const Change& change : frame.changes) {
            const int known = find(changes, change.led);
            if (known >= 0)
                changes.changes[known].after = change.after;
            else
                add(changes, change);
        }
    }
    setText(later->text());
    return true;
}

AbstractCommand* LedValuesEdit::focus(LedPanelModel& model, bool undone) const
{
    Q_UNUSED(undone)
    if (m_Frames.isEmpty())
        return nullptr;
    return model.node(m_Frames.first().sequence, m_Frames.first().frame);
}
