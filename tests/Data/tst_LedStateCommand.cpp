#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"

#include <QtTest>

class tst_LedStateCommand : public QObject
{
    Q_OBJECT

private slots:
    void ledCountFromLayout_data();
    void ledCountFromLayout();
    void withoutDocument();
    void sequence();
    void ledsIsASnapshot();
};

// Reads a document holding only the given Layout element.
static bool readLayout(LedPanelDocument& document, const QString& layout)
{
    QByteArray data = QString("<LedPanelDocument version='1.0'>%1</LedPanelDocument>").arg(layout).toUtf8();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return document.readXML(&buffer);
}

void tst_LedStateCommand::ledCountFromLayout_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("readOk");
    QTest::addColumn<int>("ledCount");

    QTest::newRow("default ring") << QString() << true << 192;
    QTest::newRow("default rectangle") << "<Layout type='Rectangle'/>" << true << 32;
    QTest::newRow("2 x 3") << "<Layout type='Rectangle'><Rows>2</Rows><Columns>3</Columns></Layout>" << true << 6;
    QTest::newRow("no rows") << "<Layout type='Ring'><Rows>0</Rows></Layout>" << true << 0;
    QTest::newRow("negative columns") << "<Layout type='Ring'><Columns>-2</Columns></Layout>" << true << 0;
    QTest::newRow("huge refused, ring kept")
        << "<Layout type='Rectangle'><Rows>100000</Rows><Columns>100000</Columns></Layout>" << false << 192;
}

void tst_LedStateCommand::ledCountFromLayout()
{
    QFETCH(QString, layout);
    QFETCH(bool, readOk);
    QFETCH(int, ledCount);

    LedPanelDocument document;
    if (!layout.isEmpty())
        QCOMPARE(readLayout(document, layout), readOk);

    CommandList sequence(&document);
    sequence.addFrame();
    LedStateCommand frame(&sequence);
    QCOMPARE(frame.leds().count(), ledCount);
    QCOMPARE(sequence.frame(0)->leds().count(), ledCount);
    for (const LedData* led : frame.leds())
        QCOMPARE(led->intensity(), 0);
    QCOMPARE(frame.type(), 1);
    QCOMPARE(frame.name(), QStringLiteral("LedState"));
    QVERIFY(!frame.parent());
}

void tst_LedStateCommand::withoutDocument()
{
    CommandList sequence(nullptr);
    LedStateCommand frame(&sequence);
    QVERIFY(frame.leds().isEmpty());
    QCOMPARE(frame.sequence(), &sequence);
}

void tst_LedStateCommand::sequence()
{
    LedPanelDocument document;
    CommandList sequence(&document);
    QCOMPARE(sequence.type(), 2);
    QCOMPARE(sequence.name(), QStringLiteral("Sequence"));
    QCOMPARE(sequence.document(), &document);
    QVERIFY(sequence.label().isEmpty());
    QVERIFY(!sequence.parent());
    QCOMPARE(sequence.frameCount(), 0);

    sequence.addFrame();
    sequence.addFrame();
    QCOMPARE(sequence.frameCount(), 2);
    QCOMPARE(sequence.frame(1)->index(), 1);
    QCOMPARE(sequence.frame(1)->sequence(), &sequence);
    QCOMPARE(sequence.frame(0)->parent(), &sequence);

    // A frame keeps its size when the layout changes afterwards.
    QVERIFY(readLayout(document, "<Layout type='Rectangle'/>"));
    sequence.addFrame();
    QCOMPARE(sequence.frame(0)->leds().count(), 192);
    QCOMPARE(sequence.frame(2)->leds().count(), 32);
}

void tst_LedStateCommand::ledsIsASnapshot()
{
    LedPanelDocument document;
    CommandList sequence(&document);
    LedStateCommand frame(&sequence);

    QList<LedData*> leds = frame.leds();
    leds.append(new LedData);
    QCOMPARE(frame.leds().count(), 192);
    delete leds.takeLast();

    leds.at(5)->setIntensity(7);
    QCOMPARE(frame.leds().at(5)->intensity(), 7);
}

QTEST_MAIN(tst_LedStateCommand)
#include "tst_LedStateCommand.moc"
