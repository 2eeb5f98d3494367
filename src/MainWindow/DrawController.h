#ifndef DRAWCONTROLLER_H
#define DRAWCONTROLLER_H

#include <QList>
#include <QObject>
#include <QPointer>

class LedDrawTool;
class LedSelectTool;
class LedPanelDocument;
class MainMenu;
class QAction;
class QActionGroup;
class QComboBox;
class QMainWindow;
class QToolBar;

// The drawing tools and the lettering of the main window: the "Draw" toolbar
// and submenu of "Light", with the tools as exclusive choices, and "Text..." in
// the frame menu. The tools act on the current document's LED view.
class DrawController : public QObject
{
    Q_OBJECT

public:
    DrawController(QMainWindow* window, MainMenu* menu);

    void setDocument(LedPanelDocument* document);
    LedDrawTool* drawTool() const;
    LedSelectTool* selectTool() const;

    QAction* action_ToolPen = nullptr;
    QAction* action_ToolLine = nullptr;
    QAction* action_ToolRectangle = nullptr;
    QAction* action_ToolEllipse = nullptr;
    QAction* action_ToolFill = nullptr;
    QAction* action_ToolSelect = nullptr;
    QAction* action_SelectAll = nullptr;
    QAction* action_SymmetryNone = nullptr;
    QAction* action_SymmetryMirror = nullptr;
    QAction* action_SymmetryBoth = nullptr;
    QAction* action_SymmetryRotate = nullptr;
    QComboBox* comboBox_SymmetryCount = nullptr;
    QAction* action_DrawLit = nullptr;
    QAction* action_DrawFilled = nullptr;
    QAction* action_Text = nullptr;
    QToolBar* toolBar_Draw = nullptr;

public slots:
    void enterText();
    void updateActions();

signals:
    // Drawing or lettering is about to change the document.
    void aboutToDraw();

private:
    QAction* createAction(const QString& name, const QString& text, Qt::Key key);
    static QString toolTip(const QString& text, Qt::Key key);
    void createActions();
    void createSymmetryActions();
    void createMenus(MainMenu* menu);
    // The symmetries and turns the current layout offers.
    void updateSymmetry();
    void applySymmetry();

    QMainWindow* m_pWindow;
    LedDrawTool* m_pTool;
    LedSelectTool* m_pSelectTool;
    QActionGroup* m_pTools;
    QActionGroup* m_pSymmetries;
    QPointer<LedPanelDocument> m_pDocument;
    QList<QMetaObject::Connection> m_DocumentConnections;
};

#endif // DRAWCONTROLLER_H
