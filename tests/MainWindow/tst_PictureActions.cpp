#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "DataColumns.h"
#include "LatePipeWriter.h"
#include "ModalAnswer.h"
#include "NewDocument.h"
#include "WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

class tst_PictureActions : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QImage white(16, 16, QImage::Format_RGB32);
        white.fill(Qt::white);
        QVERIFY(white.save(m_Dir.filePath(QStringLiteral("white.png"))));
        QBuffer jpeg;
        QVERIFY(jpeg.open(QIODevice::WriteOnly) && white.save(&jpeg, "JPEG"));
        QVERIFY(writeFile(m_Dir.filePath(QStringLiteral("cut.jpg")), jpeg.data().chopped(2)));
        QVERIFY(writeFile(m_Dir.filePath(QStringLiteral("dots.gif")), dotsGif(10000, 10000, 10000)));
        QVERIFY(writeFile(m_Dir.filePath(QStringLiteral("many.gif")), dotsGif(8, 8, 10001)));
        QVERIFY(writeFile(m_Dir.filePath(QStringLiteral("logo.svg")),
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\"/>"));
        QVERIFY(::mkfifo(QFile::encodeName(m_Dir.filePath(QStringLiteral("pipe.png"))).constData(), 0600) == 0);
    }

    void init() { QVERIFY(showWindow()); }
    void cleanup() { QVERIFY(closeWindow()); }

    void importImage_data()
    {
        QTest::addColumn<QString>("file");
        // 1 accept the dialog, 0 cancel it, -1 a message box instead, 2 accept, then Yes to the question
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QString>("said"); // in the message box

        QTest::newRow("a picture, accepted") << "white.png" << 1 << 3 << "";
        QTest::newRow("a picture, cancelled") << "white.png" << 0 << 2 << "";
        QTest::newRow("a JPEG cut off, imported as it is") << "cut.jpg" << 2 << 3
                                                           << "cut.jpg is damaged: it breaks off at byte";
        QTest::newRow("a drawing Qt reads, no preview") << "logo.svg" << -1 << 2 << "logo.svg is not a picture";
        QTest::newRow("10001 frames, no preview") << "many.gif" << -1 << 2 << "10001 frames";
        QTest::newRow("10000 dots on 10000 x 10000, no preview") << "dots.gif" << -1 << 2 << "25 megapixels";
        // A picture is read more than once, which a pipe cannot give.
        QTest::newRow("a pipe") << "pipe.png" << -1 << 2 << "Cannot read pipe.png: Not a regular file";
    }

    void importImage()
    {
        const auto [file, answer, frames, said] =
            fetchColumns<QString, int, int, QString>("file", "answer", "frames", "said");
        QVERIFY(newDocumentWithFrames(*m_window, 2));
        const int steps = document()->undoStack()->count();
        const LatePipeWriter late(m_Dir.filePath(QStringLiteral("pipe.png")), "no picture"); // for a read that waits
        ModalAnswer::fileDialog(m_Dir.filePath(file));
        if (answer >= 0) {
            ModalAnswer::onNext([answer](QWidget* widget) {
                auto* dialog = qobject_cast<QDialog*>(widget);
                QVERIFY(dialog && dialog->findChild<QCheckBox*>(QStringLiteral("checkBox_Invert")));
                dialog->findChild<QCheckBox*>(QStringLiteral("checkBox_Invert"))->setChecked(true);
                answer ? dialog->accept() : dialog->reject();
            });
        }
        QString text;
        if (answer != 0 && answer != 1)
            ModalAnswer::messageBox(answer == 2 ? QMessageBox::Yes : QMessageBox::Ok, &text);
        QVERIFY(triggerAnswered(action("action_ImportImage")));
        QVERIFY2(text.contains(said), qPrintable(text));

        CommandList* sequence = document()->sequence(0);
        QCOMPARE(sequence->frameCount(), frames);
        QCOMPARE(document()->undoStack()->count(), steps + (frames > 2 ? 1 : 0));
        if (frames > 2) {
            QCOMPARE(document()->undoStack()->undoText(), QStringLiteral("Import image"));
            // White inverted: every LED dark.
            QCOMPARE(sequence->frame(2)->intensities(), QVector<int>(sequence->frame(2)->ledCount(), 0));
            document()->undoStack()->undo();
            QCOMPARE(sequence->frameCount(), 2);
        }
    }

    void exportPictures()
    {
        QVERIFY(newDocumentWithFrames(*m_window, 3));
        // At the speed playback has now: the three frames, all alike, held as one.
        m_window->findChild<QSpinBox*>("spinBox_FramesPerSecond")->setValue(25);
        const QString gif = m_Dir.filePath(QStringLiteral("show.gif"));
        ModalAnswer::onNext([](QWidget* widget) {
            auto* size = widget->findChild<QSpinBox*>(QStringLiteral("spinBox_GifSize"));
            QVERIFY(size);
            size->setValue(100);
            qobject_cast<QDialog*>(widget)->accept();
        });
        ModalAnswer::fileDialog(gif);
        QVERIFY(triggerAnswered(action("action_ExportGif")));
        QImageReader reader(gif);
        QCOMPARE(reader.size(), QSize(100, 100));
        QVERIFY(!reader.read().isNull());
        QCOMPARE(reader.nextImageDelay(), 120);

        document()->makeCurrent(document()->node(0, 1));
        const QString png = m_Dir.filePath(QStringLiteral("frame.png"));
        ModalAnswer::fileDialog(png);
        QVERIFY(triggerAnswered(action("action_ExportPng")));
        // At the size the GIF export last used.
        QCOMPARE(QImageReader(png).size(), QSize(100, 100));

        // A pipe nobody reads is refused at once: waiting for its reader would hang the window.
        const QString fifo = m_Dir.filePath(QStringLiteral("fifo.csv"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QAction* exportCsv = document()->findChild<QMenu*>(QStringLiteral("contextMenu_table"))->actions().value(1);
        for (QAction* exporting : { action("action_ExportPng"), exportCsv }) {
            // The sequence's own menu acts on a sequence.
            document()->makeCurrent(exporting == exportCsv ? document()->node(0) : document()->node(0, 1));
            QString text;
            ModalAnswer::fileDialog(fifo);
            ModalAnswer::messageBox(QMessageBox::Yes); // replace it
            ModalAnswer::messageBox(QMessageBox::Ok, &text);
            QVERIFY(triggerAnswered(exporting));
            QVERIFY2(text.contains(QStringLiteral("Nothing reads from this pipe")), qPrintable(text));
        }
    }

private:
    QTemporaryDir m_Dir;
};

QTEST_MAIN(tst_PictureActions)
#include "tst_PictureActions.moc"
