#include "Document/AbstractDocument.h"

#include "common/ModalAnswer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class RecordingDocument : public AbstractDocument
{
public:
    QStringList saved;
    bool saveResult = true;
    bool load(const QString&) override { return true; }
    bool save(const QString& fileName) override { saved << fileName; return saveResult; }
};

class tst_AbstractDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void maybeSave_data();
    void maybeSave();
    void setModifiedSignalsOnlyChanges();
    void names_data();
    void names();

private:
    QTemporaryDir m_Dir;
    QString m_File; // canonical path of an existing file
};

void tst_AbstractDocument::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
    QFile file(m_Dir.filePath(QStringLiteral("panel.xml")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    m_File = QFileInfo(file).canonicalFilePath();
    QVERIFY(QDir(m_Dir.path()).mkdir(QStringLiteral("sub")));
}

void tst_AbstractDocument::maybeSave_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("hasPath");
    QTest::addColumn<bool>("saveResult");
    QTest::addColumn<bool>("expected");

    QTest::newRow("clean asks nothing") << false << 0 << true << true << true;
    QTest::newRow("save to path") << true << int(QMessageBox::Save) << true << true << true;
    QTest::newRow("save to path fails") << true << int(QMessageBox::Save) << true << false << false;
    QTest::newRow("save, dialog cancelled") << true << int(QMessageBox::Save) << false << true << false;
    QTest::newRow("discard") << true << int(QMessageBox::Discard) << true << true << true;
    QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << true << true << false;
}

void tst_AbstractDocument::maybeSave()
{
    QFETCH(bool, modified);
    QFETCH(int, button);
    QFETCH(bool, hasPath);
    QFETCH(bool, saveResult);
    QFETCH(bool, expected);

    RecordingDocument document;
    document.saveResult = saveResult;
    if (hasPath)
        document.setFilePath(m_File);
    else
        document.setFileName(QStringLiteral("panel.xml"));
    document.setModified(modified);
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));
    QSignalSpy aboutToClose(&document, &AbstractDocument::aboutToClose);

    for (int pass = 0; pass < 2; ++pass) { // through maybeSave, then through a close request
        QString text, title;
        if (modified)
            ModalAnswer::messageBox(QMessageBox::StandardButton(button), &text, &title);
        if (button == QMessageBox::Save && !hasPath)
            ModalAnswer::fileDialog(QString());
        QCOMPARE(pass == 0 ? document.maybeSave() : document.close(), expected);
        QVERIFY(ModalAnswer::allAnswered());
        QCOMPARE(text, modified ? QStringLiteral("panel.xml has been modified.\nDo you want to save changes?") : "");
        QCOMPARE(title, modified ? QStringLiteral("Tessaloom") : "");
    }
    QCOMPARE(document.isVisible(), !expected);
    QCOMPARE(aboutToClose.count(), expected ? 1 : 0);
    QCOMPARE(document.saved.count(), button == QMessageBox::Save && hasPath ? 2 : 0);
    QVERIFY(document.saved.isEmpty() || document.saved.first() == m_File);
    QCOMPARE(document.isModified(), modified);
}

void tst_AbstractDocument::setModifiedSignalsOnlyChanges()
{
    RecordingDocument document;
    QSignalSpy spy(&document, &AbstractDocument::modifiedChanged);
    for (bool modified : {false, true, true, false, true})
        document.setModified(modified);
    QCOMPARE(spy, (QList<QVariantList>{{true}, {false}, {true}}));
}

void tst_AbstractDocument::names_data()
{
    // "@" stands for the canonical temporary directory.
    QTest::addColumn<bool>("startWithPath");
    QTest::addColumn<bool>("setPath");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("emitted");

    QTest::newRow("path resolved") << false << true << "@/./sub/../panel.xml" << "@/panel.xml" << "panel.xml" << 1;
    QTest::newRow("same path") << true << true << "@/panel.xml" << "@/panel.xml" << "panel.xml" << 0;
    QTest::newRow("missing file") << true << true << "@/missing.xml" << "" << "" << 1;
    QTest::newRow("rename with path") << true << false << "new.xml" << "@/new.xml" << "new.xml" << 1;
    QTest::newRow("rename without path") << false << false << "new.xml" << "" << "new.xml" << 1;
    QTest::newRow("same name") << true << false << "panel.xml" << "@/panel.xml" << "panel.xml" << 0;
}

void tst_AbstractDocument::names()
{
    QFETCH(bool, startWithPath);
    QFETCH(bool, setPath);
    QFETCH(QString, argument);
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(int, emitted);
    const QString dir = QFileInfo(m_File).path();
    argument.replace(QLatin1Char('@'), dir);
    path.replace(QLatin1Char('@'), dir);

    RecordingDocument document;
    if (startWithPath)
        document.setFilePath(m_File);
    QSignalSpy spy(&document, &AbstractDocument::fileNameChanged);
    if (setPath)
        document.setFilePath(argument);
    else
        document.setFileName(argument);

    QCOMPARE(document.filePath(), path);
    QCOMPARE(document.fileName(), name);
    QCOMPARE(spy, emitted ? QList<QVariantList>{{name}} : QList<QVariantList>());
    if (emitted)
        QCOMPARE(document.windowTitle(), name + QStringLiteral("[*]"));
    QVERIFY(QFile::exists(m_File));
}

QTEST_MAIN(tst_AbstractDocument)
#include "tst_AbstractDocument.moc"
