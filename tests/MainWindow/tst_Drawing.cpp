#include "Data/CommandList.h"

#include "common/ModalAnswer.h"
#include "common/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

using Leds = QList<int>; // lit LEDs, ascending

// The pen and lettering through the real window; the other tools are tst_Selection's.
class tst_Drawing : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(showWindow()); }
    void cleanup() { QVERIFY(closeWindow()); }
    void penClicks_data();
    void penClicks();
    void text_data();
    void text();

private:
    // A ring show of one frame with these LEDs lit, that frame current.
    void open(const Leds& lit)
    {
        const auto value = [&](int, int led) { return lit.contains(led) ? 1 : 0; };
        QVERIFY(openShow("<Layout type=\"Ring\"/>" + sequenceXml(0, 1, 192, value)));
    }
    Leds litLeds(int frame) const { return values(0, frame).keys(); }
};

// A click with the pen toggles the LED under the mouse, and only that one, as one undo step,
// and the view shows it; on rings and grids, fitted and close up.
void tst_Drawing::penClicks_data()
{
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<int>("led");
    QTest::addColumn<qreal>("zoom"); // times the fitted zoom

    QTest::newRow("ring, fitted") << QByteArray("<Layout type=\"Ring\"/>") << 30 << 1.0;
    QTest::newRow("ring, close up") << QByteArray("<Layout type=\"Ring\"/>") << 130 << 6.0;
    QTest::newRow("grid 128 x 128, fitted") << layoutXml(128, 128) << 9000 << 1.0;
    QTest::newRow("grid 128 x 128, close up") << layoutXml(128, 128) << 16383 << 20.0;
}

void tst_Drawing::penClicks()
{
    QFETCH(QByteArray, layout);
    QFETCH(int, led);
    QFETCH(qreal, zoom);

    QVERIFY(openShow(layout + sequenceXml(0, 1)));
    view()->scale(zoom, zoom);
    clickLed(led);
    const QPoint centre = viewPoint(document()->panelLayout().ledPositionOf(led));
    QVERIFY(view()->viewport()->rect().contains(centre));
    QCOMPARE(litLeds(0), Leds { led });
    QCOMPARE(undoText(), QString("Undo Toggle LED"));
    // Large enough to see: the view draws it lit.
    if (2 * document()->panelLayout().ledItemsSize() * view()->transform().m11() >= 8)
        QTRY_COMPARE(view()->viewport()->grab().toImage().pixelColor(centre), QColor(Qt::yellow));
    clickLed(led);
    QCOMPARE(litLeds(0), Leds());
}

void tst_Drawing::text_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("shown"); // the frame that shows the text from LED 0
    QTest::addColumn<Leds>("lit");

    // "AB" in the 3 x 4 face, the glyphs' top row on the outer circle.
    const Leds ab { 0, 2, 4, 5, 48, 49, 50, 52, 54, 96, 98, 100, 101, 102, 145, 148, 149 };
    QTest::newRow("still replaces the frame") << "AB" << 0 << "1 frame" << 1 << 0 << ab;
    QTest::newRow("scroll: ring + text + 1 frames") << "AB" << 1 << "56 frames" << 57 << 49 << ab;
    QTest::newRow("over 200 characters refused") << QString(201, 'x') << 1 << "longer than 200" << 1 << 0
                                                 << Leds { 100, 120 };
}

void tst_Drawing::text()
{
    QFETCH(QString, text);
    QFETCH(int, mode);
    QFETCH(QString, count);
    QFETCH(int, frames);
    QFETCH(int, shown);
    QFETCH(Leds, lit);

    open({ 100, 120 });
    bool okEnabled = false;
    QString countText;
    ModalAnswer::onNext([&](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("lineEdit_Text")->setText(text);
        dialog->findChild<QComboBox*>("comboBox_TextMode")->setCurrentIndex(mode);
        countText = dialog->findChild<QLabel*>("label_FrameCount")->text();
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        okEnabled = buttons->button(QDialogButtonBox::Ok)->isEnabled();
        buttons->button(okEnabled ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    action("action_Text")->trigger();
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY2(countText.contains(count), qPrintable(countText));
    QCOMPARE(document()->sequence(0)->frameCount(), frames);
    QCOMPARE(litLeds(shown), lit);
    QCOMPARE(okEnabled, text.size() <= 200);
    if (!okEnabled)
        return;
    QCOMPARE(undoText(), QString("Undo Text"));
    if (frames > 1) {
        QCOMPARE(litLeds(1), Leds());
        QCOMPARE(litLeds(frames - 1), Leds());
        QCOMPARE(litLeds(0), (Leds { 100, 120 }));
    }
    action("action_Undo")->trigger();
    QCOMPARE(document()->sequence(0)->frameCount(), 1);
    QCOMPARE(litLeds(0), (Leds { 100, 120 }));
}

QTEST_MAIN(tst_Drawing)
#include "tst_Drawing.moc"
