#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "common/TestData.h"

#include <QtTest>

// Files that would make the reader hold more than any show needs are refused,
// with the reader's reason; everything the program writes still loads.
class tst_ReaderLimits : public QObject
{
    Q_OBJECT

private slots:
    void readWithinLimits_data();
    void readWithinLimits();
};

namespace {

// A sequence of empty frames: a few bytes each, but a value for every LED once read.
QByteArray sparse(const QByteArray& layout, int frames)
{
    return showXml(layout + sequenceXml(0, frames));
}

// A document as the program writes it: every LED of every frame spelled out.
QByteArray saved(int rows, int columns, int frames)
{
    LedPanelDocument source;
    return readShow(source, sparse(layoutXml(rows, columns), frames)) ? writtenShow(source) : QByteArray();
}

} // namespace

void tst_ReaderLimits::readWithinLimits_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("frames"); // -1: refused
    QTest::addColumn<int>("leds");
    QTest::addColumn<QString>("reason"); // of a refusal, as the reader gives it

    // The show holds at most 4194304 LED values: 64 empty frames of the largest layout, not 65.
    const QString tooMany = "The document would hold more than 4194304 LED values.";
    QTest::newRow("one frame past the bound") << sparse(layoutXml(256, 256), 65) << -1 << 0 << tooMany;
    QTest::newRow("at the bound") << sparse(layoutXml(256, 256), 64) << 64 << 65536 << "";
    QByteArray repeated = layoutXml(256, 256);
    for (int i = 0; i < 65; ++i)
        repeated += "<CommandList index=\"0\"><LedState index=\"" + QByteArray::number(i) + "\"/></CommandList>";
    QTest::newRow("one frame per repeated sequence") << showXml(repeated) << -1 << 0 << tooMany;
    QTest::newRow("largest layout over and over") << showXml(layoutXml(256, 256).repeated(6)) << 0 << 65536 << "";
    QTest::newRow("too many LEDs") << showXml(layoutXml(65537, 1)) << -1 << 0 << "exceeds the limit of 65536 LEDs";
    // Numbers no panel has only overflow the view's arithmetic.
    const QString outOfRange = "OuterDiameter holds %1, which is not a number between -1000000 and 1000000.";
    for (const char* value : { "inf", "nan", "1000000.5", "-1e7" }) {
        QTest::newRow(value) << showXml("<Layout type=\"Ring\"><OuterDiameter>" + QByteArray(value)
                                        + "</OuterDiameter></Layout>") << -1 << 0 << outOfRange.arg(value);
    }
    QTest::newRow("a million") << showXml("<Layout type=\"Rectangle\"><Rectangle_W>1e+06</Rectangle_W></Layout>")
                               << 0 << 32 << "";

    // What the program writes, and what a hand-made file reasonably leaves out, still loads.
    QTest::newRow("saved, many frames") << saved(4, 8, 300) << 300 << 32 << "";
    QTest::newRow("saved, large layout") << saved(96, 96, 2) << 2 << 96 * 96 << "";
    QTest::newRow("2000 empty frames, default ring") << sparse("", 2000) << 2000 << 192 << "";
    QTest::newRow("large ring") << sparse(layoutXml(64, 256, "Ring"), 1) << 1 << 64 * 256 << "";
}

void tst_ReaderLimits::readWithinLimits()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, frames);
    QFETCH(int, leds);
    QFETCH(QString, reason);
    QVERIFY(!xml.isEmpty());

    // Qt polishes new items later from the event loop, and until then removing an item searches a list of all
    // of them: a large layout replaced or destroyed before the event loop runs (a failed load) took minutes.
    // Reading must leave no such work pending.
    struct PendingCalls : QObject
    {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override { count += event->type() == QEvent::MetaCall; return false; }
    } pending;
    LedPanelDocument target;
    QCOMPARE(readShow(target, xml), frames >= 0);
    QVERIFY2(target.readError().contains(reason), qPrintable(target.readError()));
    target.ledScene()->installEventFilter(&pending);
    QCoreApplication::sendPostedEvents(target.ledScene(), QEvent::MetaCall);
    QCOMPARE(pending.count, 0);
    QVERIFY(target.ledValueCount() <= LedPanelModel::MaxLedValues);
    if (frames >= 0) {
        QCOMPARE(target.sequenceCount(), frames > 0 ? 1 : 0);
        QCOMPARE(target.ledScene()->ledItems().count(), leds);
        if (frames > 0) {
            QCOMPARE(target.sequence(0)->frameCount(), frames);
            QCOMPARE(target.sequence(0)->frame(frames - 1)->ledCount(), leds);
        }
    }
}

QTEST_MAIN(tst_ReaderLimits)
#include "tst_ReaderLimits.moc"
