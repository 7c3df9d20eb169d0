#include "registers/ui/employee_record_view.h"

#include <algorithm>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "payroll/code_tables.h"
#include "records/text.h"
#include "ui/ui_common.h"

namespace registers {

namespace {

enum Column { kNumber, kDescription, kElement, kContent, kColumnCount };

// A field's content as a clerk reads it: amounts and other numbers with a decimal comma.
QString shownContent(const Parteb1Form::OtherField& field, payroll::FieldKind kind)
{
    if (kind == payroll::FieldKind::Amount || kind == payroll::FieldKind::Number)
        return ui::toQt(payroll::shownNumber(field.text));
    return ui::toQt(records::trimRight(field.text));
}

} // namespace

EmployeeRecordView::EmployeeRecordView(const std::vector<Parteb1Form::OtherField>& fields, const QString& title,
                                       QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("employeeRecordView"));
    setWindowTitle(title);

    const std::vector<payroll::EmployeeFieldName>& names = payroll::employeeFieldNames();
    m_table = new QTableWidget(static_cast<int>(fields.size()), kColumnCount, this);
    m_table->setObjectName(QStringLiteral("fieldTable"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Campo"), QStringLiteral("Descrizione"),
                                        QStringLiteral("Elemento UniEmens"), QStringLiteral("Contenuto")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(true);
    m_table->setTextElideMode(Qt::ElideNone);
    m_table->horizontalHeader()->setStretchLastSection(true);
    const QFont fixed = ui::fixedWidthFont(font().pointSizeF());
    for (std::size_t row = 0; row < fields.size(); ++row) {
        const Parteb1Form::OtherField& field = fields[row];
        const int r = static_cast<int>(row);
        const bool named = field.entry > 0 && field.entry < static_cast<int>(names.size());
        const payroll::EmployeeFieldName name = named ? names[static_cast<std::size_t>(field.entry)]
                                                      : payroll::EmployeeFieldName{};
        // Where the field lies in the record, for who looks at the file itself.
        const QString positions = field.length == 1
            ? QStringLiteral("posizione %1").arg(field.position)
            : QStringLiteral("posizioni %1-%2").arg(field.position).arg(field.position + field.length - 1);

        auto* number = new QTableWidgetItem(QString::number(field.entry));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
        number->setToolTip(positions);
        m_table->setItem(r, kNumber, number);
        auto* description = new QTableWidgetItem(
            ui::toQt(name.description.empty() ? std::string(payroll::kNoDescription) : name.description));
        description->setToolTip(positions);
        m_table->setItem(r, kDescription, description);
        m_table->setItem(r, kElement, new QTableWidgetItem(ui::toQt(name.element)));
        auto* content = new QTableWidgetItem(shownContent(field, name.kind));
        content->setFont(fixed);
        if (name.kind == payroll::FieldKind::Amount || name.kind == payroll::FieldKind::Number)
            content->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
        content->setData(Qt::UserRole, records::trim(field.text).empty());
        m_table->setItem(r, kContent, content);
    }
    // The descriptions wrap within about forty characters; the other columns fit their texts.
    m_table->resizeColumnsToContents();
    const int average = m_table->fontMetrics().averageCharWidth();
    m_table->setColumnWidth(kDescription, std::min(m_table->columnWidth(kDescription), average * 42));
    m_table->setColumnWidth(kContent, std::max(m_table->columnWidth(kContent), average * 14));
    m_table->resizeRowsToContents();
    m_table->setMinimumWidth(ui::boxWidth(m_table, 30));
    m_table->setMinimumHeight(m_table->fontMetrics().lineSpacing() * 6);

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

    // Every column in view beside the scroll bar, within the dialog's margins.
    const QMargins margins = layout->contentsMargins();
    int width = margins.left() + margins.right() + 2 * m_table->frameWidth()
        + m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    for (int column = 0; column < kColumnCount; ++column)
        width += m_table->columnWidth(column);
    // On a narrow screen the descriptions wrap on more lines rather than push a column out of view.
    const QSize room = ui::screenRoom(this);
    if (width > room.width()) {
        const int narrower = std::max(average * 12, m_table->columnWidth(kDescription) - (width - room.width()));
        width -= m_table->columnWidth(kDescription) - narrower;
        m_table->setColumnWidth(kDescription, narrower);
        m_table->resizeRowsToContents();
    }
    resize(QSize(width, m_table->fontMetrics().lineSpacing() * 30).boundedTo(room));
}

void EmployeeRecordView::showFilledOnly(bool filledOnly)
{
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->setRowHidden(row, filledOnly && m_table->item(row, kContent)->data(Qt::UserRole).toBool());
}

} // namespace registers
