#include "mpdolistmaskforms.h"

namespace {

bool parseHex(const QString &text, quint64 &value, quint64 maximum)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits = digits.mid(2);
    bool ok = false;
    value = digits.toULongLong(&ok, 16);
    return ok && value <= maximum;
}

} // namespace

MPDO_ScannerMaskForm::MPDO_ScannerMaskForm(QWidget *parent)
    : ArrayListMaskForm(tr("Object Scanner List"), {tr("Entry (block size, index, sub-index)")},
                        tr("Add entry"), tr("Delete entry"), parent)
{
}

QStringList MPDO_ScannerMaskForm::toCells(quint64 value) const
{
    return {formatValue(value)};
}

bool MPDO_ScannerMaskForm::fromCells(const QStringList &cells, quint64 &value) const
{
    return parseHex(cells.value(0), value, 0xFFFFFFFFull);
}

QString MPDO_ScannerMaskForm::entryNamePattern() const
{
    return tr("Scan %1");
}

MPDO_DispachterForm::MPDO_DispachterForm(QWidget *parent)
    : ArrayListMaskForm(tr("Object Dispatching List"), {tr("Entry")}, tr("Add entry"),
                        tr("Delete entry"), parent)
{
}

QStringList MPDO_DispachterForm::toCells(quint64 value) const
{
    return {formatValue(value)};
}

bool MPDO_DispachterForm::fromCells(const QStringList &cells, quint64 &value) const
{
    return parseHex(cells.value(0), value, ~quint64(0));
}

QString MPDO_DispachterForm::entryNamePattern() const
{
    return tr("Dispatch %1");
}

QString MPDO_DispachterForm::formatValue(quint64 value) const
{
    return QStringLiteral("0x%1").arg(value, 16, 16, QLatin1Char('0'));
}
