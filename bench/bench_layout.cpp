// What changing the layout of a 1000-frame show costs in the window: the edit
// done through the show's door (every frame's LEDs moved, the scene rebuilt, the
// tree told) and undone, from the default ring to a 16 x 16 grid and back.
#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Document/LedPanelDocument.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QTextStream>
#include <QUndoStack>

#include <algorithm>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const int frames = 1000;

    QByteArray xml = "<LedPanelDocument version=\"1.0\"><CommandList index=\"0\">";
    for (int f = 0; f < frames; ++f)
        xml += "<LedState index=\"" + QByteArray::number(f) + "\"><LedData index=\"" + QByteArray::number(f % 192)
            + "\"><intensity>1</intensity></LedData></LedState>";
    xml += "</CommandList></LedPanelDocument>";
    const QString path = QDir::temp().filePath(QStringLiteral("bench_layout.xml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
        return 1;
    file.close();

    QVector<qint64> change, undo;
    for (int run = 0; run < 5; ++run) {
        LedPanelDocument document;
        if (!document.load(path) || document.sequence(0)->frameCount() != frames)
            return 1;
        QElapsedTimer timer;
        timer.start();
        document.submit(new ChangeLayoutEdit(document, LedLayout::create(LedLayout::Rectangle, 16, 16)));
        change.append(timer.nsecsElapsed() / 1000);
        timer.restart();
        document.undoStack()->undo();
        undo.append(timer.nsecsElapsed() / 1000);
        if (document.panelLayout() != LedLayout())
            return 1;
    }
    std::sort(change.begin(), change.end());
    std::sort(undo.begin(), undo.end());
    out << frames << " frames, 192 -> 256 LEDs each: change median " << change.at(2) / 1000.0 << " ms, undo median "
        << undo.at(2) / 1000.0 << " ms (5 runs)\n";
    QFile::remove(path);
    return 0;
}
