#ifndef ABSTRACTLEDGRAPHICSSCENE_H
#define ABSTRACTLEDGRAPHICSSCENE_H

#include <QGraphicsScene>
#include <QList>
#include <QPointF>

#include <functional>

class LedGraphicsItem;
class LedStateCommand;
class QAbstractGraphicsShapeItem;
class QXmlStreamReader;
class QXmlStreamWriter;

// The geometry of a panel: where its LEDs are drawn and what lies behind them.
class AbstractLedGraphicsScene : public QGraphicsScene
{
    Q_OBJECT

public:
    enum eType
    {
        Rectangle = 0,
        Ring = 1
    };

    // Layouts above this many LEDs are refused when read from a file.
    static constexpr int MaxLedCount = 65536;

    explicit AbstractLedGraphicsScene(QObject* parent = nullptr);

    virtual eType type() = 0;
    virtual int rows() = 0;
    virtual int columns() = 0;
    virtual void readXML(QXmlStreamReader& xml) = 0;
    virtual void writeXML(QXmlStreamWriter& xml) = 0;
    virtual qreal ledItemsSize() const = 0;

    // rows × columns without overflow; 0 when either is not positive.
    static qint64 ledCount(int rows, int columns);

    QList<LedGraphicsItem*> ledItems() const;

    // Leaves every LED item without data, so nothing points into a frame
    // that is about to go away.
    void clearFrame();

public slots:
    void setFrame(LedStateCommand* ledFrame);

signals:
    // The user changed an LED's intensity with a click.
    void ledToggled();

protected:
    void clearLayout();
    // Refuses a layout too large to build: raises the reader error and
    // leaves rows and columns at 0. Returns whether the layout is accepted.
    bool acceptLedCount(QXmlStreamReader& xml, int& rows, int& columns);
    // Reads the values both layouts share when the reader stands on one of them; false for any other element.
    bool readGridValue(QXmlStreamReader& xml, int& rows, int& columns, double& rowSpacing, double& columnSpacing,
                       QPointF& firstLedPosition);
    // Creates the LED items row by row as children of the body, each at position(row, column), and adds the
    // body with its LEDs to the scene.
    void placeLedItems(QAbstractGraphicsShapeItem* background, int rows, int columns,
                       const std::function<QPointF(int row, int column)>& position);
    // Reals in the Layout element: six significant digits, as C's %g.
    static QString realText(double value);

    QList<QAbstractGraphicsShapeItem*> m_BackgroundItems;
    QList<LedGraphicsItem*> m_LedItems;
};

#endif // ABSTRACTLEDGRAPHICSSCENE_H
