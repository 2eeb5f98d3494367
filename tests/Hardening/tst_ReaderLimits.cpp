#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsScene_Rectangle.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"

#include <QBuffer>
#include <QXmlStreamReader>
#include <QtTest>

// Inputs found while fuzzing the file readers: each must be read in memory and
// time that grow with the input, never with numbers written in it.
class tst_ReaderLimits : public QObject
{
    Q_OBJECT

private slots:
    void documentLedValues_data();
    void documentLedValues();
    void layoutLeavesNoDeferredWork_data();
    void layoutLeavesNoDeferredWork();
};

namespace {

QByteArray layout(int rows, int columns)
{
    return QStringLiteral("<Layout type=\"Rectangle\"><Rows>%1</Rows><Columns>%2</Columns></Layout>")
        .arg(rows)
        .arg(columns)
        .toUtf8();
}

QByteArray emptyFrames(int count)
{
    QByteArray frames;
    for (int i = 0; i < count; ++i)
        frames += QStringLiteral("<LedState index=\"%1\"/>").arg(i).toUtf8();
    return frames;
}

QByteArray document(const QByteArray& content)
{
    return "<LedPanelDocument version=\"1.0\">" + content + "</LedPanelDocument>";
}

// A document as the program writes it: every LED of every frame spelled out.
QByteArray savedDocument(int rows, int columns, int frames)
{
    LedPanelDocument source;
    QByteArray layoutOnly = document(layout(rows, columns));
    QBuffer in(&layoutOnly);
    in.open(QIODevice::ReadOnly);
    if (!source.readXML(&in))
        return QByteArray();
    auto* sequence = new CommandList(&source);
    source.appendChild(sequence);
    for (int f = 0; f < frames; ++f) {
        sequence->addFrame();
        sequence->frame(f)->leds().last()->setIntensity(1);
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    return source.writeXML(&out) ? out.data() : QByteArray();
}

qint64 ledValues(const LedPanelDocument& document)
{
    qint64 values = 0;
    for (int s = 0; s < document.sequenceCount(); ++s) {
        const CommandList* sequence = document.sequence(s);
        for (int f = 0; f < sequence->frameCount(); ++f)
            values += sequence->frame(f)->leds().count();
    }
    return values;
}

} // namespace

void tst_ReaderLimits::documentLedValues_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("frames");

    // Each empty frame is a few bytes of input but a value for every LED of the layout.
    QTest::newRow("empty frames, large layout")
        << document(layout(128, 128) + "<CommandList index=\"0\">" + emptyFrames(100) + "</CommandList>") << false
        << -1;
    QTest::newRow("empty frames, default ring")
        << document("<CommandList index=\"0\">" + emptyFrames(4000) + "</CommandList>") << false << -1;
    QByteArray repeated;
    for (int i = 0; i < 300; ++i)
        repeated += "<CommandList index=\"0\"><LedState index=\"" + QByteArray::number(i) + "\"/></CommandList>";
    QTest::newRow("one frame per repeated sequence") << document(layout(128, 128) + repeated) << false << -1;
    QByteArray layouts;
    for (int i = 0; i < 6; ++i)
        layouts += layout(256, 256);
    QTest::newRow("largest layout over and over") << document(layouts) << false << -1;

    // What the program writes, and what a hand-made file reasonably leaves out, still loads.
    QTest::newRow("saved, many frames") << savedDocument(4, 8, 300) << true << 300;
    QTest::newRow("saved, large layout") << savedDocument(96, 96, 2) << true << 2;
    QTest::newRow("sparse frames, mid-sized layout")
        << document(layout(64, 64) + "<CommandList index=\"0\">" + emptyFrames(20) + "</CommandList>") << true << 20;
    QTest::newRow("sparse frames, default ring")
        << document("<CommandList index=\"0\">" + emptyFrames(1000) + "</CommandList>") << true << 1000;
}

void tst_ReaderLimits::documentLedValues()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, accepted);
    QFETCH(int, frames);
    QVERIFY(!xml.isEmpty());

    LedPanelDocument target;
    QBuffer buffer(&xml);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QCOMPARE(target.readXML(&buffer), accepted);

    const qint64 bound = 4 * qint64(AbstractLedGraphicsScene::MaxLedCount) + xml.size();
    QVERIFY2(ledValues(target) <= bound, qPrintable(QString::number(ledValues(target))));
    QVERIFY(target.ledScene()->ledItems().count() <= AbstractLedGraphicsScene::MaxLedCount);
    if (accepted) {
        QCOMPARE(target.sequenceCount(), 1);
        QCOMPARE(target.sequence(0)->frameCount(), frames);
        const QList<LedData*> last = target.sequence(0)->frame(frames - 1)->leds();
        QCOMPARE(last.count(), target.ledScene()->ledItems().count());
    }
}

void tst_ReaderLimits::layoutLeavesNoDeferredWork_data()
{
    QTest::addColumn<bool>("ring");
    QTest::addColumn<QByteArray>("xml");

    QTest::newRow("rectangle") << false << layout(128, 128);
    QTest::newRow("ring") << true
                          << QByteArray("<Layout type=\"Ring\"><Rows>64</Rows><Columns>256</Columns></Layout>");
}

// Qt polishes new items later from the event loop, and until then removing an
// item searches a list of all of them: a large layout that is replaced or
// destroyed before the event loop runs (a file with two layouts, a failed
// load) took minutes. A layout must leave no such work pending.
void tst_ReaderLimits::layoutLeavesNoDeferredWork()
{
    QFETCH(bool, ring);
    QFETCH(QByteArray, xml);

    struct PendingCalls : QObject
    {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::MetaCall)
                ++count;
            return false;
        }
    } pending;

    QScopedPointer<AbstractLedGraphicsScene> scene(ring ? static_cast<AbstractLedGraphicsScene*>(new LedGraphicsScene_Ring(nullptr))
                                                        : new LedGraphicsScene_Rectangle(nullptr));
    QXmlStreamReader reader(xml);
    QVERIFY(reader.readNextStartElement());
    scene->readXML(reader);
    QVERIFY(!reader.hasError());
    QCOMPARE(scene->ledItems().count(), ring ? 64 * 256 : 128 * 128);

    scene->installEventFilter(&pending);
    QCoreApplication::sendPostedEvents(scene.data(), QEvent::MetaCall);
    QCOMPARE(pending.count, 0);
}

QTEST_MAIN(tst_ReaderLimits)
#include "tst_ReaderLimits.moc"
