// The libraries a built program needs at start, as its dynamic section names
// them (readelf -d): for checking what the program does not load until used.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace testsupport {

// The NEEDED entries of `program`, e.g. "libQt6Core.so.6"; empty when
// readelf cannot read it.
inline QStringList neededLibraries(const QString& program)
{
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), { QStringLiteral("-d"), program });
    if (!readelf.waitForFinished(30000))
        return {};
    QStringList needed;
    static const QRegularExpression entry(QStringLiteral(R"(\(NEEDED\).*\[(.+)\])"));
    for (const QString& line : QString::fromUtf8(readelf.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = entry.match(line);
        if (match.hasMatch())
            needed << match.captured(1);
    }
    return needed;
}

} // namespace testsupport
