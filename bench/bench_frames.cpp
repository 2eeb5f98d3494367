// Deletes 2,000 of 3,000 frames selected in the tree (every other one of the first
// 2,000, then a run of 1,000) through Edit > Delete in the main window, then undoes
// it, and prints how long each takes; then prints the memory one undo step of a
// whole-frame operation holds per LED, on 8 frames of a 256 x 256 grid.
// Run it with a display, or with QT_QPA_PLATFORM=offscreen.

#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "Document/LedPanelDocument.h"
#include "MainWindow/MainWindow.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QTextStream>
#include <QUndoStack>

#include <malloc.h>

namespace {

const int frames = 3000;

qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

// A new document of one sequence of these frames, current in the window.
LedPanelDocument* documentOf(MainWindow& window, const LedLayout& layout, int frames)
{
    LedPanelDocument* document = LedPanelDocument::newDocument();
    document->submit(new ChangeLayoutEdit(*document, layout));
    const QVector<QVector<int>> values(frames, QVector<int>(int(layout.ledCount()), 1));
    document->submit(new InsertSequenceEdit(QString(), 0));
    document->submit(new InsertFramesEdit(QString(), 0, 0, values));
    document->undoStack()->clear();
    window.setCurrentDocument(document);
    document->setModified(false);
    return document;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);

    MainWindow window;
    window.resize(1280, 800);
    window.show();
    LedPanelDocument* document = documentOf(window, LedLayout::create(LedLayout::Rectangle, 4, 3), frames);
    LedTreeView* tree = document->treeView();
    const QModelIndex sequence = document->treeModel()->index(document->sequence(0));
    tree->expand(sequence);
    document->makeCurrent(document->sequence(0)->frame(0));
    QItemSelection chosen;
    for (int f = 0; f < frames; f += f < 2000 ? 2 : 1)
        chosen.select(sequence.model()->index(f, 0, sequence), sequence.model()->index(f, 0, sequence));
    tree->selectionModel()->select(chosen, QItemSelectionModel::ClearAndSelect);
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    window.findChild<QAction*>(QStringLiteral("action_DeleteFrames"))->trigger();
    const double deleteMs = timer.nsecsElapsed() / 1e6;
    bool ok = document->sequence(0)->frameCount() == frames - 2000;
    timer.restart();
    document->undoStack()->undo();
    const double undoMs = timer.nsecsElapsed() / 1e6;
    ok = ok && document->sequence(0)->frameCount() == frames;
    out << "Delete of 2000 of " << frames << " selected frames: " << deleteMs << " ms; its undo: " << undoMs
        << " ms\n";

    // What Invert and the other whole-frame operations keep for their undo; the window holds one document.
    document->setModified(false);
    LedPanelDocument* large = documentOf(window, LedLayout::create(LedLayout::Rectangle, 256, 256), 8);
    const qint64 before = heapInUse();
    {
        LedValuesEdit edit(QStringLiteral("Invert"));
        for (int f = 0; f < 8; ++f)
            edit.setFrame(large->sequence(0)->frame(f), QVector<int>(65536, 0));
        out << "whole-frame undo step: " << double(heapInUse() - before) / (8 * 65536) << " bytes per LED\n";
    }
    out << (ok ? "delete and undo: ok\n" : "delete and undo: FAILED\n");
    large->setModified(false);
    return ok ? 0 : 1;
}
