#include "Helper/CsvModel.h"

#include <QFile>
#include <QFileDevice>
#include <QTextCodec>
#include <QTextStream>

CsvModel::CsvModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

CsvModel::CsvModel(QuoteMode mode, bool withHeader, QChar separator, QTextCodec* codec,
                   QObject* parent)
    : QAbstractTableModel(parent)
    , m_quoteMode(mode)
    , m_WithHeader(withHeader)
    , m_Separator(separator)
    , m_pCodec(codec)
{
}

CsvModel::CsvModel(const CsvModel& other, QObject* parent)
    : QAbstractTableModel(parent ? parent : other.QObject::parent())
    , m_quoteMode(other.m_quoteMode)
    , m_WithHeader(other.m_WithHeader)
    , m_Separator(other.m_Separator)
    , m_pCodec(other.m_pCodec)
{
    // A table needs a column; copying an empty one gives an empty one.
    if (other.columnCount() == 0)
        return;
    createTable(other.rowCount(), other.columnCount());
    for (int column = 0; column < other.columnCount(); ++column)
        *m_header[column] = *other.m_header.at(column);
    for (int row = 0; row < other.m_data.size(); ++row) {
        for (const QString* text : other.m_data.at(row))
            m_data[row].append(new QString(*text));
    }
    m_lines = other.m_lines;
}

CsvModel::~CsvModel()
{
    removeTable();
}

void CsvModel::createTable(int rows, int columns)
{
    Q_ASSERT_X(rows >= 0, "CsvModel::createTable", "rows >= 0");
    Q_ASSERT_X(columns > 0, "CsvModel::createTable", "columns > 0");
    removeTable();
    insertColumns(0, columns);
    if (rows > 0)
        insertRows(0, rows);
    emit layoutChanged();
}

void CsvModel::removeTable()
{
    // A reset tells attached views that everything went at once.
    beginResetModel();
    for (const QList<QString*>& row : qAsConst(m_data))
        qDeleteAll(row);
    m_data.clear();
    m_lines.clear();
    qDeleteAll(m_header);
    m_header.clear();
    endResetModel();
    emit layoutChanged();
}

QModelIndex CsvModel::index(int row, int column, const QModelIndex& parent) const
{
    // Indexes outside the table would pass for valid ones in views.
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex CsvModel::parent(const QModelIndex& /*child*/) const
{
    return QModelIndex();
}

int CsvModel::rowCount(const QModelIndex& parent) const
{
    // Cells have no children, or a tree view would expand every one of them.
    return parent.isValid() ? 0 : m_data.size();
}

int CsvModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_header.size();
}

QString* CsvModel::cell(int row, int column) const
{
    if (row < 0 || row >= m_data.size() || column < 0 || column >= m_header.size())
        return nullptr;
    const QList<QString*>& cells = m_data.at(row);
    return column < cells.size() ? cells.at(column) : nullptr;
}

QString CsvModel::data(int row, int column) const
{
    const QString* text = cell(row, column);
    return text ? *text : QString();
}

bool CsvModel::setData(int row, int column, const QString& value)
{
    if (row < 0 || row >= m_data.size() || column < 0 || column >= m_header.size())
        return false;
    QList<QString*>& cells = m_data[row];
    while (cells.size() <= column)
        cells.append(new QString);
    *cells[column] = value;
    return true;
}

bool CsvModel::setHeaderData(int column, const QString& value)
{
    if (column < 0 || column >= m_header.size())
        return false;
    *m_header[column] = value;
    return true;
}

QVariant CsvModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    if (index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    return data(index.row(), index.column());
}

bool CsvModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !value.canConvert<QString>())
        return false;
    if (!setData(index.row(), index.column(), value.toString()))
        return false;
    emit dataChanged(index, index);
    return true;
}

QVariant CsvModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    if (section < 0 || section >= m_header.size())
        return QVariant();
    return *m_header.at(section);
}

bool CsvModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                             int role)
{
    if (orientation != Qt::Horizontal || role != Qt::EditRole || !value.canConvert<QString>())
        return false;
    if (!setHeaderData(section, value.toString()))
        return false;
    emit headerDataChanged(orientation, section, section);
    return true;
}

int CsvModel::lineNumber(int row) const
{
    return m_lines.value(row, 0);
}

int CsvModel::findHeader(const QString& header, Qt::CaseSensitivity cs) const
{
    for (int column = 0; column < m_header.size(); ++column) {
        if (m_header.at(column)->compare(header, cs) == 0)
            return column;
    }
    return -1;
}

Qt::ItemFlags CsvModel::flags(const QModelIndex& index) const
{
    // The root is no cell, and views treat an editable root as a fault.
    if (!index.isValid())
        return QAbstractTableModel::flags(index);
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool CsvModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count < 1 || row < 0 || row > m_data.size())
        return false;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    // New rows are empty; their cells come into being when they are written.
    for (int i = 0; i < count; ++i)
        m_data.insert(row, QList<QString*>());
    m_lines.insert(row, count, 0);
    endInsertRows();
    return true;
}

bool CsvModel::insertColumns(int column, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count < 1 || column < 0 || column > m_header.size())
        return false;
    beginInsertColumns(QModelIndex(), column, column + count - 1);
    for (int i = 0; i < count; ++i)
        m_header.insert(column, new QString);
    for (QList<QString*>& cells : m_data) {
        if (column >= cells.size())
            continue;
        for (int i = 0; i < count; ++i)
            cells.insert(column, new QString);
    }
    endInsertColumns();
    return true;
}

bool CsvModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count < 1 || row < 0 || row > m_data.size() - count)
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    for (int r = row + count - 1; r >= row; --r)
        qDeleteAll(m_data.takeAt(r));
    m_lines.remove(row, count);
    endRemoveRows();
    return true;
}

bool CsvModel::removeColumns(int column, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count < 1 || column < 0 || column > m_header.size() - count)
        return false;
    beginRemoveColumns(QModelIndex(), column, column + count - 1);
    qDeleteAll(m_header.begin() + column, m_header.begin() + column + count);
    m_header.erase(m_header.begin() + column, m_header.begin() + column + count);
    for (QList<QString*>& cells : m_data) {
        if (column >= cells.size())
            continue;
        const auto first = cells.begin() + column;
        const auto last = cells.begin() + qMin(column + count, cells.size());
        qDeleteAll(first, last);
        cells.erase(first, last);
    }
    endRemoveColumns();
    return true;
}

bool CsvModel::read(const QString& filePath)
{
    QFile file(filePath);
    return read(&file, m_WithHeader, m_Separator, m_pCodec, false);
}

bool CsvModel::readHeader(const QString& filePath)
{
    QFile file(filePath);
    return read(&file, true, m_Separator, m_pCodec, true);
}

bool CsvModel::read(QIODevice* device)
{
    return read(device, m_WithHeader, m_Separator, m_pCodec, false);
}

bool CsvModel::readHeader(QIODevice* device)
{
    return read(device, true, m_Separator, m_pCodec, true);
}

bool CsvModel::write(QIODevice* device) const
{
    return write(device, m_WithHeader, m_Separator, m_pCodec);
}

bool CsvModel::read(QIODevice* device, bool withHeader, QChar separator, QTextCodec* codec,
                    bool readHeaderOnly)
{
    if (readHeaderOnly)
        withHeader = true;
    removeTable();
    if (!device->isOpen() && !device->open(QIODevice::ReadOnly))
        return false;
    if (!device->isReadable()) {
        device->close();
        return false;
    }

    QTextStream stream(device);
    if (codec)
        stream.setCodec(codec);
    else
        stream.setAutoDetectUnicode(true);

    QString line;
    int lineNumber = 0;
    while (stream.readLineInto(&line)) {
        ++lineNumber;
        if (line.isEmpty())
            continue;
        const QStringList fields = splitLine(line, separator);
        if (m_header.isEmpty())
            insertColumns(0, fields.size());
        // Fields beyond the first line's count have no column to go to.
        const int stored = qMin(fields.size(), m_header.size());
        if (withHeader) {
            withHeader = false;
            for (int column = 0; column < stored; ++column)
                *m_header[column] = fields.at(column);
            emit headerDataChanged(Qt::Horizontal, 0, stored - 1);
            if (readHeaderOnly)
                break;
        } else {
            const int row = m_data.size();
            insertRows(row, 1);
            m_lines[row] = lineNumber;
            QList<QString*>& cells = m_data[row];
            for (int column = 0; column < stored; ++column)
                cells.append(new QString(fields.at(column)));
            emit dataChanged(index(row, 0), index(row, stored - 1));
        }
    }
    device->close();
    emit layoutChanged();
    return true;
}

QStringList CsvModel::splitLine(const QString& line, QChar separator) const
{
    const QChar doubleQuote = QLatin1Char('"');
    const QChar singleQuote = QLatin1Char('\'');
    const QChar backslash = QLatin1Char('\\');
    const int length = line.size();

    QStringList fields;
    QString field;
    QChar ch;
    int pos = 0;
    while (pos < length) {
        ch = line.at(pos++);
        if ((ch == doubleQuote && m_quoteMode.testFlag(DoubleQuote))
            || (ch == singleQuote && m_quoteMode.testFlag(SingleQuote))) {
            const QChar quote = ch;
            field.clear();
            while (pos < length) {
                ch = line.at(pos++);
                if (ch == backslash && m_quoteMode.testFlag(BackslashQuote)) {
                    if (pos < length)
                        field.append(line.at(pos++));
                } else if (ch == quote) {
                    if (pos < length && line.at(pos) == quote) {
                        field.append(quote);
                        ++pos;
                    } else {
                        break;
                    }
                } else {
                    field.append(ch);
                }
            }
            // Whatever closed the section, it was not a separator.
            ch = quote;
        } else if (ch != separator && !(field.isEmpty() && ch.isSpace())) {
            field.append(ch);
        }

        // The character after a closing quote is still unread here, so text
        // after the quote joins the field and a trailing separator still ends
        // the line with an empty field.
        if (ch == separator || pos >= length) {
            fields.append(field);
            field.clear();
            if (pos >= length && ch == separator)
                fields.append(QString());
        }
    }
    return fields;
}

bool CsvModel::write(QIODevice* device, bool withHeader, QChar separator, QTextCodec* codec) const
{
    if (!device->isOpen() && !device->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (!device->isWritable()) {
        device->close();
        return false;
    }
    QTextStream stream(device);
    if (codec)
        stream.setCodec(codec);
    writeLines(stream, withHeader, separator);
    stream.flush();
    bool written = stream.status() == QTextStream::Ok;
    // Files keep what they are given in a buffer of their own.
    if (auto* file = qobject_cast<QFileDevice*>(device))
        written = file->flush() && written;
    device->close();
    return written;
}

void CsvModel::writeLines(QTextStream& stream, bool withHeader, QChar separator) const
{
    const int columns = columnCount();
    QStringList fields;
    fields.reserve(columns);
    if (withHeader) {
        for (int column = 0; column < columns; ++column) {
            const QString text = headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            fields.append(addCsvQuotes(m_quoteMode, text, separator));
        }
        stream << fields.join(separator) << '\n';
    }
    for (int row = 0; row < rowCount(); ++row) {
        fields.clear();
        for (int column = 0; column < columns; ++column)
            fields.append(addCsvQuotes(m_quoteMode, data(row, column), separator));
        stream << fields.join(separator) << "\r\n";
    }
}

QString CsvModel::addCsvQuotes(QuoteMode mode, QString field, QChar separator)
{
    const QChar doubleQuote = QLatin1Char('"');
    const QChar singleQuote = QLatin1Char('\'');
    const bool always = mode.testFlag(AlwaysQuoteOutput);
    const bool hasSeparator = field.contains(separator);
    const bool addDoubleQuotes = mode.testFlag(DoubleQuote)
        && (always || hasSeparator || field.contains(doubleQuote));
    const bool addSingleQuotes = mode.testFlag(SingleQuote)
        && (always || hasSeparator || field.contains(singleQuote));
    if (!addDoubleQuotes && !addSingleQuotes)
        return field;

    const QChar quote = addDoubleQuotes ? doubleQuote : singleQuote;
    if (mode.testFlag(BackslashQuote)) {
        field.replace(QLatin1String("\\"), QLatin1String("\\\\"));
        field.replace(quote, QString(QLatin1Char('\\')) + quote);
    } else {
        field.replace(quote, QString(2, quote));
    }
    return quote + field + quote;
}
