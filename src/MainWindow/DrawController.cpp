#include "MainWindow/DrawController.h"

#include "Data/CommandList.h"
#include "Data/InsertFramesEdit.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "Data/TextFrames.h"
#include "Document/LedPanelDocument.h"
#include "Data/LedSymmetry.h"
#include "GraphicsView/LedStateWidget.h"
#include "MainWindow/LedDrawTool.h"
#include "MainWindow/LedSelectTool.h"
#include "MainWindow/DrawToolIcons.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/TextDialog.h"
#include "TreeView/LedTreeView.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

DrawController::DrawController(QMainWindow* window, MainMenu* menu)
    : QObject(window)
    , m_pWindow(window)
    , m_pTool(new LedDrawTool(this))
    , m_pSelectTool(new LedSelectTool(this))
    , m_pTools(new QActionGroup(this))
    , m_pSymmetries(new QActionGroup(this))
{
    Q_ASSERT(m_pWindow && menu);
    connect(m_pTool, &LedDrawTool::aboutToDraw, this, &DrawController::aboutToDraw);
    createActions();
    createMenus(menu);
    updateActions();
}

LedDrawTool* DrawController::drawTool() const
{
    return m_pTool;
}

LedSelectTool* DrawController::selectTool() const
{
    return m_pSelectTool;
}

QString DrawController::toolTip(const QString& text, Qt::Key key)
{
    return tr("%1 (%2)").arg(QString(text).remove(QLatin1Char('&')), QKeySequence(key).toString(QKeySequence::NativeText));
}

QAction* DrawController::createAction(const QString& name, const QString& text, Qt::Key key)
{
    auto* action = new QAction(text, m_pWindow);
    action->setObjectName(name);
    // The window's context, as Space for playing: a text field keeps its letters, a dialog is another window.
    if (key != Qt::Key_unknown) {
        action->setShortcut(QKeySequence(key));
        action->setToolTip(toolTip(text, key));
    }
    return action;
}

void DrawController::createActions()
{
    const struct
    {
        QAction** action;
        const char* name;
        QString text;
        Qt::Key key;
        LedDrawTool::eTool tool;
        DrawToolIcons::eIcon icon;
    } tools[] = {
        { &action_ToolPen, "action_ToolPen", tr("&Pen"), Qt::Key_P, LedDrawTool::Pen, DrawToolIcons::Pen },
        { &action_ToolLine, "action_ToolLine", tr("&Line"), Qt::Key_L, LedDrawTool::Line, DrawToolIcons::Line },
        { &action_ToolRectangle, "action_ToolRectangle", tr("&Rectangle"), Qt::Key_R, LedDrawTool::Rectangle,
          DrawToolIcons::Rectangle },
        { &action_ToolEllipse, "action_ToolEllipse", tr("&Ellipse"), Qt::Key_E, LedDrawTool::Ellipse,
          DrawToolIcons::Ellipse },
        { &action_ToolFill, "action_ToolFill", tr("Flood &fill"), Qt::Key_F, LedDrawTool::Fill, DrawToolIcons::Fill },
        { &action_ToolSelect, "action_ToolSelect", tr("&Select"), Qt::Key_S, LedDrawTool::Select,
          DrawToolIcons::Select },
    };
    m_pTools->setExclusive(true);
    for (const auto& entry : tools) {
        QAction* action = createAction(QLatin1String(entry.name), entry.text, entry.key);
        action->setCheckable(true);
        action->setIcon(DrawToolIcons::icon(entry.icon));
        m_pTools->addAction(action);
        const LedDrawTool::eTool tool = entry.tool;
        connect(action, &QAction::toggled, this, [this, tool](bool on) {
            if (on)
                m_pTool->setTool(tool);
            if (tool == LedDrawTool::Select)
                m_pSelectTool->setActive(on);
        });
        *entry.action = action;
    }
    action_ToolPen->setChecked(true);

    action_DrawLit = createAction(QStringLiteral("action_DrawLit"), tr("Li&ght"), Qt::Key_X);
    action_DrawLit->setCheckable(true);
    action_DrawLit->setIcon(DrawToolIcons::icon(DrawToolIcons::Lit));
    action_DrawLit->setChecked(true);
    action_DrawLit->setStatusTip(tr("Shapes light the LEDs they cover; unchecked, they darken them"));
    connect(action_DrawLit, &QAction::toggled, this, [this](bool lit) {
        m_pTool->setLit(lit);
        action_DrawLit->setText(lit ? tr("Li&ght") : tr("&Darken"));
        action_DrawLit->setToolTip(toolTip(action_DrawLit->text(), Qt::Key_X));
    });

    action_DrawFilled = createAction(QStringLiteral("action_DrawFilled"), tr("Filled s&hapes"), Qt::Key_unknown);
    action_DrawFilled->setCheckable(true);
    action_DrawFilled->setIcon(DrawToolIcons::icon(DrawToolIcons::Filled));
    connect(action_DrawFilled, &QAction::toggled, m_pTool, &LedDrawTool::setFilled);

    action_SelectAll = new QAction(tr("Select &all LEDs"), m_pWindow);
    action_SelectAll->setObjectName(QStringLiteral("action_SelectAll"));
    action_SelectAll->setShortcut(QKeySequence::SelectAll);
    // Only in the LED view: the tree keeps its own Ctrl+A for frames.
    action_SelectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action_SelectAll, &QAction::triggered, m_pSelectTool, &LedSelectTool::selectAll);
    createSymmetryActions();

    action_Text = createAction(QStringLiteral("action_Text"), tr("&Text..."), Qt::Key_unknown);
    action_Text->setIcon(DrawToolIcons::icon(DrawToolIcons::Text));
    connect(action_Text, &QAction::triggered, this, &DrawController::enterText);
}

void DrawController::createSymmetryActions()
{
    const struct
    {
        QAction** action;
        const char* name;
        QString text;
    } modes[] = {
        { &action_SymmetryNone, "action_SymmetryNone", tr("&No symmetry") },
        { &action_SymmetryMirror, "action_SymmetryMirror", tr("&Mirror") },
        { &action_SymmetryBoth, "action_SymmetryBoth", tr("Mirror &both ways") },
        { &action_SymmetryRotate, "action_SymmetryRotate", tr("&Rotate") },
    };
    m_pSymmetries->setExclusive(true);
    for (const auto& mode : modes) {
        auto* action = new QAction(mode.text, m_pWindow);
        action->setObjectName(QLatin1String(mode.name));
        action->setCheckable(true);
        m_pSymmetries->addAction(action);
        *mode.action = action;
    }
    action_SymmetryNone->setChecked(true);
    connect(m_pSymmetries, &QActionGroup::triggered, this, &DrawController::applySymmetry);

    comboBox_SymmetryCount = new QComboBox(m_pWindow);
    comboBox_SymmetryCount->setObjectName(QStringLiteral("comboBox_SymmetryCount"));
    comboBox_SymmetryCount->setToolTip(tr("How many times a drawing is turned around the ring"));
    connect(comboBox_SymmetryCount, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DrawController::applySymmetry);
}

void DrawController::updateSymmetry()
{
    const LedLayout layout = m_pDocument ? m_pDocument->panelLayout() : LedLayout();
    const bool ring = layout.type() == LedLayout::Ring;
    const QVector<int> counts = m_pDocument && ring ? LedSymmetry::rotationCounts(layout) : QVector<int>();
    action_SymmetryMirror->setEnabled(m_pDocument);
    action_SymmetryBoth->setEnabled(m_pDocument && !ring);
    action_SymmetryRotate->setEnabled(!counts.isEmpty());
    const QSignalBlocker blocker(comboBox_SymmetryCount);
    const QVariant kept = comboBox_SymmetryCount->currentData();
    comboBox_SymmetryCount->clear();
    for (int count : counts)
        comboBox_SymmetryCount->addItem(QString::number(count), count);
    comboBox_SymmetryCount->setCurrentIndex(qMax(0, comboBox_SymmetryCount->findData(kept)));
    comboBox_SymmetryCount->setEnabled(!counts.isEmpty());
    if (QAction* checked = m_pSymmetries->checkedAction()) {
        if (!checked->isEnabled())
            action_SymmetryNone->setChecked(true);
    }
    applySymmetry();
}

void DrawController::applySymmetry()
{
    LedSymmetry::eMode mode = LedSymmetry::None;
    if (action_SymmetryMirror->isChecked())
        mode = LedSymmetry::Mirror;
    else if (action_SymmetryBoth->isChecked())
        mode = LedSymmetry::Both;
    else if (action_SymmetryRotate->isChecked())
        mode = LedSymmetry::Rotate;
    const int count = comboBox_SymmetryCount->currentData().isValid() ? comboBox_SymmetryCount->currentData().toInt()
                                                                       : 2;
    m_pTool->setSymmetry(LedSymmetry(mode, count));
}

void DrawController::createMenus(MainMenu* menu)
{
    Q_ASSERT(menu->menu_Light && menu->menu_Frame);
    QMenu* draw = menu->menu_Light->addMenu(tr("&Draw"));
    draw->setObjectName(QStringLiteral("menu_Draw"));
    draw->addActions(m_pTools->actions());
    draw->addSeparator();
    draw->addActions({ action_DrawLit, action_DrawFilled });
    draw->addSeparator();
    draw->addAction(action_SelectAll);
    QMenu* symmetry = draw->addMenu(tr("S&ymmetry"));
    symmetry->setObjectName(QStringLiteral("menu_Symmetry"));
    symmetry->addActions(m_pSymmetries->actions());

    menu->menu_Frame->addSeparator();
    menu->menu_Frame->addAction(action_Text);

    toolBar_Draw = new QToolBar(tr("Draw"), m_pWindow);
    toolBar_Draw->setObjectName(QStringLiteral("toolBar_Draw"));
    toolBar_Draw->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_Draw->addActions(m_pTools->actions());
    toolBar_Draw->addSeparator();
    toolBar_Draw->addActions({ action_DrawLit, action_DrawFilled, action_Text });
    toolBar_Draw->addSeparator();
    toolBar_Draw->addWidget(comboBox_SymmetryCount);
    // Down the side, as in paint programs: the rows above are full, and icons keep the view its width.
    m_pWindow->addToolBar(Qt::LeftToolBarArea, toolBar_Draw);
}

void DrawController::setDocument(LedPanelDocument* document)
{
    while (!m_DocumentConnections.isEmpty())
        disconnect(m_DocumentConnections.takeFirst());
    m_pDocument = document;
    m_pTool->setDocument(document);
    m_pSelectTool->setDocument(document);
    if (document) {
        LedStateWidget* view = document->ledFrame();
        if (!view->actions().contains(action_SelectAll))
            view->addAction(action_SelectAll);
        QItemSelectionModel* selection = document->treeView()->selectionModel();
        m_DocumentConnections
            << connect(selection, &QItemSelectionModel::currentChanged, this, &DrawController::updateActions)
            << connect(document, &LedPanelDocument::treeChanged, this, &DrawController::updateActions)
            << connect(view, &LedStateWidget::sceneReplaced, this, &DrawController::updateSymmetry);
    }
    updateActions();
    updateSymmetry();
}

void DrawController::updateActions()
{
    // Without a frame shown there are no LEDs to letter or to select.
    const bool frame = m_pDocument && m_pDocument->currentFrame();
    action_Text->setEnabled(frame);
    action_SelectAll->setEnabled(frame);
}

void DrawController::enterText()
{
    LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr;
    if (!frame)
        return;
    // Before the dialog: playing on would take the frame away, and the text with it.
    emit aboutToDraw();
    const LedLayout layout = m_pDocument->panelLayout();
    TextDialog dialog(layout, m_pWindow);
    if (dialog.exec() != QDialog::Accepted || !m_pDocument || m_pDocument->currentFrame() != frame)
        return;
    const TextFrames lettering(layout, dialog.text());
    if (dialog.mode() == TextDialog::Still) {
        auto* edit = new LedValuesEdit(tr("Text"));
        edit->setFrame(frame, lettering.still());
        if (edit->isEmpty())
            delete edit;
        else
            m_pDocument->submit(edit);
        return;
    }
    // Checked before the frames are made: a long text on a large panel makes many values.
    if (!m_pDocument->admits(lettering.scrollFrameCount() * layout.ledCount()))
        return;
    m_pDocument->submit(
        new InsertFramesEdit(tr("Text"), frame->parent()->index(), frame->index() + 1, lettering.scroll()));
}
