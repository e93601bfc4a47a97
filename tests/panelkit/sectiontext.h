#pragma once

#include "golden.h"

// Fixture texts kept in a file of sections under tests/data: "=== <name>", then the lines of
// the text up to the next section or the end of the file, each ending in a line feed.
inline QByteArray sectionText(const QString &path, const QString &name)
{
    const QStringList lines = golden::readLines(path);
    QByteArray text;
    for (int at = lines.indexOf(QStringLiteral("=== ") + name);
         at >= 0 && ++at < lines.size() - 1 && !lines.at(at).startsWith(QLatin1String("=== "));)
        text += lines.at(at).toUtf8() + '\n';
    return text;
}
