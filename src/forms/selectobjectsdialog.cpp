#include "selectobjectsdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

SelectObjectsDialog::SelectObjectsDialog(const QString &title,
                                         const QList<QPair<quint16, QString>> &available,
                                         QWidget *parent)
    : QDialog(parent), objects(new QListWidget(this))
{
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Objects to add:"), this));
    for (const auto &object : available) {
        auto *item = new QListWidgetItem(QStringLiteral("0x%1 - %2")
                                             .arg(object.first, 4, 16, QLatin1Char('0'))
                                             .arg(object.second),
                                         objects);
        item->setData(Qt::UserRole, int(object.first));
        item->setCheckState(Qt::Unchecked);
    }
    objects->setMinimumSize(420, 360);
    layout->addWidget(objects);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QList<quint16> SelectObjectsDialog::selectedIndices() const
{
    QList<quint16> indices;
    for (int row = 0; row < objects->count(); ++row) {
        if (objects->item(row)->checkState() == Qt::Checked)
            indices.append(quint16(objects->item(row)->data(Qt::UserRole).toUInt()));
    }
    return indices;
}
