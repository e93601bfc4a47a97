#include "nwtest.h"

#include <QFileInfo>
#include <QString>

#include <QCoreApplication>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Registered
{
    std::string file;
    nwtest::Factory factory;
};

// Keyed by the file's base name, so that classes run in file order and CTest names match.
std::map<std::string, Registered> &registry()
{
    static std::map<std::string, Registered> classes;
    return classes;
}

int runClass(const Registered &entry, const std::vector<char *> &arguments)
{
    const std::unique_ptr<QObject> testObject(entry.factory());
    QTest::setMainSourcePath(entry.file.c_str());
    return QTest::qExec(testObject.get(), int(arguments.size()),
                        const_cast<char **>(arguments.data()));
}

int listClasses(FILE *stream)
{
    for (const auto &entry : registry())
        std::fprintf(stream, "%s\n", entry.first.c_str());
    return 0;
}

} // namespace

bool nwtest::registerTestClass(const char *file, Factory factory)
{
    const std::string name =
        QFileInfo(QString::fromLocal8Bit(file)).completeBaseName().toStdString();
    if (registry().count(name) != 0) {
        std::fprintf(stderr, "test class %s is registered twice\n", name.c_str());
        std::abort();
    }
    registry()[name] = Registered{file, factory};
    return true;
}

// Usage: EXECUTABLE [tst_name] [QTest options and test functions]. Without a name every
// registered class runs; "--list" prints the names.
int main(int argc, char **argv)
{
    const std::unique_ptr<QCoreApplication> app = nwtest::createApplication(argc, argv);
    std::vector<char *> arguments{argv[0]};
    std::string chosen;
    for (int i = 1; i < argc; ++i) {
        if (i == 1 && argv[i][0] != '-')
            chosen = argv[i];
        else
            arguments.push_back(argv[i]);
    }
    if (argc == 2 && std::string(argv[1]) == "--list")
        return listClasses(stdout);
    if (!chosen.empty()) {
        const auto found = registry().find(chosen);
        if (found == registry().end()) {
            std::fprintf(stderr, "no test class %s; this executable has:\n", chosen.c_str());
            listClasses(stderr);
            return 2;
        }
        return runClass(found->second, arguments);
    }
    int failures = 0;
    for (const auto &entry : registry())
        failures += runClass(entry.second, arguments);
    return failures;
}
