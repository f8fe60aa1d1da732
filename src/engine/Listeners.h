// Plain C++ notification lists for the table and its data sources. A bound
// control's refusal is an exception, and it must reach the caller through our
// own frames, never through Qt's signal machinery.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace engine {

namespace detail {
struct ListenerEntry {
    bool live = true;
};
} // namespace detail

// The handle of one listener; disconnecting is safe whichever of the list or
// the listener goes first.
class Connection {
public:
    Connection() = default;
    explicit Connection(std::weak_ptr<detail::ListenerEntry> entry)
        : m_entry(std::move(entry))
    {
    }
    void disconnect()
    {
        if (auto entry = m_entry.lock())
            entry->live = false;
        m_entry.reset();
    }

private:
    std::weak_ptr<detail::ListenerEntry> m_entry;
};

// Disconnects when it goes, as a member of the listening object.
class ScopedConnection {
public:
    ScopedConnection() = default;
    ScopedConnection(Connection connection) // NOLINT: taking a handle is the point
        : m_connection(std::move(connection))
    {
    }
    ScopedConnection(ScopedConnection&& other) noexcept
        : m_connection(std::exchange(other.m_connection, Connection()))
    {
    }
    ScopedConnection& operator=(ScopedConnection&& other) noexcept
    {
        if (this != &other) {
            m_connection.disconnect();
            m_connection = std::exchange(other.m_connection, Connection());
        }
        return *this;
    }
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;
    ~ScopedConnection() { m_connection.disconnect(); }
    void disconnect() { m_connection.disconnect(); }

private:
    Connection m_connection;
};

// Listeners are called in the order they were added. One added during a call
// hears the next one; one disconnected during a call is not called again. An
// exception from a listener stops the call and travels to the caller.
template <typename... Args> class Listeners {
public:
    Connection add(std::function<void(Args...)> callback)
    {
        prune();
        auto entry = std::make_shared<Entry>();
        entry->callback = std::move(callback);
        m_entries.push_back(entry);
        return Connection(entry);
    }

    void call(Args... args)
    {
        prune();
        const std::vector<std::shared_ptr<Entry>> entries = m_entries; // listeners may come and go
        for (const auto& entry : entries)
            if (entry->live)
                entry->callback(args...);
    }

private:
    struct Entry : detail::ListenerEntry {
        std::function<void(Args...)> callback;
    };
    void prune()
    {
        std::erase_if(m_entries, [](const auto& entry) { return !entry->live; });
    }
    std::vector<std::shared_ptr<Entry>> m_entries;
};

} // namespace engine
