#ifndef LEDPANELCONTEXTMENU_H
#define LEDPANELCONTEXTMENU_H

#include <QMenu>

class LedStateWidget;
class QAction;

// The right-click menu of the LED state view.
class LedPanelContextMenu : public QMenu
{
    Q_OBJECT

public:
    explicit LedPanelContextMenu(QWidget* parent);

    void connect(LedStateWidget* view);

    QAction* action_ZoomAll;

private:
    LedStateWidget* m_pGraphicsView;
};

#endif // LEDPANELCONTEXTMENU_H
