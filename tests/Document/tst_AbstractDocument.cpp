#include "Document/AbstractDocument.h"

#include "common/ModalAnswer.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Records what the base class asks of a concrete document.
class RecordingDocument : public AbstractDocument
{
public:
    QStringList loaded;
    QStringList saved;
    bool saveResult = true;

    bool load(const QString& fileName) override
    {
        loaded << fileName;
        return true;
    }
    bool save(const QString& fileName) override
    {
        saved << fileName;
        if (saveResult)
            setModified(false);
        return saveResult;
    }
};

} // namespace

class tst_AbstractDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void maybeSave_data();
    void maybeSave();
    void maybeSaveCancelledSaveDialog();
    void maybeSaveOnCleanDocumentAsksNothing();
    void closeEventFollowsAnswer_data();
    void closeEventFollowsAnswer();

    void setModifiedSignalsOnlyChanges();

    void setFilePathCanonicalises();
    void setFilePathSameStringIsSilent();
    void setFilePathOfMissingFileEmpties();
    void setFileName_data();
    void setFileName();

    void loadDialogCancelled();
    void loadDialogChosenFile();
    void saveDialogProposesName();

private:
    QTemporaryDir m_Dir;
    QString m_ExistingFile;
};

void tst_AbstractDocument::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
    QVERIFY(m_Dir.isValid());
    m_ExistingFile = m_Dir.filePath(QStringLiteral("panel.xml"));
    QFile file(m_ExistingFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<x/>");
}

void tst_AbstractDocument::maybeSave_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("hasPath");
    QTest::addColumn<bool>("saveResult");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<int>("saves");

    QTest::newRow("save with path") << int(QMessageBox::Save) << true << true << true << 1;
    QTest::newRow("save with path fails") << int(QMessageBox::Save) << true << false << false << 1;
    QTest::newRow("discard") << int(QMessageBox::Discard) << true << true << true << 0;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << true << true << false << 0;
}

void tst_AbstractDocument::maybeSave()
{
    QFETCH(int, button);
    QFETCH(bool, hasPath);
    QFETCH(bool, saveResult);
    QFETCH(bool, expected);
    QFETCH(int, saves);

    RecordingDocument document;
    document.saveResult = saveResult;
    if (hasPath)
        document.setFilePath(m_ExistingFile);
    document.setModified(true);

    QString text;
    QString title;
    ModalAnswer::messageBox(QMessageBox::StandardButton(button), &text, &title);
    QCOMPARE(document.maybeSave(), expected);
    QVERIFY(ModalAnswer::allAnswered());

    QCOMPARE(title, QStringLiteral("Tessaloom"));
    QCOMPARE(text, QStringLiteral("panel.xml has been modified.\nDo you want to save changes?"));
    QCOMPARE(document.saved.count(), saves);
    if (saves)
        QCOMPARE(document.saved.first(), QFileInfo(m_ExistingFile).canonicalFilePath());
}

void tst_AbstractDocument::maybeSaveCancelledSaveDialog()
{
    RecordingDocument document;
    document.setFileName(QStringLiteral("LedPanel_1.xml"));
    document.setModified(true);

    ModalAnswer::messageBox(QMessageBox::Save);
    ModalAnswer::fileDialog(QString());
    QVERIFY(!document.maybeSave());
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY(document.saved.isEmpty());
    QVERIFY(document.isModified());
}

void tst_AbstractDocument::maybeSaveOnCleanDocumentAsksNothing()
{
    RecordingDocument document;
    // No answer is scheduled: a question would block the test forever.
    QVERIFY(document.maybeSave());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void tst_AbstractDocument::closeEventFollowsAnswer_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("closes");

    QTest::newRow("discard") << int(QMessageBox::Discard) << true;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false;
}

void tst_AbstractDocument::closeEventFollowsAnswer()
{
    QFETCH(int, button);
    QFETCH(bool, closes);

    RecordingDocument document;
    document.setFileName(QStringLiteral("a.xml"));
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));
    document.setModified(true);
    QSignalSpy aboutToClose(&document, &AbstractDocument::aboutToClose);

    ModalAnswer::messageBox(QMessageBox::StandardButton(button));
    QCOMPARE(document.close(), closes);
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(document.isVisible(), !closes);
    QCOMPARE(aboutToClose.count(), closes ? 1 : 0);
    if (closes)
        QCOMPARE(aboutToClose.first().first().value<AbstractDocument*>(), &document);
}

void tst_AbstractDocument::setModifiedSignalsOnlyChanges()
{
    RecordingDocument document;
    QSignalSpy spy(&document, &AbstractDocument::modifiedChanged);

    document.setModified(false);
    QCOMPARE(spy.count(), 0);
    document.setModified();
    document.setModified(true);
    QCOMPARE(spy.count(), 1);
    QVERIFY(document.isModified());
    document.setModified(false);
    document.setModified(true);
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(1).first().toBool(), false);
    QCOMPARE(spy.at(2).first().toBool(), true);
}

void tst_AbstractDocument::setFilePathCanonicalises()
{
    RecordingDocument document;
    QSignalSpy spy(&document, &AbstractDocument::fileNameChanged);
    const QString roundabout = m_Dir.path() + QStringLiteral("/./sub/../panel.xml");
    QDir(m_Dir.path()).mkdir(QStringLiteral("sub"));

    document.setFilePath(roundabout);
    QCOMPARE(document.filePath(), QFileInfo(m_ExistingFile).canonicalFilePath());
    QCOMPARE(document.fileName(), QStringLiteral("panel.xml"));
    QCOMPARE(document.windowTitle(), QStringLiteral("panel.xml[*]"));
    QCOMPARE(document.fileDirectory(), QFileInfo(m_Dir.path()).canonicalFilePath());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toString(), QStringLiteral("panel.xml"));
}

void tst_AbstractDocument::setFilePathSameStringIsSilent()
{
    RecordingDocument document;
    const QString canonical = QFileInfo(m_ExistingFile).canonicalFilePath();
    document.setFilePath(canonical);
    QSignalSpy spy(&document, &AbstractDocument::fileNameChanged);
    document.setFilePath(canonical);
    QCOMPARE(spy.count(), 0);
}

void tst_AbstractDocument::setFilePathOfMissingFileEmpties()
{
    RecordingDocument document;
    document.setFilePath(m_ExistingFile);
    QSignalSpy spy(&document, &AbstractDocument::fileNameChanged);

    document.setFilePath(m_Dir.filePath(QStringLiteral("missing.xml")));
    QVERIFY(document.filePath().isEmpty());
    QVERIFY(document.fileName().isEmpty());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toString(), QString());
}

void tst_AbstractDocument::setFileName_data()
{
    QTest::addColumn<bool>("hasPath");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<int>("emitted");

    QTest::newRow("with path") << true << QStringLiteral("renamed.xml") << 1;
    QTest::newRow("without path") << false << QStringLiteral("renamed.xml") << 1;
    QTest::newRow("same name") << true << QStringLiteral("panel.xml") << 0;
}

void tst_AbstractDocument::setFileName()
{
    QFETCH(bool, hasPath);
    QFETCH(QString, newName);
    QFETCH(int, emitted);

    RecordingDocument document;
    if (hasPath)
        document.setFilePath(m_ExistingFile);
    else
        document.setFileName(QStringLiteral("panel.xml"));
    const QString directory = QFileInfo(m_Dir.path()).canonicalFilePath();
    QSignalSpy spy(&document, &AbstractDocument::fileNameChanged);

    document.setFileName(newName);
    QCOMPARE(spy.count(), emitted);
    QCOMPARE(document.fileName(), newName);
    QCOMPARE(document.windowTitle(), newName + QStringLiteral("[*]"));
    QCOMPARE(document.filePath(), hasPath ? directory + QLatin1Char('/') + newName : QString());
    // Renaming never touches the disk.
    QVERIFY(QFile::exists(m_ExistingFile));
}

void tst_AbstractDocument::loadDialogCancelled()
{
    RecordingDocument document;
    ModalAnswer::fileDialog(QString());
    QVERIFY(!document.loadDialog(QString()));
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY(document.loaded.isEmpty());
}

void tst_AbstractDocument::loadDialogChosenFile()
{
    RecordingDocument document;
    ModalAnswer::fileDialog(m_ExistingFile);
    QVERIFY(document.loadDialog(QString()));
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(document.loaded.count(), 1);
    QCOMPARE(QFileInfo(document.loaded.first()).canonicalFilePath(),
             QFileInfo(m_ExistingFile).canonicalFilePath());
}

void tst_AbstractDocument::saveDialogProposesName()
{
    RecordingDocument document;
    document.setFileName(QStringLiteral("LedPanel_7.xml"));
    QString proposed;
    ModalAnswer::onNext([&proposed](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        QVERIFY(dialog);
        proposed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Save as"));
        dialog->reject();
    });
    QVERIFY(!document.saveDialog(QString()));
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(proposed, QStringLiteral("LedPanel_7.xml"));
    QVERIFY(document.saved.isEmpty());
}

QTEST_MAIN(tst_AbstractDocument)
#include "tst_AbstractDocument.moc"
