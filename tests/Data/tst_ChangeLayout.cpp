#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "common/TestData.h"

#include <QtTest>

// A lit LED at (row, column) of a frame.
using Cells = QVector<QPoint>;

class tst_ChangeLayout : public QObject
{
    Q_OBJECT

private slots:
    void change_data();
    void change();
};

void tst_ChangeLayout::change_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<Cells>("kept");
    QTest::addColumn<int>("dropped");

    // The show starts as an 8 x 8 grid with (0,0), (3,5), (7,7) lit in every frame.
    QTest::newRow("grid shrinks") << int(LedLayout::Rectangle) << 4 << 6 << Cells{{0, 0}, {3, 5}} << 1;
    QTest::newRow("grid to ring") << int(LedLayout::Ring) << 4 << 48 << Cells{{0, 0}, {3, 5}} << 1;
}

void tst_ChangeLayout::change()
{
    QFETCH(int, type);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(Cells, kept);
    QFETCH(int, dropped);

    const auto lit = [](int, int i) { return i == 0 || i == 3 * 8 + 5 || i == 63 ? 1 : 0; };
    LedPanelModel show;
    QVERIFY(readShow(show, showXml(layoutXml(8, 8) + sequenceXml(0, 3, 64, lit) + sequenceXml(1, 2, 64, lit))));
    const QByteArray before = writtenShow(show);

    const LedLayout layout = LedLayout::create(LedLayout::eType(type), rows, columns);
    ChangeLayoutEdit edit(show, layout);
    QCOMPARE(edit.droppedLitCount(), qint64(dropped) * 5);
    edit.redo(show);
    QCOMPARE(show.panelLayout(), layout);
    QVector<int> expected(rows * columns);
    for (const QPoint& cell : kept)
        expected[cell.x() * columns + cell.y()] = 1;
    for (int s = 0; s < show.sequenceCount(); ++s) {
        for (int f = 0; f < show.sequence(s)->frameCount(); ++f)
            QCOMPARE(show.sequence(s)->frame(f)->intensities(), expected);
    }

    // Undone, the show writes the file it was read from, byte for byte.
    edit.undo(show);
    QCOMPARE(writtenShow(show), before);
}

QTEST_GUILESS_MAIN(tst_ChangeLayout)
#include "tst_ChangeLayout.moc"
