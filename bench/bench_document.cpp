// Saves and loads a document of 1000 frames on the default ring (192 LEDs each)
// and prints how long each takes and how large the file is.

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <memory>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    const int frames = 1000;
    const int rounds = 5;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xml"));

    LedPanelDocument document;
    auto* sequence = new CommandList(&document);
    document.appendChild(sequence);
    for (int f = 0; f < frames; ++f) {
        sequence->addFrame();
        const QList<LedData*> leds = sequence->frame(f)->leds();
        for (int i = 0; i < leds.count(); ++i)
            leds.at(i)->setIntensity((i + f) % 3 == 0 ? 1 : 0);
    }
    const int ledsPerFrame = sequence->frame(0)->leds().count();

    QList<double> saveMs;
    QList<double> loadMs;
    bool ok = true;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        ok = document.save(path) && ok;
        saveMs << timer.nsecsElapsed() / 1e6;

        auto loaded = std::make_unique<LedPanelDocument>();
        timer.restart();
        ok = loaded->load(path) && ok;
        loadMs << timer.nsecsElapsed() / 1e6;
        ok = ok && loaded->sequenceCount() == 1 && loaded->sequence(0)->frameCount() == frames
             && loaded->sequence(0)->frame(frames - 1)->leds().at(0)->intensity() == 1
             && loaded->sequence(0)->frame(frames - 1)->leds().at(2)->intensity() == 0;
    }
    std::sort(saveMs.begin(), saveMs.end());
    std::sort(loadMs.begin(), loadMs.end());

    out << "document: " << frames << " frames x " << ledsPerFrame << " LEDs, " << rounds << " rounds\n";
    out << "file size: " << QFileInfo(path).size() << " bytes\n";
    out << "save: min " << saveMs.first() << " ms, median " << saveMs.at(rounds / 2) << " ms\n";
    out << "load: min " << loadMs.first() << " ms, median " << loadMs.at(rounds / 2) << " ms\n";
    out << (ok ? "round trip: ok\n" : "round trip: FAILED\n");
    return ok ? 0 : 1;
}
