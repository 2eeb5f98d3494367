#include "LedPanelContextMenu.h"

#include "GraphicsView/LedStateWidget.h"

#include <QAction>

LedPanelContextMenu::LedPanelContextMenu(QWidget* parent)
    : QMenu(parent)
    , action_ZoomAll(new QAction(tr("&Zoom all"), this))
    , m_pGraphicsView(nullptr)
{
    action_ZoomAll->setObjectName(QStringLiteral("action_ZoomAll"));
    addAction(action_ZoomAll);
}

void LedPanelContextMenu::connect(LedStateWidget* view)
{
    Q_ASSERT(view);
    m_pGraphicsView = view;
    QObject::connect(action_ZoomAll, &QAction::triggered, view, &LedStateWidget::ZoomAll);
}
