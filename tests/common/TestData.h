#ifndef TESTDATA_H
#define TESTDATA_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class LedLayout;
class LedPanelModel;

// Shows spelled out in the file format, and the outside programs that check what the program wrote.

// The document element around body.
QByteArray showXml(const QByteArray& body);
QByteArray layoutXml(int rows, int columns, const char* type = "Rectangle");
// A sequence of frames of the given LED count; LED i of frame f holds value(f, i), a 0 left out.
QByteArray sequenceXml(int index, int frames, int leds = 0, const std::function<int(int, int)>& value = {});
bool readShow(LedPanelModel& show, QByteArray xml);
// A GIF of one-pixel frames, alternately white and black, on a screen of the given size; each frame's
// descriptor claims frameSize, while its data holds the one pixel.
QByteArray dotsGif(int screenWidth, int screenHeight, int frames, int frameSize = 1);
// Empty when writing failed.
QByteArray writtenShow(LedPanelModel& show);
// A frame's values as drawn: row after row of cells, whatever the numbering.
QVector<int> drawnCells(const LedLayout& layout, const QVector<int>& values);
// A frame of the layout with these LEDs at 1, the others at 0.
QVector<int> frameOf(const LedLayout& layout, const QVector<int>& leds);

// A file's bytes, empty when it cannot be read; writeFile is false unless every byte was written.
QByteArray fileContents(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);
// The settings file of this build's program, as the window reads and writes it.
QString settingsFile();

// Runs a program to its end and gives its standard output; a failed run raises the test's failure flag.
QByteArray runProgram(const QString& program, const QStringList& arguments, int timeoutMs = 30000);
// What srec_cat says a device holds once the TI-TXT file is flashed: the file's bytes, later sections over
// earlier ones, and at 0x4000 the CRC the boot loader checks over the application's ranges. As TI-TXT.
QByteArray flashedMemory(const QString& firmware);
// A TI-TXT file as srec_cat lays it out, to compare with flashedMemory().
QByteArray tiTxt(const QString& file);

// A menu text as read: a single & marks the key, && is a plain &.
QString plainText(QString text);

#endif // TESTDATA_H
