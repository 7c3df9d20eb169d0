#include "registers/ui/parteb1.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "records/text.h"
#include "registers/employee_code_lists.h"
#include "registers/ui/employee_record_view.h"
#include "ui/keyboard.h"
#include "ui/ui_common.h"
#include "ui/window_frame.h"

namespace registers {

using ui::fromQt;
using ui::plainLabel;
using ui::toQt;

namespace {

// What each box holds, beside it.
const QString kLabels[Parteb1Form::kBoxCount + 1] = {
    QString(),
    QStringLiteral("Codice fiscale"),
    QStringLiteral("Cognome"),
    QStringLiteral("Nome"),
    QStringLiteral("Qualifica 1"),
    QStringLiteral("Qualifica 2"),
    QStringLiteral("Qualifica 3"),
    QStringLiteral("Tipo contribuzione"),
    QStringLiteral("Cittadinanza"),
    QStringLiteral("Codice Comune"),
    QStringLiteral("Codice contratto"),
    QStringLiteral("Orario contrattuale"),
    QStringLiteral("Percentuale Part Time"),
    QStringLiteral("Mensilita'"),
    QStringLiteral("Giorno di assunzione"),
    QStringLiteral("Tipo assunzione"),
    QStringLiteral("Matricola INPS"),
    QStringLiteral("Giorno di cessazione"),
    QStringLiteral("Motivo cessazione"),
    QStringLiteral("Tipo lavoratore"),
    QStringLiteral("Tipo lavoratore statistico"),
    QStringLiteral("Regime Post 95 S/N"),
    QStringLiteral("Unita' Operativa (0=no)"),
    QStringLiteral("Tipo paga (M/G)"),
};

// The employee's identity (boxes 1 to 3) on one row; below it the coded fields in two
// columns, boxes 4 to 13 on the left and 14 to 23 on the right.
constexpr int kIdentityBoxes = 3;
constexpr int kLeftColumnBoxes = 13;

QPushButton* button(const char* name, const QString& caption, const QString& toolTip, QWidget* parent)
{
    auto* pushButton = new QPushButton(caption, parent);
    pushButton->setObjectName(QString::fromLatin1(name));
    pushButton->setToolTip(toolTip);
    pushButton->setAutoDefault(false);
    ui::pressOnEnter(pushButton);
    return pushButton;
}

QLineEdit* shownOnly(const char* name, int characters, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setFixedWidth(ui::boxWidth(box, characters));
    return box;
}

} // namespace

Parteb1::Parteb1(records::Workplace workplace, const EmployeeFileChoice& employees, QWidget* parent)
    : QMainWindow(parent)
    , m_form(workplace, employees)
{
    setObjectName(QStringLiteral("Parteb1"));
    setWindowTitle(QStringLiteral("Dati Dipendenti - Parte anagrafica"));
    buildControls();
    m_form.load();
    // Entry 216 of the folder "pagmar", which box 21 shows there, is twelve characters.
    if (m_form.dataAreaSelector() == kPagmarArea)
        m_boxes[21]->setFixedWidth(ui::boxWidth(m_boxes[21], 13));
    refresh();
    // On a screen narrower than the two columns (a laptop at a large scale) the boxes go one
    // under the other, so that they scroll down, never sideways.
    const int room = ui::screenRoom(this).width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (const Arrangement narrower : {Arrangement::OneColumn, Arrangement::ListsUnderBoxes}) {
        for (QWidget* part : centralWidget()->findChildren<QWidget*>())
            part->updateGeometry();
        for (QLayout* layout : centralWidget()->findChildren<QLayout*>())
            layout->invalidate();
        if (centralWidget()->sizeHint().width() <= room)
            break;
        placeBoxes(narrower);
    }
    ui::resizeWithinScreen(this);
}

Parteb1::~Parteb1()
{
    // The boxes outlive the form while the window's children are destroyed; their last focus
    // events must not reach it.
    for (QLineEdit* box : m_boxes) {
        if (box)
            box->removeEventFilter(this);
    }
}

void Parteb1::buildControls()
{
    // The boxes scroll on a screen too small for them; the buttons stay in view.
    auto* central = new QWidget(this);
    auto* fields = new QWidget;
    auto* fieldsLayout = new QVBoxLayout(fields);
    fieldsLayout->setContentsMargins(10, 8, 10, 0);
    fieldsLayout->setSpacing(6);
    fieldsLayout->addWidget(buildCompanyRow());
    fieldsLayout->addWidget(buildBoxes(), 1);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->setSpacing(6);
    layout->addWidget(new ui::WindowScroll(fields, central), 1);
    QWidget* buttons = buildButtons();
    buttons->setContentsMargins(10, 0, 10, 0);
    layout->addWidget(buttons);
    setCentralWidget(central);
    m_statusText = ui::addStatusLine(this);

    // The keyboard goes through the boxes in their order, each box's combo right after it.
    QWidget* previous = m_employeeList;
    setTabOrder(m_employeeList, m_recordBox);
    previous = m_recordBox;
    for (int k = 1; k <= Parteb1Form::kBoxCount; ++k) {
        setTabOrder(previous, m_boxes[static_cast<std::size_t>(k)]);
        previous = m_boxes[static_cast<std::size_t>(k)];
        for (int c = 1; c <= Parteb1Form::kCodeListCount; ++c) {
            if (employeeCodeList(c).box == k) {
                setTabOrder(previous, m_codeLists[static_cast<std::size_t>(c)]);
                previous = m_codeLists[static_cast<std::size_t>(c)];
            }
        }
    }
}

QWidget* Parteb1::buildCompanyRow()
{
    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("companyGroup"));
    m_companyCode = shownOnly("Tx0", 4, group);
    m_companyName = shownOnly("Text1", 26, group);
    m_workingYear = shownOnly("Text2", 5, group);

    m_employeeList = new QComboBox(group);
    m_employeeList->setObjectName(QStringLiteral("lista"));
    m_employeeList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_employeeList->setMinimumContentsLength(40);
    m_employeeList->setMaxVisibleItems(20);
    connect(m_employeeList, &QComboBox::activated, this, &Parteb1::chooseEmployee);
    // Typing a record number or the start of a surname goes to that employee.
    ui::typeToFind(
        m_employeeList,
        [this](const QString& typed) {
            QStringList texts;
            for (int row = 0; row < m_employeeList->count(); ++row)
                texts << m_employeeList->itemText(row);
            return ui::findCompanyRow(typed, texts);
        },
        [this](int row) {
            if (row != m_employeeList->currentIndex())
                chooseEmployee(row);
        });

    m_recordBox = new QLineEdit(group);
    m_recordBox->setObjectName(QStringLiteral("reco"));
    m_recordBox->setFixedWidth(ui::boxWidth(m_recordBox, 5));
    m_recordBox->setToolTip(QStringLiteral("Numero del record da mostrare"));
    connect(m_recordBox, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_form.recordBox.text = fromQt(text);
        m_form.recordNumberTyped();
        refresh();
    });

    QPushButton* previous
        = button("Command7", QStringLiteral("< Precedente"), QStringLiteral("Record precedente"), group);
    m_next = button("Command6", QStringLiteral("Successivo >"), QStringLiteral("Record successivo"), group);
    connect(previous, &QPushButton::clicked, this, &Parteb1::previousRecord);
    connect(m_next, &QPushButton::clicked, this, &Parteb1::nextRecord);

    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(10, 6, 10, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(5);
    grid->addWidget(plainLabel(QStringLiteral("Ditta"), group), 0, 0);
    auto* company = new QHBoxLayout;
    company->addWidget(m_companyCode);
    company->addWidget(m_companyName);
    company->addSpacing(12);
    company->addWidget(plainLabel(QStringLiteral("Anno"), group));
    company->addWidget(m_workingYear);
    company->addStretch(1);
    grid->addLayout(company, 0, 1);
    auto* employeeLabel = plainLabel(QStringLiteral("Dipendente"), group);
    employeeLabel->setBuddy(m_employeeList);
    grid->addWidget(employeeLabel, 1, 0);
    auto* employees = new QHBoxLayout;
    employees->addWidget(m_employeeList, 1);
    employees->addSpacing(12);
    auto* recordLabel = plainLabel(QStringLiteral("Record"), group);
    recordLabel->setBuddy(m_recordBox);
    // The record number and the browsing buttons follow the list on its row, or go on a row of
    // their own on a narrow screen (see placeBoxes()).
    m_browsing = new QHBoxLayout;
    m_browsing->addWidget(recordLabel);
    m_browsing->addWidget(m_recordBox);
    m_browsing->addWidget(previous);
    m_browsing->addWidget(m_next);
    employees->addLayout(m_browsing);
    grid->addLayout(employees, 1, 1);
    grid->setColumnStretch(1, 1);
    m_companyGrid = grid;
    m_employees = employees;
    return group;
}

QWidget* Parteb1::buildBoxes()
{
    auto* group = new QGroupBox(QStringLiteral("Dati anagrafici del dipendente"), this);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(10, 6, 10, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);

    for (int k = 1; k <= Parteb1Form::kBoxCount; ++k) {
        auto* box = new QLineEdit(group);
        box->setObjectName(QStringLiteral("Tx_%1").arg(k));
        const int length = m_form.box(k).maxLength;
        // The surname scrolls beyond twenty characters rather than widen the window.
        box->setFixedWidth(ui::boxWidth(box, std::min(length, 20) + 1));
        box->setToolTip(kLabels[k]);
        ui::setTypingLimit(box, length);
        ui::selectBlanksOnFocus(box);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this,
                [this, k](const QString& text) { m_form.box(k).text = fromQt(text); });
        m_boxes[static_cast<std::size_t>(k)] = box;
    }

    for (int c = 1; c <= Parteb1Form::kCodeListCount; ++c) {
        // A code and its words, on two lines where one does not hold them.
        auto* combo = new ui::WrappingComboBox(34, group);
        combo->setObjectName(QStringLiteral("Combo%1").arg(c));
        combo->setMaxVisibleItems(20);
        connect(combo, &QComboBox::activated, this, [this, c](int index) { chooseCode(c, index); });
        m_codeLists[static_cast<std::size_t>(c)] = combo;
    }

    for (int k = 1; k <= Parteb1Form::kBoxCount; ++k) {
        QLabel* label = plainLabel(kLabels[k], group);
        label->setBuddy(m_boxes[static_cast<std::size_t>(k)]);
        if (k == 22) {
            label->setObjectName(QStringLiteral("Label22"));
            m_operatingUnitLabel = label;
        }
        m_boxLabels[static_cast<std::size_t>(k)] = label;
    }
    m_boxGrid = grid;
    placeBoxes(Arrangement::SideBySide);
    return group;
}

void Parteb1::placeBoxes(Arrangement arrangement)
{
    // Side by side: the identity on one row, then boxes 4 to 13 on the left and 14 to 23 on
    // the right. For a narrow screen one box under the other, each list beside its box or,
    // narrower still, under it.
    const bool stacked = arrangement != Arrangement::SideBySide;
    QGridLayout* grid = m_boxGrid;
    for (int k = 1; k <= Parteb1Form::kBoxCount; ++k) {
        grid->removeWidget(m_boxLabels[static_cast<std::size_t>(k)]);
        grid->removeWidget(m_boxes[static_cast<std::size_t>(k)]);
    }
    for (QComboBox* combo : m_codeLists) {
        if (combo)
            grid->removeWidget(combo);
    }
    delete m_identity;
    m_identity = nullptr;
    for (int row = 0; row < grid->rowCount(); ++row)
        grid->setRowStretch(row, 0);
    for (int column = 0; column < grid->columnCount(); ++column) {
        grid->setColumnStretch(column, 0);
        grid->setColumnMinimumWidth(column, 0);
    }

    const auto place = [&](int k, int row, int column) {
        grid->addWidget(m_boxLabels[static_cast<std::size_t>(k)], row, column);
        grid->addWidget(m_boxes[static_cast<std::size_t>(k)], row, column + 1);
        for (int c = 1; c <= Parteb1Form::kCodeListCount; ++c) {
            if (employeeCodeList(c).box == k)
                grid->addWidget(m_codeLists[static_cast<std::size_t>(c)], row, column + 2);
        }
    };
    if (stacked) {
        if (m_employees->indexOf(m_browsing) >= 0) {
            m_employees->removeItem(m_browsing);
            m_browsing->addStretch(1);
            m_companyGrid->addLayout(m_browsing, 2, 1);
        }
        int row = 0;
        for (int k = 1; k <= Parteb1Form::kBoxCount; ++k) {
            if (arrangement == Arrangement::OneColumn) {
                place(k, row++, 0);
                continue;
            }
            grid->addWidget(m_boxLabels[static_cast<std::size_t>(k)], row, 0);
            grid->addWidget(m_boxes[static_cast<std::size_t>(k)], row++, 1);
            for (int c = 1; c <= Parteb1Form::kCodeListCount; ++c) {
                if (employeeCodeList(c).box == k)
                    grid->addWidget(m_codeLists[static_cast<std::size_t>(c)], row++, 1, 1, 2);
            }
        }
        grid->setColumnStretch(2, 1);
        grid->setRowStretch(row, 1);
        return;
    }
    m_identity = new QHBoxLayout;
    m_identity->setSpacing(8);
    for (int k = 1; k <= kIdentityBoxes; ++k) {
        m_identity->addWidget(m_boxLabels[static_cast<std::size_t>(k)]);
        m_identity->addWidget(m_boxes[static_cast<std::size_t>(k)]);
        m_identity->addSpacing(k < kIdentityBoxes ? 8 : 0);
    }
    m_identity->addStretch(1);
    grid->addLayout(m_identity, 0, 0, 1, 7);
    for (int k = kIdentityBoxes + 1; k <= Parteb1Form::kBoxCount; ++k) {
        const bool left = k <= kLeftColumnBoxes;
        place(k, left ? k - kIdentityBoxes : k - kLeftColumnBoxes, left ? 0 : 4);
    }
    grid->setColumnMinimumWidth(3, 16);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(6, 1);
    grid->setRowStretch(kLeftColumnBoxes - kIdentityBoxes + 1, 1);
}

QWidget* Parteb1::buildButtons()
{
    auto* row = new QWidget(this);
    QPushButton* save = button("Command2", QStringLiteral("Salva"),
                               QStringLiteral("Memorizza il record (F9 in un campo: senza conferma)"), row);
    QPushButton* restore
        = button("Command5", QStringLiteral("Ripristina"), QStringLiteral("Riporta nei campi i dati memorizzati"), row);
    QPushButton* remove = button("Command1", QStringLiteral("Elimina"), QStringLiteral("Cancella il record"), row);
    QPushButton* others
        = button("Command8", QStringLiteral("Altri dati"), QStringLiteral("Mostra gli altri campi del record"), row);
    QPushButton* exit = button("Command3", QStringLiteral("Esci"), QStringLiteral("Chiude la finestra (Esc)"), row);
    connect(save, &QPushButton::clicked, this, &Parteb1::saveRecord);
    connect(restore, &QPushButton::clicked, this, &Parteb1::restoreBoxes);
    connect(remove, &QPushButton::clicked, this, &Parteb1::deleteRecord);
    connect(others, &QPushButton::clicked, this, &Parteb1::showOtherFields);
    connect(exit, &QPushButton::clicked, this, &Parteb1::exit);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* pushButton : {save, restore, remove, others})
        layout->addWidget(pushButton);
    layout->addStretch(1);
    layout->addWidget(exit);
    return row;
}

void Parteb1::refresh()
{
    if (m_refreshing)
        return;
    m_refreshing = true;
    const auto show = [](QLineEdit* box, const std::string& state) {
        const QString text = toQt(state);
        if (box->text() != text) {
            box->setText(text);
            box->setCursorPosition(0);
        }
    };
    for (int k = 1; k <= Parteb1Form::kBoxCount; ++k) {
        const records::TextBox& state = m_form.box(k);
        show(m_boxes[static_cast<std::size_t>(k)], state.text);
        m_boxes[static_cast<std::size_t>(k)]->setEnabled(state.enabled);
    }
    m_boxes[22]->setVisible(m_form.operatingUnitVisible);
    m_operatingUnitLabel->setVisible(m_form.operatingUnitVisible);

    for (int c = 1; c <= Parteb1Form::kCodeListCount; ++c) {
        QComboBox* combo = m_codeLists[static_cast<std::size_t>(c)];
        const CodeChoice& state = m_form.list(c);
        if (combo->count() != static_cast<int>(state.items.size())) {
            combo->clear();
            for (const std::string& item : state.items)
                combo->addItem(toQt(item).trimmed());
            // Where an office corrects the codes and their words.
            combo->setToolTip(QStringLiteral("Codici dell'elenco: tabella del programma, corretta e completata dal "
                                             "file %1 quando c'è (F4 nel campo apre l'elenco)")
                                  .arg(toQt(m_form.codeTableFile(c))));
        }
        combo->setCurrentIndex(state.index);
        // A code that the list does not hold is said to be so, rather than shown as nothing.
        const bool unlisted
            = state.index < 0 && !records::trim(m_form.box(employeeCodeList(c).box).text).empty();
        combo->setPlaceholderText(unlisted ? QStringLiteral("Codice non presente nell'elenco") : QString());
    }

    // Each employee as the clerk reads it: the record number, a blank and the name (the list
    // of the form runs the number into the surname).
    QStringList items;
    for (std::size_t i = 0; i < m_form.employeeItems.size(); ++i) {
        const std::string& item = m_form.employeeItems[i];
        const std::string number = records::signedNumberText(static_cast<double>(m_form.employeeRecords[i]));
        const std::string name = item.compare(0, number.size(), number) == 0 ? item.substr(number.size()) : item;
        items.append(toQt(records::trim(number)) + QLatin1Char(' ') + toQt(records::trim(name)));
    }
    QStringList shown;
    for (int i = 0; i < m_employeeList->count(); ++i)
        shown.append(m_employeeList->itemText(i));
    if (shown != items) {
        m_employeeList->clear();
        m_employeeList->addItems(items);
    }
    // The list shows the employee of the record on screen; a record that is not among its
    // items (not in use, or beyond the count) shows the name of its boxes.
    const auto listed = std::find(m_form.employeeRecords.begin(), m_form.employeeRecords.end(), m_form.recordNumber);
    const int current
        = listed == m_form.employeeRecords.end() ? -1 : static_cast<int>(listed - m_form.employeeRecords.begin());
    m_employeeList->setPlaceholderText(current < 0 ? toQt(m_form.employeeShown).simplified() : QString());
    m_employeeList->setCurrentIndex(current);

    show(m_recordBox, m_form.recordBox.text);
    show(m_companyCode, m_form.companyCode.text);
    show(m_companyName, m_form.companyName.text);
    show(m_workingYear, m_form.workingYear.text);
    m_statusText->setText(toQt(m_form.statusText));
    m_refreshing = false;
}

void Parteb1::afterEvent()
{
    refresh();
    if (m_form.closeRequested) {
        close();
        return;
    }
    if (m_form.focusToNext) {
        m_form.focusToNext = false;
        m_next->setFocus(Qt::OtherFocusReason);
    }
    if (m_form.focusRequest != 0) {
        moveFocus(m_form.focusRequest, 0);
        m_form.focusRequest = 0;
    }
}

void Parteb1::moveFocus(int box, int step)
{
    // A box that is hidden or takes nothing is passed over in the direction of the move.
    const int from = boxNumberOf(focusWidget());
    if (step == 0)
        step = box < from ? -1 : 1;
    while (box >= 1 && box <= Parteb1Form::kBoxCount
           && !(m_boxes[static_cast<std::size_t>(box)]->isVisibleTo(this)
                && m_boxes[static_cast<std::size_t>(box)]->isEnabled()))
        box += step;
    if (box < 1 || box > Parteb1Form::kBoxCount)
        return;
    QPointer<QLineEdit> target = m_boxes[static_cast<std::size_t>(box)];
    QTimer::singleShot(0, this, [target] {
        if (target) {
            target->setFocus(Qt::OtherFocusReason);
            target->selectAll();
        }
    });
}

int Parteb1::boxNumberOf(const QObject* box) const
{
    const auto found = std::find(m_boxes.begin(), m_boxes.end(), box);
    return found == m_boxes.end() || box == nullptr ? 0 : static_cast<int>(found - m_boxes.begin());
}

void Parteb1::showStatus(std::string_view text)
{
    m_form.showStatus(text);
    refresh();
}

void Parteb1::showHelp(int k)
{
    m_form.showHelp(k);
    refresh();
}

void Parteb1::chooseEmployee(int item)
{
    m_form.chooseEmployee(item);
    afterEvent();
}

void Parteb1::chooseCode(int list, int item)
{
    m_form.chooseCode(list, item);
    refresh();
}

void Parteb1::deleteRecord()
{
    m_form.deleteRecord();
    afterEvent();
}

void Parteb1::saveRecord()
{
    if (m_form.saveRecord())
        statusBar()->showMessage(QStringLiteral("Dati del dipendente memorizzati"), 5000);
    afterEvent();
}

void Parteb1::exit()
{
    m_form.close();
    afterEvent();
}

void Parteb1::restoreBoxes()
{
    m_form.restoreBoxes();
    afterEvent();
}

void Parteb1::nextRecord()
{
    m_form.nextRecord();
    afterEvent();
}

void Parteb1::previousRecord()
{
    m_form.previousRecord();
    afterEvent();
}

void Parteb1::showOtherFields()
{
    const QString name
        = QStringLiteral("%1 %2").arg(toQt(records::trim(m_form.surname.text)), toQt(records::trim(m_form.name.text)));
    auto* view = new EmployeeRecordView(
        m_form.otherFields(),
        QStringLiteral("Altri dati del record %1 - %2").arg(m_form.recordNumber).arg(name.trimmed()), this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->open();
}

void Parteb1::closeEvent(QCloseEvent* event)
{
    // Esc, the exit button and a deletion have closed the form already; Annulla keeps the
    // window as it was.
    if (!m_form.closeRequested && !m_form.close()) {
        refresh();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool Parteb1::eventFilter(QObject* watched, QEvent* event)
{
    const int k = boxNumberOf(watched);
    if (k == 0)
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        switch (m_focus.change(watched, event)) {
        case BoxFocus::Change::None:
            break;
        case BoxFocus::Change::Entered:
            m_form.boxEntered(k);
            refresh();
            if (k <= Parteb1Form::kFocusBoxCount)
                ui::selectAllOnceFocused(m_boxes[static_cast<std::size_t>(k)]);
            break;
        case BoxFocus::Change::Left:
            m_form.boxLeft(k);
            refresh();
            break;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    // F4 or Alt+Down in a coded box opens the list of its codes, as in a combo box.
    const auto* pressed = static_cast<QKeyEvent*>(event);
    const bool listKey = (pressed->key() == Qt::Key_F4 && pressed->modifiers() == Qt::NoModifier)
        || (pressed->key() == Qt::Key_Down && pressed->modifiers() == Qt::AltModifier);
    if (listKey) {
        for (int c = 1; c <= Parteb1Form::kCodeListCount; ++c) {
            if (employeeCodeList(c).box == k) {
                m_codeLists[static_cast<std::size_t>(c)]->setFocus(Qt::OtherFocusReason);
                m_codeLists[static_cast<std::size_t>(c)]->showPopup();
                return true;
            }
        }
    }
    const BoxKey key = boxKeyOf(pressed);
    if (key == BoxKey::Other)
        return false;
    if (key == BoxKey::F9) {
        // F9 saves without "Conferma "; the status bar says that it did.
        if (m_form.save())
            statusBar()->showMessage(QStringLiteral("Dati del dipendente memorizzati"), 5000);
        refresh();
        return true;
    }
    m_form.boxKeyPressed(k, key);
    if (m_form.focusRequest != 0) {
        moveFocus(m_form.focusRequest, key == BoxKey::Up ? -1 : 1);
        m_form.focusRequest = 0;
    }
    afterEvent();
    return true;
}

} // namespace registers
