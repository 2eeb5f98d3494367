#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"

#include <QBuffer>
#include <QtTest>

// Inputs found while fuzzing the file readers: each must be read in memory and
// time that grow with the input, never with numbers written in it.
class tst_ReaderLimits : public QObject
{
    Q_OBJECT

private slots:
    void readWithinLimits_data();
    void readWithinLimits();
};

namespace {

QByteArray layout(int rows, int columns, const char* type = "Rectangle")
{
    return QStringLiteral("<Layout type=\"%1\"><Rows>%2</Rows><Columns>%3</Columns></Layout>")
        .arg(QLatin1String(type)).arg(rows).arg(columns).toUtf8();
}

QByteArray document(const QByteArray& content)
{
    return "<LedPanelDocument version=\"1.0\">" + content + "</LedPanelDocument>";
}

// A sequence of empty frames: a few bytes each, but a value for every LED once read.
QByteArray sparse(const QByteArray& layout, int frames)
{
    QByteArray xml = layout + "<CommandList index=\"0\">";
    for (int i = 0; i < frames; ++i)
        xml += "<LedState index=\"" + QByteArray::number(i) + "\"/>";
    return document(xml + "</CommandList>");
}

bool read(LedPanelDocument& document, QByteArray xml)
{
    QBuffer buffer(&xml);
    return buffer.open(QIODevice::ReadOnly) && document.readXML(&buffer);
}

// A document as the program writes it: every LED of every frame spelled out.
QByteArray saved(int rows, int columns, int frames)
{
    LedPanelDocument source;
    QBuffer out;
    if (!read(source, sparse(layout(rows, columns), frames)) || !out.open(QIODevice::WriteOnly))
        return QByteArray();
    return source.writeXML(&out) ? out.data() : QByteArray();
}

} // namespace

void tst_ReaderLimits::readWithinLimits_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("frames"); // -1: refused
    QTest::addColumn<int>("leds");

    QTest::newRow("empty frames, large layout") << sparse(layout(128, 128), 100) << -1 << 0;
    QTest::newRow("empty frames, default ring") << sparse("", 4000) << -1 << 0;
    QByteArray repeated = layout(128, 128);
    for (int i = 0; i < 300; ++i)
        repeated += "<CommandList index=\"0\"><LedState index=\"" + QByteArray::number(i) + "\"/></CommandList>";
    QTest::newRow("one frame per repeated sequence") << document(repeated) << -1 << 0;
    QTest::newRow("largest layout over and over") << document(layout(256, 256).repeated(6)) << -1 << 0;

    // What the program writes, and what a hand-made file reasonably leaves out, still loads.
    QTest::newRow("saved, many frames") << saved(4, 8, 300) << 300 << 32;
    QTest::newRow("saved, large layout") << saved(96, 96, 2) << 2 << 96 * 96;
    QTest::newRow("sparse frames, default ring") << sparse("", 1000) << 1000 << 192;
    QTest::newRow("large rectangle") << sparse(layout(128, 128), 1) << 1 << 128 * 128;
    QTest::newRow("large ring") << sparse(layout(64, 256, "Ring"), 1) << 1 << 64 * 256;
}

void tst_ReaderLimits::readWithinLimits()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, frames);
    QFETCH(int, leds);
    QVERIFY(!xml.isEmpty());

    // Qt polishes new items later from the event loop, and until then removing an item searches a list of all
    // of them: a large layout replaced or destroyed before the event loop runs (a file with two layouts, a
    // failed load) took minutes. Reading must leave no such work pending.
    struct PendingCalls : QObject
    {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override { count += event->type() == QEvent::MetaCall; return false; }
    } pending;
    LedPanelDocument target;
    QCOMPARE(read(target, xml), frames >= 0);
    target.ledScene()->installEventFilter(&pending);
    QCoreApplication::sendPostedEvents(target.ledScene(), QEvent::MetaCall);
    QCOMPARE(pending.count, 0);
    qint64 values = 0;
    for (int s = 0; s < target.sequenceCount(); ++s)
        for (int f = 0; f < target.sequence(s)->frameCount(); ++f)
            values += target.sequence(s)->frame(f)->leds().count();
    QVERIFY2(values <= 4 * qint64(AbstractLedGraphicsScene::MaxLedCount) + xml.size(), qPrintable(QString::number(values)));
    if (frames >= 0) {
        QCOMPARE(target.sequenceCount(), 1);
        QCOMPARE(target.sequence(0)->frameCount(), frames);
        QCOMPARE(target.ledScene()->ledItems().count(), leds);
        QCOMPARE(target.sequence(0)->frame(frames - 1)->leds().count(), leds);
    }
}

QTEST_MAIN(tst_ReaderLimits)
#include "tst_ReaderLimits.moc"
