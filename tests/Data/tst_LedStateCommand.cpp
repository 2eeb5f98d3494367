#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"

#include <QtTest>

class tst_LedStateCommand : public QObject
{
    Q_OBJECT

private slots:
    void ledCountFromLayout_data();
    void ledCountFromLayout();
    void ledsIsASnapshot();
};

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
    CommandList sequence(&document);
    sequence.addFrame();
    QByteArray data = QString("<LedPanelDocument version='1.0'>%1</LedPanelDocument>").arg(layout).toUtf8();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QCOMPARE(document.readXML(&buffer), readOk);

    sequence.addFrame();
    QCOMPARE(sequence.frame(1)->leds().count(), ledCount);
    for (const LedData* led : sequence.frame(1)->leds())
        QCOMPARE(led->intensity(), 0);
    // The frame made before keeps the size of its time.
    QCOMPARE(sequence.frame(0)->leds().count(), 192);
    QCOMPARE(sequence.frame(1)->sequence(), &sequence);
    QCOMPARE(sequence.frame(1)->index(), 1);
}

void tst_LedStateCommand::ledsIsASnapshot()
{
    CommandList orphan(nullptr);
    QVERIFY(LedStateCommand(&orphan).leds().isEmpty());

    LedPanelDocument document;
    CommandList sequence(&document);
    LedStateCommand frame(&sequence);
    QList<LedData*> leds = frame.leds();
    leds.append(nullptr);
    QCOMPARE(frame.leds().count(), 192);
    leds.at(5)->setIntensity(7);
    QCOMPARE(frame.leds().at(5)->intensity(), 7);
}

QTEST_MAIN(tst_LedStateCommand)
#include "tst_LedStateCommand.moc"
