#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "Data/ProgramCompiler.h"
#include "common/DataColumns.h"
#include "common/TestData.h"

#include <QtTest>

// The image the panel is sent: one bit per LED, frames of the layout's size.
class tst_ProgramCompiler : public QObject
{
    Q_OBJECT

private slots:
    void image_data()
    {
        // A frame is a list of tokens: "9" lights LED 9, "9=-2" sets it to -2, "*" and "*=v" set every LED.
        const auto add = dataColumns<QSize, QStringList, QByteArray>("panel", "frames", "expected");
        const auto hex = [](const char* text) { return QByteArray::fromHex(text); };
        add("2x12 all on leaves the fourth byte", { 12, 2 }, { "*=7" }, hex("03ffffff0000"));
        add("only positive intensities are on", { 8, 1 }, { "0=-3 1 2=255 3=0 4=-2147483648 5=2147483647" },
            hex("032600"));
        add("two frames on a 3x5 panel", { 5, 3 }, { "1 14", "" }, hex("03024000" "03000000" "00"));
    }

    // Builds a sequence under its layout and compiles it in the order the panel link does.
    void image()
    {
        const auto [panel, frames, expected] =
            fetchColumns<QSize, QStringList, QByteArray>("panel", "frames", "expected");

        LedPanelModel document;
        QVERIFY(readShow(document, showXml(layoutXml(panel.height(), panel.width()))));
        CommandList sequence(&document);
        ProgramCompiler compiler(panel.height(), panel.width());
        compiler.addCommand(&sequence);
        for (const QString& frame : frames) {
            sequence.addFrame();
            const QList<LedData*> leds = sequence.frame(sequence.frameCount() - 1)->leds();
            for (const QString& token : frame.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                const QStringList pair = token.split(QLatin1Char('='));
                for (int i = 0; i < leds.size(); ++i)
                    if (pair.at(0) == QLatin1String("*") || pair.at(0).toInt() == i)
                        leds.at(i)->setIntensity(pair.size() > 1 ? pair.at(1).toInt() : 1);
            }
            compiler.addCommand(sequence.frame(sequence.frameCount() - 1));
        }
        compiler.addCommand(cmdLedSequence);
        QCOMPARE(QByteArray(compiler.programMemory(), compiler.programMemorySize()).toHex(' '), expected.toHex(' '));
    }
};

QTEST_GUILESS_MAIN(tst_ProgramCompiler)
#include "tst_ProgramCompiler.moc"
