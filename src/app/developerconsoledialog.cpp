#include "developerconsoledialog.h"
#include "ui_developerconsoledialog.h"

#include "database/objectdatabase.h"
#include "database/undostep.h"

DeveloperConsoleDialog::DeveloperConsoleDialog(ObjectDataBase *database, QWidget *parent)
    : QDialog(parent), ui(new Ui::DeveloperConsoleDialog), m_database(database)
{
    ui->setupUi(this);
}

DeveloperConsoleDialog::~DeveloperConsoleDialog()
{
    delete ui;
}

bool DeveloperConsoleDialog::execute(const QString &sql)
{
    if (!m_database || sql.trimmed().isEmpty())
        return false;
    bool ok = false;
    {
        UndoStep step(m_database, tr("SQL statement"));
        ok = m_database->executeSql(sql);
    }
    const QStringList rows = m_database->sqlResult();
    ui->txtResult->setPlainText(rows.join(QLatin1Char('\n')));
    ui->lblStatus->setText(ok ? tr("%n row(s)", nullptr, rows.size()) : tr("Error"));
    return ok;
}

QString DeveloperConsoleDialog::resultText() const
{
    return ui->txtResult->toPlainText();
}

void DeveloperConsoleDialog::on_btnExecute_clicked()
{
    execute(ui->edtSql->text());
}
