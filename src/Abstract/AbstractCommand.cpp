#include "Abstract/AbstractCommand.h"

AbstractCommand::AbstractCommand(AbstractCommand* parent)
    : AbstractCommand(QStringLiteral("?"), parent)
{
}

AbstractCommand::AbstractCommand(const QString& name, AbstractCommand* parent)
    : m_pParentItem(nullptr)
    , m_Name(name)
    , m_Row(-1)
    , m_RowsKnown(0)
{
    if (parent)
        parent->appendChild(this);
}

AbstractCommand::~AbstractCommand()
{
    // Take the list first, so a child that looks at its parent while it dies
    // never sees a sibling that is already gone.
    const QList<AbstractCommand*> children = m_pChildItems;
    m_pChildItems.clear();
    m_RowsKnown = 0;
    for (AbstractCommand* child : children) {
        child->m_pParentItem = nullptr;
        delete child;
    }
}

int AbstractCommand::type() const
{
    return typeCommand;
}

int AbstractCommand::index() const
{
    const AbstractCommand* parent = m_pParentItem;
    if (!parent)
        return 0;
    // Rows are counted again only from the first change on, and only once after it.
    const QList<AbstractCommand*>& siblings = parent->m_pChildItems;
    if (m_Row < 0 || m_Row >= parent->m_RowsKnown || siblings.value(m_Row) != this) {
        for (int row = parent->m_RowsKnown; row < siblings.size(); ++row)
            siblings.at(row)->m_Row = row;
        parent->m_RowsKnown = siblings.size();
        if (siblings.value(m_Row) != this)
            return siblings.indexOf(const_cast<AbstractCommand*>(this));
    }
    return m_Row;
}

void AbstractCommand::appendChild(AbstractCommand* child)
{
    Q_ASSERT(child);
    child->m_pParentItem = this;
    child->m_Row = m_pChildItems.size();
    if (m_RowsKnown == m_pChildItems.size())
        ++m_RowsKnown;
    m_pChildItems.append(child);
}

void AbstractCommand::insertChild(int row, AbstractCommand* child)
{
    Q_ASSERT(child);
    child->m_pParentItem = this;
    m_RowsKnown = qMin(m_RowsKnown, qMax(row, 0));
    m_pChildItems.insert(row, child);
}

void AbstractCommand::removeChild(AbstractCommand* child)
{
    const int row = child && child->m_pParentItem == this ? child->index() : m_pChildItems.indexOf(child);
    if (row < 0 || row >= m_pChildItems.size() || m_pChildItems.at(row) != child)
        return;
    m_pChildItems.removeAt(row);
    m_RowsKnown = qMin(m_RowsKnown, row);
    child->m_pParentItem = nullptr;
}

AbstractCommand* AbstractCommand::parent()
{
    return m_pParentItem;
}

const AbstractCommand* AbstractCommand::parent() const
{
    return m_pParentItem;
}

QList<AbstractCommand*> AbstractCommand::childs()
{
    return m_pChildItems;
}

QList<AbstractCommand*> AbstractCommand::childs() const
{
    return m_pChildItems;
}

QVariant AbstractCommand::data(int key) const
{
    if (key == 0)
        return QVariant(m_Name);
    return QVariant();
}

bool AbstractCommand::setData(int key, QVariant value)
{
    if (key != 0)
        return false;
    m_Name = value.toString();
    return true;
}

const QString& AbstractCommand::name() const
{
    return m_Name;
}
