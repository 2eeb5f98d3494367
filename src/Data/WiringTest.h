#ifndef WIRINGTEST_H
#define WIRINGTEST_H

#include "Data/LedLayout.h"

#include <QCoreApplication>
#include <QStringList>
#include <QVector>

class LedPanelModel;

// The short program that shows how a panel is wired: one sequence per step,
// each one frame. LED 0 alone, LED 1 alone, the first LED of the second line
// alone, every LED, and then the first LED of the second line the other way
// round, which tells apart numberings the first three leave open.
class WiringTest
{
    Q_DECLARE_TR_FUNCTIONS(WiringTest)

public:
    enum eStep
    {
        FirstLed = 0,
        SecondLed,
        SecondLine,
        EveryLed,
        OtherSecondLine,
        StepCount
    };

    explicit WiringTest(const LedLayout& layout);

    // The LED a step lights alone, -1 for the step that lights them all.
    int ledOf(eStep step) const;
    QVector<int> frame(eStep step) const;
    // "Sequence 3: LED 8 alone, drawn at row 1, column 0", one line per step.
    QStringList stepTexts() const;
    // The show holding the program, laid out as the panel is believed to be.
    bool build(LedPanelModel* show) const;
    // The program image; false with the reason for a layout the panel cannot take.
    bool image(QByteArray* image, QString* problem) const;

private:
    LedLayout m_Layout;
};

#endif // WIRINGTEST_H
