// Saves and loads a show of 1000 frames on the default ring (192 LEDs each) and
// prints how long each takes, how that compares with xmllint's streaming parse
// of the same file, what bounds the reader, and the memory the show holds.

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>

#include <malloc.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const int frames = 1000;
const int rounds = 5;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Milliseconds of each of the rounds.
QList<double> timed(const std::function<bool()>& work, bool* ok)
{
    QList<double> ms;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        *ok = work() && *ok;
        ms << timer.nsecsElapsed() / 1e6;
    }
    return ms;
}

// Bytes the allocator has handed out and not taken back.
qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

// A line of /proc/self/status in kB: VmHWM is the peak resident size so far.
qint64 statusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

bool load(LedPanelModel& show, const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Text) && show.readXML(&file);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xml"));
    bool ok = true;

    {
        LedPanelModel source;
        auto* sequence = new CommandList(&source);
        source.appendChild(sequence);
        for (int f = 0; f < frames; ++f) {
            sequence->addFrame();
            LedStateCommand* frame = sequence->frame(f);
            for (int i = 0; i < frame->ledCount(); ++i)
                frame->led(i)->setIntensity((i + f) % 3 == 0 ? 1 : 0);
        }
        const QList<double> saveMs = timed([&] {
            QFile file(path);
            return file.open(QIODevice::WriteOnly | QIODevice::Text) && source.writeXML(&file);
        }, &ok);
        out << "show: " << frames << " frames x " << sequence->frame(0)->ledCount() << " LEDs, median of "
            << rounds << "\n";
        out << "file size: " << QFileInfo(path).size() << " bytes\n";
        out << "save: " << median(saveMs) << " ms\n";
    }

    const qint64 heapBefore = heapInUse();
    auto held = std::make_unique<LedPanelModel>();
    ok = load(*held, path) && ok;
    const qint64 heapHolding = heapInUse();
    ok = ok && held->sequenceCount() == 1 && held->sequence(0)->frameCount() == frames
         && held->sequence(0)->frame(frames - 1)->led(0)->intensity() == 1
         && held->sequence(0)->frame(frames - 1)->led(2)->intensity() == 0;
    held.reset();

    const double loadMs = median(timed([&] {
        LedPanelModel show;
        return load(show, path);
    }, &ok));
    // The same file through the tokenizer alone: what parsing costs before anything is built.
    const double parseMs = median(timed([&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return false;
        QXmlStreamReader xml(&file);
        while (!xml.atEnd())
            xml.readNext();
        return !xml.hasError();
    }, &ok));
    out << "load: " << loadMs << " ms (tokenizing alone " << parseMs << " ms, building the show "
        << loadMs - parseMs << " ms)\n";

    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty()) {
        out << "xmllint: not installed\n";
    } else {
        const double lintMs = median(timed([&] {
            return QProcess::execute(xmllint, { QStringLiteral("--stream"), QStringLiteral("--noout"), path }) == 0;
        }, &ok));
        out << "xmllint --stream --noout: " << lintMs << " ms; load / xmllint = " << loadMs / lintMs << "\n";
    }
    out << "memory held by the loaded show: " << (heapHolding - heapBefore) / 1048576.0
        << " MiB (peak resident size of the run " << statusKb("VmHWM:") / 1024.0 << " MiB)\n";
    out << (ok ? "round trip: ok\n" : "round trip: FAILED\n");
    return ok ? 0 : 1;
}
