#include "emtytreeform.h"

#include <QLabel>
#include <QVBoxLayout>

EmtyTreeForm::EmtyTreeForm(QWidget *parent) : BaseTreeForm(parent), hint(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    hint->setAlignment(Qt::AlignCenter);
    hint->setWordWrap(true);
    hint->setEnabled(false);
    hint->setText(tr("Select an object or a sub-index in the tree to edit it, or a segment "
                     "to see its objects."));
    layout->addWidget(hint);
}

void EmtyTreeForm::setHint(const QString &text)
{
    hint->setText(text);
}
