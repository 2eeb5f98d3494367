#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Data/ProgramCompiler.h"
#include "Document/LedPanelDocument.h"

#include <QBuffer>
#include <QtTest>

// A frame is a list of tokens: "9" lights LED 9, "9=-2" sets it to -2, "*" and "*=v" set every LED.
using Sequences = QList<QStringList>;

namespace {

// Builds the sequences under a rows x columns layout; `root` owns them.
void build(AbstractCommand& root, LedPanelDocument& document, int rows, int columns, const Sequences& sequences)
{
    QByteArray xml = QStringLiteral("<LedPanelDocument version='1.0'><Layout type='Rectangle'><Rows>%1</Rows>"
                                    "<Columns>%2</Columns></Layout></LedPanelDocument>")
                         .arg(rows).arg(columns).toUtf8();
    QBuffer buffer(&xml);
    QVERIFY(buffer.open(QIODevice::ReadOnly) && document.readXML(&buffer));
    for (const QStringList& frames : sequences) {
        auto* sequence = new CommandList(&document);
        root.appendChild(sequence);
        for (const QString& frame : frames) {
            sequence->addFrame();
            const QList<LedData*> leds = sequence->frame(sequence->frameCount() - 1)->leds();
            for (const QString& token : frame.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                const QStringList pair = token.split(QLatin1Char('='));
                const int value = pair.size() > 1 ? pair.at(1).toInt() : 1;
                for (int i = 0; i < leds.size(); ++i)
                    if (pair.at(0) == QLatin1String("*") || pair.at(0).toInt() == i)
                        leds.at(i)->setIntensity(value);
            }
        }
    }
}

// Feeds the compiler in the order the panel link does and returns the image.
QByteArray compile(const AbstractCommand& root, ProgramCompiler& compiler)
{
    for (AbstractCommand* node : root.childs()) {
        auto* sequence = static_cast<CommandList*>(node);
        compiler.addCommand(sequence);
        for (int f = 0; f < sequence->frameCount(); ++f)
            compiler.addCommand(sequence->frame(f));
        compiler.addCommand(cmdLedSequence);
    }
    return QByteArray(compiler.programMemory(), compiler.programMemorySize());
}

} // namespace

class tst_ProgramCompiler : public QObject
{
    Q_OBJECT

private slots:
    void image_data();
    void image();
    void labelsAndClear();
};

void tst_ProgramCompiler::image_data()
{
    QTest::addColumn<QSize>("made"); // columns x rows of the frames, when not the panel's
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<Sequences>("sequences");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("surplus");

    const QSize same;
    QTest::newRow("sequence without frames") << same << 3 << 5 << Sequences{{}} << QByteArray::fromHex("00") << 0;
    QTest::newRow("3x5, LEDs 0, 1 and 9, two frames") << same << 3 << 5 << Sequences{{"0 1 9", "0 1 9"}}
                                                      << QByteArray::fromHex("030302000303020000") << 0;
    QTest::newRow("rows do not start on a byte") << same << 2 << 5 << Sequences{{"5 9"}}
                                                 << QByteArray::fromHex("03200200") << 0;
    QTest::newRow("2x12 all on leaves the fourth byte") << same << 2 << 12 << Sequences{{"*=7"}}
                                                        << QByteArray::fromHex("03ffffff0000") << 0;
    QTest::newRow("bit 7, then bit 0 of the next byte") << same << 1 << 16 << Sequences{{"7 8"}}
                                                       << QByteArray::fromHex("03800100") << 0;
    QTest::newRow("only positive intensities are on")
        << same << 1 << 8 << Sequences{{"0=-3 1 2=255 3=0 4=-2147483648 5=2147483647"}}
        << QByteArray::fromHex("032600") << 0;
    QTest::newRow("sequences in order") << same << 1 << 3 << Sequences{{"0"}, {}, {"1", "2"}}
                                        << QByteArray::fromHex("0301" "00" "00" "0302" "0304" "00") << 0;
    QTest::newRow("ring of 4 x 48: 24 bytes per frame")
        << same << 4 << 48 << Sequences{{"0 47 48 191"}}
        << QByteArray::fromHex("03" "010000000080" "010000000000" "000000000000" "000000000080" "00") << 0;
    // A Layout after the sequences in a hand-edited file: frames of another size.
    QTest::newRow("192 LEDs on a 3x5 panel") << QSize(48, 4) << 3 << 5 << Sequences{{"1 14 15 100 191", ""}}
                                             << QByteArray::fromHex("03024000" "03000000" "00") << 2 * 177;
    QTest::newRow("16 LEDs on a 3x5 panel") << QSize(8, 2) << 3 << 5 << Sequences{{"*"}}
                                            << QByteArray::fromHex("03ff7f0000") << 1;
    QTest::newRow("4 LEDs on a 2x8 panel") << QSize(4, 1) << 2 << 8 << Sequences{{"*"}}
                                           << QByteArray::fromHex("030f0000") << 0;
}

void tst_ProgramCompiler::image()
{
    QFETCH(QSize, made);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(Sequences, sequences);
    QFETCH(QByteArray, expected);
    QFETCH(int, surplus);

    LedPanelDocument document;
    AbstractCommand root(nullptr);
    build(root, document, made.isValid() ? made.height() : rows, made.isValid() ? made.width() : columns, sequences);
    ProgramCompiler compiler(rows, columns);
    QCOMPARE(compile(root, compiler).toHex(' '), expected.toHex(' '));
    QCOMPARE(compiler.surplusLedCount(), surplus);
}

void tst_ProgramCompiler::labelsAndClear()
{
    LedPanelDocument document;
    AbstractCommand root(nullptr);
    build(root, document, 3, 5, {{"0", "1"}, {}, {"2"}});
    static_cast<CommandList*>(root.childs().at(0))->setLabel(QStringLiteral("intro"));
    static_cast<CommandList*>(root.childs().at(2))->setLabel(QStringLiteral("finale"));

    ProgramCompiler compiler(3, 5);
    const QByteArray image = compile(root, compiler);
    const QList<QPair<QString, int>> labels{{"intro", 0}, {QString(), 9}, {"finale", 10}};
    QCOMPARE(compiler.programLabels(), labels);
    // Labels are bookkeeping only.
    QCOMPARE(image, QByteArray::fromHex("03010000" "03020000" "00" "00" "03040000" "00"));

    compiler.clear();
    QCOMPARE(compiler.programMemorySize(), 0);
    QVERIFY(compiler.programLabels().isEmpty());
    QCOMPARE(compile(root, compiler), image);
    QCOMPARE(compiler.programLabels(), labels);
}

QTEST_MAIN(tst_ProgramCompiler)
#include "tst_ProgramCompiler.moc"
