// Clicks 1000 LEDs, one on each frame of a 1000-frame show on the default ring,
// the way the LED view does, and prints the memory the undo history holds for
// them and how long undoing and redoing all of them takes.

#include "Data/CommandList.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "Data/LedData.h"
#include "Data/LedValuesEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QUndoStack>

#include <malloc.h>

#include <memory>

namespace {

const int frames = 1000;
const int clicks = 1000;

// Bytes the allocator has handed out and not taken back.
qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    std::unique_ptr<LedPanelDocument> document(LedPanelDocument::newDocument());
    const int leds = int(document->panelLayout().ledCount());
    document->submit(new InsertSequenceEdit(QStringLiteral("Add sequence"), 0));
    document->submit(new InsertFramesEdit(QStringLiteral("Add frames"), 0, 0,
                                          QVector<QVector<int>>(frames, QVector<int>(leds))));
    document->undoStack()->clear();
    CommandList* sequence = document->sequence(0);

    const qint64 before = heapInUse();
    QElapsedTimer timer;
    timer.start();
    for (int click = 0; click < clicks; ++click) {
        // What a click on the LED view submits.
        const LedStateCommand* frame = sequence->frame(click % frames);
        const int led = (click * 7) % leds;
        auto* edit = new LedValuesEdit(QStringLiteral("Toggle LED"), click);
        edit->set(frame, led, frame->led(led)->intensity() == 0 ? 1 : 0);
        document->submit(edit);
    }
    const double clickMs = timer.nsecsElapsed() / 1e6;
    const qint64 history = heapInUse() - before;

    QUndoStack* stack = document->undoStack();
    timer.restart();
    while (stack->canUndo())
        stack->undo();
    const double undoMs = timer.nsecsElapsed() / 1e6;
    bool ok = stack->count() == clicks && sequence->frame(0)->led(0)->intensity() == 0;
    timer.restart();
    while (stack->canRedo())
        stack->redo();
    const double redoMs = timer.nsecsElapsed() / 1e6;
    ok = ok && sequence->frame(0)->led(0)->intensity() == 1 && sequence->frame(1)->led(7)->intensity() == 1;

    const double showBytes = double(document->ledValueCount()) * sizeof(int);
    out << "show: " << frames << " frames x " << leds << " LEDs (" << showBytes / 1048576.0
        << " MiB of LED values)\n";
    out << "undo history of " << stack->count() << " LED clicks: " << history / 1024.0 << " KiB, "
        << double(history) / clicks << " bytes per click (a copy of the clicked frame would be "
        << leds * sizeof(int) << " bytes)\n";
    out << "clicking: " << clickMs << " ms; undo all: " << undoMs << " ms; redo all: " << redoMs << " ms\n";
    out << (ok ? "undo and redo: ok\n" : "undo and redo: FAILED\n");
    document->setModified(false);
    return ok ? 0 : 1;
}
