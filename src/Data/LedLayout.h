#ifndef LEDLAYOUT_H
#define LEDLAYOUT_H

#include <QCoreApplication>
#include <QPoint>
#include <QPointF>
#include <QRectF>

class QXmlStreamReader;
class QXmlStreamWriter;

// The geometry of a panel as a plain value: how many LEDs it has, as rows and
// columns, and where each one sits. A rectangle is a grid on a rectangular body;
// a ring puts its rows on concentric circles around the origin, a row being a
// circle and a column an angle. LEDs are numbered along rows or along columns,
// straight or back and forth, from the corner and in the direction the signs of
// the spacings give.
class LedLayout
{
    Q_DECLARE_TR_FUNCTIONS(LedLayout)

public:
    enum eType
    {
        Rectangle = 0,
        Ring = 1
    };

    // Which lines the numbering runs along first.
    enum eOrder
    {
        Rows = 0,
        Columns = 1
    };

    // Layouts above this many LEDs are refused when read from a file.
    static constexpr int MaxLedCount = 65536;
    // Any coordinate, spacing or diameter beyond this is refused: such numbers
    // only come from broken files and overflow the view's arithmetic.
    static constexpr double MaxCoordinate = 1000000.0;
    // The layout dialog's smallest spacing: closer LEDs all fall on one pixel.
    static constexpr double MinSpacing = 0.001;

    explicit LedLayout(eType type = Ring);

    eType type() const;
    QString typeName() const;
    int rows() const;
    int columns() const;
    // rows × columns, 0 when either is not positive.
    qint64 ledCount() const;
    static qint64 ledCount(int rows, int columns);

    double rowSpacing() const;
    double columnSpacing() const;
    QRectF rectangle() const;
    double innerDiameter() const;
    double outerDiameter() const;
    QPointF firstLedPosition() const;
    qreal ledItemsSize() const;
    eOrder order() const;
    // Every second line runs back, starting next to where the line before it ended.
    bool serpentine() const;
    // "rows first from the top left, serpentine": the numbering as the user sees it.
    QString numberingName() const;
    // The number of the first LED of the second line: `columns` rows first, `rows` columns first.
    int secondLineStart() const;
    // A ring whose LEDs go once all the way round: only then does a circle run on past its last LED to LED 0.
    bool isFullCircle() const;

    // Cells as drawn: on a grid row 0 is the top row and column 0 the left one;
    // on a ring row 0 is the innermost circle and columns run clockwise from LED 0.
    QPointF ledPosition(int row, int column) const;
    // The one conversion between an LED's index (the order the controller gets
    // the LEDs in: file, CSV and program image) and its cell as drawn. Every
    // tool that works on the panel's shape goes through these two.
    QPoint cellOf(int index) const;
    // The index of the LED in that cell, -1 outside the panel.
    int indexAt(int row, int column) const;
    // Where LED `index` is drawn.
    QPointF ledPositionOf(int index) const;
    QRectF sceneRect() const;
    // "Grid, 8 x 8" or "Ring, 4 x 48", as the user knows the layout.
    QString displayName() const;

    void setType(eType type);
    void setSize(int rows, int columns);
    void setSpacings(double rowSpacing, double columnSpacing);
    void setFirstLedPosition(const QPointF& position);
    void setRectangle(const QRectF& rectangle);
    void setDiameters(double inner, double outer);
    void setNumbering(eOrder order, bool serpentine);
    // Gives the body the margins the default layouts have around their LEDs: one
    // spacing on every side of a grid; a ring's 5 inside and 10 outside, scaled
    // with its circles' spacing.
    void fitBody();
    // A new layout of the type with that many LEDs, a body around them and the
    // default spacing, or the given one for both directions of a grid and between circles.
    static LedLayout create(eType type, int rows, int columns, double spacing = 0.0);
    // Whether rows, columns and numbers are inside the bounds a file may hold; why not otherwise.
    bool isValid(QString* reason = nullptr) const;

    // Reads the Layout element the reader stands on; a type other than this
    // layout's or a value out of range raises the reader's error.
    void readXML(QXmlStreamReader& xml);
    void writeXML(QXmlStreamWriter& xml) const;

    bool operator==(const LedLayout& other) const;
    bool operator!=(const LedLayout& other) const { return !(*this == other); }

private:
    bool readReal(QXmlStreamReader& xml, double& value);
    // From an index to the line and place the wiring gives it, spacings' signs not yet applied.
    QPoint wiredCell(int index) const;
    // A drawn row or column to the one the spacings count from LED 0, and back.
    int wiredRow(int row) const;
    int wiredColumn(int column) const;
    bool readCount(QXmlStreamReader& xml, int& value);

    eType m_Type;
    int m_Rows;
    int m_Columns;
    double m_RowSpacing;
    double m_ColumnSpacing;
    QRectF m_Rectangle;
    double m_InnerDiameter;
    double m_OuterDiameter;
    QPointF m_FirstLedPosition;
    qreal m_LedItemsSize;
    eOrder m_Order;
    bool m_Serpentine;
};

#endif // LEDLAYOUT_H
