#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Data/ProgramCompiler.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"

#include <QBuffer>
#include <QtTest>

namespace {

// A frame is written as "index:intensity" pairs, e.g. "0:1 9:-2".
using Sequence = QStringList;

QByteArray layoutXml(int rows, int columns)
{
    return QStringLiteral("<Layout type=\"Rectangle\"><Rows>%1</Rows><Columns>%2</Columns>"
                          "<RowSpacing>6</RowSpacing><ColumnSpacing>6</ColumnSpacing>"
                          "<Rectangle_X>-6</Rectangle_X><Rectangle_Y>-6</Rectangle_Y>"
                          "<Rectangle_W>54</Rectangle_W><Rectangle_H>30</Rectangle_H>"
                          "<FirstLedPosition_X>0</FirstLedPosition_X>"
                          "<FirstLedPosition_Y>0</FirstLedPosition_Y></Layout>")
        .arg(rows)
        .arg(columns)
        .toUtf8();
}

QByteArray sequencesXml(const QList<Sequence>& sequences)
{
    QByteArray xml;
    for (int s = 0; s < sequences.size(); ++s) {
        xml += "<CommandList index=\"" + QByteArray::number(s) + "\">";
        const Sequence& frames = sequences.at(s);
        for (int f = 0; f < frames.size(); ++f) {
            xml += "<LedState index=\"" + QByteArray::number(f) + "\">";
            const QStringList leds = frames.at(f).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (const QString& led : leds) {
                const QStringList pair = led.split(QLatin1Char(':'));
                xml += "<LedData index=\"" + pair.at(0).toUtf8() + "\"><intensity>" + pair.at(1).toUtf8()
                    + "</intensity></LedData>";
            }
            xml += "</LedState>";
        }
        xml += "</CommandList>";
    }
    return xml;
}

bool loadDocument(LedPanelDocument& document, const QByteArray& content)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><LedPanelDocument version=\"1.0\">"
                     "<Title/><Description/>"
        + content + "</LedPanelDocument>";
    QBuffer buffer(&xml);
    return buffer.open(QIODevice::ReadOnly) && document.readXML(&buffer);
}

// The order in which the panel link feeds the compiler.
void compile(LedPanelDocument& document, ProgramCompiler& compiler)
{
    for (int s = 0; s < document.sequenceCount(); ++s) {
        CommandList* sequence = document.sequence(s);
        compiler.addCommand(sequence);
        for (int f = 0; f < sequence->frameCount(); ++f)
            compiler.addCommand(sequence->frame(f));
        compiler.addCommand(cmdLedSequence);
    }
}

QByteArray imageOf(const ProgramCompiler& compiler)
{
    return QByteArray(compiler.programMemory(), compiler.programMemorySize());
}

QString allOn(int count, int intensity = 1)
{
    QStringList leds;
    for (int i = 0; i < count; ++i)
        leds.append(QStringLiteral("%1:%2").arg(i).arg(intensity));
    return leds.join(QLatin1Char(' '));
}

} // namespace

class tst_ProgramCompiler : public QObject
{
    Q_OBJECT

private slots:
    void image_data();
    void image();
    void labels();
    void clearStartsAfresh();
    void framesOfAnotherLayout_data();
    void framesOfAnotherLayout();
};

void tst_ProgramCompiler::image_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QList<Sequence>>("sequences");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("no sequences") << 3 << 5 << QList<Sequence>() << QByteArray();
    QTest::newRow("sequence without frames") << 3 << 5 << QList<Sequence> { {} } << QByteArray::fromHex("00");
    QTest::newRow("3x5, LEDs 0, 1 and 9, two frames")
        << 3 << 5 << QList<Sequence> { { "0:1 1:1 9:1", "0:1 1:1 9:1" } }
        << QByteArray::fromHex("030302000303020000");
    QTest::newRow("3x5, last LED") << 3 << 5 << QList<Sequence> { { "14:1" } }
                                   << QByteArray::fromHex("0300400000");
    QTest::newRow("rows do not start on a byte") << 2 << 5 << QList<Sequence> { { "5:1 9:1" } }
                                                 << QByteArray::fromHex("03200200");
    QTest::newRow("2x8 all on") << 2 << 8 << QList<Sequence> { { allOn(16) } }
                                << QByteArray::fromHex("03ffff00");
    QTest::newRow("2x8 all off") << 2 << 8 << QList<Sequence> { { "" } } << QByteArray::fromHex("03000000");
    QTest::newRow("2x12 all on leaves the fourth byte") << 2 << 12 << QList<Sequence> { { allOn(24, 7) } }
                                                        << QByteArray::fromHex("03ffffff0000");
    QTest::newRow("bit 7, then bit 0 of the next byte") << 1 << 16 << QList<Sequence> { { "7:1 8:1" } }
                                                       << QByteArray::fromHex("03800100");
    QTest::newRow("only positive intensities are on")
        << 1 << 8 << QList<Sequence> { { "0:-3 1:1 2:255 3:0 4:-2147483648 5:2147483647" } }
        << QByteArray::fromHex("032600");
    QTest::newRow("1x1") << 1 << 1 << QList<Sequence> { { "0:1", "0:0" } } << QByteArray::fromHex("0301030000");
    QTest::newRow("sequences in order")
        << 1 << 3 << QList<Sequence> { { "0:1" }, {}, { "1:1", "2:1" } }
        << QByteArray::fromHex("0301" "00" "00" "0302" "0304" "00");
    QTest::newRow("ring of 4 x 48: 24 bytes per frame")
        << 4 << 48 << QList<Sequence> { { "0:1 47:1 48:1 191:1" } }
        << QByteArray::fromHex("03" "010000000080" "010000000000" "000000000000" "000000000080" "00");
}

void tst_ProgramCompiler::image()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QList<Sequence>, sequences);
    QFETCH(QByteArray, expected);

    LedPanelDocument document;
    QVERIFY(loadDocument(document, layoutXml(rows, columns) + sequencesXml(sequences)));
    QCOMPARE(document.ledScene()->rows(), rows);
    QCOMPARE(document.ledScene()->columns(), columns);

    ProgramCompiler compiler(rows, columns);
    compile(document, compiler);
    QCOMPARE(imageOf(compiler).toHex(' '), expected.toHex(' '));
    QCOMPARE(compiler.surplusLedCount(), 0);
}

void tst_ProgramCompiler::labels()
{
    LedPanelDocument document;
    QVERIFY(loadDocument(document, layoutXml(3, 5) + sequencesXml({ { "0:1", "1:1" }, {}, { "2:1" } })));
    document.sequence(0)->setLabel(QStringLiteral("intro"));
    document.sequence(2)->setLabel(QStringLiteral("finale"));

    ProgramCompiler compiler(3, 5);
    QVERIFY(compiler.programLabels().isEmpty());
    compile(document, compiler);

    const QList<QPair<QString, int>> expected { { "intro", 0 }, { QString(), 9 }, { "finale", 10 } };
    QCOMPARE(compiler.programLabels(), expected);
    // The labels are bookkeeping only: the image is the same without them.
    QCOMPARE(imageOf(compiler), QByteArray::fromHex("03010000" "03020000" "00" "00" "03040000" "00"));
}

void tst_ProgramCompiler::clearStartsAfresh()
{
    LedPanelDocument document;
    QVERIFY(loadDocument(document, layoutXml(1, 8) + sequencesXml({ { "0:1" }, { "7:1" } })));

    ProgramCompiler compiler(1, 8);
    compile(document, compiler);
    QCOMPARE(compiler.programMemorySize(), 6);
    compiler.clear();
    QCOMPARE(compiler.programMemorySize(), 0);
    QVERIFY(compiler.programLabels().isEmpty());

    compile(document, compiler);
    QCOMPARE(imageOf(compiler), QByteArray::fromHex("030100038000"));
    QCOMPARE(compiler.programLabels().at(1).second, 3);
}

void tst_ProgramCompiler::framesOfAnotherLayout_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("surplus");

    // Frames read before the file's layout are sized by the default ring (192 LEDs).
    QTest::newRow("192 LEDs on a 3x5 layout")
        << sequencesXml({ { "1:1 14:1 15:1 100:1 191:1", "" } }) + layoutXml(3, 5) << 3 << 5
        << QByteArray::fromHex("03024000" "03000000" "00") << 2 * 177;
    QTest::newRow("16 LEDs on a 3x5 layout") << layoutXml(2, 8) + sequencesXml({ { allOn(16) } }) + layoutXml(3, 5)
                                             << 3 << 5 << QByteArray::fromHex("03ff7f0000") << 1;
    QTest::newRow("4 LEDs on a 2x8 layout") << layoutXml(1, 4) + sequencesXml({ { allOn(4) } }) + layoutXml(2, 8)
                                            << 2 << 8 << QByteArray::fromHex("030f0000") << 0;
}

void tst_ProgramCompiler::framesOfAnotherLayout()
{
    QFETCH(QByteArray, content);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QByteArray, expected);
    QFETCH(int, surplus);

    LedPanelDocument document;
    QVERIFY(loadDocument(document, content));
    QCOMPARE(document.ledScene()->rows(), rows);

    ProgramCompiler compiler(rows, columns);
    compile(document, compiler);
    QCOMPARE(imageOf(compiler).toHex(' '), expected.toHex(' '));
    QCOMPARE(compiler.surplusLedCount(), surplus);
}

QTEST_MAIN(tst_ProgramCompiler)
#include "tst_ProgramCompiler.moc"
