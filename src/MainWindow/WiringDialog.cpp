#include "MainWindow/WiringDialog.h"

#include "Data/ChangeLayoutEdit.h"
#include "Data/ProgramCompiler.h"
#include "Data/WiringSolver.h"
#include "Document/LedPanelDocument.h"
#include "MainWindow/WiringPanelView.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineF>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// The numbering the panel was given: the same cells for every LED, LED 0 in the same place.
bool sameNumbering(const LedLayout& a, const LedLayout& b)
{
    if (a.ledCount() != b.ledCount() || QLineF(a.ledPositionOf(0), b.ledPositionOf(0)).length() > 1e-6)
        return false;
    for (int led = 0; led < a.ledCount(); ++led) {
        if (a.cellOf(led) != b.cellOf(led))
            return false;
    }
    return true;
}

} // namespace

WiringDialog::WiringDialog(LedPanelDocument* document, PanelLink* link, QWidget* parent)
    : QDialog(parent)
    , m_pDocument(document)
    , m_pLink(link)
    , m_Believed(document->panelLayout())
    , m_Test(m_Believed)
    , m_Steps { WiringTest::FirstLed, WiringTest::SecondLed, WiringTest::SecondLine, WiringTest::EveryLed }
    , m_StepIndex(-1)
    , m_Lit(WiringTest::StepCount, -1)
    , m_Solved(false)
    , m_Wait(waitNone)
    , m_pPanel(new WiringPanelView(this))
    , m_pStepText(new QLabel(this))
    , m_pResultText(new QLabel(this))
    , m_pNumberings(new QListWidget(this))
    , m_pProgress(new QProgressBar(this))
    , m_pStop(new QPushButton(tr("Stop"), this))
    , m_pNext(new QPushButton(tr("&Next"), this))
    , m_pApply(new QPushButton(tr("&Apply"), this))
    , m_pWriteShow(new QPushButton(tr("&Write the show back"), this))
{
    Q_ASSERT(m_pDocument && m_pLink);
    setObjectName(QStringLiteral("WiringDialog"));
    setWindowTitle(tr("Check wiring"));
    setModal(true);
    m_pPanel->setObjectName(QStringLiteral("wiringPanel"));
    m_pStepText->setObjectName(QStringLiteral("label_Step"));
    m_pResultText->setObjectName(QStringLiteral("label_Result"));
    m_pNumberings->setObjectName(QStringLiteral("listWidget_Numberings"));
    m_pProgress->setObjectName(QStringLiteral("progressBar_Write"));
    m_pStop->setObjectName(QStringLiteral("pushButton_Stop"));
    m_pNext->setObjectName(QStringLiteral("pushButton_Next"));
    m_pApply->setObjectName(QStringLiteral("pushButton_Apply"));
    m_pWriteShow->setObjectName(QStringLiteral("pushButton_WriteShow"));
    for (QLabel* label : { m_pStepText, m_pResultText })
        label->setWordWrap(true);
    m_pPanel->setPanelLayout(m_Believed);
    m_pNumberings->hide();
    m_pProgress->hide();
    m_pStop->hide();
    m_pNext->setEnabled(false);
    m_pApply->setEnabled(false);
    m_pWriteShow->setEnabled(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    for (QPushButton* button : { m_pNext, m_pApply, m_pWriteShow })
        buttons->addButton(button, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pPanel, 1);
    layout->addWidget(m_pStepText);
    layout->addWidget(m_pResultText);
    layout->addWidget(m_pNumberings);
    auto* progress = new QHBoxLayout;
    progress->addWidget(m_pProgress, 1);
    progress->addWidget(m_pStop);
    layout->addLayout(progress);
    layout->addWidget(buttons);
    // A netbook's screen is smaller than the size wanted: the buttons must stay on it.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    resize(QSize(560, 600).boundedTo(screen->availableGeometry().size() * 0.9));

    connect(buttons, &QDialogButtonBox::rejected, this, &WiringDialog::reject);
    connect(m_pStop, &QPushButton::clicked, m_pLink, &PanelLink::stop);
    connect(m_pNext, &QPushButton::clicked, this, &WiringDialog::nextStep);
    connect(m_pApply, &QPushButton::clicked, this, &WiringDialog::apply);
    connect(m_pWriteShow, &QPushButton::clicked, this, &WiringDialog::writeShow);
    connect(m_pPanel, &WiringPanelView::ledClicked, this, &WiringDialog::ledClicked);
    connect(m_pNumberings, &QListWidget::currentRowChanged, this, [this]() { m_pApply->setEnabled(true); });
    connect(m_pLink, &PanelLink::finished, this, &WiringDialog::linkFinished);
    connect(m_pLink, &PanelLink::progress, this, [this](int done, int total) {
        m_pProgress->setRange(0, total);
        m_pProgress->setValue(done);
    });
}

void WiringDialog::start()
{
    const QMessageBox::StandardButton answer = QMessageBox::question(
        parentWidget(), tr("Check wiring"),
        tr("The wiring check writes a short test program to the panel, in place of the show stored on it. "
           "Write it now?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        deleteLater();
        return;
    }
    open();
    QByteArray image;
    QString problem;
    if (!m_Test.image(&image, &problem)) {
        m_pStepText->setText(problem);
        return;
    }
    m_pStepText->setText(tr("Writing the test program..."));
    m_Wait = waitProgram;
    m_pProgress->show();
    m_pStop->show();
    if (!m_pLink->writeProgram(image)) {
        m_Wait = waitNone;
        m_pStepText->setText(tr("The panel is busy; please try again when it is done."));
    }
}

void WiringDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // Texts and the progress bar shown once it is open make it grow downwards: on a small screen
    // that would push the buttons off the bottom.
    if (!isVisible())
        return;
    const QRect available = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    QPoint shift(qMin(0, available.right() - frame.right()), qMin(0, available.bottom() - frame.bottom()));
    shift.rx() = qMax(shift.x(), available.left() - frame.left());
    shift.ry() = qMax(shift.y(), available.top() - frame.top());
    if (!shift.isNull())
        move(pos() + shift);
}

void WiringDialog::reject()
{
    if (m_Wait == waitProgram || m_Wait == waitShow)
        m_pLink->stop();
    QDialog::reject();
}

bool WiringDialog::send(eWait wait, PanelLink::ePanelCommand command)
{
    // Before sending: a port that does not open answers at once, from inside sendCommand().
    m_Wait = wait;
    m_pNext->setEnabled(false);
    if (m_pLink->sendCommand(command))
        return true;
    m_Wait = waitNone;
    m_pNext->setEnabled(wait == waitNext);
    return false;
}

void WiringDialog::linkFinished(const PanelLink::Result& result)
{
    const eWait wait = m_Wait;
    if (wait == waitNone)
        return;
    m_Wait = waitNone;
    m_pProgress->hide();
    m_pStop->hide();
    if (result.outcome != PanelLink::outcomeDone) {
        const QString why = result.outcome == PanelLink::outcomeStopped
            ? tr("Writing stopped after block %1 of %2.").arg(result.blocksSent).arg(result.blockCount)
            : result.errorText;
        m_pStepText->setText(tr("The panel did not get it: %1").arg(why));
        m_pWriteShow->setEnabled(wait == waitShow);
        if (wait == waitNext)
            m_pNext->setEnabled(true);
        return;
    }
    switch (wait) {
    case waitProgram:
        // From its first sequence on.
        send(waitReset, PanelLink::cmdReset);
        break;
    case waitReset:
        showStep(0);
        break;
    case waitNext:
        showStep(m_StepIndex + 1);
        break;
    case waitShow:
        m_pStepText->setText(tr("The show is back on the panel."));
        m_pWriteShow->setEnabled(false);
        break;
    case waitNone:
        break;
    }
}

void WiringDialog::showStep(int index)
{
    m_StepIndex = index;
    const auto step = WiringTest::eStep(m_Steps.at(index));
    m_pPanel->setFrame(m_Test.frame(step));
    m_pPanel->setMarkedLed(m_Lit.at(step));
    const int led = m_Test.ledOf(step);
    if (led >= 0)
        m_pStepText->setText(tr("Sequence %1 lights LED %2 alone; here it is where the show puts it. "
                                "Click the LED that lit on your panel.")
                                 .arg(step + 1)
                                 .arg(led));
    else
        m_pStepText->setText(tr("Sequence %1 lights every LED; a dark one is a broken LED or connection.")
                                 .arg(step + 1));
    const bool last = index + 1 >= m_Steps.size();
    m_pNext->setEnabled(!last && (led < 0 || m_Lit.at(step) >= 0));
    m_pWriteShow->setEnabled(last);
}

void WiringDialog::ledClicked(int led)
{
    if (m_Wait != waitNone || m_StepIndex < 0)
        return;
    const auto step = WiringTest::eStep(m_Steps.at(m_StepIndex));
    if (m_Test.ledOf(step) < 0)
        return;
    m_Lit[step] = led;
    m_pPanel->setMarkedLed(led);
    if (m_Lit.at(WiringTest::FirstLed) >= 0 && m_Lit.at(WiringTest::SecondLed) >= 0
        && m_Lit.at(WiringTest::SecondLine) >= 0)
        solve();
    m_pNext->setEnabled(m_StepIndex + 1 < m_Steps.size());
}

void WiringDialog::nextStep()
{
    if (m_Wait == waitNone && m_StepIndex + 1 < m_Steps.size())
        send(waitNext, PanelLink::cmdNext);
}

void WiringDialog::solve()
{
    QVector<int> tested, lit;
    for (int step : qAsConst(m_Steps)) {
        if (m_Test.ledOf(WiringTest::eStep(step)) >= 0 && m_Lit.at(step) >= 0) {
            tested.append(m_Test.ledOf(WiringTest::eStep(step)));
            lit.append(m_Lit.at(step));
        }
    }
    m_Found = WiringSolver::solve(m_Believed, tested, lit);
    // One more LED, lit after every LED, tells apart what three leave open.
    if (m_Found.size() > 1 && !m_Steps.contains(WiringTest::OtherSecondLine)) {
        m_Steps.append(WiringTest::OtherSecondLine);
        m_pResultText->setText(tr("Several numberings fit so far; Next lights one more LED to tell them apart."));
        return;
    }
    showResult();
}

void WiringDialog::showResult()
{
    m_pNumberings->clear();
    m_pNumberings->setVisible(m_Found.size() > 1);
    m_pApply->setEnabled(m_Found.size() == 1 && !sameNumbering(m_Found.first(), m_pDocument->panelLayout()));
    if (m_Found.isEmpty()) {
        m_pResultText->setText(tr("No numbering explains the LEDs you clicked; the layout stays as it is."));
    } else if (m_Found.size() == 1 && !m_pApply->isEnabled()) {
        m_pResultText->setText(tr("The panel is numbered as the show says: %1.").arg(m_Found.first().numberingName()));
    } else if (m_Found.size() == 1) {
        m_pResultText->setText(tr("The panel is numbered %1. Apply makes it the show's numbering, with the "
                                  "pictures kept as drawn.")
                                   .arg(m_Found.first().numberingName()));
    } else {
        m_pResultText->setText(tr("These numberings all fit what you clicked; pick one to apply:"));
        for (const LedLayout& layout : qAsConst(m_Found))
            m_pNumberings->addItem(layout.numberingName());
    }
}

int WiringDialog::chosenNumbering() const
{
    return m_Found.size() == 1 ? 0 : m_pNumberings->currentRow();
}

void WiringDialog::apply()
{
    const int chosen = chosenNumbering();
    if (chosen < 0 || chosen >= m_Found.size())
        return;
    const LedLayout layout = m_Found.at(chosen);
    if (!m_pDocument->submit(new ChangeLayoutEdit(*m_pDocument, layout, ChangeLayoutEdit::KeepPlaces)))
        return;
    m_pApply->setEnabled(false);
    m_pResultText->setText(tr("The show is now numbered %1.").arg(layout.numberingName()));
}

void WiringDialog::writeShow()
{
    if (m_Wait != waitNone)
        return;
    QByteArray image;
    QString problem;
    if (!ProgramCompiler::compile(*m_pDocument, &image, &problem)) {
        m_pStepText->setText(problem);
        return;
    }
    m_Wait = waitShow;
    m_pWriteShow->setEnabled(false);
    m_pNext->setEnabled(false);
    m_pStepText->setText(tr("Writing the show..."));
    m_pProgress->show();
    m_pStop->show();
    if (!m_pLink->writeProgram(image)) {
        m_Wait = waitNone;
        m_pWriteShow->setEnabled(true);
    }
}
