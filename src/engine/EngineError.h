// Errors of the table engine. They travel up to the window's edge
// (platform::guarded), which shows their text.
#pragma once

#include <QString>
#include <stdexcept>

namespace engine {

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace engine
