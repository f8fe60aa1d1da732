// A failure of the set-up tool, with its message already in Spanish.
#pragma once

#include <QString>

#include <stdexcept>

namespace setup {

class SetupError : public std::runtime_error {
public:
    explicit SetupError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// What an errno value means, in words a user can act on.
QString systemReason(int error);

} // namespace setup
