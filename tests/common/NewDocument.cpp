#include "NewDocument.h"

#include "Data/CommandList.h"
#include "Document/LedPanelDocument.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainWindow.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include <QtTest>

LedPanelDocument* newDocumentWithFrames(MainWindow& window, int frames)
{
    window.show();
    auto* menu = qobject_cast<MainMenu*>(window.menuBar());
    if (!QTest::qWaitForWindowExposed(&window) || !menu)
        return nullptr;
    menu->action_New->trigger();
    auto* document = qobject_cast<LedPanelDocument*>(window.currentDocument());
    if (!document)
        return nullptr;
    menu->action_AddSequence->trigger();
    document->treeView()->setCurrentIndex(document->treeModel()->index(document->sequence(0)));
    for (int f = 0; f < frames; ++f)
        menu->action_AddFrame->trigger();
    return document->sequenceCount() == 1 && document->sequence(0)->frameCount() == frames ? document : nullptr;
}
