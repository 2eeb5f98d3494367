#include "Abstract/AbstractCommand.h"

AbstractCommand::AbstractCommand(AbstractCommand* parent)
    : AbstractCommand(QStringLiteral("?"), parent)
{
}

AbstractCommand::AbstractCommand(const QString& name, AbstractCommand* parent)
    : m_pParentItem(nullptr)
    , m_Name(name)
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
    if (!m_pParentItem)
        return 0;
    return m_pParentItem->m_pChildItems.indexOf(const_cast<AbstractCommand*>(this));
}

void AbstractCommand::appendChild(AbstractCommand* child)
{
    Q_ASSERT(child);
    child->m_pParentItem = this;
    m_pChildItems.append(child);
}

void AbstractCommand::insertChild(int row, AbstractCommand* child)
{
    Q_ASSERT(child);
    child->m_pParentItem = this;
    m_pChildItems.insert(row, child);
}

void AbstractCommand::removeChild(AbstractCommand* child)
{
    if (m_pChildItems.removeOne(child))
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
