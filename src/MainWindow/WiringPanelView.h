#ifndef WIRINGPANELVIEW_H
#define WIRINGPANELVIEW_H

#include "Data/LedLayout.h"
#include "GraphicsView/LedKeyboardCursor.h"

#include <QVector>
#include <QWidget>

// The panel as it should look during a step of the wiring check, on which the
// user clicks the LED that really lit, or goes to it with the arrow keys and
// presses Space; the LED taken for the step is ringed.
class WiringPanelView : public QWidget
{
    Q_OBJECT

public:
    explicit WiringPanelView(QWidget* parent = nullptr);

    void setPanelLayout(const LedLayout& layout);
    void setFrame(const QVector<int>& intensities);
    // The LED ringed as clicked, -1 for none.
    void setMarkedLed(int led);
    int markedLed() const;
    // Where LED `led` is drawn in the widget.
    QPoint ledPoint(int led) const;
    QSize sizeHint() const override;

signals:
    void ledClicked(int led);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QTransform toWidget() const;

    LedLayout m_Layout;
    QVector<int> m_Frame;
    int m_MarkedLed;
    LedKeyboardCursor m_Cursor;
};

#endif // WIRINGPANELVIEW_H
