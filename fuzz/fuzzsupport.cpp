#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

void dropMessage(QtMsgType, const QMessageLogContext &, const QString &) {}

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

QTemporaryDir &privateDir()
{
    static QTemporaryDir dir;
    return dir;
}

} // namespace

namespace nwfuzz {

void init()
{
    // Never destroyed: the fuzzer ends the process from exit handlers, after which Qt's
    // own statics may be gone.
    static QCoreApplication *app = nullptr;
    if (app)
        return;
    static int argc = 1;
    static char name[] = "nwfuzz";
    static char *argv[] = {name, nullptr};
    QCoreApplication::setOrganizationName(QStringLiteral("tenvor"));
    QCoreApplication::setApplicationName(QStringLiteral("CANopen Nodewright"));
    app = new QCoreApplication(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    qInstallMessageHandler(dropMessage);
}

QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

QString scratchPath(const QString &suffix)
{
    static int counter = 0;
    return privateDir().filePath(QStringLiteral("input%1.%2").arg(++counter).arg(suffix));
}

QString inputFile(const QByteArray &data, const QString &suffix)
{
    const QString path = privateDir().filePath(QStringLiteral("input.") + suffix);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        return QString();
    return path;
}

CpuBudget::CpuBudget() : m_start(processorSeconds()) {}

CpuBudget::~CpuBudget()
{
    const double spent = processorSeconds() - m_start;
    if (spent > 1.0) {
        std::fprintf(stderr, "==nwfuzz== the input took %.2f s of processor time (limit 1 s)\n",
                     spent);
        std::abort();
    }
}

} // namespace nwfuzz
