#include "registers/ui/fditta.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "registers/company_files.h"
#include "registers/ui/code_list_dialog.h"
#include "ui/keyboard.h"
#include "ui/ui_common.h"
#include "ui/window_frame.h"

namespace registers {

using ui::fromQt;
using ui::plainLabel;
using ui::toQt;

namespace {

// Boxes wider than this many characters scroll their text instead of widening the window.
constexpr int kWidestBox = 24;

QLabel* descriptionLabel(const char* name, QWidget* parent)
{
    QLabel* label = plainLabel(QString(), parent, QString::fromLatin1(name));
    label->setStyleSheet(QStringLiteral("color: #1d4f91; font-style: italic;"));
    // Room for a one-word description; a longer one ("Senza corrispettivi") goes on two lines
    // rather than widen the window past a laptop's screen.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("Semplificata")));
    label->setWordWrap(true);
    return label;
}

QLabel* codeWordsLabel(const char* name, QWidget* parent)
{
    QLabel* label = plainLabel(QString(), parent, QString::fromLatin1(name));
    label->setStyleSheet(QStringLiteral("color: #1d4f91; font-style: italic;"));
    // A long description (a legal form, an activity) goes on two lines or more rather than
    // widen the window.
    label->setWordWrap(true);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("Ditte individuali")));
    return label;
}

QGridLayout* gridOf(QGroupBox* group)
{
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(5);
    grid->setContentsMargins(10, 6, 10, 8);
    return grid;
}

// A row of label and control pairs; a pair's control may be a layout of several.
struct Pair {
    QString label;
    QWidget* control = nullptr;
    QLayout* controls = nullptr;
};

void addRow(QGridLayout* grid, int row, std::initializer_list<Pair> pairs, QWidget* parent)
{
    int column = 0;
    for (const Pair& pair : pairs) {
        QLabel* label = plainLabel(pair.label, parent);
        grid->addWidget(label, row, column++);
        auto* controls = new QHBoxLayout;
        controls->setSpacing(4);
        if (pair.control) {
            label->setBuddy(pair.control);
            controls->addWidget(pair.control);
        }
        if (pair.controls)
            controls->addLayout(pair.controls);
        controls->addStretch(1);
        grid->addLayout(controls, row, column++);
    }
}

// A row of a coded field across the group: the field's box, the button of its list and the
// words of its code, which take the room left and wrap.
void addCodeRow(QGridLayout* grid, int row, const QString& text, QWidget* box, QWidget* list, QLabel* words,
                QWidget* parent)
{
    QLabel* label = plainLabel(text, parent);
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    auto* controls = new QHBoxLayout;
    controls->setSpacing(4);
    controls->addWidget(box);
    controls->addWidget(list);
    controls->addSpacing(4);
    controls->addWidget(words, 1);
    grid->addLayout(controls, row, 1, 1, -1);
}

QHBoxLayout* together(std::initializer_list<QWidget*> widgets)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    return row;
}

} // namespace

fDitta::fDitta(records::Workplace workplace, int company, QWidget* parent)
    : QMainWindow(parent)
    , m_form(workplace)
{
    setObjectName(QStringLiteral("fDitta"));
    setWindowTitle(QStringLiteral("Gestione ditte"));
    m_codeLists = new CodeListDialog(this);
    m_form.setCodeListWindow(m_codeLists);
    buildControls();

    m_form.selectCompany(company);
    m_form.load();
    findChild<QLabel*>(QStringLiteral("companyHeader"))
        ->setText(QStringLiteral("Ditta %1   -   %2")
                      .arg(company)
                      .arg(toQt(m_form.fileName()).replace(QStringLiteral("\\\\"), QStringLiteral("\\"))));
    refresh();
    // On a screen narrower than the two columns of groups (a laptop at a large scale) they go
    // one under the other: the fields then scroll down, never sideways.
    const int room = ui::screenRoom(this).width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (centralWidget()->sizeHint().width() > room)
        m_columns->setDirection(QBoxLayout::TopToBottom);
    ui::resizeWithinScreen(this);
}

fDitta::~fDitta()
{
    // The boxes outlive the form while the window's children are destroyed; their last focus
    // events must not reach it.
    for (QLineEdit* box : m_boxes) {
        if (box)
            box->removeEventFilter(this);
    }
    for (QLineEdit* box : {m_birthDay, m_birthMonth, m_birthYear})
        box->removeEventFilter(this);
}

void fDitta::buildControls()
{
    auto* central = new QWidget(this);
    for (int i = 1; i <= FDittaForm::kFieldCount; ++i) {
        auto* box = new QLineEdit(central);
        box->setObjectName(QStringLiteral("Tx_%1").arg(i));
        const int length = m_form.box(i).maxLength;
        box->setFixedWidth(ui::boxWidth(box, std::min(length, kWidestBox) + 1));
        ui::setTypingLimit(box, length);
        ui::selectBlanksOnFocus(box);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            m_form.box(i).text = fromQt(text);
            m_form.boxChanged(i);
            refresh();
        });
        m_boxes[static_cast<std::size_t>(i)] = box;
    }
    // The birth date is typed into the three date boxes; field 5 follows them.
    m_boxes[5]->hide();

    const auto dateBox = [this, central](const char* name, int length, records::TextBox FDittaForm::*state) {
        auto* box = new QLineEdit(central);
        box->setObjectName(QString::fromLatin1(name));
        box->setFixedWidth(ui::boxWidth(box, length + 1));
        ui::setTypingLimit(box, length);
        ui::selectBlanksOnFocus(box);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, state](const QString& text) {
            (m_form.*state).text = fromQt(text);
            m_form.birthDateChanged();
            refresh();
        });
        return box;
    };
    m_birthDay = dateBox("ggn", 2, &FDittaForm::birthDay);
    m_birthMonth = dateBox("mmn", 2, &FDittaForm::birthMonth);
    m_birthYear = dateBox("aan", 4, &FDittaForm::birthYear);
    m_birthDay->setToolTip(QStringLiteral("Giorno"));
    m_birthMonth->setToolTip(QStringLiteral("Mese"));
    m_birthYear->setToolTip(QStringLiteral("Anno"));

    m_telFax = new QLineEdit(central);
    m_telFax->setObjectName(QStringLiteral("ftel"));
    m_telFax->setReadOnly(true);
    m_telFax->setFocusPolicy(Qt::NoFocus);
    m_telFax->setFixedWidth(ui::boxWidth(m_telFax, 13));
    m_telFax->setToolTip(QStringLiteral("Non viene memorizzato nell'anagrafica della ditta"));

    m_kindDescription = descriptionLabel("Label23", central);
    m_accountingDescription = descriptionLabel("Label26", central);
    m_settlementDescription = descriptionLabel("Label27", central);
    m_takingsDescription = descriptionLabel("Label28", central);
    m_field32Description = descriptionLabel("Label39", central);
    m_field34Description = descriptionLabel("Label40", central);
    // The words of the codes that the lists give.
    m_sectorWords = codeWordsLabel("sectorWords", central);
    m_activityWords = codeWordsLabel("activityWords", central);
    m_legalFormWords = codeWordsLabel("legalFormWords", central);
    m_personalizationWords = codeWordsLabel("personalizationWords", central);
    m_intermediaryWords = codeWordsLabel("intermediaryWords", central);

    auto* header = plainLabel(QString(), central, QStringLiteral("companyHeader"));
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    m_note = plainLabel(QString(), central, QStringLiteral("Label37"));

    auto* columns = new QBoxLayout(QBoxLayout::LeftToRight);
    m_columns = columns;
    columns->setSpacing(10);
    auto* left = new QVBoxLayout;
    left->addWidget(buildCompanyGroup());
    left->addWidget(buildActivityGroup());
    left->addWidget(buildContactGroup());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildAddressGroup(QStringLiteral("Domicilio fiscale"), 16));
    right->addWidget(buildAddressGroup(QStringLiteral("Sede dell'attività"), 20));
    right->addWidget(buildAccountsGroup());
    right->addStretch(1);
    columns->addLayout(left);
    columns->addLayout(right);

    auto* save = new QPushButton(QStringLiteral("Salva"), central);
    save->setObjectName(QStringLiteral("Command2"));
    save->setToolTip(QStringLiteral("Memorizza i dati della ditta (F9 in un campo: senza conferma)"));
    auto* blank = new QPushButton(QStringLiteral("Cancella dati"), central);
    blank->setObjectName(QStringLiteral("Commandelimina"));
    blank->setToolTip(QStringLiteral("Svuota tutti i campi della ditta e memorizza"));
    auto* exit = new QPushButton(QStringLiteral("Esci"), central);
    exit->setObjectName(QStringLiteral("Command3"));
    exit->setToolTip(QStringLiteral("Chiude la finestra (Esc)"));
    for (QPushButton* button : {save, blank, exit}) {
        button->setAutoDefault(false);
        ui::pressOnEnter(button);
    }
    connect(save, &QPushButton::clicked, this, &fDitta::saveRecord);
    connect(blank, &QPushButton::clicked, this, &fDitta::blankRecord);
    connect(exit, &QPushButton::clicked, this, &fDitta::exit);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_note, 1);
    buttons->addWidget(save);
    buttons->addWidget(blank);
    buttons->addWidget(exit);

    // The fields scroll on a screen too small for them; the buttons stay in view.
    auto* fields = new QWidget;
    auto* fieldsLayout = new QVBoxLayout(fields);
    fieldsLayout->setContentsMargins(10, 8, 10, 0);
    fieldsLayout->setSpacing(6);
    fieldsLayout->addWidget(header);
    fieldsLayout->addLayout(columns, 1);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->setSpacing(6);
    layout->addWidget(new ui::WindowScroll(fields, central), 1);
    buttons->setContentsMargins(10, 0, 10, 0);
    layout->addLayout(buttons);
    setCentralWidget(central);
    m_statusText = ui::addStatusLine(this);

    // The keyboard goes through the fields in their order, the date boxes in place of field 5.
    QWidget* previous = nullptr;
    for (int i = 1; i <= FDittaForm::kFieldCount; ++i) {
        const std::vector<QWidget*> here = i == 5 ? std::vector<QWidget*>{m_birthDay, m_birthMonth, m_birthYear}
                                                  : std::vector<QWidget*>{m_boxes[static_cast<std::size_t>(i)]};
        for (QWidget* widget : here) {
            if (previous)
                setTabOrder(previous, widget);
            previous = widget;
        }
        // A box's list button comes right after it.
        if (QPushButton* list = m_listButtons[static_cast<std::size_t>(i)]) {
            setTabOrder(previous, list);
            previous = list;
        }
    }
    setTabOrder(previous, save);
    setTabOrder(save, blank);
    setTabOrder(blank, exit);
}

QPushButton* fDitta::listButton(CodeList list, int field, const char* name, const QString& toolTip)
{
    auto* button = new QPushButton(QStringLiteral("..."), this);
    button->setObjectName(QString::fromLatin1(name));
    // The list opens from its box too: F4 or Alt+Down, as a combo box opens.
    button->setToolTip(toolTip + QStringLiteral(" (F4 nel campo)"));
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    button->setAutoDefault(false);
    ui::pressOnEnter(button);
    m_listButtons[static_cast<std::size_t>(field)] = button;
    connect(button, &QPushButton::clicked, this, [this, list] {
        m_form.chooseCode(list);
        afterEvent();
    });
    return button;
}

QWidget* fDitta::buildCompanyGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Ditta"), this);
    QGridLayout* grid = gridOf(group);
    const auto tx = [this](int i) { return m_boxes[static_cast<std::size_t>(i)]; };
    addRow(grid, 0, {{QStringLiteral("Tipo"), nullptr, together({tx(1), m_kindDescription})}}, group);
    addRow(grid, 1, {{QStringLiteral("Denominazione"), tx(2)}}, group);
    addRow(grid, 2,
           {{QStringLiteral("Codice fiscale"), nullptr,
             together({tx(3), plainLabel(QStringLiteral("Sesso"), group), tx(4)})}},
           group);
    addRow(grid, 3, {{QStringLiteral("Data di nascita"), nullptr, together({m_birthDay, m_birthMonth, m_birthYear, tx(5)})}}, group);
    addRow(grid, 4, {{QStringLiteral("Comune di nascita"), tx(6)}}, group);
    addRow(grid, 5, {{QStringLiteral("Attività svolta"), tx(7)}}, group);
    addRow(grid, 6, {{QStringLiteral("Partita IVA"), tx(8)}}, group);
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* fDitta::buildActivityGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Attività e IVA"), this);
    QGridLayout* grid = gridOf(group);
    const auto tx = [this](int i) { return m_boxes[static_cast<std::size_t>(i)]; };
    QPushButton* sector
        = listButton(CodeList::Sector, 9, "Command4", QStringLiteral("Elenco dei settori di attività"));
    QPushButton* activity
        = listButton(CodeList::Activity, 10, "Command16", QStringLiteral("Elenco dei codici attività"));
    QPushButton* legalForm
        = listButton(CodeList::LegalForm, 11, "Command13", QStringLiteral("Elenco delle nature giuridiche"));
    addCodeRow(grid, 0, QStringLiteral("Settore"), tx(9), sector, m_sectorWords, group);
    addCodeRow(grid, 1, QStringLiteral("Codice attività"), tx(10), activity, m_activityWords, group);
    addCodeRow(grid, 2, QStringLiteral("Natura giuridica"), tx(11), legalForm, m_legalFormWords, group);
    addRow(grid, 3,
           {{QStringLiteral("Vecchio codice"), tx(12)}, {QStringLiteral("% indetraibilità"), tx(15)}},
           group);
    addRow(grid, 4,
           {{QStringLiteral("Contabilità"), nullptr, together({tx(13), m_accountingDescription})},
            {QStringLiteral("Liquidazione IVA"), nullptr, together({tx(14), m_settlementDescription})}},
           group);
    grid->setColumnStretch(3, 1);
    return group;
}

QWidget* fDitta::buildContactGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Recapiti"), this);
    QGridLayout* grid = gridOf(group);
    addRow(grid, 0,
           {{QStringLiteral("Telefono"), nullptr,
             together({m_boxes[24], plainLabel(QStringLiteral("Tel./fax"), group), m_telFax})}},
           group);
    addRow(grid, 1, {{QStringLiteral("Email"), m_boxes[25]}}, group);
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* fDitta::buildAddressGroup(const QString& title, int first)
{
    auto* group = new QGroupBox(title, this);
    QGridLayout* grid = gridOf(group);
    const auto tx = [this, first](int offset) { return m_boxes[static_cast<std::size_t>(first + offset)]; };
    addRow(grid, 0,
           {{QStringLiteral("Indirizzo"), nullptr, together({tx(0), plainLabel(QStringLiteral("CAP"), group), tx(1)})}},
           group);
    addRow(grid, 1,
           {{QStringLiteral("Comune"), nullptr, together({tx(2), plainLabel(QStringLiteral("Prov."), group), tx(3)})}},
           group);
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* fDitta::buildAccountsGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Contabilità"), this);
    QGridLayout* grid = gridOf(group);
    const auto tx = [this](int i) { return m_boxes[static_cast<std::size_t>(i)]; };
    QPushButton* personalization = listButton(CodeList::AccountPersonalization, 29, "Command6",
                                              QStringLiteral("Elenco delle personalizzazioni conti"));
    QPushButton* intermediary
        = listButton(CodeList::Intermediary, 33, "Command8", QStringLiteral("Elenco degli intermediari"));
    addRow(grid, 0, {{QStringLiteral("Ditta madre"), tx(26)}}, group);
    addRow(grid, 1, {{QStringLiteral("Credito IVA iniziale"), tx(27)}}, group);
    addRow(grid, 2, {{QStringLiteral("Corrispettivi"), nullptr, together({tx(28), m_takingsDescription})}}, group);
    addCodeRow(grid, 3, QStringLiteral("Personalizz. conti"), tx(29), personalization, m_personalizationWords, group);
    addCodeRow(grid, 4, QStringLiteral("Intermediario"), tx(33), intermediary, m_intermediaryWords, group);
    addRow(grid, 5,
           {{QStringLiteral("Sottoconti clienti"), nullptr,
             together({tx(30), plainLabel(QStringLiteral("fornitori"), group), tx(31)})}},
           group);
    // What fields 32 and 34 stand for is recorded nowhere: the labels name them by their
    // place in the record, the words beside them say what their values mean.
    addRow(grid, 6, {{QStringLiteral("Campo 32"), nullptr, together({tx(32), m_field32Description})}}, group);
    addRow(grid, 7, {{QStringLiteral("Campo 34"), nullptr, together({tx(34), m_field34Description})}}, group);
    tx(32)->setToolTip(QStringLiteral("0= Non gestite; 1= Si"));
    tx(34)->setToolTip(QStringLiteral("0= Non gestito; 1= Sì"));
    grid->setColumnStretch(1, 1);
    return group;
}

void fDitta::refresh()
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
    for (int i = 1; i <= FDittaForm::kFieldCount; ++i)
        show(m_boxes[static_cast<std::size_t>(i)], m_form.box(i).text);
    show(m_birthDay, m_form.birthDay.text);
    show(m_birthMonth, m_form.birthMonth.text);
    show(m_birthYear, m_form.birthYear.text);
    show(m_telFax, m_form.telFax.text);
    m_kindDescription->setText(toQt(m_form.kindDescription));
    m_accountingDescription->setText(toQt(m_form.accountingDescription));
    m_settlementDescription->setText(toQt(m_form.settlementDescription));
    m_takingsDescription->setText(toQt(m_form.takingsDescription));
    m_field32Description->setText(toQt(m_form.field32Description));
    m_field34Description->setText(toQt(m_form.field34Description));
    m_sectorWords->setText(toQt(m_form.sectorWords));
    m_activityWords->setText(toQt(m_form.activityCodeWords));
    m_legalFormWords->setText(toQt(m_form.legalFormWords));
    m_personalizationWords->setText(toQt(m_form.personalizationWords));
    m_intermediaryWords->setText(toQt(m_form.intermediaryWords));
    m_note->setText(toQt(m_form.note));
    m_statusText->setText(toQt(m_form.statusText));
    m_refreshing = false;
}

void fDitta::afterEvent()
{
    refresh();
    if (!m_form.visible || m_form.closeRequested) {
        close();
        return;
    }
    if (m_form.focusRequest != 0) {
        moveFocus(m_form.focusRequest);
        m_form.focusRequest = 0;
    }
}

void fDitta::moveFocus(int box)
{
    if (box < 1 || box > FDittaForm::kFieldCount)
        return;
    QPointer<QLineEdit> target = box == 5 ? m_birthDay : m_boxes[static_cast<std::size_t>(box)];
    // The focus moves once the event that asked for it is over.
    QTimer::singleShot(0, this, [target] {
        if (target) {
            target->setFocus(Qt::OtherFocusReason);
            target->selectAll();
        }
    });
}

void fDitta::showStatus(std::string_view text)
{
    m_form.showStatus(text);
    refresh();
}

void fDitta::showHelp(int field)
{
    m_form.showHelp(field);
    refresh();
}

void fDitta::saveRecord()
{
    if (m_form.saveRecord())
        statusBar()->showMessage(QStringLiteral("Dati della ditta memorizzati"), 5000);
    afterEvent();
}

void fDitta::blankRecord()
{
    m_form.blankRecord();
    afterEvent();
}

void fDitta::exit()
{
    m_form.close();
    afterEvent();
}

void fDitta::boxEntered(int field)
{
    m_form.boxEntered(field);
    refresh();
    ui::selectAllOnceFocused(m_boxes[static_cast<std::size_t>(field)]);
}

void fDitta::boxLeft(int field)
{
    // Where the operator was going, before a check's message takes the focus for a while.
    const QWidget* next = QApplication::focusWidget();
    m_form.boxLeft(field);
    dropFocusRequestUnlessToABox(next);
    afterEvent();
}

void fDitta::dropFocusRequestUnlessToABox(const QWidget* next)
{
    // A box whose check failed takes the focus back from another box, never from a button:
    // the operator can always leave with "Esci" or save what is there.
    if (fieldOf(next) == 0 && !isBirthDateBox(next))
        m_form.focusRequest = 0;
}

int fDitta::fieldOf(const QObject* box) const
{
    const auto found = std::find(m_boxes.begin(), m_boxes.end(), box);
    return found == m_boxes.end() ? 0 : static_cast<int>(found - m_boxes.begin());
}

bool fDitta::isBirthDateBox(const QObject* box) const
{
    return box != nullptr && (box == m_birthDay || box == m_birthMonth || box == m_birthYear);
}

bool fDitta::eventFilter(QObject* watched, QEvent* event)
{
    const int field = fieldOf(watched);
    const bool dateBox = isBirthDateBox(watched);
    if (field == 0 && !dateBox)
        return QMainWindow::eventFilter(watched, event);

    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        switch (m_focus.change(watched, event)) {
        case BoxFocus::Change::None:
            break;
        case BoxFocus::Change::Entered:
            if (dateBox)
                showHelp(5);
            else
                boxEntered(field);
            break;
        case BoxFocus::Change::Left:
            if (watched == m_birthDay) {
                m_form.birthDayLeft();
                afterEvent();
            } else if (watched == m_birthMonth) {
                m_form.birthMonthLeft();
                afterEvent();
            } else if (watched == m_birthYear) {
                const QWidget* next = QApplication::focusWidget();
                m_form.birthYearLeft();
                dropFocusRequestUnlessToABox(next);
                afterEvent();
            } else {
                boxLeft(field);
            }
            break;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* pressed = static_cast<QKeyEvent*>(event);
    const bool listKey = (pressed->key() == Qt::Key_F4 && pressed->modifiers() == Qt::NoModifier)
        || (pressed->key() == Qt::Key_Down && pressed->modifiers() == Qt::AltModifier);
    if (listKey && !dateBox && m_listButtons[static_cast<std::size_t>(field)]) {
        m_listButtons[static_cast<std::size_t>(field)]->click();
        return true;
    }
    const BoxKey key = boxKeyOf(pressed);
    if (key == BoxKey::Other)
        return false;
    if (dateBox && (key == BoxKey::Enter || key == BoxKey::Up)) {
        // The date boxes stand for field 5: Enter goes on to the month, the year, field 6; Up
        // goes back to field 4.
        QLineEdit* const order[] = {m_boxes[4], m_birthDay, m_birthMonth, m_birthYear, m_boxes[6]};
        const auto at = std::find(std::begin(order), std::end(order), watched) - std::begin(order);
        QLineEdit* target = order[key == BoxKey::Enter ? at + 1 : at - 1];
        target->setFocus(Qt::TabFocusReason);
        target->selectAll();
        return true;
    }
    if (key == BoxKey::F9) {
        // F9 saves without "Conferma "; the status bar says that it did.
        if (m_form.saveAfterChecks(false))
            statusBar()->showMessage(QStringLiteral("Dati della ditta memorizzati"), 5000);
        refresh();
        return true;
    }
    m_form.boxKeyPressed(dateBox ? 5 : field, key);
    afterEvent();
    return true;
}

void fDitta::closeEvent(QCloseEvent* event)
{
    // Esc and the exit button have asked already; Annulla keeps the window as it was.
    if (m_form.visible && !m_form.closeRequested && !m_form.close()) {
        refresh();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void fDitta::keyPressEvent(QKeyEvent* event)
{
    const BoxKey key = boxKeyOf(event);
    if (key == BoxKey::Escape || key == BoxKey::F9) {
        m_form.windowKeyPressed(key);
        afterEvent();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace registers
