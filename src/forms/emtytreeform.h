#pragma once

#include "basetreeform.h"

class QLabel;

// The pane beside the tree while nothing is selected: a hint, nothing to save.
class EmtyTreeForm : public BaseTreeForm
{
    Q_OBJECT

public:
    explicit EmtyTreeForm(QWidget *parent = nullptr);
    void setHint(const QString &text);

public slots:
    void saveData() override {}
    void updateData() override {}

private:
    QLabel *hint;
};
