// Writes real files for the fuzz corpora through the program's own writers:
// documents on the default ring and on rectangles, sequence tables in several
// CSV dialects, and small pictures in the four formats the import takes.
// Usage: make_corpus <corpus folder>
#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Data/LedPanelModel.h"
#include "Helper/CsvModel.h"
#include "Picture/GifWriter.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

#include <cstdlib>

namespace {

const char rectangleLayout[] =
    "<LedPanelDocument version=\"1.0\"><Layout type=\"Rectangle\">"
    "<Rows>%1</Rows><Columns>%2</Columns><RowSpacing>5</RowSpacing><ColumnSpacing>7.5</ColumnSpacing>"
    "<Rectangle_X>-5</Rectangle_X><Rectangle_Y>-5</Rectangle_Y><Rectangle_W>%3</Rectangle_W>"
    "<Rectangle_H>%4</Rectangle_H><FirstLedPosition_X>0</FirstLedPosition_X>"
    "<FirstLedPosition_Y>0</FirstLedPosition_Y></Layout></LedPanelDocument>";

void fill(LedPanelModel& document, const QList<int>& framesPerSequence, QRandomGenerator& random)
{
    document.setTitle(QStringLiteral("Panel & <friends> \"%1\"").arg(random.bounded(1000)));
    document.setDescription(QStringLiteral("First line\nsecond line with ümlauts\n\tand a tab"));
    for (int frames : framesPerSequence) {
        auto* sequence = new CommandList(&document);
        document.appendChild(sequence);
        for (int f = 0; f < frames; ++f) {
            sequence->addFrame();
            for (LedData* led : sequence->frame(f)->leds())
                led->setIntensity(random.bounded(4) == 0 ? 1 : 0);
        }
    }
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writeDocument(LedPanelModel& document, const QString& path)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    return document.writeXML(&buffer) && writeFile(path, buffer.data());
}

// The fuzz target takes the dialect from the first byte: the quote mode in bits
// 0-3, the header in bit 4, the separator in bits 5-6 (',' 0, ';' 1).
bool writeTable(const LedStateCommand* first, int frames, CsvModel::QuoteMode mode, char separator,
                const QString& path)
{
    CsvModel table(mode, true, QLatin1Char(separator), nullptr);
    const QList<LedData*> leds = first->leds();
    table.createTable(frames, leds.count());
    for (int column = 0; column < leds.count(); ++column)
        table.setHeaderData(column, QString::number(column));
    const CommandList* sequence = first->sequence();
    for (int row = 0; row < frames; ++row) {
        const QList<LedData*> values = sequence->frame(row)->leds();
        for (int column = 0; column < values.count(); ++column)
            table.setData(row, column, QString::number(values.at(column)->intensity()));
    }
    QBuffer buffer;
    const char dialect = char(int(mode) | 0x10 | (separator == ';' ? 0x20 : 0));
    return table.write(&buffer) && writeFile(path, QByteArray(1, dialect) + buffer.data());
}

// The picture target takes its settings from the first byte; 0 is the default fit without options.
bool writePicture(const QString& path, const QByteArray& picture, char settings = 0)
{
    return !picture.isEmpty() && writeFile(path, settings + picture);
}

QByteArray encoded(const QImage& image, const char* format, bool progressive = false)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? buffer.data() : QByteArray();
}

// Frames of the panel's kind: a bar that moves, through the export's GIF writer.
QByteArray animation(int frames, const QSize& size)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    GifWriter gif(&buffer, size, { qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(128, 128, 128) });
    bool ok = gif.begin();
    for (int f = 0; f < frames && ok; ++f) {
        QImage frame(size, QImage::Format_RGB32);
        frame.fill(Qt::black);
        QPainter(&frame).fillRect(f * size.width() / frames, 0, 2, size.height(), Qt::white);
        ok = gif.addFrame(frame, 5 + 5 * f);
    }
    return ok && gif.finish() ? buffer.data() : QByteArray();
}

// One-pixel frames, each on its own place of a larger screen, as no GIF writer lays them out.
QByteArray dots(int width, int height, int frames)
{
    const auto word = [](int value) { return QByteArray(1, char(value & 0xFF)) + char(value >> 8 & 0xFF); };
    QByteArray gif = "GIF89a" + word(width) + word(height) + QByteArray::fromHex("800000" "000000ffffff");
    for (int f = 0; f < frames; ++f) {
        gif += QByteArray::fromHex("21f904010a000000"); // transparent index 0
        gif += ',' + word(f % width) + word(f % height) + word(1) + word(1) + '\0';
        const int codes = 4 | (f % 2) << 3 | 5 << 6;
        gif += QByteArray::fromHex("0202") + char(codes & 0xFF) + char(codes >> 8) + '\0';
    }
    return gif + ';';
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    corpus.mkpath(QStringLiteral("fuzz_document"));
    corpus.mkpath(QStringLiteral("fuzz_csv"));
    QRandomGenerator random(20261206);
    bool ok = true;

    {
        LedPanelModel empty;
        ok &= writeDocument(empty, corpus.filePath(QStringLiteral("fuzz_document/ring_empty.xml")));
    }
    {
        LedPanelModel ring;
        fill(ring, { 1, 2 }, random);
        ok &= writeDocument(ring, corpus.filePath(QStringLiteral("fuzz_document/ring_two_sequences.xml")));
    }
    const struct { int rows, columns, sequences; } rectangles[] = { { 4, 8, 3 }, { 2, 3, 4 }, { 1, 1, 1 } };
    for (const auto& shape : rectangles) {
        LedPanelModel rectangle;
        QByteArray layout = QString::fromLatin1(rectangleLayout)
                                .arg(shape.rows)
                                .arg(shape.columns)
                                .arg(shape.columns * 7.5 + 2.5)
                                .arg(shape.rows * 5 + 5)
                                .toUtf8();
        QBuffer input(&layout);
        input.open(QIODevice::ReadOnly);
        ok &= rectangle.readXML(&input);
        QList<int> frames;
        for (int s = 0; s < shape.sequences; ++s)
            frames.append(1 + s);
        fill(rectangle, frames, random);
        const QString name = QStringLiteral("rectangle_%1x%2").arg(shape.rows).arg(shape.columns);
        ok &= writeDocument(rectangle, corpus.filePath(QStringLiteral("fuzz_document/%1.xml").arg(name)));

        // The sequence tables: the exported dialect and a few others.
        const CommandList* last = rectangle.sequence(rectangle.sequenceCount() - 1);
        const struct { CsvModel::QuoteMode mode; char separator; const char* suffix; } dialects[] = {
            { CsvModel::NoQuotes, ',', "plain" },
            { CsvModel::DefaultQuoteMode, ',', "quoted" },
            { CsvModel::SingleQuote | CsvModel::BackslashQuote, ';', "single_backslash" },
        };
        for (const auto& dialect : dialects) {
            const QString path = corpus.filePath(
                QStringLiteral("fuzz_csv/%1_%2.csv").arg(name, QLatin1String(dialect.suffix)));
            ok &= writeTable(last->frame(0), last->frameCount(), dialect.mode, dialect.separator, path);
        }
    }

    corpus.mkpath(QStringLiteral("fuzz_picture"));
    const auto picture = [&corpus](const char* name) { return corpus.filePath(QStringLiteral("fuzz_picture/") + name); };
    QImage gradient(24, 16, QImage::Format_ARGB32);
    for (int y = 0; y < gradient.height(); ++y) {
        for (int x = 0; x < gradient.width(); ++x)
            gradient.setPixel(x, y, qRgba(x * 10, y * 15, 128, y < 4 ? 0 : 255));
    }
    const QByteArray jpeg = encoded(gradient.convertToFormat(QImage::Format_RGB32), "jpeg");
    ok &= writePicture(picture("gradient.png"), encoded(gradient, "png"));
    ok &= writePicture(picture("gradient_dither_invert.png"), encoded(gradient, "png"), 0x0D);
    ok &= writePicture(picture("gradient.bmp"), encoded(gradient.convertToFormat(QImage::Format_RGB888), "bmp"), 1);
    ok &= writePicture(picture("gradient.jpg"), jpeg);
    ok &= writePicture(picture("gradient_cut.jpg"), jpeg.left(jpeg.size() / 2), 2);
    ok &= writePicture(picture("gradient_progressive.jpg"),
                       encoded(gradient.convertToFormat(QImage::Format_RGB32), "jpeg", true));
    const QByteArray bar = animation(6, QSize(16, 8));
    ok &= writePicture(picture("bar.gif"), bar);
    ok &= writePicture(picture("bar_timed.gif"), bar, 0x10);
    ok &= writePicture(picture("bar_cut.gif"), bar.left(bar.size() - 9));
    ok &= writePicture(picture("dots.gif"), dots(12, 10, 40), 0x11);
    return ok ? 0 : 1;
}
