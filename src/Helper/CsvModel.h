#ifndef CSVMODEL_H
#define CSVMODEL_H

#include <QAbstractTableModel>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;
class QTextCodec;
class QTextStream;

// A table of strings with an optional header row that reads and writes a
// configurable comma-separated-values dialect. Every line is one record.
class CsvModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum QuoteOption {
        NoQuotes = 0,
        SingleQuote = 1,
        DoubleQuote = 2,
        BackslashQuote = 4,
        AlwaysQuoteOutput = 8,
        DefaultQuoteMode = DoubleQuote | AlwaysQuoteOutput
    };
    Q_DECLARE_FLAGS(QuoteMode, QuoteOption)

    explicit CsvModel(QObject* parent = nullptr);
    CsvModel(QuoteMode mode, bool withHeader, QChar separator, QTextCodec* codec,
             QObject* parent = nullptr);
    CsvModel(const CsvModel& other, QObject* parent = nullptr);
    ~CsvModel() override;

    void createTable(int rows, int columns);
    void removeTable();

    QuoteMode quoteMode() const { return m_quoteMode; }
    void setQuoteMode(QuoteMode mode) { m_quoteMode = mode; }
    bool withHeader() const { return m_WithHeader; }
    void setWithHeader(bool withHeader) { m_WithHeader = withHeader; }
    QChar separator() const { return m_Separator; }
    void setSeparator(QChar separator) { m_Separator = separator; }
    QTextCodec* codec() const { return m_pCodec; }
    void setCodec(QTextCodec* codec) { m_pCodec = codec; }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool insertColumns(int column, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeColumns(int column, int count, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QString data(int row, int column) const;
    bool setData(int row, int column, const QString& value);
    bool setHeaderData(int column, const QString& value);
    int findHeader(const QString& header, Qt::CaseSensitivity cs = Qt::CaseSensitive) const;
    // The line of the device a row was read from, counting from 1; 0 for a row made otherwise.
    int lineNumber(int row) const;

    // The file and device operations return false when the device cannot be
    // opened, read or written.
    bool read(const QString& filePath);
    bool readHeader(const QString& filePath);
    bool read(QIODevice* device);
    bool readHeader(QIODevice* device);
    bool write(QIODevice* device) const;

private:
    bool read(QIODevice* device, bool withHeader, QChar separator, QTextCodec* codec,
              bool readHeaderOnly);
    bool write(QIODevice* device, bool withHeader, QChar separator, QTextCodec* codec) const;
    void writeLines(QTextStream& stream, bool withHeader, QChar separator) const;
    QStringList splitLine(const QString& line, QChar separator) const;
    QString* cell(int row, int column) const;
    static QString addCsvQuotes(QuoteMode mode, QString field, QChar separator);

    QuoteMode m_quoteMode = DefaultQuoteMode;
    bool m_WithHeader = false;
    QChar m_Separator = QLatin1Char(',');
    QTextCodec* m_pCodec = nullptr;
    QList<QString*> m_header;
    // A row holds its leading cells only: cells past the end of its list are
    // empty. A wide header followed by short lines thus costs no more memory
    // than the text read.
    QList<QList<QString*>> m_data;
    // Empty lines are skipped, so a row's index does not give its line.
    QVector<int> m_lines;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CsvModel::QuoteMode)

#endif // CSVMODEL_H
