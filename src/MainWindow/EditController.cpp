#include "MainWindow/EditController.h"

#include "Data/CommandList.h"
#include "Data/FrameClipboard.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedStateCommand.h"
#include "Data/LedRegion.h"
#include "Data/LedValuesEdit.h"
#include "Data/MoveFramesEdit.h"
#include "Data/RegionOperations.h"
#include "Data/RemoveFramesEdit.h"
#include "Data/RemoveSequenceEdit.h"
#include "Document/LayoutDialog.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedStateWidget.h"
#include "LedPanelContextMenu.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/LedSelectTool.h"
#include "MainWindow/MainWindow.h"
#include "MainWindow/RepeatFrameDialog.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHash>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QSet>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoGroup>
#include <QUndoStack>

namespace {

// Gives the operation its first letter still free; failing that, one taken from an operation that can move to
// another (bipartite matching), so that an early text's letter does not leave a later text without any.
bool placeKey(int operation, const QVector<QString>& letters, QHash<QChar, int>& owner, QSet<QChar>& tried)
{
    for (const QChar key : letters.at(operation)) {
        if (!owner.contains(key)) {
            owner.insert(key, operation);
            return true;
        }
    }
    for (const QChar key : letters.at(operation)) {
        if (tried.contains(key))
            continue;
        tried.insert(key);
        const int holder = owner.value(key, -1);
        if (holder < 0 || placeKey(holder, letters, owner, tried)) {
            owner.insert(key, operation);
            return true;
        }
    }
    return false;
}

} // namespace

EditController::EditController(MainWindow* window, MainMenu* menu)
    : QObject(window)
    , m_pWindow(window)
    , m_pUndoGroup(new QUndoGroup(this))
    , m_pFrameMenu(nullptr)
    , m_pToolBar(nullptr)
    , m_Reducing(false)
{
    Q_ASSERT(m_pWindow && menu);
    createActions();
    createMenus(menu);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &EditController::clipboardChanged);
    connect(m_pUndoGroup, &QUndoGroup::indexChanged, this, &EditController::updateActions);
    clipboardChanged();
}

QAction* EditController::createAction(const QString& name, const QString& text)
{
    auto* action = new QAction(text, m_pWindow);
    action->setObjectName(name);
    return action;
}

void EditController::createActions()
{
    action_Undo = m_pUndoGroup->createUndoAction(m_pWindow, tr("&Undo"));
    action_Undo->setObjectName(QStringLiteral("action_Undo"));
    action_Undo->setShortcuts(QKeySequence::Undo);
    // The menu names the step; the toolbar keeps a steady width.
    action_Undo->setIconText(tr("Undo"));
    action_Redo = m_pUndoGroup->createRedoAction(m_pWindow, tr("&Redo"));
    action_Redo->setObjectName(QStringLiteral("action_Redo"));
    action_Redo->setShortcuts(QKeySequence::Redo);
    action_Redo->setIconText(tr("Redo"));

    action_Cut = createAction(QStringLiteral("action_Cut"), tr("Cu&t"));
    action_Cut->setShortcuts(QKeySequence::Cut);
    action_Copy = createAction(QStringLiteral("action_Copy"), tr("&Copy"));
    action_Copy->setShortcuts(QKeySequence::Copy);
    action_Paste = createAction(QStringLiteral("action_Paste"), tr("&Paste"));
    action_Paste->setShortcuts(QKeySequence::Paste);
    action_DeleteFrames = createAction(QStringLiteral("action_DeleteFrames"), tr("&Delete"));
    // Del only: X11's standard delete keys also hold Ctrl+D, which is Duplicate frame's.
    action_DeleteFrames->setShortcut(QKeySequence(Qt::Key_Delete));
    action_DuplicateFrame = createAction(QStringLiteral("action_DuplicateFrame"), tr("Dup&licate frame"));
    action_DuplicateFrame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    action_MoveFrameUp = createAction(QStringLiteral("action_MoveFrameUp"), tr("&Move frame up"));
    action_MoveFrameUp->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up));
    action_MoveFrameDown = createAction(QStringLiteral("action_MoveFrameDown"), tr("Move frame do&wn"));
    action_MoveFrameDown->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down));
    action_RepeatFrame = createAction(QStringLiteral("action_RepeatFrame"), tr("R&epeat..."));

    connect(action_Cut, &QAction::triggered, this, &EditController::cut);
    connect(action_Copy, &QAction::triggered, this, &EditController::copy);
    connect(action_Paste, &QAction::triggered, this, &EditController::paste);
    connect(action_DeleteFrames, &QAction::triggered, this, &EditController::deleteFrames);
    connect(action_DuplicateFrame, &QAction::triggered, this, &EditController::duplicateFrame);
    connect(action_MoveFrameUp, &QAction::triggered, this, &EditController::moveFrameUp);
    connect(action_MoveFrameDown, &QAction::triggered, this, &EditController::moveFrameDown);
    connect(action_RepeatFrame, &QAction::triggered, this, &EditController::repeatFrame);

    for (int op = 0; op < FrameOperations::OperationCount; ++op) {
        const auto operation = FrameOperations::eOperation(op);
        QAction* action = createAction(FrameOperations::objectName(operation),
                                       FrameOperations::text(operation, LedLayout::Ring));
        connect(action, &QAction::triggered, this, [this, operation] { applyOperation(operation); });
        m_OperationActions.append(action);
    }
}

void EditController::createMenus(MainMenu* menu)
{
    Q_ASSERT(menu->menu_Edit && menu->menu_Frame);
    const QList<QAction*> operations = m_OperationActions.toList();
    const QList<QAction*> order = {action_DuplicateFrame, action_MoveFrameUp, action_MoveFrameDown};
    const QList<QAction*> clipboard = {action_Cut, action_Copy, action_Paste, action_DeleteFrames};

    QMenu* edit = menu->menu_Edit;
    edit->addAction(action_Undo);
    edit->addAction(action_Redo);
    edit->addSeparator();
    edit->addActions(clipboard);
    edit->addSeparator();
    edit->addActions(order);

    QMenu* frame = menu->menu_Frame;
    frame->addSeparator();
    frame->addActions(order);
    frame->addAction(action_RepeatFrame);
    frame->addSeparator();
    frame->addActions(operations.mid(FrameOperations::Clear, 3));
    frame->addSeparator();
    frame->addActions(operations.mid(FrameOperations::ShiftForward, 4));
    frame->addSeparator();
    frame->addActions(operations.mid(FrameOperations::MirrorColumns, 2));

    m_pFrameMenu = new QMenu(m_pWindow);
    m_pFrameMenu->setObjectName(QStringLiteral("contextMenu_frame"));
    m_pFrameMenu->addActions(clipboard);
    m_pFrameMenu->addSeparator();
    m_pFrameMenu->addActions(order);
    m_pFrameMenu->addAction(action_RepeatFrame);
    m_pFrameMenu->addSeparator();
    m_pFrameMenu->addActions(operations);
    // The operations sit in several menus beside different entries; each menu gives them its letters as it opens.
    for (QMenu* shown : {frame, m_pFrameMenu})
        connect(shown, &QMenu::aboutToShow, this, [this, shown] { markOperationKeys(menuKeys(shown)); });

    m_pToolBar = new QToolBar(tr("Edit"), m_pWindow);
    m_pToolBar->setObjectName(QStringLiteral("toolBar_Edit"));
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_pToolBar->addActions({action_Undo, action_Redo});
    m_pToolBar->addSeparator();
    m_pToolBar->addActions({action_Copy, action_Paste, action_DuplicateFrame, action_RepeatFrame});
    m_pToolBar->addSeparator();
    m_pToolBar->addActions({operationAction(FrameOperations::ShiftBack),
                            operationAction(FrameOperations::ShiftForward),
                            operationAction(FrameOperations::Invert)});
    m_pWindow->addToolBar(m_pToolBar);
}

QAction* EditController::operationAction(FrameOperations::eOperation operation) const
{
    return m_OperationActions.value(operation, nullptr);
}

void EditController::setDocument(LedPanelDocument* document)
{
    while (!m_DocumentConnections.isEmpty())
        disconnect(m_DocumentConnections.takeFirst());
    m_pDocument = document;
    if (!document) {
        m_pUndoGroup->setActiveStack(nullptr);
        updateActions();
        return;
    }

    if (!m_pUndoGroup->stacks().contains(document->undoStack()))
        m_pUndoGroup->addStack(document->undoStack());
    m_pUndoGroup->setActiveStack(document->undoStack());

    LedTreeView* tree = document->treeView();
    QItemSelectionModel* selection = tree->selectionModel();
    m_DocumentConnections
        << connect(selection, &QItemSelectionModel::selectionChanged, this, &EditController::reduceSelection)
        << connect(selection, &QItemSelectionModel::currentChanged, this, &EditController::reduceSelection)
        << connect(document, &LedPanelDocument::treeChanged, this, &EditController::updateActions)
        << connect(tree, &LedTreeView::frameMenuRequested, m_pFrameMenu,
                   [this](const QPoint& pos) { m_pFrameMenu->popup(pos); });

    // The LED view's menu: "Zoom all" first, then what acts on the frame shown.
    if (auto* viewMenu = document->ledFrame()->findChild<LedPanelContextMenu*>()) {
        if (!viewMenu->actions().contains(action_Undo)) {
            viewMenu->addSeparator();
            viewMenu->addActions({action_Undo, action_Redo});
            viewMenu->addSeparator();
            viewMenu->addActions({action_Copy, action_Paste});
            viewMenu->addSeparator();
            viewMenu->addActions(m_OperationActions.toList());
            connect(viewMenu, &QMenu::aboutToShow, this, [this, viewMenu] { markOperationKeys(menuKeys(viewMenu)); });
        }
    }
    updateActions();
}

CommandList* EditController::currentSequence() const
{
    return m_pDocument ? m_pDocument->currentSequence() : nullptr;
}

QList<int> EditController::targetRows() const
{
    return m_pDocument ? m_pDocument->targetFrameRows() : QList<int>();
}

QVector<QVector<int>> EditController::targetValues() const
{
    QVector<QVector<int>> frames;
    CommandList* sequence = currentSequence();
    for (int row : targetRows())
        frames.append(sequence->frame(row)->intensities());
    return frames;
}

void EditController::reduceSelection()
{
    if (!m_pDocument || m_Reducing) {
        updateActions();
        return;
    }
    m_Reducing = true;
    CommandList* sequence = currentSequence();
    QItemSelectionModel* selection = m_pDocument->treeView()->selectionModel();
    QItemSelection inside;
    bool reduced = false;
    for (const QModelIndex& index : selection->selectedIndexes()) {
        auto* node = static_cast<AbstractCommand*>(index.internalPointer());
        const AbstractCommand* owner = node->type() == typeLedState ? node->parent() : node;
        if (owner == sequence)
            inside.select(index, index);
        else
            reduced = true;
    }
    // Kept as the selection still being extended: a plain deselect would fix the Shift range drawn so far,
    // and Shift+arrows back towards the anchor could no longer shrink it.
    if (reduced)
        selection->select(inside, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Current);
    m_Reducing = false;
    updateActions();
}

void EditController::selectFrames(int sequence, int first, int count)
{
    if (!m_pDocument || count <= 0)
        return;
    LedTreeModel* model = m_pDocument->treeModel();
    const QModelIndex parent = model->index(sequence, 0);
    const QModelIndex top = model->index(first, 0, parent);
    QItemSelectionModel* selection = m_pDocument->treeView()->selectionModel();
    m_pDocument->treeView()->expand(parent);
    selection->setCurrentIndex(top, QItemSelectionModel::ClearAndSelect);
    selection->select(QItemSelection(top, model->index(first + count - 1, 0, parent)), QItemSelectionModel::Select);
    m_pDocument->treeView()->scrollTo(top);
}

void EditController::showMessage(const QString& text)
{
    m_pWindow->statusBar()->showMessage(text, 5000);
}

void EditController::changeLayout()
{
    if (!m_pDocument)
        return;
    auto* dialog = new LayoutDialog(m_pDocument, m_pWindow);
    dialog->setObjectName(QStringLiteral("LayoutDialog"));
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    connect(dialog, &LayoutDialog::layoutChanged, this, [this](qint64 dropped) {
        if (dropped > 0)
            showMessage(tr("%n lit LED(s) fell outside the new layout and were dropped.", nullptr,
                           int(qMin<qint64>(dropped, INT_MAX))));
    });
    dialog->show();
}

void EditController::addSequence()
{
    if (m_pDocument)
        m_pDocument->submit(new InsertSequenceEdit(tr("Add sequence"), m_pDocument->sequenceCount()));
}

void EditController::removeSequence()
{
    if (CommandList* sequence = currentSequence())
        m_pDocument->submit(new RemoveSequenceEdit(tr("Remove sequence"), sequence->index()));
}

void EditController::appendFrames(int count)
{
    CommandList* sequence = currentSequence();
    if (!sequence)
        return;
    const QVector<QVector<int>> frames(count, QVector<int>(int(m_pDocument->panelLayout().ledCount()), 0));
    m_pDocument->submit(new InsertFramesEdit(count == 1 ? tr("Add frame") : tr("Add frames"), sequence->index(),
                                             sequence->frameCount(), frames));
}

void EditController::addFrame()
{
    appendFrames(1);
}

void EditController::addFrames()
{
    if (!currentSequence())
        return;
    bool ok = false;
    const int count = QInputDialog::getInt(m_pWindow, QStringLiteral("Append LedStates"), QStringLiteral("Number:"),
                                           10, 1, 999, 1, &ok);
    // All of them are one edit, so they are also undone at once; the document may have gone meanwhile.
    if (ok)
        appendFrames(count);
}

void EditController::removeFrames(const QList<int>& rows, const QString& text)
{
    if (rows.isEmpty())
        return;
    // Several rows are the selected ones, which go anyway: left selected, the tree would walk its whole
    // selection at each of them, and thousands of frames selected apart took minutes.
    if (rows.size() > 1)
        m_pDocument->treeView()->selectionModel()->clearSelection();
    m_pDocument->submit(new RemoveFramesEdit(text, currentSequence()->index(), rows));
}

void EditController::removeFrame()
{
    if (const LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr)
        removeFrames({ frame->index() }, tr("Delete frames"));
}

void EditController::deleteFrames()
{
    removeFrames(targetRows(), tr("Delete frames"));
}

void EditController::setSelectTool(LedSelectTool* tool)
{
    m_pSelectTool = tool;
}

LedSelection EditController::viewSelection() const
{
    return m_pDocument ? m_pDocument->ledFrame()->selection() : LedSelection();
}

bool EditController::viewHasRegion() const
{
    return m_pDocument && m_pDocument->currentFrame() && m_pDocument->ledFrame()->hasFocus()
        && !viewSelection().isEmpty();
}

QVector<int> EditController::operated(FrameOperations::eOperation operation, const QVector<int>& values) const
{
    const LedLayout& layout = m_pDocument->panelLayout();
    const LedSelection selection = viewSelection();
    if (selection.isEmpty())
        return FrameOperations::apply(operation, values, layout);
    return RegionOperations::apply(operation, values, layout, selection);
}

void EditController::copy()
{
    const QVector<QVector<int>> frames = targetValues();
    if (frames.isEmpty())
        return;
    auto* data = new QMimeData;
    FrameClipboard::store(data, frames);
    if (viewHasRegion()) {
        const LedSelection selection = viewSelection();
        const LedRegion region = LedRegion::take(m_pDocument->panelLayout(),
                                                 m_pDocument->currentFrame()->intensities(), selection);
        data->setData(QLatin1String(LedRegion::MimeType), region.toByteArray());
        QApplication::clipboard()->setMimeData(data);
        showMessage(selection.count() == 1 ? tr("1 LED copied.") : tr("%1 LEDs copied.").arg(selection.count()));
        return;
    }
    QApplication::clipboard()->setMimeData(data);
    showMessage(frames.size() == 1 ? tr("1 frame copied.") : tr("%1 frames copied.").arg(frames.size()));
}

void EditController::cut()
{
    const QList<int> rows = targetRows();
    if (rows.isEmpty())
        return;
    const bool region = viewHasRegion();
    copy();
    if (!region) {
        removeFrames(rows, tr("Cut"));
        return;
    }
    const LedStateCommand* frame = m_pDocument->currentFrame();
    auto* edit = new LedValuesEdit(tr("Cut"));
    edit->setFrame(frame, operated(FrameOperations::Clear, frame->intensities()));
    if (edit->isEmpty())
        delete edit;
    else
        m_pDocument->submit(edit);
}

void EditController::paste()
{
    CommandList* sequence = currentSequence();
    if (!sequence)
        return;
    if (m_pSelectTool && m_pDocument->ledFrame()->hasFocus()) {
        const int dropped = m_pSelectTool->paste(QApplication::clipboard()->mimeData());
        if (dropped > 0)
            showMessage(dropped == 1 ? tr("1 LED fell outside the panel.")
                                     : tr("%1 LEDs fell outside the panel.").arg(dropped));
        if (dropped >= 0)
            return;
    }
    const LedStateCommand* frame = m_pDocument->currentFrame();
    const int row = frame ? frame->index() + 1 : sequence->frameCount();
    const int ledCount = int(m_pDocument->panelLayout().ledCount());
    QVector<QVector<int>> frames;
    QString message;
    if (!FrameClipboard::read(QApplication::clipboard()->mimeData(), ledCount, &frames, &message)) {
        showMessage(message);
        return;
    }
    const int index = sequence->index();
    if (!m_pDocument->submit(new InsertFramesEdit(tr("Paste"), index, row, frames)))
        return;
    selectFrames(index, row, frames.size());
    showMessage(message);
}

void EditController::duplicateFrame()
{
    const LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr;
    if (!frame)
        return;
    const int sequence = frame->parent()->index();
    const int row = frame->index() + 1;
    if (m_pDocument->submit(new InsertFramesEdit(tr("Duplicate frame"), sequence, row, {frame->intensities()})))
        selectFrames(sequence, row, 1);
}

void EditController::moveFrames(int step)
{
    const QList<int> rows = targetRows();
    if (rows.isEmpty() || rows.first() + step < 0 || rows.last() + step >= currentSequence()->frameCount())
        return;
    m_pDocument->submit(MoveFramesEdit::byOne(tr("Move frame"), currentSequence()->index(), rows, step));
}

void EditController::moveFrameUp()
{
    moveFrames(-1);
}

void EditController::moveFrameDown()
{
    moveFrames(1);
}

void EditController::applyOperation(FrameOperations::eOperation operation)
{
    CommandList* sequence = currentSequence();
    const QList<int> rows = targetRows();
    if (rows.isEmpty())
        return;
    const LedLayout& layout = m_pDocument->panelLayout();
    auto* edit = new LedValuesEdit(FrameOperations::text(operation, layout.type()));
    for (int row : rows) {
        const LedStateCommand* frame = sequence->frame(row);
        edit->setFrame(frame, operated(operation, frame->intensities()));
    }
    if (edit->isEmpty()) {
        delete edit;
        showMessage(tr("%1 changes nothing here.").arg(FrameOperations::text(operation, layout.type())));
        return;
    }
    m_pDocument->submit(edit);
}

void EditController::repeatFrame()
{
    const LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr;
    if (!frame)
        return;
    // Playing on would take the frame away while the dialog is open, and the repeat with it.
    emit m_pDocument->aboutToEdit();
    const LedLayout layout = m_pDocument->panelLayout();
    RepeatFrameDialog dialog(layout.type(), m_pWindow);
    if (dialog.exec() != QDialog::Accepted || !m_pDocument || m_pDocument->currentFrame() != frame)
        return;
    // Checked before the frames are made: 999 frames of a large panel are many values.
    if (!m_pDocument->admits(qint64(dialog.count()) * frame->ledCount()))
        return;
    QVector<QVector<int>> frames;
    QVector<int> values = frame->intensities();
    for (int k = 0; k < dialog.count(); ++k) {
        values = operated(dialog.operation(), values);
        frames.append(values);
    }
    const int sequence = frame->parent()->index();
    const int row = frame->index() + 1;
    if (m_pDocument->submit(new InsertFramesEdit(tr("Repeat frame"), sequence, row, frames)))
        selectFrames(sequence, row, frames.size());
}

void EditController::clipboardChanged()
{
    // Read once per change: another program's text comes over whole at each read, and the actions are
    // updated at every step through the tree.
    m_ClipboardHasFrames = FrameClipboard::canRead(QApplication::clipboard()->mimeData());
    updateActions();
}

void EditController::updateActions()
{
    CommandList* sequence = currentSequence();
    const QList<int> rows = targetRows();
    const bool frames = !rows.isEmpty();
    const bool current = m_pDocument && m_pDocument->currentFrame();
    for (QAction* action : {action_Cut, action_Copy, action_DeleteFrames})
        action->setEnabled(frames);
    action_Paste->setEnabled(sequence && m_ClipboardHasFrames);
    action_DuplicateFrame->setEnabled(current);
    action_RepeatFrame->setEnabled(current);
    action_MoveFrameUp->setEnabled(frames && rows.first() > 0);
    action_MoveFrameDown->setEnabled(frames && rows.last() < sequence->frameCount() - 1);

    const LedLayout::eType type = m_pDocument ? m_pDocument->panelLayout().type() : LedLayout::Ring;
    bool renamed = false;
    for (int op = 0; op < m_OperationActions.size(); ++op) {
        QAction* action = m_OperationActions.at(op);
        action->setEnabled(frames);
        const QString text = FrameOperations::text(FrameOperations::eOperation(op), type);
        if (!action->text().contains(QLatin1Char('&')) || action->text().remove(QLatin1Char('&')) != text) {
            action->setText(text);
            renamed = true;
        }
    }
    // Until a menu opens, the letters are the Frame menu's, whose own entries keep A, D, R, L, M, W, E and T.
    if (renamed)
        markOperationKeys(QStringLiteral("adrlmwet"));
}

QString EditController::menuKeys(const QMenu* menu) const
{
    QString keys;
    for (QAction* entry : menu->actions()) {
        const QString text = QString(entry->text()).remove(QStringLiteral("&&"));
        const int at = text.indexOf(QLatin1Char('&'));
        if (!m_OperationActions.contains(entry) && at >= 0 && at + 1 < text.size())
            keys += text.at(at + 1).toLower();
    }
    return keys;
}

void EditController::markOperationKeys(const QString& taken)
{
    QVector<QString> texts;
    QVector<QString> letters; // each text's letters not taken, in order, each once
    for (const QAction* action : m_OperationActions) {
        texts << action->text().remove(QLatin1Char('&'));
        QString own;
        for (const QChar c : texts.last()) {
            const QChar key = c.toLower();
            if (key.isLetter() && !taken.contains(key) && !own.contains(key))
                own += key;
        }
        letters << own;
    }
    QHash<QChar, int> owner;
    for (int op = 0; op < texts.size(); ++op) {
        QSet<QChar> tried;
        placeKey(op, letters, owner, tried);
    }
    for (int op = 0; op < texts.size(); ++op) {
        QString text = texts.at(op);
        const QChar key = owner.key(op);
        if (!key.isNull())
            text.insert(text.toLower().indexOf(key), QLatin1Char('&'));
        m_OperationActions.at(op)->setText(text);
    }
}
