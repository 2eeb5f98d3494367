#include "Helper/Math.h"

#include <QtTest>

class tst_Math : public QObject
{
    Q_OBJECT

private slots:
    void conversions_data();
    void conversions();
};

void tst_Math::conversions_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QPointF>("polar");

    QTest::newRow("up") << QPointF(0, -45) << QPointF(45, -90);
    QTest::newRow("left is +180, not -180") << QPointF(-45, 0) << QPointF(45, 180);
    QTest::newRow("origin") << QPointF(0, 0) << QPointF(0, 0);
    QTest::newRow("down") << QPointF(0, 45) << QPointF(45, 90);
    QTest::newRow("3-4-5 lower left") << QPointF(-3, 4) << QPointF(5, 126.86989764584402);
    QTest::newRow("upper left") << QPointF(-1, -1) << QPointF(M_SQRT2, -135);
    QTest::newRow("ring LED 1") << QPointF(5.87367865, -44.61501876) << QPointF(45, -82.5);
}

void tst_Math::conversions()
{
    QFETCH(QPointF, point);
    QFETCH(QPointF, polar);

    const QPointF toPolar = cartesianToPolar(point);
    QVERIFY2(qAbs(toPolar.x() - polar.x()) < 1e-5 && qAbs(toPolar.y() - polar.y()) < 1e-5,
             qPrintable(QString("(%1, %2)").arg(toPolar.x()).arg(toPolar.y())));
    const QPointF back = polarToCartesian(polar);
    QVERIFY2(qAbs(back.x() - point.x()) < 1e-5 && qAbs(back.y() - point.y()) < 1e-5,
             qPrintable(QString("(%1, %2)").arg(back.x()).arg(back.y())));
    // A full turn more lands on the same point.
    const QPointF turned = polarToCartesian(QPointF(polar.x(), polar.y() + 360));
    QVERIFY(qAbs(turned.x() - point.x()) < 1e-5 && qAbs(turned.y() - point.y()) < 1e-5);
}

QTEST_APPLESS_MAIN(tst_Math)
#include "tst_Math.moc"
