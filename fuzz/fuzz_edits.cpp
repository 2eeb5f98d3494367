// Reads the input as a script of edits on a small show, built the ways the editor builds them, and keeps
// their history as the document's undo stack does, merging consecutive edits of one stroke or paste.
// Every state the history passes through must write a file that reads back to the same bytes, undo and
// redo must come back to exactly the bytes of the state they return to, the LED value counts must be
// what the show holds, and each edit's focus must be a node of the show.
#include "Abstract/AbstractEdit.h"
#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/EditGroup.h"
#include "Data/FrameClipboard.h"
#include "Data/FrameOperations.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedPanelModel.h"
#include "Data/LedRegion.h"
#include "Data/LedShapes.h"
#include "Data/LedStateCommand.h"
#include "Data/LedSymmetry.h"
#include "Data/LedValuesEdit.h"
#include "Data/MoveFramesEdit.h"
#include "Data/PanelInfoEdit.h"
#include "Data/RegionOperations.h"
#include "Data/RemoveFramesEdit.h"
#include "Data/RemoveSequenceEdit.h"
#include "Data/TextFrames.h"
#include "Data/WiringTest.h"
#include "TreeView/LedTreeModel.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QMimeData>
#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Small enough that a script of many edits runs in milliseconds.
const int MaxOperations = 48;
const int MaxFrames = 24;
const int MaxSequences = 6;

void fail(const char* what)
{
    fprintf(stderr, "fuzz_edits: %s\n", what);
    abort();
}

class Script
{
public:
    Script(const uint8_t* data, size_t size)
        : m_Data(data)
        , m_Size(size)
    {
    }

    bool atEnd() const { return m_At >= m_Size; }
    int byte() { return m_At < m_Size ? m_Data[m_At++] : 0; }
    // 0 to n - 1; 0 when there is no choice.
    int pick(int n) { return n > 1 ? byte() % n : 0; }

private:
    const uint8_t* m_Data;
    size_t m_Size;
    size_t m_At = 0;
};

// Values as the editor's frames hold them: mostly dark and lit, now and then another intensity.
QVector<int> someValues(int count, quint32 salt)
{
    QVector<int> values(count);
    quint32 state = salt * 2654435761u + 1;
    for (int& value : values) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const int kind = int(state % 16);
        value = kind < 8 ? 0 : kind < 14 ? 1 : kind == 14 ? 255 : -1;
    }
    return values;
}

// First byte: bit 0 a ring, bits 1-2 the rows less one, bits 3-5 the columns less one, bit 6 numbered
// by columns, bit 7 serpentine. The other byte turns the numbering round in either direction.
LedLayout makeLayout(int shape, int turns)
{
    LedLayout layout = LedLayout::create(shape & 1 ? LedLayout::Ring : LedLayout::Rectangle, 1 + ((shape >> 1) & 3),
                                         1 + ((shape >> 3) & 7));
    layout.setNumbering(shape & 0x40 ? LedLayout::Columns : LedLayout::Rows, shape & 0x80);
    layout.setSpacings(turns & 1 ? -layout.rowSpacing() : layout.rowSpacing(),
                       turns & 2 ? -layout.columnSpacing() : layout.columnSpacing());
    // Spacings a little off what the dialog proposes, as typed: a ring's circle may not close exactly.
    if (turns & 8)
        layout.setSpacings(layout.rowSpacing(), layout.columnSpacing() * (1.0 + ((turns >> 4) - 8) * 1.7e-6));
    if (turns & 4)
        layout.fitBody();
    return layout;
}

QByteArray written(LedPanelModel& show)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!show.writeXML(&buffer))
        fail("the show cannot be written");
    return buffer.data();
}

// The file reads back to a show that writes the very same bytes.
void checkReadBack(const LedPanelModel& shown, const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer input(&copy);
    input.open(QIODevice::ReadOnly | QIODevice::Text);
    LedPanelModel read;
    if (!read.readXML(&input))
        fail("a written show does not read back");
    // Each LED is drawn where it was, but for the six digits a file keeps of a number.
    for (int led = 0; led < read.panelLayout().ledCount(); ++led) {
        if ((read.panelLayout().ledPositionOf(led) - shown.panelLayout().ledPositionOf(led)).manhattanLength() > 0.01)
            fail("a show read back draws an LED elsewhere");
    }
    const QByteArray again = written(read);
    if (again != bytes) {
        // Both files, to see what changed on the way.
        if (getenv("FUZZ_EDITS_VERBOSE"))
            fprintf(stderr, "%s\n----\n%s\n", bytes.constData(), again.constData());
        fail("a show read back writes other bytes");
    }
}

// Every node knows its place and its owners, every frame has the layout's LEDs, and the count says so.
void checkTree(const LedPanelModel& show)
{
    const qint64 leds = show.panelLayout().ledCount();
    qint64 values = 0;
    const QList<AbstractCommand*> sequences = show.childs();
    for (int s = 0; s < sequences.size(); ++s) {
        auto* sequence = static_cast<CommandList*>(sequences.at(s));
        if (sequence->type() != typeCommandList || sequence->parent() != &show || sequence->index() != s
            || sequence->document() != &show)
            fail("a sequence is not where it says");
        const QList<AbstractCommand*> frames = sequence->childs();
        for (int f = 0; f < frames.size(); ++f) {
            auto* frame = static_cast<LedStateCommand*>(frames.at(f));
            if (frame->type() != typeLedState || frame->parent() != sequence || frame->index() != f
                || frame->sequence() != sequence)
                fail("a frame is not where it says");
            if (frame->ledCount() != leds)
                fail("a frame holds another LED count than the layout");
            values += frame->ledCount();
        }
    }
    if (show.ledValueCount() != values)
        fail("ledValueCount() is not what the show holds");
}

void checkFocus(const LedPanelModel& show, const AbstractCommand* node)
{
    if (!node || node == &show)
        return;
    const AbstractCommand* parent = node->parent();
    const AbstractCommand* sequence = parent == &show ? node : parent;
    if (!sequence || sequence->parent() != &show || !show.childs().contains(const_cast<AbstractCommand*>(sequence))
        || (sequence != node && !sequence->childs().contains(const_cast<AbstractCommand*>(node))))
        fail("an edit's focus is not in the show");
}

// The show with its history, kept as the undo stack keeps it: a new edit drops what was undone and
// merges into the one before it when both say so.
class History : public LedPanelModel
{
public:
    History()
    {
        m_States.push_back(QByteArray());
    }

    ~History() override
    {
        // The edits in the history may hold nodes; they go before the show.
        m_Edits.clear();
    }

    // The show as it is now starts the history.
    void start()
    {
        m_Edits.clear();
        m_Index = 0;
        m_States.assign(1, written(*this));
        checkReadBack(*this, m_States.front());
    }

    int index() const { return m_Index; }
    int count() const { return int(m_Edits.size()); }
    // Edits that take nothing out of the show grow it by exactly what they say.
    void setExactGrowth(bool exact) { m_ExactGrowth = exact; }

    void undo()
    {
        if (m_Index == 0)
            return;
        AbstractEdit* edit = m_Edits.at(size_t(--m_Index)).get();
        edit->undo(*this);
        checkFocus(*this, edit->focus(*this, true));
        checkState("undo does not give back the show before the edit");
    }

    void redo()
    {
        if (m_Index == count())
            return;
        AbstractEdit* edit = m_Edits.at(size_t(m_Index++)).get();
        edit->redo(*this);
        checkFocus(*this, edit->focus(*this, false));
        checkState("redo does not give back the show after the edit");
    }

    void checkState(const char* what)
    {
        checkTree(*this);
        if (written(*this) != m_States.at(size_t(m_Index)))
            fail(what);
    }

protected:
    void execute(AbstractEdit* edit) override
    {
        std::unique_ptr<AbstractEdit> owned(edit);
        const qint64 before = ledValueCount();
        const qint64 growth = edit->ledValueGrowth();
        edit->redo(*this);
        checkFocus(*this, edit->focus(*this, false));
        checkTree(*this);
        const qint64 grown = ledValueCount() - before;
        if (grown > growth || (m_ExactGrowth && grown != growth))
            fail("ledValueGrowth() is not what the edit added");
        if (ledValueCount() > MaxLedValues)
            fail("the show holds more LED values than it may");

        AbstractEdit* top = m_Index > 0 ? m_Edits.at(size_t(m_Index - 1)).get() : nullptr;
        m_Edits.resize(size_t(m_Index));
        m_States.resize(size_t(m_Index) + 1);
        if (!top || top->mergeId() == -1 || top->mergeId() != edit->mergeId() || !top->mergeWith(*edit)) {
            m_Edits.push_back(std::move(owned));
            ++m_Index;
            m_States.push_back(QByteArray());
        }
        m_States.back() = written(*this);
        checkReadBack(*this, m_States.back());
        // The copy a background save writes is the show.
        const std::unique_ptr<LedPanelModel> copy(copyShow());
        if (written(*copy) != m_States.back())
            fail("a copy of the show writes other bytes");
    }

private:
    std::vector<std::unique_ptr<AbstractEdit>> m_Edits;
    // The written show at each place in the history.
    std::vector<QByteArray> m_States;
    int m_Index = 0;
    bool m_ExactGrowth = true;
};

// Rows of a sequence with frames: the bits of a byte from a place the script picks.
QList<int> pickRows(Script& script, int frames)
{
    QList<int> rows;
    const int base = script.pick(qMax(1, frames - 7));
    const int bits = script.byte();
    for (int bit = 0; bit < 8; ++bit) {
        if (bits & (1 << bit) && base + bit < frames)
            rows.append(base + bit);
    }
    return rows;
}

// A selection as the view makes one: nothing, a block of cells, or LEDs here and there.
LedSelection pickSelection(Script& script, const LedLayout& layout)
{
    const int leds = int(layout.ledCount());
    LedSelection selection(leds);
    const int kind = script.byte();
    if (kind % 3 == 1) {
        const int top = script.pick(layout.rows()), left = script.pick(layout.columns());
        const int height = 1 + script.pick(layout.rows()), width = 1 + script.pick(layout.columns());
        QVector<int> cells;
        for (int row = top; row < top + height; ++row) {
            for (int column = left; column < left + width; ++column) {
                const int wrapped = layout.type() == LedLayout::Ring ? column % layout.columns() : column;
                cells.append(layout.indexAt(row, wrapped));
            }
        }
        selection.add(cells);
    } else if (kind % 3 == 2) {
        const QVector<int> chosen = someValues(leds, quint32(script.byte()));
        QVector<int> cells;
        for (int i = 0; i < leds; ++i) {
            if (chosen.at(i) != 0)
                cells.append(i);
        }
        selection.add(cells);
    }
    return selection;
}

QVector<int> operated(FrameOperations::eOperation operation, const QVector<int>& values, const LedLayout& layout,
                      const LedSelection& selection)
{
    if (selection.isEmpty())
        return FrameOperations::apply(operation, values, layout);
    return RegionOperations::apply(operation, values, layout, selection);
}

// What the user pastes and moves before dropping it: a region of LEDs over a frame.
struct Floating
{
    bool active = false;
    LedRegion region;
    QPoint at;
    int sequence = 0;
    int frame = 0;
    QVector<int> underneath;
    int id = 0;
};

// A painted stroke: one frame, one value, one merge id.
struct Stroke
{
    bool active = false;
    int sequence = 0;
    int frame = 0;
    int value = 0;
    int id = 0;
};

class Fuzzer
{
public:
    Fuzzer(History& show, LedTreeModel& tree, Script& script)
        : m_Show(show)
        , m_Tree(tree)
        , m_Script(script)
    {
        m_Csv.open();
    }

    void step();

private:
    int frameTotal() const
    {
        int frames = 0;
        for (int s = 0; s < m_Show.sequenceCount(); ++s)
            frames += m_Show.sequence(s)->frameCount();
        return frames;
    }

    // A sequence, or -1 when there is none.
    int pickSequence()
    {
        return m_Show.sequenceCount() > 0 ? m_Script.pick(m_Show.sequenceCount()) : -1;
    }

    const LedStateCommand* pickFrame()
    {
        const int sequence = pickSequence();
        if (sequence < 0 || m_Show.sequence(sequence)->frameCount() == 0)
            return nullptr;
        return m_Show.sequence(sequence)->frame(m_Script.pick(m_Show.sequence(sequence)->frameCount()));
    }

    void submit(AbstractEdit* edit, bool exactGrowth = true)
    {
        m_Show.setExactGrowth(exactGrowth);
        m_Show.submit(edit);
        m_Show.setExactGrowth(true);
    }

    void submitValues(LedValuesEdit* edit)
    {
        if (edit->isEmpty())
            delete edit;
        else
            submit(edit);
    }

    void insertFrames();
    void moveFrames(bool byOne);
    void frameOperation();
    void moveRegion();
    void paint();
    void pasteRegion();
    void moveFloating();
    void copyFrames();
    void pasteFrames();
    void importSequence();
    void changeLayout();
    void enterText();
    void dragFrames();
    void drawShape();

    History& m_Show;
    LedTreeModel& m_Tree;
    Script& m_Script;
    Floating m_Floating;
    Stroke m_Stroke;
    int m_Ids = 0;
    QMimeData m_Clipboard;
    FrameClipboard::Frames m_Copied;
    QTemporaryFile m_Csv;
};

void Fuzzer::step()
{
    const int operation = m_Script.byte() % 24;
    // Anything but another move drops what floats.
    if (operation != 13)
        m_Floating.active = false;
    switch (operation) {
    case 0:
        insertFrames();
        break;
    case 1: {
        const int sequence = pickSequence();
        if (sequence < 0)
            break;
        const QList<int> rows = pickRows(m_Script, m_Show.sequence(sequence)->frameCount());
        if (!rows.isEmpty())
            submit(new RemoveFramesEdit(QStringLiteral("Delete frames"), sequence, rows), false);
        break;
    }
    case 2:
        moveFrames(false);
        break;
    case 3:
        moveFrames(true);
        break;
    case 4:
        if (m_Show.sequenceCount() < MaxSequences)
            submit(new InsertSequenceEdit(QStringLiteral("Add sequence"), m_Script.pick(m_Show.sequenceCount() + 1)));
        break;
    case 5: {
        const int sequence = pickSequence();
        if (sequence >= 0)
            submit(new RemoveSequenceEdit(QStringLiteral("Remove sequence"), sequence), false);
        break;
    }
    case 6:
    case 7:
        paint();
        break;
    case 8:
        frameOperation();
        break;
    case 9:
        moveRegion();
        break;
    case 10: {
        // Titles as the info dialog leaves them: any character an XML file holds.
        static const QStringList characters =
            QString::fromUtf8("T|t| |&|<|>|\"|'|\n|\t|\r|\u0085|\u00a0|\u00e9|\u2028|\u20ac|\U0001F600|]]>|&#13;")
                .split(QLatin1Char('|'));
        QString title, description;
        for (int n = m_Script.pick(6); n > 0; --n)
            title += characters.at(m_Script.pick(characters.size()));
        for (int n = m_Script.pick(8); n > 0; --n)
            description += characters.at(m_Script.pick(characters.size()));
        submit(new PanelInfoEdit(QStringLiteral("Panel info"), title, description));
        break;
    }
    case 11:
        changeLayout();
        break;
    case 12:
        pasteRegion();
        break;
    case 13:
        moveFloating();
        break;
    case 14:
        copyFrames();
        break;
    case 15:
        pasteFrames();
        break;
    case 16:
        importSequence();
        break;
    case 17:
        if (m_Show.sequenceCount() + WiringTest::StepCount <= MaxSequences + 2 && frameTotal() + 5 <= MaxFrames) {
            WiringTest(makeLayout(m_Script.byte(), m_Script.byte())).build(&m_Show);
        }
        break;
    case 18:
        m_Show.undo();
        break;
    case 19:
        m_Show.redo();
        break;
    case 20:
        enterText();
        break;
    case 21:
        dragFrames();
        break;
    case 22:
        // The history goes, the edits done and undone with it, as when a document starts afresh.
        m_Show.start();
        break;
    case 23:
        drawShape();
        break;
    }
}

// New frames, a duplicate, or a frame repeated with an operation, as the frame menu makes them.
void Fuzzer::insertFrames()
{
    const int sequence = pickSequence();
    if (sequence < 0)
        return;
    const CommandList* list = m_Show.sequence(sequence);
    const int leds = int(m_Show.panelLayout().ledCount());
    const int kind = m_Script.byte() % 3;
    const int count = 1 + m_Script.pick(3);
    if (frameTotal() + count > MaxFrames)
        return;
    QVector<QVector<int>> frames;
    int row = m_Script.pick(list->frameCount() + 1);
    if (kind == 0 || list->frameCount() == 0) {
        for (int k = 0; k < count; ++k)
            frames.append(someValues(leds, quint32(m_Script.byte())));
    } else {
        const LedStateCommand* frame = list->frame(m_Script.pick(list->frameCount()));
        row = frame->index() + 1;
        QVector<int> values = frame->intensities();
        const auto operation = FrameOperations::eOperation(m_Script.pick(FrameOperations::OperationCount));
        const LedSelection selection = pickSelection(m_Script, m_Show.panelLayout());
        for (int k = 0; k < (kind == 1 ? 1 : count); ++k) {
            if (kind == 2)
                values = operated(operation, values, m_Show.panelLayout(), selection);
            frames.append(values);
        }
    }
    submit(new InsertFramesEdit(QStringLiteral("Add frames"), sequence, row, frames));
}

void Fuzzer::moveFrames(bool byOne)
{
    const int sequence = pickSequence();
    if (sequence < 0)
        return;
    const int frames = m_Show.sequence(sequence)->frameCount();
    const QList<int> rows = pickRows(m_Script, frames);
    if (rows.isEmpty())
        return;
    MoveFramesEdit* edit = nullptr;
    if (byOne) {
        const int step = m_Script.byte() & 1 ? 1 : -1;
        if (rows.first() + step < 0 || rows.last() + step >= frames)
            return;
        edit = MoveFramesEdit::byOne(QStringLiteral("Move frame"), sequence, rows, step);
    } else {
        edit = new MoveFramesEdit(QStringLiteral("Move frame"), sequence, rows, m_Script.pick(frames + 1));
    }
    if (edit->isEmpty())
        delete edit;
    else
        submit(edit);
}

// A frame operation on some frames of a sequence, on the selected LEDs if there are any.
void Fuzzer::frameOperation()
{
    const int sequence = pickSequence();
    if (sequence < 0)
        return;
    const CommandList* list = m_Show.sequence(sequence);
    const QList<int> rows = pickRows(m_Script, list->frameCount());
    const auto operation = FrameOperations::eOperation(m_Script.pick(FrameOperations::OperationCount));
    const LedSelection selection = pickSelection(m_Script, m_Show.panelLayout());
    auto* edit = new LedValuesEdit(QStringLiteral("Operation"));
    for (int row : rows)
        edit->setFrame(list->frame(row), operated(operation, list->frame(row)->intensities(), m_Show.panelLayout(),
                                                  selection));
    submitValues(edit);
}

void Fuzzer::moveRegion()
{
    const int sequence = pickSequence();
    if (sequence < 0)
        return;
    const CommandList* list = m_Show.sequence(sequence);
    const QList<int> rows = pickRows(m_Script, list->frameCount());
    const LedSelection selection = pickSelection(m_Script, m_Show.panelLayout());
    const int down = m_Script.pick(5) - 2, across = m_Script.pick(5) - 2;
    const bool copy = m_Script.byte() & 1;
    if (selection.isEmpty())
        return;
    auto* edit = new LedValuesEdit(QStringLiteral("Move LEDs"));
    for (int row : rows)
        edit->setFrame(list->frame(row), RegionOperations::move(list->frame(row)->intensities(),
                                                                m_Show.panelLayout(), selection, down, across, copy));
    submitValues(edit);
}

// A click starts a stroke on a frame; the stroke goes on with LEDs that do not yet hold its value, one
// edit each, all merging into the first.
void Fuzzer::paint()
{
    const int kind = m_Script.byte();
    if (!(kind & 1) || !m_Stroke.active) {
        const LedStateCommand* frame = pickFrame();
        if (!frame || frame->ledCount() == 0)
            return;
        const int led = m_Script.pick(frame->ledCount());
        m_Stroke = { true, frame->parent()->index(), frame->index(), frame->led(led)->intensity() == 0 ? 1 : 0,
                     ++m_Ids };
        auto* edit = new LedValuesEdit(QStringLiteral("Toggle LED"), m_Stroke.id);
        edit->setLeds(frame, { led }, m_Stroke.value);
        submitValues(edit);
        return;
    }
    auto* frame = static_cast<const LedStateCommand*>(m_Show.node(m_Stroke.sequence, m_Stroke.frame));
    if (!frame)
        return;
    auto* edit = new LedValuesEdit(QStringLiteral("Paint"), m_Stroke.id);
    for (int n = 1 + (kind >> 1) % 4; n > 0; --n) {
        const int led = m_Script.pick(frame->ledCount());
        if (frame->led(led)->intensity() != m_Stroke.value)
            edit->set(frame, led, m_Stroke.value);
    }
    submitValues(edit);
}

// LEDs taken from a frame as the region clipboard keeps them, pasted on a frame where the script says.
void Fuzzer::pasteRegion()
{
    const LedStateCommand* source = pickFrame();
    const LedStateCommand* frame = pickFrame();
    if (!source || !frame)
        return;
    const LedLayout& layout = m_Show.panelLayout();
    const LedSelection selection = pickSelection(m_Script, layout);
    const LedRegion region = LedRegion::fromByteArray(LedRegion::take(layout, source->intensities(), selection)
                                                          .toByteArray());
    if (region.isEmpty())
        return;
    m_Floating = { true, region, QPoint(m_Script.pick(layout.columns() + 2) - 1, m_Script.pick(layout.rows() + 2) - 1),
                   frame->parent()->index(), frame->index(), frame->intensities(), ++m_Ids };
    const LedRegion::Placed placed = region.place(layout, m_Floating.at);
    auto* edit = new LedValuesEdit(QStringLiteral("Paste"), m_Floating.id);
    for (int i = 0; i < placed.leds.size(); ++i)
        edit->set(frame, placed.leds.at(i), placed.states.at(i));
    submitValues(edit);
}

// The floating paste moves: the LEDs it leaves get back what they held, and the move merges into the paste.
void Fuzzer::moveFloating()
{
    auto* frame = static_cast<const LedStateCommand*>(m_Show.node(m_Floating.sequence, m_Floating.frame));
    if (!m_Floating.active || !frame)
        return;
    const LedLayout& layout = m_Show.panelLayout();
    const LedRegion::Placed before = m_Floating.region.place(layout, m_Floating.at);
    m_Floating.at += QPoint(m_Script.pick(5) - 2, m_Script.pick(3) - 1);
    const LedRegion::Placed after = m_Floating.region.place(layout, m_Floating.at);
    auto* edit = new LedValuesEdit(QStringLiteral("Paste"), m_Floating.id);
    for (int led : before.leds)
        edit->set(frame, led, m_Floating.underneath.value(led));
    for (int i = 0; i < after.leds.size(); ++i)
        edit->set(frame, after.leds.at(i), after.states.at(i));
    submitValues(edit);
}

// Frames copied as the clipboard holds them, with the CSV text for spreadsheets or without it.
void Fuzzer::copyFrames()
{
    const int sequence = pickSequence();
    if (sequence < 0)
        return;
    const CommandList* list = m_Show.sequence(sequence);
    m_Copied.clear();
    for (int row : pickRows(m_Script, list->frameCount()))
        m_Copied.append(list->frame(row)->intensities());
    if (m_Copied.isEmpty())
        return;
    m_Clipboard.clear();
    if (m_Script.byte() & 1) {
        FrameClipboard::store(&m_Clipboard, m_Copied);
    } else {
        m_Clipboard.setText(FrameClipboard::csvText(m_Copied));
    }
}

// What was copied comes back frame by frame, cut or padded with 0 to the panel.
void Fuzzer::pasteFrames()
{
    const int sequence = pickSequence();
    if (sequence < 0 || m_Copied.isEmpty() || frameTotal() + m_Copied.size() > MaxFrames)
        return;
    const int leds = int(m_Show.panelLayout().ledCount());
    FrameClipboard::Frames frames;
    QString message;
    if (!FrameClipboard::read(&m_Clipboard, leds, &frames, &message))
        fail("copied frames do not paste");
    if (frames.size() != m_Copied.size())
        fail("another number of frames pasted than copied");
    for (int f = 0; f < frames.size(); ++f) {
        QVector<int> expected = m_Copied.at(f);
        expected.resize(leds);
        if (frames.at(f) != expected)
            fail("pasted frames differ from the copied ones");
    }
    const CommandList* list = m_Show.sequence(sequence);
    submit(new InsertFramesEdit(QStringLiteral("Paste"), sequence, m_Script.pick(list->frameCount() + 1), frames));
}

// A sequence file as the export writes it, imported over a sequence: its frames take the rows, rows
// beyond them become new frames.
void Fuzzer::importSequence()
{
    const int sequence = pickSequence();
    if (sequence < 0)
        return;
    CommandList* list = m_Show.sequence(sequence);
    const int leds = int(m_Show.panelLayout().ledCount());
    const int rows = 1 + m_Script.pick(list->frameCount() + 3);
    if (frameTotal() + qMax(0, rows - list->frameCount()) > MaxFrames)
        return;
    // Rows as wide as the panel, or narrower or wider by some LEDs.
    const int width = qMax(1, leds + m_Script.pick(5) - 2);
    FrameClipboard::Frames table;
    for (int row = 0; row < rows; ++row)
        table.append(someValues(width, quint32(m_Script.byte())));
    const QByteArray text = FrameClipboard::csvText(table).toLatin1();
    if (!m_Csv.resize(0) || !m_Csv.seek(0) || m_Csv.write(text) != text.size() || !m_Csv.flush())
        fail("the sequence file cannot be written");
    QString message;
    if (!list->importSequence(m_Csv.fileName(), &message))
        fail("an exported sequence does not import");
}

void Fuzzer::changeLayout()
{
    const LedLayout layout = makeLayout(m_Script.byte(), m_Script.byte());
    const auto keep = m_Script.byte() & 1 ? ChangeLayoutEdit::KeepIndices : ChangeLayoutEdit::KeepPlaces;
    submit(new ChangeLayoutEdit(m_Show, layout, keep));
}

// Frames dragged in the tree and dropped in their sequence, or moved there as a block.
void Fuzzer::dragFrames()
{
    const int sequence = pickSequence();
    if (sequence < 0)
        return;
    const int frames = m_Show.sequence(sequence)->frameCount();
    const QList<int> rows = pickRows(m_Script, frames);
    const QModelIndex parent = m_Tree.index(m_Show.sequence(sequence));
    const int row = m_Script.pick(frames + 2) - 1;
    if (rows.isEmpty())
        return;
    if (m_Script.byte() & 1) {
        m_Tree.moveRows(parent, rows.first(), rows.last() - rows.first() + 1, parent, qMax(0, row));
        return;
    }
    QModelIndexList dragged;
    for (int r : rows)
        dragged.append(m_Tree.index(r, 0, parent));
    const std::unique_ptr<QMimeData> data(m_Tree.mimeData(dragged));
    if (m_Tree.canDropMimeData(data.get(), Qt::MoveAction, row, 0, parent))
        m_Tree.dropMimeData(data.get(), Qt::MoveAction, row, 0, parent);
}

// A line, box or ellipse dragged between two points near LEDs, or a fill, repeated by a symmetry.
void Fuzzer::drawShape()
{
    const LedStateCommand* frame = pickFrame();
    if (!frame)
        return;
    const LedLayout& layout = m_Show.panelLayout();
    const auto near = [&]() {
        const QPointF led = layout.ledPositionOf(m_Script.pick(frame->ledCount()));
        return led + QPointF(m_Script.pick(9) - 4, m_Script.pick(9) - 4) * 0.5;
    };
    const QPointF from = near(), to = near();
    const int kind = m_Script.byte();
    const LedSymmetry symmetry(LedSymmetry::eMode(kind & 3), 2 << ((kind >> 2) & 3));
    QVector<int> leds;
    if ((kind >> 4) % 4 == 3) {
        const int led = LedShapes::ledAt(layout, from);
        if (led < 0)
            return;
        leds = LedShapes::floodArea(layout, frame->intensities(), led);
    } else {
        leds = LedShapes::covered(layout, LedShapes::eShape((kind >> 4) % 4), from, to, kind & 0x40, kind & 0x80);
    }
    auto* edit = new LedValuesEdit(QStringLiteral("Shape"));
    edit->setLeds(frame, symmetry.repeated(layout, leds), m_Script.byte() & 1);
    submitValues(edit);
}

// Lettering on a frame, or running through new frames after it.
void Fuzzer::enterText()
{
    static const QStringList texts = { QStringLiteral("A"), QStringLiteral("i!"), QStringLiteral("\u00c9"),
                                       QStringLiteral("\U0001F600"), QStringLiteral(" ") };
    const LedStateCommand* frame = pickFrame();
    if (!frame)
        return;
    const TextFrames lettering(m_Show.panelLayout(), texts.at(m_Script.pick(texts.size())));
    if (m_Script.byte() & 1) {
        auto* edit = new LedValuesEdit(QStringLiteral("Text"));
        edit->setFrame(frame, lettering.still());
        submitValues(edit);
    } else if (frameTotal() + lettering.scrollFrameCount() <= MaxFrames + 16) {
        submit(new InsertFramesEdit(QStringLiteral("Text"), frame->parent()->index(), frame->index() + 1,
                                    lettering.scroll()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_edits";
    static char* argv[] = { name, nullptr };
    static QCoreApplication application(argc, argv);

    Script script(data, size);
    History show;
    LedTreeModel tree;
    tree.setRootItem(&show);
    {
        // Views follow every step; a notification that does not fit the show is fatal.
        QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::Fatal);

        // Two sequences of a few frames on a layout the first byte chooses.
        auto* start = new EditGroup(QStringLiteral("New"));
        start->append(new ChangeLayoutEdit(show, makeLayout(script.byte(), 0)));
        const int leds = int(makeLayout(data && size ? data[0] : 0, 0).ledCount());
        for (int s = 0; s < 2; ++s) {
            start->append(new InsertSequenceEdit(QStringLiteral("New"), s));
            const QVector<QVector<int>> frames { someValues(leds, quint32(3 * s + 1)),
                                                 someValues(leds, quint32(3 * s + 2)) };
            start->append(new InsertFramesEdit(QStringLiteral("New"), s, 0, frames));
        }
        show.submit(start);
        show.start();

        Fuzzer fuzzer(show, tree, script);
        for (int n = 0; n < MaxOperations && !script.atEnd(); ++n)
            fuzzer.step();

        // All the way back, all the way forth, and back once more.
        const int last = show.count();
        while (show.index() > 0)
            show.undo();
        while (show.index() < last)
            show.redo();
        while (show.index() > 0)
            show.undo();
    }
    tree.setRootItem(nullptr);
    return 0;
}
