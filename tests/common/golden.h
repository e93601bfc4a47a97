#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTest>

#include <vector>

// Golden files of generated text and check output: whole files, and files of sections with
// one section per row of a data-driven test. UPDATE_GOLDEN=1 rewrites what a test compares.
namespace golden {

// The lines of a file; empty when it is missing.
inline QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

inline bool writeLines(const QString &path, const QStringList &lines)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(lines.join(QLatin1Char('\n')).toUtf8()) >= 0;
}

// Empty when got equals want; otherwise the first differing lines, for a failure message.
inline QString lineReport(const QStringList &want, const QStringList &got)
{
    QStringList report;
    for (int i = 0; i < qMax(got.size(), want.size()) && report.size() < 10; ++i) {
        const QString g = got.value(i, QStringLiteral("<end of file>"));
        const QString w = want.value(i, QStringLiteral("<end of file>"));
        if (g != w)
            report << QStringLiteral("line %1:\n  want: %2\n  got:  %3").arg(i + 1).arg(w, g);
    }
    return report.join(QLatin1Char('\n'));
}

// The edit that turns before into after: each run of changed lines as "@@ <line in
// after>", then "-" and the lines it drops, "+" and the lines it adds.
inline QStringList lineChanges(const QStringList &before, const QStringList &after)
{
    const int n = before.size();
    const int m = after.size();
    // common[i][j]: length of the longest common subsequence of before[i..] and after[j..].
    std::vector<std::vector<int>> common(size_t(n + 1), std::vector<int>(size_t(m + 1), 0));
    for (int i = n - 1; i >= 0; --i) {
        for (int j = m - 1; j >= 0; --j)
            common[i][j] = before.at(i) == after.at(j) ? common[i + 1][j + 1] + 1
                                                       : qMax(common[i + 1][j], common[i][j + 1]);
    }
    QStringList changes;
    bool inRun = false;
    for (int i = 0, j = 0; i < n || j < m;) {
        if (i < n && j < m && before.at(i) == after.at(j)) {
            ++i;
            ++j;
            inRun = false;
            continue;
        }
        if (!inRun)
            changes << QStringLiteral("@@ %1").arg(j + 1);
        inRun = true;
        if (j < m && (i == n || common[i][j + 1] >= common[i + 1][j]))
            changes << QLatin1Char('+') + after.at(j++);
        else
            changes << QLatin1Char('-') + before.at(i++);
    }
    return changes;
}

// A golden file of sections, one per row of the data-driven tests of a test class:
// "=== <test function>: <row name>" and its lines, a line feed inside a line written as
// "\n". Empty when lines match the section of the running row; otherwise the first
// differing lines. UPDATE_GOLDEN=1 writes the section.
inline QString goldenSectionDiff(const QString &goldenPath, QStringList lines)
{
    for (QString &line : lines)
        line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    const QString head = QStringLiteral("=== %1: %2")
                             .arg(QLatin1String(QTest::currentTestFunction()),
                                  QLatin1String(QTest::currentDataTag()));
    QStringList file = readLines(goldenPath);
    int start = file.indexOf(head);
    int end = start < 0 ? -1 : start + 1;
    while (end > 0 && end < file.size() && !file.at(end).startsWith(QLatin1String("=== ")))
        ++end;
    if (qEnvironmentVariableIntValue("UPDATE_GOLDEN") == 1) {
        if (start < 0)
            start = end = file.size();
        const QStringList updated = file.mid(0, start) + QStringList{head} + lines + file.mid(end);
        writeLines(goldenPath, updated);
        return QString();
    }
    if (start < 0)
        return QStringLiteral("no section %1 in %2").arg(head, goldenPath);
    return lineReport(file.mid(start + 1, end - start - 1), lines);
}

} // namespace golden
