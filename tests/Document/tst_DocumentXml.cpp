#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"

#include <QtTest>

class tst_DocumentXml : public QObject
{
    Q_OBJECT

private slots:
    void newDocumentText();
    void readRules_data();
    void readRules();
};

static bool read(LedPanelDocument& document, const QByteArray& text)
{
    QByteArray data = text;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    return document.readXML(&buffer);
}

// Sequences split by " / ", frames by spaces; a frame is its LED count followed
// by ":index=value" for every LED that is not 0.
static QString describe(const LedPanelDocument& document)
{
    QStringList sequences;
    for (int s = 0; s < document.sequenceCount(); ++s) {
        QStringList frames;
        const CommandList* sequence = document.sequence(s);
        for (int f = 0; f < sequence->frameCount(); ++f) {
            const QList<LedData*> leds = sequence->frame(f)->leds();
            QString text = QString::number(leds.count());
            for (int i = 0; i < leds.count(); ++i)
                if (leds.at(i)->intensity() != 0)
                    text += QString(":%1=%2").arg(i).arg(leds.at(i)->intensity());
            frames << text;
        }
        sequences << frames.join(QLatin1Char(' '));
    }
    return sequences.join(QStringLiteral(" / "));
}

void tst_DocumentXml::newDocumentText()
{
    LedPanelDocument document;
    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<LedPanelDocument version=\"1.0\">\n"
                                "    <Title></Title>\n"
                                "    <Description></Description>\n"
                                "    <Layout type=\"Ring\">\n"
                                "        <Rows>4</Rows>\n"
                                "        <Columns>48</Columns>\n"
                                "        <RowSpacing>5</RowSpacing>\n"
                                "        <ColumnSpacing>7.5</ColumnSpacing>\n"
                                "        <InnerDiameter>40</InnerDiameter>\n"
                                "        <OuterDiameter>70</OuterDiameter>\n"
                                "        <FirstLedPosition_X>0</FirstLedPosition_X>\n"
                                "        <FirstLedPosition_Y>-45</FirstLedPosition_Y>\n"
                                "    </Layout>\n"
                                "</LedPanelDocument>\n";
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    QVERIFY(document.writeXML(&buffer));
    QCOMPARE(data, expected);
}

void tst_DocumentXml::readRules_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("structure");

    const QByteArray twoLeds = "<Layout type='Rectangle'><Rows>1</Rows><Columns>2</Columns></Layout>";

    QTest::newRow("sequence index 1 first is skipped")
        << QByteArray("<CommandList index='1'><LedState index='0'/></CommandList>"
                      "<CommandList index='0'><LedState index='0'/></CommandList>")
        << "192";
    QTest::newRow("missing and bad indexes count as 0")
        << QByteArray("<CommandList><LedState index='x'/><LedState index='-1'/><LedState index='3'/></CommandList>")
        << "192";
    QTest::newRow("surplus LEDs skipped, later frames read")
        << twoLeds + "<CommandList index='0'><LedState index='0'>"
                     "<LedData index='2'><intensity>4</intensity></LedData>"
                     "<LedData index='1'><intensity>1</intensity></LedData>"
                     "<LedData index='-1'><intensity>4</intensity></LedData></LedState>"
                     "<LedState index='1'><LedData index='0'><intensity>3</intensity></LedData></LedState>"
                     "</CommandList><CommandList index='1'><LedState index='0'/></CommandList>"
        << "2:1=1 2:0=3 / 2";
    QTest::newRow("sequences before the layout keep the ring")
        << "<CommandList index='0'><LedState index='0'/></CommandList>" + twoLeds +
               "<CommandList index='1'><LedState index='0'/></CommandList>"
        << "192 / 2";
    QTest::newRow("intensity texts")
        << twoLeds + "<CommandList index='0'>"
                     "<LedState index='0'><LedData index='0'/><LedData index='1'><intensity>abc</intensity></LedData>"
                     "</LedState><LedState index='1'><LedData index='0'><intensity>-3</intensity></LedData>"
                     "<LedData index='1'><intensity>7</intensity></LedData></LedState></CommandList>"
        << "2 2:0=-3:1=7";
    QTest::newRow("unknown layout type keeps the ring")
        << QByteArray("<Layout type='Hexagon'><Rows>1</Rows></Layout>"
                      "<CommandList index='0'><LedState index='0'/></CommandList>")
        << "192";
    QTest::newRow("second sequence 0 continues it")
        << twoLeds + "<CommandList index='0'><LedState index='0'/></CommandList>"
                     "<CommandList index='0'><LedState index='0'><LedData index='0'><intensity>1</intensity>"
                     "</LedData></LedState><LedState index='2'/><LedState index='1'/></CommandList>"
        << "2:0=1 2";
    QTest::newRow("repeated LED index, later wins")
        << twoLeds + "<CommandList index='0'><LedState index='0'>"
                     "<LedData index='1'><intensity>5</intensity></LedData>"
                     "<LedData index='1'><intensity>6</intensity><intensity>8</intensity></LedData>"
                     "</LedState></CommandList>"
        << "2:1=8";
    QTest::newRow("unknown elements at every level")
        << twoLeds + "<Extra><CommandList index='0'/></Extra><CommandList index='0'><Note>x<b/></Note>"
                     "<LedState index='0'><Foo><LedData index='0'/></Foo>"
                     "<LedData index='0'><bar>2</bar><intensity>9</intensity></LedData></LedState></CommandList>"
        << "2:0=9";
}

void tst_DocumentXml::readRules()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, structure);

    LedPanelDocument document;
    QVERIFY(read(document, "<?xml version='1.0'?><LedPanelDocument version='1.0'>" + body + "</LedPanelDocument>"));
    QCOMPARE(describe(document), structure);
}

QTEST_MAIN(tst_DocumentXml)
#include "tst_DocumentXml.moc"
