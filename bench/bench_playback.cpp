// Plays a sequence of 1000 frames on the default ring (192 LEDs) at 50 frames per
// second in the main window, with the tree following and the LED view zoomed to
// fit, and prints how many frames per second the timer advanced and the LED view
// painted, how many frames were never painted, and what showing one frame costs
// (stepping to it and painting the LED view and the tree at once).
// Run it with a display, or with QT_QPA_PLATFORM=offscreen; seconds as argument (default 10).

#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedStateWidget.h"
#include "MainWindow/MainWindow.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace {

const int frames = 1000;
const int framesPerSecond = 50;

// How many of the frames shown the LED view really painted.
class PaintCounter : public QObject
{
public:
    int distinctFrames = 0;
    bool shown = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && shown) {
            shown = false;
            ++distinctFrames;
        }
        return QObject::eventFilter(watched, event);
    }
};

double percentile(QVector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.at(qMin(values.size() - 1, int(p * values.size())));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const int seconds = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 10;

    MainWindow window;
    window.resize(1280, 800);
    window.show();

    // A spoke turning once every 48 frames over a sprinkle that moves with it.
    LedPanelDocument* document = LedPanelDocument::newDocument();
    const LedLayout layout = document->panelLayout();
    QVector<QVector<int>> values(frames, QVector<int>(int(layout.ledCount()), 0));
    for (int f = 0; f < frames; ++f) {
        for (int i = 0; i < values[f].size(); ++i)
            values[f][i] = i % layout.columns() == f % layout.columns() || (i + f) % 7 == 0 ? 1 : 0;
    }
    document->submit(new InsertSequenceEdit(QString(), 0));
    document->submit(new InsertFramesEdit(QString(), 0, 0, values));
    window.setCurrentDocument(document);
    document->setModified(false);

    auto* tree = document->findChild<LedTreeView*>(QStringLiteral("treeView"));
    CommandList* sequence = document->sequence(0);
    tree->setCurrentIndex(document->treeModel()->index(sequence->frame(0)));
    window.findChild<QSpinBox*>(QStringLiteral("spinBox_FramesPerSecond"))->setValue(framesPerSecond);
    QApplication::processEvents();
    LedStateWidget* view = document->ledFrame();
    view->ZoomAll();
    QApplication::processEvents();

    // Showing one frame by hand: what a tick does, with both views painted before the next.
    auto* next = window.findChild<QAction*>(QStringLiteral("action_NextFrame"));
    QVector<double> showMs, stepMs, ledViewMs, treeMs;
    for (int f = 0; f < frames; ++f) {
        QElapsedTimer timer;
        timer.start();
        next->trigger();
        stepMs << timer.nsecsElapsed() / 1e6;
        view->viewport()->repaint();
        ledViewMs << timer.nsecsElapsed() / 1e6 - stepMs.last();
        tree->viewport()->repaint();
        showMs << timer.nsecsElapsed() / 1e6;
        treeMs << showMs.last() - stepMs.last() - ledViewMs.last();
    }
    out << "sequence: " << frames << " frames x " << layout.ledCount() << " LEDs, LED view "
        << view->viewport()->width() << "x" << view->viewport()->height() << " px at zoom "
        << view->transform().m11() << ", platform " << QGuiApplication::platformName() << "\n";
    out << "showing one frame (step, paint LED view and tree): median " << percentile(showMs, 0.5) << " ms, 99th "
        << percentile(showMs, 0.99) << " ms, worst " << percentile(showMs, 1.0) << " ms\n";
    out << "  of which stepping median " << percentile(stepMs, 0.5) << " ms (99th " << percentile(stepMs, 0.99)
        << "), painting the LED view " << percentile(ledViewMs, 0.5) << " ms (99th " << percentile(ledViewMs, 0.99)
        << "), painting the tree " << percentile(treeMs, 0.5) << " ms (99th " << percentile(treeMs, 0.99) << ")\n";

    // Playing from the timer.
    tree->setCurrentIndex(document->treeModel()->index(sequence->frame(0)));
    QApplication::processEvents();
    PaintCounter painted;
    view->viewport()->installEventFilter(&painted);
    int advanced = 0;
    QObject::connect(tree, &LedTreeView::setFrame, [&]() {
        ++advanced;
        painted.shown = true;
    });
    auto* playbackTimer = window.findChild<QTimer*>(QStringLiteral("timer_Playback"));
    QVector<double> tickGapMs;
    QElapsedTimer clock;
    qint64 lastTick = -1;
    QObject::connect(playbackTimer, &QTimer::timeout, [&]() {
        const qint64 now = clock.nsecsElapsed();
        if (lastTick >= 0)
            tickGapMs << (now - lastTick) / 1e6;
        lastTick = now;
    });
    clock.start();
    window.findChild<QAction*>(QStringLiteral("action_Play"))->trigger();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    app.exec();
    const double elapsed = clock.nsecsElapsed() / 1e9;
    const bool playing = playbackTimer->isActive();
    view->viewport()->removeEventFilter(&painted);

    const int late = int(std::count_if(tickGapMs.cbegin(), tickGapMs.cend(), [](double gap) { return gap > 30; }));
    out << "playing at " << framesPerSecond << " fps for " << elapsed << " s: " << advanced / elapsed
        << " frames advanced/s, " << painted.distinctFrames / elapsed << " frames painted/s, "
        << advanced - painted.distinctFrames << " frames never painted\n";
    out << "timer: " << tickGapMs.size() + 1 << " ticks, gap median " << percentile(tickGapMs, 0.5) << " ms, worst "
        << percentile(tickGapMs, 1.0) << " ms, " << late << " gaps over 30 ms\n";
    out << "document modified: " << (document->isModified() ? "yes" : "no") << ", still playing: "
        << (playing ? "yes" : "no") << "\n";
    return document->isModified() || !playing ? 1 : 0;
}
