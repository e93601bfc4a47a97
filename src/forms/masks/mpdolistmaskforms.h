#pragma once

#include "arraylistmaskform.h"

// 0x1FA0..0x1FCF: the object scanner list of a source-address MPDO producer; each entry
// (block size, index, sub-index) is shown as its hexadecimal value.
class MPDO_ScannerMaskForm : public ArrayListMaskForm
{
    Q_OBJECT

public:
    explicit MPDO_ScannerMaskForm(QWidget *parent = nullptr);

protected:
    QStringList toCells(quint64 value) const override;
    bool fromCells(const QStringList &cells, quint64 &value) const override;
    QString entryNamePattern() const override;
};

// 0x1FD0..0x1FFF: the object dispatching list of an MPDO consumer (64-bit entries).
class MPDO_DispachterForm : public ArrayListMaskForm
{
    Q_OBJECT

public:
    explicit MPDO_DispachterForm(QWidget *parent = nullptr);

protected:
    QStringList toCells(quint64 value) const override;
    bool fromCells(const QStringList &cells, quint64 &value) const override;
    QString entryNamePattern() const override;
    QString formatValue(quint64 value) const override;
};
