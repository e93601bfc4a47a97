#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// What every harness needs: an application object, private settings and data folders, no
// log output (it would slow every run down), and a file holding the input for readers
// that take a path.
namespace nwfuzz {

// Sets the process up once; call first in LLVMFuzzerTestOneInput.
void init();

QByteArray bytes(const uint8_t *data, size_t size);

// Writes data to a file of the harness's private folder, named with the given suffix
// (a reader may choose by it), and returns its path; empty when it cannot be written.
QString inputFile(const QByteArray &data, const QString &suffix);

// A fresh path in the private folder that no file holds yet.
QString scratchPath(const QString &suffix);

// Makes an input that takes more than a second of processor time a finding: the
// destructor reports the time and aborts, so the fuzzer keeps the input. Processor time,
// not the fuzzer's wall-clock -timeout, because the load of a shared machine stretches
// the wall time of an ordinary input many times over. Declare one after the set-up that
// runs once, so that it counts the input alone.
class CpuBudget
{
public:
    CpuBudget();
    ~CpuBudget();
    CpuBudget(const CpuBudget &) = delete;
    CpuBudget &operator=(const CpuBudget &) = delete;

private:
    double m_start;
};

} // namespace nwfuzz
