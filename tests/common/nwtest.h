#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QTest>

#include <memory>

// Every tests/<area>/tst_<name>.cpp of an area is linked into one executable whose main
// (testmain.cpp) runs the test classes registered with NW_TEST_MAIN: the one named on the
// command line ("nwtests_generators tst_indicesgenerator -v2") or, without a name, all of
// them in turn. CTest starts each class on its own, under the name of its file.
namespace nwtest {

using Factory = QObject *(*)();

// Registers factory under the base name of file (the __FILE__ of the test); called
// during static initialisation.
bool registerTestClass(const char *file, Factory factory);

// The application object of the executable: a QApplication for the widget areas
// (testapplication_widgets.cpp), a QCoreApplication for the others.
std::unique_ptr<QCoreApplication> createApplication(int &argc, char **argv);

} // namespace nwtest

// Replaces QTEST_MAIN / QTEST_GUILESS_MAIN: whether the executable runs a QApplication
// or a QCoreApplication is a property of its area.
#define NW_TEST_MAIN(TestClass)                                                                    \
    namespace {                                                                                    \
    const bool nwTestRegistered =                                                                  \
        ::nwtest::registerTestClass(__FILE__, []() -> QObject * { return new TestClass; });        \
    }
