#include "TestData.h"

#include "Data/LedPanelModel.h"

#include <QtTest>

QByteArray showXml(const QByteArray& body)
{
    return "<LedPanelDocument version=\"1.0\">" + body + "</LedPanelDocument>";
}

QByteArray layoutXml(int rows, int columns, const char* type)
{
    return QStringLiteral("<Layout type=\"%1\"><Rows>%2</Rows><Columns>%3</Columns></Layout>")
        .arg(QLatin1String(type)).arg(rows).arg(columns).toUtf8();
}

QByteArray sequenceXml(int index, int frames, int leds, const std::function<int(int, int)>& value)
{
    QByteArray xml = "<CommandList index=\"" + QByteArray::number(index) + "\">";
    for (int f = 0; f < frames; ++f) {
        xml += "<LedState index=\"" + QByteArray::number(f) + "\">";
        for (int i = 0; i < leds; ++i) {
            if (const int v = value(f, i))
                xml += "<LedData index=\"" + QByteArray::number(i) + "\"><intensity>" + QByteArray::number(v)
                       + "</intensity></LedData>";
        }
        xml += "</LedState>";
    }
    return xml + "</CommandList>";
}

bool readShow(LedPanelModel& show, QByteArray xml)
{
    QBuffer buffer(&xml);
    return buffer.open(QIODevice::ReadOnly) && show.readXML(&buffer);
}

QByteArray dotsGif(int screenWidth, int screenHeight, int frames, int frameSize)
{
    const auto word = [](int value) { return QByteArray(1, char(value & 0xFF)) + char(value >> 8 & 0xFF); };
    // A global table of black and white.
    QByteArray gif = "GIF89a" + word(screenWidth) + word(screenHeight) + QByteArray::fromHex("800000" "000000ffffff");
    for (int f = 0; f < frames; ++f) {
        gif += QByteArray::fromHex("21f904000a000000"); // a tenth of a second
        gif += ',' + word(f % screenWidth) + word(f % screenHeight) + word(frameSize) + word(frameSize) + '\0';
        // 2-bit code size: clear (4), the pixel, end (5), three bits each, low bits first.
        const int codes = 4 | (f % 2 ? 0 : 1) << 3 | 5 << 6;
        gif += QByteArray::fromHex("0202") + char(codes & 0xFF) + char(codes >> 8) + '\0';
    }
    return gif + ';';
}

QByteArray writtenShow(LedPanelModel& show)
{
    QBuffer buffer;
    return buffer.open(QIODevice::WriteOnly) && show.writeXML(&buffer) ? buffer.data() : QByteArray();
}

QVector<int> drawnCells(const LedLayout& layout, const QVector<int>& values)
{
    QVector<int> cells;
    for (int row = 0; row < layout.rows(); ++row) {
        for (int column = 0; column < layout.columns(); ++column)
            cells.append(values.value(layout.indexAt(row, column)));
    }
    return cells;
}

QVector<int> frameOf(const LedLayout& layout, const QVector<int>& leds)
{
    QVector<int> values(int(layout.ledCount()));
    for (int led : leds)
        values[led] = 1;
    return values;
}

QByteArray fileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QString settingsFile()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/app.ini");
}

QByteArray runProgram(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(timeoutMs);
    const QByteArray out = process.readAllStandardOutput();
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        QTest::qFail(qPrintable(program + " failed: " + process.errorString() + '\n' + out
                                + process.readAllStandardError()), __FILE__, __LINE__);
    return out;
}

QByteArray flashedMemory(const QString& firmware)
{
    return runProgram("srec_cat", { "-multiple", firmware, "-ti-txt", "(", firmware, "-ti-txt", "-crop", "0x6403",
        "0xF800", "0x10000", "0x44000", "-fill", "0xFF", "0x6403", "0xF800", "-fill", "0xFF", "0x10000", "0x44000",
        "-crc16-l-e", "0x4000", "-broken", "-crop", "0x4000", "0x4002", ")", "-o", "-", "-ti-txt" });
}

QByteArray tiTxt(const QString& file)
{
    return runProgram("srec_cat", { file, "-ti-txt", "-o", "-", "-ti-txt" });
}

QString plainText(QString text)
{
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QChar(1), QLatin1Char('&'));
}
