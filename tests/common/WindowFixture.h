#ifndef WINDOWFIXTURE_H
#define WINDOWFIXTURE_H

#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedStateWidget.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainWindow.h"

#include "TestData.h"

#include <QAction>
#include <QMap>

class ShapePreviewItem;

// A main window worked as a user works it, for the test classes that derive from it.
class WindowFixture
{
public:
    // Shown large enough for the LED view and active, without the settings earlier runs left.
    bool showWindow();
    // False when a dialog answer was scheduled and never given.
    bool closeWindow();

    MainMenu* menu() const { return qobject_cast<MainMenu*>(m_window->menuBar()); }
    LedPanelDocument* document() const { return qobject_cast<LedPanelDocument*>(m_window->currentDocument()); }
    QAction* action(const QString& name) const { return m_window->findChild<QAction*>(name); }
    LedStateWidget* view() const { return document()->ledFrame(); }
    // The Undo entry as read, "Undo Paint".
    QString undoText() const { return plainText(action(QStringLiteral("action_Undo"))->text()); }
    // A new document of the show's body, tree open, view fitted, sequence 0's first frame (or the sequence) current.
    bool openShow(const QByteArray& body);
    // The LEDs of a frame that are not 0, by index.
    QMap<int, int> values(int sequence, int frame) const;
    // Selects these frames of the sequence in the tree, and only these, the last one current.
    void selectFrames(int sequence, const QList<int>& frames);
    // Types the count into the Add frames dialog; 0 cancels it. False when the dialog did not come.
    bool addFrames(int count);
    // Triggers the action; false when a dialog answer scheduled before it was not given.
    bool triggerAnswered(QAction* action);

    QPoint viewPoint(const QPointF& scene) const { return view()->mapFromScene(scene); }
    // Presses at the first point, moves through the others and, when asked, lets go at the last.
    void drag(const QList<QPointF>& path, Qt::KeyboardModifiers modifiers = {}, bool release = true);
    // Centres the view on the LED and clicks it.
    void clickLed(int led);
    // The marks of the shape being dragged; null when none is.
    ShapePreviewItem* shapePreview() const;
    // showWindow() with a new document of one sequence of these frames, current in the tree.
    bool showWithFrames(int frames);

protected:
    MainWindow* m_window = nullptr;
};

#endif // WINDOWFIXTURE_H
