#include "Document/AbstractDocument.h"

#include "common/ModalAnswer.h"

#include <QtTest>

class RecordingDocument : public AbstractDocument
{
public:
    QStringList saved;
    bool saveResult = true;
    bool load(const QString&) override { return true; }
    bool save(const QString& fileName) override { saved << fileName; return saveResult; }
};

// Answering Save to the question on closing: the document closes only once it is
// really saved. Cancel and Discard are walked through from the main window.
class tst_AbstractDocument : public QObject
{
    Q_OBJECT

private slots:
    void saveOnClose_data();
    void saveOnClose();
};

void tst_AbstractDocument::saveOnClose_data()
{
    QTest::addColumn<bool>("hasPath");
    QTest::addColumn<bool>("saveResult");
    QTest::addColumn<bool>("closes");

    QTest::newRow("saved to its file") << true << true << true;
    QTest::newRow("save fails") << true << false << false;
    QTest::newRow("never saved, file dialog cancelled") << false << true << false;
}

void tst_AbstractDocument::saveOnClose()
{
    QFETCH(bool, hasPath);
    QFETCH(bool, saveResult);
    QFETCH(bool, closes);

    const QString path = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath(); // a file that exists
    RecordingDocument document;
    document.saveResult = saveResult;
    hasPath ? document.setFilePath(path) : document.setFileName(QStringLiteral("panel.xml"));
    document.setModified(true);
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));

    ModalAnswer::messageBox(QMessageBox::Save);
    if (!hasPath)
        ModalAnswer::fileDialog(QString());
    QCOMPARE(document.close(), closes);
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(document.saved, hasPath ? QStringList{path} : QStringList());
}

QTEST_MAIN(tst_AbstractDocument)
#include "tst_AbstractDocument.moc"
