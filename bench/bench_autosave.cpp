// An autosave of a show of 1000 frames on the default ring (192 LEDs each): how
// long the GUI thread is held (the copy of the show and handing it over) and how
// long the whole write takes on its own thread.

#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "Document/AutosaveWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

int main(int argc, char* argv[])
{
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    LedPanelModel show;
    auto* sequence = new CommandList(&show);
    show.appendChild(sequence);
    const int leds = int(show.panelLayout().ledCount());
    for (int f = 0; f < 1000; ++f) {
        QVector<int> values(leds);
        for (int i = 0; i < leds; ++i)
            values[i] = (f + i) % 3 == 0 ? 1 : 0;
        sequence->appendChild(new LedStateCommand(sequence, values));
    }

    QList<double> gui, whole;
    AutosaveWriter writer;
    bool ok = writer.isLocked();
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer timer;
        timer.start();
        ok = writer.write(show.copyShow(), QString(), QStringLiteral("bench")) && ok;
        gui << timer.nsecsElapsed() / 1e6;
        writer.waitForDone();
        whole << timer.nsecsElapsed() / 1e6;
    }
    writer.remove();
    std::sort(gui.begin(), gui.end());
    std::sort(whole.begin(), whole.end());
    out << "autosave of " << sequence->frameCount() << " frames of " << leds << " LEDs, median of 7:\n"
        << "  GUI thread: " << gui.at(3) << " ms (copy of the show and handing it over)\n"
        << "  whole write: " << whole.at(3) << " ms\n";
    return ok ? 0 : 1;
}
