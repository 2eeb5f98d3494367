#include "Data/WiringTest.h"

#include "Data/ChangeLayoutEdit.h"
#include "Data/EditGroup.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedPanelModel.h"
#include "Data/ProgramCompiler.h"

WiringTest::WiringTest(const LedLayout& layout)
    : m_Layout(layout)
{
}

int WiringTest::ledOf(eStep step) const
{
    const int last = int(qMax<qint64>(0, m_Layout.ledCount() - 1));
    switch (step) {
    case FirstLed:
        return 0;
    case SecondLed:
        return qMin(1, last);
    case SecondLine:
        return qMin(m_Layout.secondLineStart(), last);
    case OtherSecondLine:
        return qMin(m_Layout.order() == LedLayout::Rows ? m_Layout.rows() : m_Layout.columns(), last);
    default:
        return -1;
    }
}

QVector<int> WiringTest::frame(eStep step) const
{
    const int count = int(qBound<qint64>(0, m_Layout.ledCount(), LedLayout::MaxLedCount));
    QVector<int> values(count, step == EveryLed ? 1 : 0);
    const int led = ledOf(step);
    if (led >= 0 && led < count)
        values[led] = 1;
    return values;
}

QStringList WiringTest::stepTexts() const
{
    QStringList texts;
    for (int step = 0; step < StepCount; ++step) {
        const int led = ledOf(eStep(step));
        if (led < 0) {
            texts.append(tr("Sequence %1: every LED").arg(step + 1));
            continue;
        }
        const QPoint cell = m_Layout.ledCount() > 0 ? m_Layout.cellOf(led) : QPoint();
        texts.append(tr("Sequence %1: LED %2 alone, drawn at row %3, column %4")
                         .arg(step + 1)
                         .arg(led)
                         .arg(cell.y())
                         .arg(cell.x()));
    }
    return texts;
}

bool WiringTest::build(LedPanelModel* show) const
{
    Q_ASSERT(show);
    auto* edit = new EditGroup(tr("Wiring check"));
    edit->append(new ChangeLayoutEdit(*show, m_Layout));
    for (int step = 0; step < StepCount; ++step) {
        const QString label = tr("Step %1").arg(step + 1);
        edit->append(new InsertSequenceEdit(label, step));
        edit->append(new InsertFramesEdit(label, step, 0, { frame(eStep(step)) }));
    }
    return show->submit(edit);
}

bool WiringTest::image(QByteArray* image, QString* problem) const
{
    Q_ASSERT(image && problem);
    QString reason;
    if (!m_Layout.isValid(&reason)) {
        *problem = reason;
        return false;
    }
    LedPanelModel show;
    if (!build(&show)) {
        *problem = tr("The test program does not fit in memory.");
        return false;
    }
    return ProgramCompiler::compile(show, image, problem);
}
