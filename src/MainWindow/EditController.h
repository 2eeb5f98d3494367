#ifndef EDITCONTROLLER_H
#define EDITCONTROLLER_H

#include "Data/FrameOperations.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVector>

class CommandList;
class LedPanelDocument;
class LedSelectTool;
class LedSelection;
class MainMenu;
class MainWindow;
class QAction;
class QMenu;
class QToolBar;
class QUndoGroup;

// The editing commands of the main window: undo and redo of the current
// document, sequences and frames added and removed, the frame clipboard, frame
// order, whole-frame operations and "Repeat...". Most act on the frames selected
// in the tree, or on the current frame when none is, and are enabled only when
// they can act. With LEDs selected in the view, the operations and "Repeat..."
// change those LEDs only, and Copy, Cut and Paste in the view take a region.
class EditController : public QObject
{
    Q_OBJECT

public:
    EditController(MainWindow* window, MainMenu* menu);

    void setDocument(LedPanelDocument* document);
    void setSelectTool(LedSelectTool* tool);
    QAction* operationAction(FrameOperations::eOperation operation) const;

    QAction* action_Undo = nullptr;
    QAction* action_Redo = nullptr;
    QAction* action_Cut = nullptr;
    QAction* action_Copy = nullptr;
    QAction* action_Paste = nullptr;
    QAction* action_DeleteFrames = nullptr;
    QAction* action_DuplicateFrame = nullptr;
    QAction* action_MoveFrameUp = nullptr;
    QAction* action_MoveFrameDown = nullptr;
    QAction* action_RepeatFrame = nullptr;

public slots:
    // Opens the layout dialog on the current document; its change is one edit.
    void changeLayout();
    void addSequence();
    void removeSequence();
    void addFrame();
    void addFrames();
    // The current frame only, whatever else is selected.
    void removeFrame();
    void cut();
    void copy();
    void paste();
    void deleteFrames();
    void duplicateFrame();
    void moveFrameUp();
    void moveFrameDown();
    void repeatFrame();
    void applyOperation(FrameOperations::eOperation operation);
    void updateActions();

private:
    void clipboardChanged();
    QAction* createAction(const QString& name, const QString& text);
    void createActions();
    void createMenus(MainMenu* menu);

    CommandList* currentSequence() const;
    // The selected frames of the current sequence, else the current frame; ascending.
    QList<int> targetRows() const;
    QVector<QVector<int>> targetValues() const;
    // A selection reaching into other sequences keeps only the current item's one.
    void reduceSelection();
    // The letters the menu's entries other than the operations take, lower case.
    QString menuKeys(const QMenu* menu) const;
    // Marks in each operation's text a letter of its own that is none of these.
    void markOperationKeys(const QString& taken);
    void selectFrames(int sequence, int first, int count);
    void moveFrames(int step);
    void appendFrames(int count);
    void removeFrames(const QList<int>& rows, const QString& text);
    void showMessage(const QString& text);
    LedSelection viewSelection() const;
    bool viewHasRegion() const;
    // The operation on the whole frame, or on the selected LEDs only.
    QVector<int> operated(FrameOperations::eOperation operation, const QVector<int>& values) const;

    MainWindow* m_pWindow;
    QPointer<LedPanelDocument> m_pDocument;
    LedSelectTool* m_pSelectTool = nullptr;
    QUndoGroup* m_pUndoGroup;
    QVector<QAction*> m_OperationActions;
    QMenu* m_pFrameMenu;
    QToolBar* m_pToolBar;
    QList<QMetaObject::Connection> m_DocumentConnections;
    bool m_Reducing;
    bool m_ClipboardHasFrames = false;
};

#endif // EDITCONTROLLER_H
