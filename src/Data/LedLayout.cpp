#include "Data/LedLayout.h"

#include "Helper/Math.h"

#include <QLocale>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace {

// Reals in the Layout element: six significant digits, as C's %g, unless they would round the value: a
// position typed to the thousandth (1234.567) must not move with a save.
QString realText(double value)
{
    const QString text = QString::number(value, 'g', 6);
    if (text.toDouble() == value)
        return text;
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

LedLayout::LedLayout(eType type)
    : m_Type(type)
    , m_Rows(4)
    , m_Columns(type == Ring ? 48 : 8)
    , m_RowSpacing(type == Ring ? 5.0 : 6.0)
    , m_ColumnSpacing(type == Ring ? 7.5 : 6.0)
    , m_Rectangle(-6.0, -6.0, 54.0, 30.0)
    , m_InnerDiameter(40.0)
    , m_OuterDiameter(70.0)
    , m_FirstLedPosition(type == Ring ? QPointF(0.0, -45.0) : QPointF(0.0, 0.0))
    , m_LedItemsSize(2.0)
    , m_Order(Rows)
    , m_Serpentine(false)
{
}

LedLayout::eType LedLayout::type() const
{
    return m_Type;
}

QString LedLayout::typeName() const
{
    return m_Type == Ring ? QStringLiteral("Ring") : QStringLiteral("Rectangle");
}

int LedLayout::rows() const
{
    return m_Rows;
}

int LedLayout::columns() const
{
    return m_Columns;
}

qint64 LedLayout::ledCount() const
{
    return ledCount(m_Rows, m_Columns);
}

qint64 LedLayout::ledCount(int rows, int columns)
{
    if (rows <= 0 || columns <= 0)
        return 0;
    return qint64(rows) * qint64(columns);
}

double LedLayout::rowSpacing() const
{
    return m_RowSpacing;
}

double LedLayout::columnSpacing() const
{
    return m_ColumnSpacing;
}

QRectF LedLayout::rectangle() const
{
    return m_Rectangle;
}

double LedLayout::innerDiameter() const
{
    return m_InnerDiameter;
}

double LedLayout::outerDiameter() const
{
    return m_OuterDiameter;
}

QPointF LedLayout::firstLedPosition() const
{
    return m_FirstLedPosition;
}

qreal LedLayout::ledItemsSize() const
{
    return m_LedItemsSize;
}

LedLayout::eOrder LedLayout::order() const
{
    return m_Order;
}

bool LedLayout::serpentine() const
{
    return m_Serpentine;
}

QString LedLayout::numberingName() const
{
    const bool backward = m_ColumnSpacing < 0;
    const bool upward = m_RowSpacing < 0;
    QString text;
    if (m_Type == Ring) {
        text = tr("%1 from the %2 circle, %3")
                   .arg(m_Order == Columns ? tr("across circles") : tr("along circles"),
                        upward ? tr("outermost") : tr("innermost"), backward ? tr("anticlockwise") : tr("clockwise"));
        return m_Serpentine ? tr("%1, alternating").arg(text) : text;
    }
    const QString corner = upward ? (backward ? tr("bottom right") : tr("bottom left"))
                                  : (backward ? tr("top right") : tr("top left"));
    text = tr("%1 from the %2").arg(m_Order == Columns ? tr("columns first") : tr("rows first"), corner);
    return m_Serpentine ? tr("%1, serpentine").arg(text) : text;
}

int LedLayout::secondLineStart() const
{
    return m_Order == Columns ? m_Rows : m_Columns;
}

bool LedLayout::isFullCircle() const
{
    if (m_Type != Ring || m_Columns <= 0)
        return false;
    // The gap after the last LED is about one spacing: an angle typed to a few decimals still closes the circle.
    const double step = std::fabs(m_ColumnSpacing);
    return std::fabs(m_Columns * step - 360.0) <= step / 2;
}

int LedLayout::wiredRow(int row) const
{
    return m_RowSpacing < 0 ? m_Rows - 1 - row : row;
}

int LedLayout::wiredColumn(int column) const
{
    if (m_ColumnSpacing >= 0 || m_Columns <= 0)
        return column;
    // A whole circle keeps LED 0's angle as column 0 and turns the other way round from it. Part of
    // a circle is mirrored as a grid's row is, or its first drawn column would lie at the far end.
    if (isFullCircle())
        return (m_Columns - column) % m_Columns;
    return m_Columns - 1 - column;
}

QPoint LedLayout::wiredCell(int index) const
{
    const int length = m_Order == Columns ? m_Rows : m_Columns;
    const int line = index / length;
    int place = index % length;
    if (m_Serpentine && line % 2 == 1)
        place = length - 1 - place;
    // QPoint(x = column, y = row)
    return m_Order == Columns ? QPoint(line, place) : QPoint(place, line);
}

QPointF LedLayout::ledPosition(int row, int column) const
{
    const int r = wiredRow(row);
    const int c = wiredColumn(column);
    if (m_Type == Rectangle)
        return QPointF(m_FirstLedPosition.x() + m_ColumnSpacing * c, m_FirstLedPosition.y() + m_RowSpacing * r);
    const QPointF first = cartesianToPolar(m_FirstLedPosition);
    return polarToCartesian(QPointF(first.x() + r * m_RowSpacing, first.y() + c * m_ColumnSpacing));
}

QPoint LedLayout::cellOf(int index) const
{
    Q_ASSERT(index >= 0 && index < ledCount());
    const QPoint wired = wiredCell(index);
    return QPoint(wiredColumn(wired.x()), wiredRow(wired.y()));
}

int LedLayout::indexAt(int row, int column) const
{
    if (row < 0 || row >= m_Rows || column < 0 || column >= m_Columns)
        return -1;
    const int r = wiredRow(row);
    const int c = wiredColumn(column);
    const int length = m_Order == Columns ? m_Rows : m_Columns;
    const int line = m_Order == Columns ? c : r;
    int place = m_Order == Columns ? r : c;
    if (m_Serpentine && line % 2 == 1)
        place = length - 1 - place;
    return line * length + place;
}

QPointF LedLayout::ledPositionOf(int index) const
{
    const QPoint cell = cellOf(index);
    return ledPosition(cell.y(), cell.x());
}

QRectF LedLayout::sceneRect() const
{
    // The diameters are radii.
    const QRectF body = m_Type == Rectangle ? m_Rectangle
                                            : QRectF(-(m_OuterDiameter + 1), -(m_OuterDiameter + 1),
                                                     2 * m_OuterDiameter + 2, 2 * m_OuterDiameter + 2);
    const qint64 count = ledCount();
    if (count <= 0 || count > MaxLedCount)
        return body;
    // LEDs set beyond a body (a file's, or one set by hand) must still be seen, reached and exported.
    const double reach = m_LedItemsSize + 1;
    QRectF leds;
    if (m_Type == Ring) {
        // Radii run linearly from the first circle to the last.
        const double first = cartesianToPolar(m_FirstLedPosition).x();
        const double last = first + (m_Rows - 1) * m_RowSpacing;
        const double radius = qMax(std::fabs(first), std::fabs(last)) + reach;
        leds = QRectF(-radius, -radius, 2 * radius, 2 * radius);
    } else {
        leds = QRectF(ledPosition(0, 0), ledPosition(m_Rows - 1, m_Columns - 1))
                   .normalized()
                   .adjusted(-reach, -reach, reach, reach);
    }
    return body.contains(leds) ? body : body.normalized().united(leds);
}

QString LedLayout::displayName() const
{
    return tr("%1, %2 x %3").arg(m_Type == Ring ? tr("Ring") : tr("Grid")).arg(m_Rows).arg(m_Columns);
}

void LedLayout::setType(eType type)
{
    m_Type = type;
}

void LedLayout::setSize(int rows, int columns)
{
    m_Rows = rows;
    m_Columns = columns;
}

void LedLayout::setSpacings(double rowSpacing, double columnSpacing)
{
    m_RowSpacing = rowSpacing;
    m_ColumnSpacing = columnSpacing;
}

void LedLayout::setFirstLedPosition(const QPointF& position)
{
    m_FirstLedPosition = position;
}

void LedLayout::setRectangle(const QRectF& rectangle)
{
    m_Rectangle = rectangle;
}

void LedLayout::setDiameters(double inner, double outer)
{
    m_InnerDiameter = inner;
    m_OuterDiameter = outer;
}

void LedLayout::setNumbering(eOrder order, bool serpentine)
{
    m_Order = order;
    m_Serpentine = serpentine;
}

void LedLayout::fitBody()
{
    if (m_Rows <= 0 || m_Columns <= 0)
        return;
    if (m_Type == Rectangle) {
        const QPointF first = ledPosition(0, 0);
        const QPointF last = ledPosition(m_Rows - 1, m_Columns - 1);
        const double dx = std::fabs(m_ColumnSpacing);
        const double dy = std::fabs(m_RowSpacing);
        m_Rectangle = QRectF(QPointF(qMin(first.x(), last.x()) - dx, qMin(first.y(), last.y()) - dy),
                             QPointF(qMax(first.x(), last.x()) + dx, qMax(first.y(), last.y()) + dy));
        return;
    }
    // Radii run linearly from the first circle to the last; through zero when they change sign.
    const double first = cartesianToPolar(m_FirstLedPosition).x();
    const double last = first + (m_Rows - 1) * m_RowSpacing;
    const double smallest = first * last <= 0 ? 0.0 : qMin(std::fabs(first), std::fabs(last));
    const double largest = qMax(std::fabs(first), std::fabs(last));
    const double step = std::fabs(m_RowSpacing);
    m_InnerDiameter = qMax(0.0, smallest - step);
    m_OuterDiameter = largest + 2 * step;
}

LedLayout LedLayout::create(eType type, int rows, int columns, double spacing)
{
    LedLayout layout(type);
    layout.setSize(rows, columns);
    if (type == Ring) {
        const double between = spacing > 0 ? spacing : layout.rowSpacing();
        layout.setSpacings(between, columns > 0 ? 360.0 / columns : layout.columnSpacing());
        // The first circle keeps the default ring's distance from the centre, in its spacings.
        layout.setFirstLedPosition(QPointF(0.0, -9.0 * between));
    } else if (spacing > 0) {
        layout.setSpacings(spacing, spacing);
    }
    layout.fitBody();
    return layout;
}

bool LedLayout::isValid(QString* reason) const
{
    QString why;
    const auto outside = [](double value) { return !std::isfinite(value) || std::fabs(value) > MaxCoordinate; };
    if (m_Rows < 1 || m_Rows > 1024 || m_Columns < 1 || m_Columns > 1024)
        why = tr("Rows and columns go from 1 to 1024.");
    else if (ledCount() > MaxLedCount)
        why = tr("A panel holds at most %1 LEDs.").arg(MaxLedCount);
    else if (outside(m_RowSpacing) || outside(m_ColumnSpacing) || m_RowSpacing == 0 || m_ColumnSpacing == 0)
        why = tr("Spacings are not 0 and at most 1000000 either way.");
    else if (outside(m_FirstLedPosition.x()) || outside(m_FirstLedPosition.y()) || outside(m_InnerDiameter)
             || outside(m_OuterDiameter) || outside(m_Rectangle.x()) || outside(m_Rectangle.y())
             || outside(m_Rectangle.width()) || outside(m_Rectangle.height()))
        why = tr("Positions and sizes are at most 1000000 either way.");
    if (reason)
        *reason = why;
    return why.isEmpty();
}

bool LedLayout::readReal(QXmlStreamReader& xml, double& value)
{
    const QString name = xml.name().toString();
    const QString text = xml.readElementText();
    // A text that is no number reads as 0, as it always has.
    const double read = text.toDouble();
    if (!std::isfinite(read) || std::fabs(read) > MaxCoordinate) {
        xml.raiseError(tr("%1 holds %2, which is not a number between -1000000 and 1000000.")
                           .arg(name, text.trimmed()));
        return false;
    }
    value = read;
    return true;
}

bool LedLayout::readCount(QXmlStreamReader& xml, int& value)
{
    const QString name = xml.name().toString();
    const QString text = xml.readElementText();
    // A text that is no number reads as 0, and so is refused as any other count out of range.
    // Files may hold a row of every LED, more than a new layout may have.
    const int read = text.toInt(nullptr, 10);
    if (read < 1 || read > MaxLedCount) {
        xml.raiseError(tr("%1 holds %2, which is not a count from 1 to %3.")
                           .arg(name, text.trimmed())
                           .arg(MaxLedCount));
        return false;
    }
    value = read;
    return true;
}

void LedLayout::readXML(QXmlStreamReader& xml)
{
    if (xml.name() != QLatin1String("Layout"))
        return;
    Q_ASSERT_X(xml.attributes().value(QLatin1String("type")) == typeName(), "LedLayout::readXML",
               "type == typeName()");

    const bool ring = m_Type == Ring;
    bool bodyRead = false;
    while (xml.readNextStartElement()) {
        const QStringRef name = xml.name();
        double value = 0.0;
        bool ok = true;
        if (name == QLatin1String("Rows")) {
            ok = readCount(xml, m_Rows);
        } else if (name == QLatin1String("Columns")) {
            ok = readCount(xml, m_Columns);
        } else if (name == QLatin1String("RowSpacing")) {
            ok = readReal(xml, m_RowSpacing);
        } else if (name == QLatin1String("ColumnSpacing")) {
            ok = readReal(xml, m_ColumnSpacing);
        } else if (name == QLatin1String("FirstLedPosition_X")) {
            if ((ok = readReal(xml, value)))
                m_FirstLedPosition.setX(value);
        } else if (name == QLatin1String("FirstLedPosition_Y")) {
            if ((ok = readReal(xml, value)))
                m_FirstLedPosition.setY(value);
        } else if (ring && name == QLatin1String("InnerDiameter")) {
            ok = readReal(xml, m_InnerDiameter);
        } else if (ring && name == QLatin1String("OuterDiameter")) {
            ok = readReal(xml, m_OuterDiameter);
        } else if (!ring && name == QLatin1String("Rectangle_X")) {
            bodyRead = true;
            // Moving an edge keeps the opposite one, as QRectF's setters do.
            if ((ok = readReal(xml, value)))
                m_Rectangle.setX(value);
        } else if (!ring && name == QLatin1String("Rectangle_Y")) {
            bodyRead = true;
            if ((ok = readReal(xml, value)))
                m_Rectangle.setY(value);
        } else if (!ring && name == QLatin1String("Rectangle_W")) {
            bodyRead = true;
            if ((ok = readReal(xml, value)))
                m_Rectangle.setWidth(value);
        } else if (!ring && name == QLatin1String("Rectangle_H")) {
            bodyRead = true;
            if ((ok = readReal(xml, value)))
                m_Rectangle.setHeight(value);
        } else if (name == QLatin1String("Order")) {
            const QString text = xml.readElementText();
            ok = text == QLatin1String("Rows") || text == QLatin1String("Columns");
            if (ok)
                m_Order = text == QLatin1String("Rows") ? Rows : Columns;
            else
                xml.raiseError(tr("Order holds %1; it is Rows or Columns.").arg(text.trimmed()));
        } else if (name == QLatin1String("Serpentine")) {
            const QString text = xml.readElementText();
            ok = text == QLatin1String("0") || text == QLatin1String("1");
            if (ok)
                m_Serpentine = text == QLatin1String("1");
            else
                xml.raiseError(tr("Serpentine holds %1; it is 0 or 1.").arg(text.trimmed()));
        } else {
            xml.skipCurrentElement();
        }
        if (!ok)
            break;
    }

    // A grid saved without its body gets one around its LEDs, not the default grid's.
    if (!ring && !bodyRead && !xml.hasError() && ledCount() <= MaxLedCount)
        fitBody();
    if (!xml.hasError() && ledCount() > MaxLedCount) {
        xml.raiseError(tr("The layout of %1 × %2 LEDs exceeds the limit of %3 LEDs.")
                           .arg(m_Rows)
                           .arg(m_Columns)
                           .arg(MaxLedCount));
    }
    // A refused layout holds no LEDs, so nothing is ever built from it.
    if (xml.hasError() && ledCount() > MaxLedCount) {
        m_Rows = 0;
        m_Columns = 0;
    }
}

void LedLayout::writeXML(QXmlStreamWriter& xml) const
{
    xml.writeStartElement(QStringLiteral("Layout"));
    xml.writeAttribute(QStringLiteral("type"), typeName());
    xml.writeTextElement(QStringLiteral("Rows"), QString::number(m_Rows));
    xml.writeTextElement(QStringLiteral("Columns"), QString::number(m_Columns));
    xml.writeTextElement(QStringLiteral("RowSpacing"), realText(m_RowSpacing));
    xml.writeTextElement(QStringLiteral("ColumnSpacing"), realText(m_ColumnSpacing));
    if (m_Type == Ring) {
        xml.writeTextElement(QStringLiteral("InnerDiameter"), realText(m_InnerDiameter));
        xml.writeTextElement(QStringLiteral("OuterDiameter"), realText(m_OuterDiameter));
    } else {
        xml.writeTextElement(QStringLiteral("Rectangle_X"), realText(m_Rectangle.x()));
        xml.writeTextElement(QStringLiteral("Rectangle_Y"), realText(m_Rectangle.y()));
        xml.writeTextElement(QStringLiteral("Rectangle_W"), realText(m_Rectangle.width()));
        xml.writeTextElement(QStringLiteral("Rectangle_H"), realText(m_Rectangle.height()));
    }
    xml.writeTextElement(QStringLiteral("FirstLedPosition_X"), realText(m_FirstLedPosition.x()));
    xml.writeTextElement(QStringLiteral("FirstLedPosition_Y"), realText(m_FirstLedPosition.y()));
    // Only a numbering other than plain rows is written, so older files stay as they were.
    if (m_Order != Rows)
        xml.writeTextElement(QStringLiteral("Order"), QStringLiteral("Columns"));
    if (m_Serpentine)
        xml.writeTextElement(QStringLiteral("Serpentine"), QStringLiteral("1"));
    xml.writeEndElement();
}

bool LedLayout::operator==(const LedLayout& other) const
{
    return m_Type == other.m_Type && m_Rows == other.m_Rows && m_Columns == other.m_Columns
        && m_RowSpacing == other.m_RowSpacing && m_ColumnSpacing == other.m_ColumnSpacing
        && m_FirstLedPosition == other.m_FirstLedPosition && m_LedItemsSize == other.m_LedItemsSize
        && m_Order == other.m_Order && m_Serpentine == other.m_Serpentine
        && (m_Type == Ring ? m_InnerDiameter == other.m_InnerDiameter && m_OuterDiameter == other.m_OuterDiameter
                           : m_Rectangle == other.m_Rectangle);
}
