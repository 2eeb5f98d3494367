#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "GraphicsView/OnionSkinItem.h"
#include "TreeView/FrameThumbnailCache.h"
#include "TreeView/FrameThumbnailDelegate.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include "DataColumns.h"
#include "ModalAnswer.h"
#include "NewDocument.h"
#include "WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

class tst_Playback : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(showWindow()); }
    void cleanup() { QVERIFY(closeWindow()); }

    // Keys on the tree: space, '>' Ctrl+Right, '<' Ctrl+Left, 'v' Down; 's' space in the speed box, 't' a timer tick,
    // 'l' a click on LED 5, 'c' on frame 0 in the tree, 'a' Add frame, 'x' Close, 'n' New, 'r' Repeat... of one frame,
    // 'w' Text... of "A", 'p' Import image..., each confirmed after a tick if one is due.
    void controls_data()
    {
        // start -1: the sequence; shown -1: no document, or no sequence in it
        const auto add = dataColumns<int, int, bool, int, QString, int, bool>(
            "frames", "start", "loop", "fps", "keys", "shown", "playing");
        add("from the sequence, first frame, then ticks", 5, -1, true, 10, " ttt", 3, true);
        add("loop wraps", 4, 2, true, 50, " tt", 0, true);
        add("loop off stops on the last frame", 4, 1, false, 25, " tt", 3, false);
        add("loop off, from the end again", 4, 3, false, 1, " t", 1, true);
        add("pause", 5, 1, true, 3, " t ", 2, false);
        add("next wraps", 5, 4, true, 10, ">", 0, false);
        add("previous wraps", 5, 0, true, 10, "<", 4, false);
        add("previous from the sequence", 5, -1, true, 10, "<", 4, false);
        add("stepping while playing", 6, 1, true, 10, " >t", 3, true);
        add("space in the speed box", 5, 1, true, 10, "s", 1, false);
        // Pause first, so that the edit lands on the frame shown; closing or switching the document stops.
        add("LED click pauses", 4, 1, true, 10, " tl", 2, false);
        add("tree click pauses", 4, 1, true, 10, " tc", 0, false);
        add("moving in the tree pauses", 4, 1, true, 10, " tv", 3, false);
        add("menu edit pauses", 4, 1, true, 10, " ta", 2, false);
        add("close stops", 4, 1, true, 10, " tx", -1, false);
        add("new document stops", 4, 1, true, 10, " tn", -1, false);
        add("repeat pauses", 4, 1, true, 10, " tr", 3, false);
        add("text pauses", 4, 1, true, 10, " tw", 2, false);
        add("picture import pauses", 4, 1, true, 10, " tp", 3, false);
    }

    void controls()
    {
        const auto [frames, start, loop, fps, keys, shown, playing] =
            fetchColumns<int, int, bool, int, QString, int, bool>(
                "frames", "start", "loop", "fps", "keys", "shown", "playing");
        QVERIFY(openWithFrames(frames, start));
        document()->sequence(0)->frame(1)->led(7)->setIntensity(1);
        const QByteArray before = writtenShow(*document());
        action("action_Loop")->setChecked(loop);
        auto* speed = find<QSpinBox>("spinBox_FramesPerSecond");
        speed->setValue(fps);
        QSignalSpy framesShown(tree(), &LedTreeView::setFrame);

        for (const QChar key : keys) {
            const int from = shownFrame();
            if (key == 't') {
                QVERIFY(timer()->isActive());
                framesShown.clear();
                tick();
                QCOMPARE(framesShown.count(), 1);
                QCOMPARE(shownFrame(), (from + 1) % frames);
            } else if (key == 's') {
                speed->setFocus();
                QTest::keyClick(speed, Qt::Key_Space);
                tree()->setFocus();
            } else if (key == 'l') { // the frame shown, and it alone, gets the LED
                clickLed(5);
                for (int f = 0; f < frames; ++f)
                    QCOMPARE(document()->sequence(0)->frame(f)->led(5)->intensity(), int(f == from));
            } else if (key == 'v') {
                QTest::keyClick(tree(), Qt::Key_Down);
            } else if (key == 'c') {
                QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualRect(row(0)).center());
            } else if (key == 'r' || key == 'w' || key == 'p') {
                QTemporaryDir dir;
                const QString picture = dir.filePath(QStringLiteral("dot.png"));
                if (key == 'p') {
                    QVERIFY(QImage(QSize(4, 4), QImage::Format_RGB32).save(picture));
                    ModalAnswer::fileDialog(picture);
                }
                ModalAnswer::onNext([this, key](QWidget* dialog) {
                    if (timer()->isActive())
                        tick();
                    if (key == 'r')
                        dialog->findChild<QSpinBox*>("spinBox_RepeatCount")->setValue(1);
                    else if (key == 'w')
                        dialog->findChild<QLineEdit*>("lineEdit_Text")->setText("A");
                    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
                });
                action(key == 'r'       ? "action_RepeatFrame"
                           : key == 'w' ? "action_Text"
                                        : "action_ImportImage")
                    ->trigger();
                QVERIFY(ModalAnswer::allAnswered());
            } else if (key == 'a' || key == 'x' || key == 'n') {
                (key == 'a'       ? menu()->action_AddFrame
                     : key == 'x' ? menu()->action_Close
                                  : menu()->action_New)
                    ->trigger();
            } else {
                const Qt::Key code = key == ' ' ? Qt::Key_Space : key == '>' ? Qt::Key_Right : Qt::Key_Left;
                QTest::keyClick(tree(), code, key == ' ' ? Qt::NoModifier : Qt::ControlModifier);
            }
        }
        auto* play = action("action_Play");
        QCOMPARE(timer()->isActive(), playing);
        QCOMPARE(play->isChecked(), playing);
        QCOMPARE(plainText(play->text()), playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
        QCOMPARE(timer()->interval(), 1000 / fps);
        if (shown < 0) {
            QVERIFY(!play->isEnabled() && (!document() || !document()->currentSequence()));
            return;
        }
        QCOMPARE(shownFrame(), shown);
        // Stepping and playing leave the frame shown as the one the frame commands take, whatever keys are held.
        QCOMPARE(document()->targetFrameRows(), QList<int>{shown});
        const int count = document()->sequence(0)->frameCount();
        QCOMPARE(find<QLabel>("label_FramePosition")->text(),
                 QStringLiteral("Frame %1 of %2").arg(shown + 1).arg(count));
        // Playing shows frames and changes nothing; only the edits do.
        const bool edited = keys.contains(QRegularExpression("[lawrp]"));
        QVERIFY(!before.isEmpty());
        QCOMPARE(writtenShow(*document()) == before, !edited);
        QVERIFY(edited || (!document()->isModified() && !m_window->isWindowModified()));
    }

    void settingsSurviveRestart_data()
    {
        // stored empty: no such key
        const auto add = dataColumns<QString, int>("stored", "fps");
        add("first run", "", 10);
        add("too fast", "500", 50);
        add("zero", "0", 1);
        add("not a number", "fast", 10);
    }

    // The speed and the onion skin are kept for the next start.
    void settingsSurviveRestart()
    {
        const auto [stored, fps] = fetchColumns<QString, int>("stored", "fps");
        delete m_window;
        if (!stored.isEmpty())
            QSettings(settingsFile(), QSettings::IniFormat)
                .setValue(QStringLiteral("Playback/FramesPerSecond"), stored);
        m_window = new MainWindow;
        auto* speed = find<QSpinBox>("spinBox_FramesPerSecond");
        QCOMPARE(speed->value(), fps);
        QCOMPARE(timer()->interval(), 1000 / fps);

        speed->selectAll();
        QTest::keyClicks(speed, QStringLiteral("25"));
        action("action_OnionSkin")->trigger();
        QVERIFY(m_window->close());
        delete m_window;
        m_window = new MainWindow;
        QCOMPARE(find<QSpinBox>("spinBox_FramesPerSecond")->value(), 25);
        QVERIFY(action("action_OnionSkin")->isChecked());
    }

    // Frame 0 lights LEDs 0 and 1, frame 1 LEDs 1 and 2: the onion skin marks LED 0 on frame 1 while editing.
    void onionSkin()
    {
        const QColor lit(Qt::yellow), dark(Qt::darkGray), onion = OnionSkinItem::color();
        QVERIFY(onion != lit && onion != dark); // otherwise a missing onion skin would pass for a drawn one
        QVERIFY(openWithFrames(2, 1));
        auto* edit = new LedValuesEdit(QString());
        for (const QPoint& on : {QPoint(0, 0), QPoint(0, 1), QPoint(1, 1), QPoint(1, 2)}) // frame, LED
            edit->set(document()->sequence(0)->frame(on.x()), on.y(), 1);
        QVERIFY(document()->submit(edit));
        const auto colours = [this](const QList<int>& leds) {
            QList<QColor> colours;
            view()->ZoomAll();
            const QImage shown = view()->viewport()->grab().toImage();
            for (int led : leds)
                colours << shown.pixelColor(viewPoint(document()->panelLayout().ledPositionOf(led)));
            return colours;
        };
        QCOMPARE(colours({0, 1, 3}), QList<QColor>({dark, lit, dark})); // switched off
        action("action_OnionSkin")->setChecked(true);
        QCOMPARE(colours({0, 1, 3}), QList<QColor>({onion, lit, dark}));
        // Another layout is another scene; the onion skin goes along.
        QVERIFY(document()->submit(new ChangeLayoutEdit(*document(), LedLayout::create(LedLayout::Rectangle, 4, 4))));
        QCOMPARE(colours({0, 1, 3}), QList<QColor>({onion, lit, dark}));
        action("action_Play")->trigger();
        QCOMPARE(colours({0}), QList<QColor>({dark})); // not while playing
        action("action_Play")->trigger();
        QTest::keyClick(tree(), Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(colours({0, 2}), QList<QColor>({lit, dark})); // the first frame has no previous one
    }

    void thumbnailsFollowEdits_data()
    {
        // side: of a square grid; 0: the default ring
        const auto add = dataColumns<int>("side");
        add("ring, an LED a dot", 0);
        add("64 x 64, LEDs sharing pixels", 64);
    }

    // Pictures are drawn for the rows shown only, and an edit redraws its own frame's picture alone.
    void thumbnailsFollowEdits()
    {
        QFETCH(int, side);
        QVERIFY(openWithFrames(300, 1));
        if (side > 0)
            QVERIFY(document()->submit(
                new ChangeLayoutEdit(*document(), LedLayout::create(LedLayout::Rectangle, side, side))));
        tree()->expandAll();
        auto* cache = qobject_cast<FrameThumbnailDelegate*>(tree()->itemDelegate())->cache();
        const auto rowImage = [this](int f) { return tree()->viewport()->grab(tree()->visualRect(row(f))).toImage(); };
        // Dots are smaller than the LEDs' pixels: lit ones blend with the body, but stay yellowish.
        const auto yellowPixels = [](const QImage& image) {
            int count = 0;
            for (int i = 0; i < image.width() * image.height(); ++i) {
                const QColor c = image.pixelColor(i % image.width(), i / image.width());
                count += c.red() > 128 && c.green() > 128 && c.blue() < 96;
            }
            return count;
        };
        tree()->viewport()->grab();
        const QImage edited = rowImage(1), untouched = rowImage(2);
        const int rowHeight = tree()->visualRect(row(1)).height();
        QVERIFY(rowHeight >= FrameThumbnailCache::Height);
        const int drawn = cache->drawnCount();
        QVERIFY2(drawn > 2 && drawn <= tree()->viewport()->height() / rowHeight + 1,
                 qPrintable(QString::number(drawn)));
        QCOMPARE(yellowPixels(edited), 0);

        clickLed(5);
        // Where many LEDs share a pixel, one lit LED tints it rather than turning it yellow.
        QVERIFY(side > 0 ? rowImage(1) != edited : yellowPixels(rowImage(1)) > 0);
        QCOMPARE(rowImage(2), untouched);
        QCOMPARE(cache->drawnCount(), drawn + 1);
    }

private:
    template<typename T> T* find(const char* name) const { return m_window->findChild<T*>(name); }
    QTimer* timer() const { return find<QTimer>("timer_Playback"); }
    LedTreeView* tree() const { return document()->treeView(); }
    int shownFrame() const { return document()->currentFrame() ? document()->currentFrame()->index() : -1; }
    // The tree's row of a frame of sequence 0; of the sequence itself for -1.
    QModelIndex row(int frame) const { return document()->treeModel()->index(document()->node(0, frame)); }

    // A document of one sequence with these frames; current is a frame, or -1 for the sequence.
    bool openWithFrames(int frames, int current)
    {
        if (!newDocumentWithFrames(*m_window, frames))
            return false;
        tree()->setCurrentIndex(row(current));
        tree()->setFocus();
        document()->undoStack()->setClean(); // modified again by any further step
        return shownFrame() == current;
    }

    void tick() { QMetaObject::invokeMethod(timer(), "timeout"); }
};

QTEST_MAIN(tst_Playback)
#include "tst_Playback.moc"
