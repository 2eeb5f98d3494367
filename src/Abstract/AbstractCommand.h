#ifndef ABSTRACTCOMMAND_H
#define ABSTRACTCOMMAND_H

#include <QList>
#include <QString>
#include <QVariant>

// Commands understood by the program compiler. Not the same numbers as the
// node type codes returned by AbstractCommand::type().
enum eCommand
{
    cmdInvalid = -1,
    cmdLedSequence = 0,
    cmdLedState = 1,
    cmdCount = 2
};

// What a node of the command tree is; type() answers one of these.
enum eNodeType
{
    typeCommand = -1,
    typeLedState = 1,
    typeCommandList = 2,
    typeDocument = 3
};

// A node of the command tree. A node owns its children.
class AbstractCommand
{
public:
    explicit AbstractCommand(AbstractCommand* parent);
    AbstractCommand(const QString& name, AbstractCommand* parent);
    virtual ~AbstractCommand();

    virtual int type() const;

    int index() const;
    void appendChild(AbstractCommand* child);
    void insertChild(int row, AbstractCommand* child);
    void removeChild(AbstractCommand* child);

    AbstractCommand* parent();
    const AbstractCommand* parent() const;
    QList<AbstractCommand*> childs();
    QList<AbstractCommand*> childs() const;

    virtual QVariant data(int key) const;
    virtual bool setData(int key, QVariant value);

    const QString& name() const;

private:
    Q_DISABLE_COPY(AbstractCommand)

    AbstractCommand* m_pParentItem;
    QList<AbstractCommand*> m_pChildItems;
    QString m_Name;
    // The position among the parent's children, kept so index() need not search.
    mutable int m_Row;
    // Children below this row know their m_Row; the rest are counted when asked.
    mutable int m_RowsKnown;
};

#endif // ABSTRACTCOMMAND_H
