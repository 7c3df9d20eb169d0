#include "registers/ui/register_choosers.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "records/numeric.h"
#include "ui/keyboard.h"
#include "ui/ui_common.h"
#include "ui/window_frame.h"

namespace registers {

namespace {

const QString kMonths[] = {
    QStringLiteral("gennaio"),   QStringLiteral("febbraio"), QStringLiteral("marzo"),    QStringLiteral("aprile"),
    QStringLiteral("maggio"),    QStringLiteral("giugno"),   QStringLiteral("luglio"),   QStringLiteral("agosto"),
    QStringLiteral("settembre"), QStringLiteral("ottobre"),  QStringLiteral("novembre"), QStringLiteral("dicembre"),
};

QDialogButtonBox* openAndCancel(QDialog* dialog, QPushButton*& open)
{
    auto* buttons = new QDialogButtonBox(dialog);
    open = buttons->addButton(QStringLiteral("Apri"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("Open"));
    open->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QListWidget* listOf(QDialog* dialog, const QString& name)
{
    auto* list = new QListWidget(dialog);
    list->setObjectName(name);
    list->setMinimumHeight(list->fontMetrics().lineSpacing() * 5);
    return list;
}

// Typing a company's number or the start of its name in the list goes to it.
void findByTyping(QListWidget* list)
{
    ui::typeToFind(
        list,
        [list](const QString& typed) {
            QStringList texts;
            for (int row = 0; row < list->count(); ++row)
                texts << list->item(row)->text();
            return ui::findCompanyRow(typed, texts);
        },
        [list](int row) { list->setCurrentRow(row); });
}

} // namespace

CompanyChooser::CompanyChooser(const std::vector<CompanyChoice>& companies, const std::string& folder, QWidget* parent)
    : QDialog(parent)
    , m_companies(companies)
{
    setObjectName(QStringLiteral("companyChooser"));
    setWindowTitle(QStringLiteral("Gestione ditte - scelta della ditta"));

    m_list = listOf(this, QStringLiteral("companyList"));
    for (const CompanyChoice& choice : companies) {
        const QString name = choice.name.empty() ? QStringLiteral("(anagrafica da compilare)") : ui::toQt(choice.name);
        m_list->addItem(QStringLiteral("%1  %2").arg(choice.company, 3).arg(name));
    }
    auto* empty = ui::plainLabel(QStringLiteral("Nessuna ditta trovata nella cartella dei dati\n%1\n"
                                                "Per una nuova ditta indicarne il codice.")
                                     .arg(ui::toQt(folder)),
                                 this, QStringLiteral("emptyNote"));

    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("companyCode"));
    m_code->setValidator(new QIntValidator(1, 999, m_code));
    m_code->setFixedWidth(ui::boxWidth(m_code, 4));
    auto* codeLabel = ui::plainLabel(QStringLiteral("Codice ditta (1-999)"), this);
    codeLabel->setBuddy(m_code);

    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(codeLabel);
    codeRow->addWidget(m_code);
    codeRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    if (companies.empty()) {
        m_list->hide();
        layout->addWidget(empty);
    } else {
        empty->hide();
        layout->addWidget(m_list, 1);
    }
    layout->addLayout(codeRow);
    layout->addWidget(openAndCancel(this, m_open));
    m_open->setEnabled(false);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(m_companies.size()))
            m_code->setText(QString::number(m_companies[static_cast<std::size_t>(row)].company));
        m_open->setEnabled(company() > 0);
    });
    connect(m_list, &QListWidget::itemActivated, this, [this] {
        if (company() > 0)
            accept();
    });
    connect(m_code, &QLineEdit::textEdited, this, &CompanyChooser::codeEdited);
    findByTyping(m_list);
    (companies.empty() ? static_cast<QWidget*>(m_code) : m_list)->setFocus();
    ui::showItemsWhole(m_list, 60);
    ui::keepWholeHeight(this, QSize(0, m_list->fontMetrics().lineSpacing() * 20));
}

void CompanyChooser::codeEdited(const QString& text)
{
    const int typed = text.toInt();
    int row = -1;
    for (std::size_t i = 0; i < m_companies.size(); ++i) {
        if (m_companies[i].company == typed)
            row = static_cast<int>(i);
    }
    const QSignalBlocker quiet(m_list);
    m_list->setCurrentRow(row);
    m_open->setEnabled(company() > 0);
}

int CompanyChooser::company() const
{
    const int typed = m_code->text().toInt();
    return typed >= 1 && typed <= kMaxCompany ? typed : 0;
}

EmployeeFileChooser::EmployeeFileChooser(const std::vector<EmployeeFileChoice>& files, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("employeeFileChooser"));
    setWindowTitle(QStringLiteral("Dati Dipendenti - scelta della ditta e del mese"));

    m_list = listOf(this, QStringLiteral("fileList"));
    for (const EmployeeFileChoice& file : files) {
        const int month = static_cast<int>(records::numericValue(file.month));
        QString text
            = QStringLiteral("%1  %2 - %3, %4 record")
                  .arg(ui::toQt(file.company),
                       file.companyName.empty() ? QStringLiteral("(ditta senza nome)") : ui::toQt(file.companyName),
                       month >= 1 && month <= 12 ? kMonths[month - 1] : ui::toQt(file.month))
                  .arg(file.recordCount);
        if (file.dataAreaSelector == kPagmarArea)
            text += QStringLiteral(" (archivio pagmar)");
        m_list->addItem(text);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ui::plainLabel(QStringLiteral("Archivi dei dipendenti dell'anno:"), this));
    layout->addWidget(m_list, 1);
    layout->addWidget(openAndCancel(this, m_open));
    m_open->setEnabled(false);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { m_open->setEnabled(row >= 0); });
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    findByTyping(m_list);
    m_list->setFocus();
    ui::showItemsWhole(m_list, 80);
    ui::keepWholeHeight(this, QSize(0, m_list->fontMetrics().lineSpacing() * 20));
}

int EmployeeFileChooser::chosen() const
{
    return m_list->currentRow();
}

} // namespace registers
