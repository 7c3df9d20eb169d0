#include "registers/ui/employee_record_view.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "records/text.h"
#include "ui/ui_common.h"

namespace registers {

EmployeeRecordView::EmployeeRecordView(const std::vector<Parteb1Form::OtherField>& fields, const QString& title,
                                       QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("employeeRecordView"));
    setWindowTitle(title);

    m_table = new QTableWidget(static_cast<int>(fields.size()), 3, this);
    m_table->setObjectName(QStringLiteral("fieldTable"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("Campo"), QStringLiteral("Posizioni"), QStringLiteral("Contenuto")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setStretchLastSection(true);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font().pointSizeF());
    for (std::size_t row = 0; row < fields.size(); ++row) {
        const Parteb1Form::OtherField& field = fields[row];
        const int r = static_cast<int>(row);
        auto* number = new QTableWidgetItem(QString::number(field.entry));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_table->setItem(r, 0, number);
        const QString positions = field.length == 1
            ? QString::number(field.position)
            : QStringLiteral("%1-%2").arg(field.position).arg(field.position + field.length - 1);
        m_table->setItem(r, 1, new QTableWidgetItem(positions));
        auto* content = new QTableWidgetItem(ui::toQt(records::trimRight(field.text)));
        content->setFont(fixed);
        content->setData(Qt::UserRole, records::trim(field.text).empty());
        m_table->setItem(r, 2, content);
    }
    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
    m_table->setMinimumWidth(ui::boxWidth(m_table, 40));
    m_table->setMinimumHeight(m_table->fontMetrics().lineSpacing() * 18);

    m_onlyFilled = new QCheckBox(QStringLiteral("Solo i campi compilati"), this);
    m_onlyFilled->setObjectName(QStringLiteral("onlyFilled"));
    connect(m_onlyFilled, &QCheckBox::toggled, this, &EmployeeRecordView::showFilledOnly);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("Chiudi"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_onlyFilled);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    m_onlyFilled->setChecked(true);
}

void EmployeeRecordView::showFilledOnly(bool filledOnly)
{
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->setRowHidden(row, filledOnly && m_table->item(row, 2)->data(Qt::UserRole).toBool());
}

} // namespace registers
