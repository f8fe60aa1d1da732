#include "bound/FieldLink.h"

#include "engine/Field.h"
#include "engine/Table.h"

namespace bound {

FieldLink::FieldLink(std::function<void()> show, std::function<void()> writePending)
    : m_show(std::move(show))
    , m_writePending(std::move(writePending))
{
}

void FieldLink::setDataSource(engine::DataSource* source)
{
    if (source == m_source)
        return;
    m_source = source;
    reconnect();
    m_show();
}

void FieldLink::setFieldName(const QString& name)
{
    m_fieldName = name;
    m_show();
}

void FieldLink::reconnect()
{
    m_connections.clear();
    if (!m_source)
        return;
    m_connections.push_back(
        m_source->onDataChange([this](engine::Field* changed) { onDataChange(changed); }));
    // Only opening and closing change what a control shows; edit and
    // insert come with their own data change.
    m_wasActive = m_source->table().active();
    m_connections.push_back(m_source->onStateChange([this] {
        const bool active = m_source->table().active();
        if (active != m_wasActive) {
            m_wasActive = active;
            m_show();
        }
    }));
    if (m_writePending)
        m_connections.push_back(m_source->onUpdateData([this] { m_writePending(); }));
}

void FieldLink::onDataChange(engine::Field* changed)
{
    if (!m_source || m_source->table().controlsDisabled())
        return;
    if (changed == nullptr || changed->name().compare(m_fieldName, Qt::CaseInsensitive) == 0)
        m_show();
}

engine::Table* FieldLink::table() const
{
    return m_source ? &m_source->table() : nullptr;
}

engine::Field* FieldLink::field() const
{
    if (!m_source || m_fieldName.isEmpty() || !m_source->table().active())
        return nullptr;
    return m_source->table().findField(m_fieldName);
}

bool FieldLink::editing() const
{
    if (!m_source)
        return false;
    const auto state = m_source->table().state();
    return state == engine::TableState::Edit || state == engine::TableState::Insert;
}

bool FieldLink::canModify() const
{
    const engine::Field* f = field();
    return f && !f->readOnly();
}

bool FieldLink::edit()
{
    if (!canModify())
        return false;
    // Should the record have changed in the file, or an empty table start an
    // insert, the data change shows the fresh record before the keystroke.
    return m_source->editForTyping();
}

} // namespace bound
