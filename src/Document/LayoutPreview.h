#ifndef LAYOUTPREVIEW_H
#define LAYOUTPREVIEW_H

#include "Data/LedLayout.h"

#include <QWidget>

// The panel as a layout will make it, with a thin path through its LEDs in their
// order and the numbers of the first LEDs, of the first LED of each line and of
// the LED under the mouse, so the user sees which way the numbering runs.
class LayoutPreview : public QWidget
{
    Q_OBJECT

public:
    explicit LayoutPreview(QWidget* parent = nullptr);

    void setPanelLayout(const LedLayout& layout);
    // The LED whose number is shown for the mouse, -1 for none.
    int hoveredLed() const;
    QSize sizeHint() const override;

    struct Label
    {
        int led;
        QRect box; // in the widget
    };
    // The numbers drawn, none over another.
    QVector<Label> labels() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool drawable() const;
    QTransform toWidget() const;

    LedLayout m_Layout;
    int m_HoveredLed;
};

#endif // LAYOUTPREVIEW_H
