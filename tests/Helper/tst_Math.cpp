#include "Helper/Math.h"

#include <QtTest>

class tst_Math : public QObject
{
    Q_OBJECT

private slots:
    void cartesianToPolar_data();
    void cartesianToPolar();
    void polarToCartesian_data();
    void polarToCartesian();
    void roundTrip();
};

static bool near(const QPointF& a, const QPointF& b, qreal eps = 1e-9)
{
    return qAbs(a.x() - b.x()) < eps && qAbs(a.y() - b.y()) < eps;
}

void tst_Math::cartesianToPolar_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QPointF>("polar");

    QTest::newRow("up") << QPointF(0, -45) << QPointF(45, -90);
    QTest::newRow("left gives +180, not -180") << QPointF(-45, 0) << QPointF(45, 180);
    QTest::newRow("origin") << QPointF(0, 0) << QPointF(0, 0);
    QTest::newRow("right") << QPointF(3, 0) << QPointF(3, 0);
    QTest::newRow("down") << QPointF(0, 2) << QPointF(2, 90);
    QTest::newRow("3-4-5 lower left") << QPointF(-3, 4) << QPointF(5, 126.86989764584402);
    QTest::newRow("upper left") << QPointF(-1, -1) << QPointF(M_SQRT2, -135);
}

void tst_Math::cartesianToPolar()
{
    QFETCH(QPointF, point);
    QFETCH(QPointF, polar);
    const QPointF result = ::cartesianToPolar(point);
    QVERIFY2(near(result, polar), qPrintable(QString("(%1, %2)").arg(result.x()).arg(result.y())));
}

void tst_Math::polarToCartesian_data()
{
    QTest::addColumn<QPointF>("polar");
    QTest::addColumn<QPointF>("point");

    QTest::newRow("down") << QPointF(45, 90) << QPointF(0, 45);
    QTest::newRow("up") << QPointF(45, -90) << QPointF(0, -45);
    QTest::newRow("left") << QPointF(45, 180) << QPointF(-45, 0);
    QTest::newRow("beyond a turn") << QPointF(10, 360 + 90) << QPointF(0, 10);
    QTest::newRow("ring LED 1") << QPointF(45, -82.5) << QPointF(5.873697, -44.615);
    QTest::newRow("zero radius") << QPointF(0, 37) << QPointF(0, 0);
}

void tst_Math::polarToCartesian()
{
    QFETCH(QPointF, polar);
    QFETCH(QPointF, point);
    const QPointF result = ::polarToCartesian(polar);
    QVERIFY2(near(result, point, 1e-3), qPrintable(QString("(%1, %2)").arg(result.x()).arg(result.y())));
}

void tst_Math::roundTrip()
{
    for (int angle = -179; angle <= 180; angle += 7) {
        const QPointF polar(12.5, angle);
        QVERIFY(near(::cartesianToPolar(::polarToCartesian(polar)), polar, 1e-9));
    }
}

QTEST_APPLESS_MAIN(tst_Math)
#include "tst_Math.moc"
