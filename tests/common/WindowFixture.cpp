#include "WindowFixture.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/ShapePreviewItem.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include "ModalAnswer.h"
#include "NewDocument.h"

#include <QtTest>
#include <QtWidgets>

bool WindowFixture::showWindow()
{
    QFile::remove(settingsFile());
    m_window = new MainWindow;
    m_window->resize(900, 700);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window))
        return false;
    // Without a window manager, as under xvfb-run, nothing else gives it the focus.
    m_window->activateWindow();
    QApplication::setActiveWindow(m_window);
    return QTest::qWaitForWindowActive(m_window);
}

bool WindowFixture::closeWindow()
{
    delete m_window;
    m_window = nullptr;
    return ModalAnswer::allAnswered();
}

bool WindowFixture::openShow(const QByteArray& body)
{
    menu()->action_New->trigger();
    if (!document() || !readShow(*document(), showXml(body)))
        return false;
    document()->treeView()->expandAll();
    document()->makeCurrent(document()->node(0, 0) ? document()->node(0, 0) : document()->node(0));
    view()->ZoomAll();
    return true;
}

QMap<int, int> WindowFixture::values(int sequence, int frame) const
{
    QMap<int, int> values;
    const QVector<int> all = document()->sequence(sequence)->frame(frame)->intensities();
    for (int led = 0; led < all.size(); ++led) {
        if (all.at(led))
            values.insert(led, all.at(led));
    }
    return values;
}

void WindowFixture::selectFrames(int sequence, const QList<int>& frames)
{
    QItemSelectionModel* selection = document()->treeView()->selectionModel();
    selection->clearSelection();
    for (int frame : frames)
        selection->setCurrentIndex(document()->treeModel()->index(document()->node(sequence, frame)),
                                   QItemSelectionModel::Select);
}

bool WindowFixture::addFrames(int count)
{
    ModalAnswer::onNext([=](QWidget* dialog) {
        auto* spin = dialog->findChild<QSpinBox*>();
        spin->selectAll();
        QTest::keyClicks(spin, QString::number(count));
        QTest::keyClick(spin, count ? Qt::Key_Return : Qt::Key_Escape);
    });
    return triggerAnswered(menu()->action_AddFrames);
}

bool WindowFixture::triggerAnswered(QAction* action)
{
    action->trigger();
    return QTest::qWaitFor(&ModalAnswer::allAnswered);
}

void WindowFixture::drag(const QList<QPointF>& path, Qt::KeyboardModifiers modifiers, bool release)
{
    QWidget* viewport = view()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, modifiers, viewPoint(path.first()));
    for (const QPointF& scene : path.mid(1)) {
        const QPoint point = viewPoint(scene);
        QMouseEvent move(QEvent::MouseMove, point, viewport->mapToGlobal(point), Qt::NoButton, Qt::LeftButton,
                         modifiers);
        QApplication::sendEvent(viewport, &move);
    }
    if (release)
        QTest::mouseRelease(viewport, Qt::LeftButton, modifiers, viewPoint(path.last()));
}

void WindowFixture::clickLed(int led)
{
    const QPointF centre = document()->panelLayout().ledPositionOf(led);
    view()->centerOn(centre);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, viewPoint(centre));
}

ShapePreviewItem* WindowFixture::shapePreview() const
{
    for (QGraphicsItem* item : view()->QGraphicsView::scene()->items()) {
        if (auto* found = dynamic_cast<ShapePreviewItem*>(item))
            return found;
    }
    return nullptr;
}

bool WindowFixture::showWithFrames(int frames)
{
    return showWindow() && newDocumentWithFrames(*m_window, frames);
}
