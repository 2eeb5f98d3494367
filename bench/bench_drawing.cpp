// Flood-fills a dark 256 x 256 grid (65,536 LEDs) from one LED, as the fill tool
// does, through a document with its LED view; paints strokes of 2,000 and 16,000
// LEDs on it, an LED at a time merging into one undo step as the pen does (the
// cost per LED should not grow with the stroke); and letters a 200-character text
// scrolling on a 32 x 8 grid. Prints the times and the frames made.

#include "Data/CommandList.h"
#include "Data/InsertFramesEdit.h"
#include "Data/LedShapes.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "Data/TextFrames.h"
#include "Document/LedPanelDocument.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QTextStream>
#include <QUndoStack>

#include <memory>

namespace {

bool readGrid(LedPanelDocument& document, int rows, int columns)
{
    QByteArray xml = QStringLiteral("<LedPanelDocument version=\"1.0\"><Layout type=\"Rectangle\"><Rows>%1</Rows>"
                                    "<Columns>%2</Columns></Layout><CommandList index=\"0\"><LedState index=\"0\"/>"
                                    "</CommandList></LedPanelDocument>")
                         .arg(rows)
                         .arg(columns)
                         .toUtf8();
    QBuffer buffer(&xml);
    return buffer.open(QIODevice::ReadOnly) && document.readXML(&buffer);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    bool ok = true;

    {
        std::unique_ptr<LedPanelDocument> document(LedPanelDocument::newDocument());
        ok = readGrid(*document, 256, 256) && ok;
        const LedLayout layout = document->panelLayout();
        const LedStateCommand* frame = document->sequence(0)->frame(0);
        QElapsedTimer timer;
        timer.start();
        const QVector<int> area = LedShapes::floodArea(layout, frame->intensities(), 128 * 256 + 128);
        const double areaMs = timer.nsecsElapsed() / 1e6;
        timer.restart();
        auto* edit = new LedValuesEdit(QStringLiteral("Flood fill"));
        edit->setLeds(frame, area, 1);
        document->submit(edit);
        const double editMs = timer.nsecsElapsed() / 1e6;
        timer.restart();
        document->undoStack()->undo();
        const double undoMs = timer.nsecsElapsed() / 1e6;
        ok = ok && area.size() == 65536 && frame->led(65535)->intensity() == 0;
        out << "flood fill of a dark " << layout.rows() << " x " << layout.columns() << " grid: " << area.size()
            << " LEDs; the area " << areaMs << " ms, the edit with the view " << editMs << " ms, its undo "
            << undoMs << " ms\n";
    }
    for (int leds : {2000, 16000}) {
        std::unique_ptr<LedPanelDocument> document(LedPanelDocument::newDocument());
        ok = readGrid(*document, 256, 256) && ok;
        const LedStateCommand* frame = document->sequence(0)->frame(0);
        QElapsedTimer timer;
        timer.start();
        for (int led = 0; led < leds; ++led) {
            auto* edit = new LedValuesEdit(QStringLiteral("Paint"), 1);
            edit->set(frame, led, 1);
            document->submit(edit);
        }
        const double strokeMs = timer.nsecsElapsed() / 1e6;
        ok = ok && document->undoStack()->count() == 1 && frame->led(leds - 1)->intensity() == 1;
        out << "stroke of " << leds << " LEDs: " << strokeMs << " ms, " << strokeMs * 1000 / leds << " us an LED\n";
    }
    {
        std::unique_ptr<LedPanelDocument> document(LedPanelDocument::newDocument());
        ok = readGrid(*document, 8, 32) && ok;
        const LedLayout layout = document->panelLayout();
        QString text;
        while (text.size() < 200)
            text += QStringLiteral("The quick brown fox jumps over the lazy dog. ");
        text.truncate(200);
        QElapsedTimer timer;
        timer.start();
        const TextFrames lettering(layout, text);
        const QVector<QVector<int>> frames = lettering.scroll();
        const double letterMs = timer.nsecsElapsed() / 1e6;
        timer.restart();
        document->submit(new InsertFramesEdit(QStringLiteral("Text"), 0, 1, frames));
        const double insertMs = timer.nsecsElapsed() / 1e6;
        ok = ok && document->sequence(0)->frameCount() == frames.size() + 1
            && frames.size() == layout.columns() + lettering.width() + 1;
        out << "scroll of " << text.size() << " characters on a " << layout.columns() << " x " << layout.rows()
            << " grid: text " << lettering.width() << " columns, " << frames.size() << " frames ("
            << frames.size() * layout.ledCount() << " LED values); lettering " << letterMs
            << " ms, inserting them " << insertMs << " ms\n";
    }
    out << (ok ? "results: ok\n" : "results: FAILED\n");
    return ok ? 0 : 1;
}
