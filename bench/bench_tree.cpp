// Opens documents of 1,000, 10,000 and 100,000 frames on a 6 x 6 grid in the
// document widget and prints how long the tree takes to show each and to scroll
// through it, with plain rows, as the tree was before frame thumbnails, and with
// thumbnails; a page scrolled should cost the same at every length.
// Run it with a display, or with QT_QPA_PLATFORM=offscreen.

#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "TreeView/FrameThumbnailCache.h"
#include "TreeView/FrameThumbnailDelegate.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWindow>

#include <algorithm>

namespace {

const int rounds = 5;

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double msSince(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

bool writeShow(const QString& path, int frames)
{
    LedPanelModel show;
    show.submit(new ChangeLayoutEdit(show, LedLayout::create(LedLayout::Rectangle, 6, 6)));
    auto* sequence = new CommandList(&show);
    show.appendChild(sequence);
    for (int f = 0; f < frames; ++f) {
        sequence->addFrame();
        LedStateCommand* frame = sequence->frame(f);
        for (int i = 0; i < frame->ledCount(); ++i)
            frame->led(i)->setIntensity((i + f) % 3 == 0 ? 1 : 0);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Text) && show.writeXML(&file);
}

struct Figures
{
    QVector<double> load, open, firstScroll, secondScroll, worstPage, page;
    int drawn = 0;
};

// Scrolls page by page to the end, painting each page at once; returns the total and sets the worst page.
double scrollThrough(LedTreeView* tree, double* worstPage, QVector<double>* pages)
{
    QScrollBar* bar = tree->verticalScrollBar();
    bar->setValue(0);
    tree->viewport()->repaint();
    QElapsedTimer total;
    total.start();
    while (bar->value() < bar->maximum()) {
        QElapsedTimer page;
        page.start();
        bar->setValue(bar->value() + bar->pageStep());
        tree->viewport()->repaint();
        *worstPage = qMax(*worstPage, msSince(page));
        *pages << msSince(page);
    }
    return msSince(total);
}

bool measure(const QString& path, bool thumbnails, Figures* figures)
{
    QElapsedTimer timer;
    timer.start();
    LedPanelDocument* document = LedPanelDocument::newDocument();
    auto* tree = document->findChild<LedTreeView*>(QStringLiteral("treeView"));
    if (!thumbnails)
        tree->setItemDelegate(new QStyledItemDelegate(tree));
    if (!document->load(path))
        return false;
    figures->load << msSince(timer);

    timer.restart();
    document->resize(1000, 700);
    document->show();
    tree->expand(document->treeModel()->index(document->sequence(0)));
    // Nothing is painted before the window system has exposed the window.
    while (!document->windowHandle() || !document->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    document->repaint();
    figures->open << msSince(timer);
    if (tree->viewport()->visibleRegion().isEmpty())
        return false;

    double worst = 0;
    QVector<double> pages;
    figures->firstScroll << scrollThrough(tree, &worst, &pages);
    figures->worstPage << worst;
    figures->secondScroll << scrollThrough(tree, &worst, &pages);
    figures->page << median(pages);
    if (auto* delegate = qobject_cast<FrameThumbnailDelegate*>(tree->itemDelegate()))
        figures->drawn = delegate->cache()->drawnCount();
    const bool ok = document->sequence(0)->frameCount() > 0;
    delete document;
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    bool ok = true;

    for (int frames : {1000, 10000, 100000}) {
        const QString path = dir.filePath(QStringLiteral("tree%1.xml").arg(frames));
        ok = writeShow(path, frames) && ok;
        const int runs = frames > 10000 ? 1 : rounds;
        out << frames << " frames x 36 LEDs, median of " << runs << " (platform "
            << QGuiApplication::platformName() << ")\n";
        for (bool thumbnails : {false, true}) {
            Figures figures;
            for (int round = 0; round < runs; ++round)
                ok = measure(path, thumbnails, &figures) && ok;
            out << (thumbnails ? "  thumbnails: " : "  plain rows: ") << "load " << median(figures.load)
                << " ms, tree shown and expanded " << median(figures.open) << " ms, scrolled through "
                << median(figures.firstScroll) << " ms (again " << median(figures.secondScroll)
                << " ms), page median " << median(figures.page) << " ms, worst page " << median(figures.worstPage)
                << " ms";
            if (thumbnails)
                out << ", pictures drawn " << figures.drawn;
            out << "\n";
        }
    }
    out << (ok ? "ok\n" : "FAILED\n");
    return ok ? 0 : 1;
}
