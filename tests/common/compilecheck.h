#pragma once

#include "processrunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Compiles generated C with the system C compiler against the stack stand-ins in
// tests/stackstub: `cc -c -Wall -Werror -I tests/stackstub -I <folder> <file>` into a
// scratch object file. A full compile (not only a syntax check) also reports what the
// compiler finds later, such as a static table nothing uses. A check passes only when the
// compiler succeeds and prints nothing.

// True when a C compiler is installed; tests skip their compile checks otherwise.
inline bool nwHaveCCompiler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("cc")).isEmpty();
}

inline QString nwStackStubDir()
{
    return QStringLiteral(NW_SOURCE_DIR "/tests/stackstub");
}

// Compiles one C file; the folder of the file is on the include path (generated files
// include each other with <...>). extraArguments go before the file (e.g. "-DNAME=1").
// diagnostics receives the compiler's output.
inline bool nwCompileCFile(const QString &cFile, QString *diagnostics = nullptr,
                           const QStringList &extraIncludeDirs = {},
                           const QStringList &extraArguments = {})
{
    QTemporaryDir objectDir;
    QStringList arguments = {"-c", "-Wall", "-Werror", "-o", objectDir.filePath("check.o")};
    for (const QString &dir :
         QStringList{nwStackStubDir(), QFileInfo(cFile).absolutePath()} + extraIncludeDirs)
        arguments << QStringLiteral("-I") << dir;
    arguments << extraArguments << cFile;
    nwtest::ProcessOptions options;
    options.mergeChannels = true;
    const nwtest::ProcessResult compiler =
        nwtest::runProcess(QStringLiteral("cc"), arguments, options);
    if (!compiler.finished) {
        if (diagnostics)
            *diagnostics = QStringLiteral("cc did not run: ") + compiler.errorString;
        return false;
    }
    if (diagnostics)
        *diagnostics = compiler.out;
    return compiler.exitCode == 0 && compiler.out.trimmed().isEmpty();
}

// Compiles a translation unit that includes the given stack headers and then the
// generated headers of folder, in order; `code` is appended after the includes (for
// example uses of the declared names).
inline bool nwCompileHeaders(const QString &folder, const QStringList &stackHeaders,
                             const QStringList &generatedHeaders, QString *diagnostics = nullptr,
                             const QString &code = QString())
{
    QTemporaryDir scratch;
    const QString source = scratch.path() + QStringLiteral("/check.c");
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QByteArray text;
    for (const QString &header : stackHeaders + generatedHeaders)
        text += "#include <" + header.toUtf8() + ">\n";
    text += code.toUtf8() + "\n";
    file.write(text);
    file.close();
    return nwCompileCFile(source, diagnostics, {folder});
}
