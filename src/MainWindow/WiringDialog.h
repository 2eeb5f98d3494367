#ifndef WIRINGDIALOG_H
#define WIRINGDIALOG_H

#include "Data/LedLayout.h"
#include "Data/WiringTest.h"
#include "SerialPort/PanelLink.h"

#include <QDialog>
#include <QList>
#include <QVector>

class LedPanelDocument;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class WiringPanelView;

// Tools > Check wiring: writes the wiring test program to the panel over the
// window's link, walks the user through its steps with Next, and from the LEDs
// the user saw lit works out how the panel is numbered; Apply makes that the
// document's numbering with the pictures kept as drawn. At the end it offers to
// write the show back, since the test replaced it on the panel.
class WiringDialog : public QDialog
{
    Q_OBJECT

public:
    WiringDialog(LedPanelDocument* document, PanelLink* link, QWidget* parent);

    // Asks first, since the test overwrites the panel's show; then shows itself and writes.
    void start();

public slots:
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    enum eWait
    {
        waitNone,
        waitProgram,
        waitReset,
        waitNext,
        waitShow
    };

    bool send(eWait wait, PanelLink::ePanelCommand command);
    void linkFinished(const PanelLink::Result& result);
    void showStep(int step);
    void ledClicked(int led);
    void nextStep();
    void solve();
    void apply();
    void writeShow();
    void showResult();
    int chosenNumbering() const;

    LedPanelDocument* m_pDocument;
    PanelLink* m_pLink;
    LedLayout m_Believed;
    WiringTest m_Test;
    QVector<int> m_Steps; // the steps walked through, in order
    int m_StepIndex;
    QVector<int> m_Lit; // per click step: the LED the user saw lit
    QList<LedLayout> m_Found;
    bool m_Solved;
    eWait m_Wait;

    WiringPanelView* m_pPanel;
    QLabel* m_pStepText;
    QLabel* m_pResultText;
    QListWidget* m_pNumberings;
    QProgressBar* m_pProgress;
    QPushButton* m_pStop;
    QPushButton* m_pNext;
    QPushButton* m_pApply;
    QPushButton* m_pWriteShow;
};

#endif // WIRINGDIALOG_H
