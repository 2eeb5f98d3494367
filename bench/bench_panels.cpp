// Shows panels of growing size in the main window (1280 x 800) with frames of random
// content, half the LEDs lit and a new pattern every frame, and prints per panel what
// showing one frame costs, how many frames play on the 50 fps timer, and how long a
// click on an LED takes until it is repainted; each figure also as a ratio to the
// default ring of the same run. Every cost counts all the window repaints for it,
// the tree's pictures included. Then it loads a 128 x 128 show of 100 frames into
// the window and compares its CPU time with the command line's "info" on that file.
// Run it with a display, or with QT_QPA_PLATFORM=offscreen; seconds of playing as
// argument (default 5), and the side of the one grid to measure beside the ring.

#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedPanelModel.h"
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
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUndoStack>

#include <sys/resource.h>

#include <algorithm>

namespace {

// At most: a show holds a bounded number of LED values, so the largest panel loops over fewer.
const int maxFrames = 300;
const int framesPerSecond = 50;
const int samples = 40;

struct Panel
{
    QString name;
    LedLayout layout;
    double showMs = 0;
    double fps = 0;
    double clickMs = 0;
};

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values.at(values.size() / 2);
}

QVector<QVector<int>> randomFrames(int count, int leds)
{
    QRandomGenerator random(7);
    QVector<QVector<int>> values(count, QVector<int>(leds, 0));
    for (QVector<int>& frame : values) {
        for (int& value : frame)
            value = int(random.bounded(2));
    }
    return values;
}

void click(QWidget* viewport, const QPoint& at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}

bool measure(QApplication& app, MainWindow& window, Panel* panel, int seconds)
{
    const int leds = int(panel->layout.ledCount());
    const int frames = int(qMin<qint64>(maxFrames, LedPanelModel::MaxLedValues / leds - 1));
    auto* document = LedPanelDocument::newDocument();
    document->submit(new ChangeLayoutEdit(*document, panel->layout));
    document->submit(new InsertSequenceEdit(QString(), 0));
    document->submit(new InsertFramesEdit(QString(), 0, 0, randomFrames(frames, leds)));
    document->undoStack()->clear();
    window.setCurrentDocument(document);
    document->setModified(false);

    auto* tree = document->findChild<LedTreeView*>(QStringLiteral("treeView"));
    CommandList* sequence = document->sequence(0);
    tree->setCurrentIndex(document->treeModel()->index(sequence->frame(0)));
    window.findChild<QSpinBox*>(QStringLiteral("spinBox_FramesPerSecond"))->setValue(framesPerSecond);
    LedStateWidget* view = document->ledFrame();
    QApplication::processEvents();
    view->ZoomAll();
    QApplication::processEvents();

    // Showing a frame by hand: the step and everything it makes the window paint.
    auto* next = window.findChild<QAction*>(QStringLiteral("action_NextFrame"));
    QVector<double> showMs;
    for (int f = 0; f < samples; ++f) {
        QElapsedTimer timer;
        timer.start();
        next->trigger();
        QApplication::processEvents();
        showMs << timer.nsecsElapsed() / 1e6;
    }
    panel->showMs = median(showMs);

    // Playing from the timer.
    tree->setCurrentIndex(document->treeModel()->index(sequence->frame(0)));
    QApplication::processEvents();
    int advanced = 0;
    const auto counting = QObject::connect(tree, &LedTreeView::setFrame, [&]() { ++advanced; });
    auto* play = window.findChild<QAction*>(QStringLiteral("action_Play"));
    window.findChild<QAction*>(QStringLiteral("action_Loop"))->setChecked(true);
    auto* playbackTimer = window.findChild<QTimer*>(QStringLiteral("timer_Playback"));
    QElapsedTimer clock;
    clock.start();
    play->trigger();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    app.exec();
    panel->fps = advanced / (clock.nsecsElapsed() / 1e9);
    QObject::disconnect(counting);
    const bool played = playbackTimer->isActive();
    if (played)
        play->trigger();
    QApplication::processEvents();

    // A click on an LED until the window has painted what it changed.
    const LedLayout& layout = view->scene()->layout();
    QRandomGenerator random(11);
    QVector<double> clickMs;
    for (int c = 0; c < samples; ++c) {
        const int led = int(random.bounded(int(layout.ledCount())));
        const QPoint at = view->mapFromScene(layout.ledPositionOf(led));
        QElapsedTimer timer;
        timer.start();
        click(view->viewport(), at);
        QApplication::processEvents();
        clickMs << timer.nsecsElapsed() / 1e6;
    }
    panel->clickMs = median(clickMs);
    const bool edited = document->undoStack()->count() > 0;

    // The window drops the document it replaces.
    document->setModified(false);
    window.setCurrentDocument(nullptr);
    QApplication::processEvents();
    return played && edited;
}

double cpuSeconds(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const int seconds = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 5;

    MainWindow window;
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();

    QVector<Panel> panels;
    panels.append({ QStringLiteral("ring 4x48"), LedLayout(LedLayout::Ring) });
    const int only = argc > 2 ? QByteArray(argv[2]).toInt() : 0;
    for (int side : { 32, 64, 128, 256 })
        if (only == 0 || only == side)
            panels.append({ QStringLiteral("grid %1x%1").arg(side), LedLayout::create(LedLayout::Rectangle, side, side) });

    bool ok = true;
    out << "platform " << QGuiApplication::platformName() << ", window 1280x800, up to " << maxFrames
        << " random frames looping, median of " << samples << ", playing " << seconds << " s at " << framesPerSecond
        << " fps\n";
    out << "panel          LEDs  show ms (x ring)   fps (x ring)   click ms (x ring)\n";
    for (Panel& panel : panels) {
        ok = measure(app, window, &panel, seconds) && ok;
        const Panel& ring = panels.first();
        out << qSetFieldWidth(12) << Qt::left << panel.name << qSetFieldWidth(0) << " " << qSetFieldWidth(6) << Qt::right
            << panel.layout.ledCount() << qSetFieldWidth(0) << Qt::fixed << qSetRealNumberPrecision(2) << "  "
            << panel.showMs << " (" << panel.showMs / ring.showMs << ")   " << panel.fps << " ("
            << panel.fps / ring.fps << ")   " << panel.clickMs << " (" << panel.clickMs / ring.clickMs << ")\n";
        out.flush();
    }

    // Loading a big show into the window against reading it on the command line.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.xml"));
    {
        LedPanelModel show;
        show.submit(new ChangeLayoutEdit(show, LedLayout::create(LedLayout::Rectangle, 128, 128)));
        show.submit(new InsertSequenceEdit(QString(), 0));
        show.submit(new InsertFramesEdit(QString(), 0, 0, randomFrames(100, 128 * 128)));
        QFile file(path);
        ok = file.open(QIODevice::WriteOnly | QIODevice::Text) && show.writeXML(&file) && ok;
    }
    const double before = cpuSeconds(RUSAGE_SELF);
    ok = window.openFile(path) && ok;
    QApplication::processEvents();
    const double windowCpu = cpuSeconds(RUSAGE_SELF) - before;
    QProcess cli;
    cli.start(QStringLiteral(TESSALOOM_CLI_PATH), { QStringLiteral("info"), path });
    ok = cli.waitForFinished(120000) && cli.exitCode() == 0 && ok;
    const double cliCpu = cpuSeconds(RUSAGE_CHILDREN);
    out << "loading 128x128 x 100 frames: window " << windowCpu << " s CPU, info " << cliCpu << " s CPU ("
        << windowCpu / cliCpu << "x)\n";

    out << (ok ? "ok\n" : "FAILED\n");
    return ok ? 0 : 1;
}
