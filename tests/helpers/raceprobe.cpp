// nwraceprobe worker|queued: a deliberate data race that ThreadSanitizer must report.
// The ThreadSanitizer pass runs it with the suppressions of the suite and expects the
// report, so a suppression broad enough to hide a race of our own code fails the suite:
// a whole library, or a function every worker thread ("worker": the thread's start and
// its started() signal) or every queued call on the GUI thread ("queued": the event loop
// and the event delivery) passes through.
#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <cstring>

namespace {

int unguarded = 0;

} // namespace

// Not inlined, so that the report names it at the top of both stacks.
__attribute__((noinline)) void bumpUnguarded()
{
    ++unguarded;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool queued = argc == 2 && std::strcmp(argv[1], "queued") == 0;
    if (argc != 2 || (!queued && std::strcmp(argv[1], "worker") != 0)) {
        std::fputs("usage: nwraceprobe worker|queued\n", stderr);
        return 2;
    }
    QThread worker;
    if (queued) {
        // The call is posted first, so that nothing the posting synchronises orders the
        // worker's own write before the GUI thread's.
        QObject::connect(
            &worker, &QThread::started, &worker,
            [&app]() {
                QMetaObject::invokeMethod(
                    &app,
                    []() {
                        bumpUnguarded();
                        QCoreApplication::quit();
                    },
                    Qt::QueuedConnection);
                bumpUnguarded();
            },
            Qt::DirectConnection);
        worker.start();
        app.exec();
    } else {
        QObject::connect(&worker, &QThread::started, &worker, &bumpUnguarded, Qt::DirectConnection);
        worker.start();
        bumpUnguarded();
    }
    worker.quit();
    worker.wait();
    return 0;
}
