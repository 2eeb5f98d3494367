#include "TreeView/LedTreeView.h"

#include "DataColumns.h"
#include "ModalAnswer.h"
#include "WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

// The key a single & marks, in lower case; none without one (&& is a plain &).
static QChar mnemonic(const QString& text)
{
    const QString plain = QString(text).remove(QStringLiteral("&&"));
    const int at = plain.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < plain.size() ? plain.at(at + 1).toLower() : QChar();
}

// Run under an X server when one can be started: there the standard keys are bound as on a desktop.
class tst_Shortcuts : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(showWithFrames(1));
        document()->makeCurrent(document()->node(0, 0));
    }

    void cleanup() { QVERIFY(closeWindow()); }

    void noKeyServesTwoActions()
    {
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            QVERIFY(QKeySequence::keyBindings(QKeySequence::Delete).contains(QKeySequence(Qt::CTRL | Qt::Key_D)));
        QMap<QKeySequence, QString> owners;
        QStringList clashes;
        for (QAction* action : m_window->findChildren<QAction*>()) {
            for (const QKeySequence& key : action->shortcuts()) {
                const QString owner = owners.value(key);
                if (!owner.isEmpty() && owner != action->objectName())
                    clashes << key.toString() + QLatin1Char(' ') + owner + QLatin1Char('/') + action->objectName();
                owners.insert(key, action->objectName());
            }
        }
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QStringLiteral(", "))));
        QVERIFY(owners.size() > 20);
    }

    void everyEntryHasAKeyOfItsOwn_data()
    {
        const auto add = dataColumns<QByteArray>("layout");
        add("ring", QByteArray("<Layout type=\"Ring\"/>"));
        add("grid", layoutXml(3, 4, "Rectangle"));
    }

    // The menu bar and the right-click menus of frames and of the LED view; the operations' letters follow the layout.
    void everyEntryHasAKeyOfItsOwn()
    {
        QFETCH(QByteArray, layout);
        document()->setModified(false);
        QVERIFY(openShow(layout + sequenceXml(0, 1)));
        QStringList missing;
        QList<QWidget*> menus { m_window->menuBar(), m_window->findChild<QMenu*>("contextMenu_frame"),
                                view()->findChild<QMenu*>() };
        while (!menus.isEmpty()) {
            QWidget* menu = menus.takeFirst();
            // Opened, as a menu may set its letters then.
            auto* popup = qobject_cast<QMenu*>(menu);
            if (popup)
                popup->popup(QPoint());
            QString keys;
            for (QAction* entry : menu->actions()) {
                // Two entries on one key: the key only moves between them.
                const QChar key = mnemonic(entry->text());
                if (!entry->isSeparator() && (key.isNull() || keys.contains(key)))
                    missing << menu->objectName() + QStringLiteral(" > ") + entry->text();
                keys += key;
                if (entry->menu())
                    menus << entry->menu();
            }
            if (popup)
                popup->hide();
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }

    void keyReachesItsAction_data()
    {
        const auto add = dataColumns<QString, QKeySequence>("action", "key");
        // Keys something else could take first: Ctrl+D is a Delete key under X11, the focused tree wants Del and Space.
        add("duplicate frame", "action_DuplicateFrame", QKeySequence(Qt::CTRL | Qt::Key_D));
        add("delete", "action_DeleteFrames", QKeySequence(Qt::Key_Delete));
        add("play", "action_Play", QKeySequence(Qt::Key_Space));
        // The drawing tools' single letters, all bound alike, on the tree: its search must not take them.
        add("line", "action_ToolLine", QKeySequence(Qt::Key_L));
    }

    void keyReachesItsAction()
    {
        const auto [action, key] = fetchColumns<QString, QKeySequence>("action", "key");
        QSignalSpy triggered(this->action(action), &QAction::triggered);
        QVERIFY(triggered.isValid());
        // Where a new show leaves the keys: its tree, not the toolbar's speed field.
        QCOMPARE(QApplication::focusWidget(), document()->treeView());
        QTest::keySequence(document()->treeView(), key);
        QTRY_COMPARE(triggered.count(), 1);
    }

    void returnLeavesAnUnfinishedValue_data()
    {
        const auto add = dataColumns<QString, QString, QString>("action", "field", "typed");
        // Put back to its last value, the field had the dialog take that: 10 frames, the panel unchanged.
        add("repeat, none", "action_RepeatFrame", "spinBox_RepeatCount", "0");
        add("layout, columns left empty", "action_Layout", "spinBox_Columns", "");
    }

    void returnLeavesAnUnfinishedValue()
    {
        const auto [action, field, typed] = fetchColumns<QString, QString, QString>("action", "field", "typed");
        const QByteArray before = writtenShow(*document());
        bool kept = false;
        ModalAnswer::onNext([&](QWidget* dialog) {
            auto* box = dialog->findChild<QAbstractSpinBox*>(field);
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, typed);
            QTest::keyClick(box, Qt::Key_Return);
            kept = dialog->isVisible() && box->text() == typed;
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QVERIFY(triggerAnswered(this->action(action)));
        QVERIFY(kept);
        QCOMPARE(writtenShow(*document()), before);
    }
};

QTEST_MAIN(tst_Shortcuts)
#include "tst_Shortcuts.moc"
