#include "registers/ui/code_list_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ui_common.h"
#include "ui/window_frame.h"

namespace registers {

namespace {

QString captionOf(CodeList list)
{
    switch (list) {
    case CodeList::LegalForm:
        return QStringLiteral("Natura giuridica");
    case CodeList::Sector:
        return QStringLiteral("Settore di attività");
    case CodeList::Activity:
        return QStringLiteral("Codici attività");
    case CodeList::Intermediary:
        return QStringLiteral("Intermediari");
    case CodeList::AccountPersonalization:
        return QStringLiteral("Personalizzazione conti");
    }
    return {};
}

// A heading between the entries of a list, which names no code.
bool isHeading(const std::string& entry)
{
    return entry.rfind("---", 0) == 0;
}

} // namespace

CodeListDialog::CodeListDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("codeListWindow"));
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filterBox"));
    m_filter->setPlaceholderText(QStringLiteral("Cerca codice o descrizione"));
    m_filter->setClearButtonEnabled(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("codeList"));
    m_list->setUniformItemSizes(true);
    m_list->setFont(ui::fixedWidthFont(font().pointSizeF()));
    m_list->setMinimumHeight(m_list->fontMetrics().lineSpacing() * 6);

    m_empty = ui::plainLabel(QStringLiteral("L'elenco non contiene codici."), this, QStringLiteral("emptyNote"));
    m_empty->hide();

    auto* buttons = new QDialogButtonBox(this);
    m_choose = buttons->addButton(QStringLiteral("Scegli"), QDialogButtonBox::AcceptRole);
    m_choose->setObjectName(QStringLiteral("Choose"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_empty);
    layout->addWidget(buttons);

    connect(m_filter, &QLineEdit::textChanged, this, &CodeListDialog::filter);
    connect(m_list, &QListWidget::currentRowChanged, this, &CodeListDialog::updateChoose);
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item && (item->flags() & Qt::ItemIsSelectable))
            accept();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Typing in the search box and then Down goes on into the list.
    m_filter->installEventFilter(this);
}

void CodeListDialog::showList(CodeList list, const std::vector<std::string>& entries)
{
    setWindowTitle(captionOf(list));
    m_entries = entries;
    m_filter->clear();
    m_list->clear();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto* item = new QListWidgetItem(ui::toQt(entries[i]), m_list);
        item->setData(Qt::UserRole, static_cast<int>(i));
        if (isHeading(entries[i])) {
            item->setFlags(Qt::ItemIsEnabled);
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
    }
    m_empty->setVisible(entries.empty());
    m_list->setVisible(!entries.empty());
    m_filter->setVisible(!entries.empty());
    m_list->setCurrentRow(-1);
    updateChoose();
    m_filter->setFocus();
    // Every entry whole: the window as wide as the longest one, a longer one on two lines.
    ui::showItemsWhole(m_list, 80);
    ui::keepWholeHeight(this, QSize(0, m_list->fontMetrics().lineSpacing() * 24));
}

std::optional<std::string> CodeListDialog::chosen() const
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item || item->isHidden() || !(item->flags() & Qt::ItemIsSelectable))
        return std::nullopt;
    return m_entries.at(static_cast<std::size_t>(item->data(Qt::UserRole).toInt()));
}

std::optional<std::string> CodeListDialog::choose(CodeList list, const std::vector<std::string>& entries)
{
    showList(list, entries);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return chosen();
}

void CodeListDialog::filter(const QString& text)
{
    const QString wanted = text.trimmed();
    int first = -1;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        const bool shown = wanted.isEmpty() || item->text().contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && first < 0 && (item->flags() & Qt::ItemIsSelectable))
            first = row;
    }
    m_list->setCurrentRow(wanted.isEmpty() ? -1 : first);
    updateChoose();
}

bool CodeListDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down) {
            m_list->setFocus();
            if (!chosen()) {
                for (int row = 0; row < m_list->count(); ++row) {
                    const QListWidgetItem* item = m_list->item(row);
                    if (!item->isHidden() && (item->flags() & Qt::ItemIsSelectable)) {
                        m_list->setCurrentRow(row);
                        break;
                    }
                }
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CodeListDialog::updateChoose()
{
    m_choose->setEnabled(chosen().has_value());
    m_choose->setDefault(true);
}

} // namespace registers
