#include "uniemens/ui/inditta.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTimer>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "records/host_paths.h"
#include "ui/file_chooser.h"
#include "ui/keyboard.h"
#include "ui/run_progress.h"
#include "ui/ui_common.h"
#include "ui/window_frame.h"
#include "ui/window_list.h"

namespace uniemens {

using ui::boxWidth;
using ui::plainLabel;
using ui::toQt;

namespace {

// The folder of the INPS checking program, where the declarations are stored.
constexpr const char* kDeclarationFolder = "C:\\Program Files\\INPS\\INPS uniEmens individuale";

// What the list says before a month is chosen, so an empty list is never taken for a month
// without data.
const QString kChooseMonth = QStringLiteral("Scegliere il mese per vedere i file dati predisposti");

// The list of the companies of the month: it asks for six lines and takes whatever height
// the window has beyond that, so that on a small screen the window needs no scrolling for it.
class CompanyList : public QListWidget {
public:
    using QListWidget::QListWidget;
    QSize sizeHint() const override
    {
        return {QListWidget::sizeHint().width(), fontMetrics().lineSpacing() * 6 + 2 * frameWidth()};
    }
};

QPushButton* commandButton(const QString& name, const QString& caption, const QString& toolTip, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    ui::pressOnEnter(button);
    return button;
}

} // namespace

inditta::inditta(records::Workplace workplace, const ui::WindowList* windows, records::FileChooser* chooser,
                 QWidget* parent)
    : QMainWindow(parent)
    , m_windows(windows)
    , m_ownChooser(chooser ? nullptr : std::make_unique<ui::QtFileChooser>(this))
    , m_chooser(chooser ? *chooser : *m_ownChooser)
    , m_prompter(workplace.prompter)
    , m_form(workplace, m_chooser)
{
    setObjectName(QStringLiteral("inditta"));
    setWindowTitle(QStringLiteral("Selezione Ditta"));
    buildControls();

    // The form reports changes in the middle of an event (the list after a company is written,
    // before "Inserisci altra Ditta ?"), so they are on screen before the question appears.
    m_form.changed = [this] {
        refresh();
        m_indit->repaint();
        m_inditText->repaint();
    };
    m_form.advanced = [this](double done, double total) { m_progress->advance(done, total); };
    // The programs of the buttons may be installed while the window is open.
    auto* programs = new QTimer(this);
    connect(programs, &QTimer::timeout, this, &inditta::showInstalledPrograms);
    programs->start(3000);
    // "Modifica/Visualizza Dati" opens the employee register by name, on the company and month
    // chosen here: it belongs to another part of the program.
    m_form.openEmployeeRegister = [this](const std::string& companyDataFile) {
        return m_windows && m_windows->openOnCompany(QStringLiteral("Parteb1"), companyDataFile);
    };
    m_form.load();
    refresh();
    ui::resizeWithinScreen(this);
}

inditta::~inditta()
{
    // The controls outlive the form while the window's children are destroyed: what they
    // report on their way out must not reach it.
    m_refreshing = true;
    m_indit->disconnect(this);
    m_form.changed = nullptr;
    m_form.advanced = nullptr;
}

void inditta::buildControls()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(10, 10, 10, 0);
    layout->setSpacing(8);

    layout->addWidget(buildTitle());
    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(buildMonthFrame());
    top->addWidget(buildChoice(), 1);
    layout->addLayout(top);
    layout->addWidget(buildFilesFrame(), 1);

    auto* chosen = new QGridLayout;
    chosen->setHorizontalSpacing(8);
    chosen->setVerticalSpacing(2);
    m_text1 = new QLineEdit(central);
    m_text1->setObjectName(QStringLiteral("Text1"));
    // The company is chosen in the list; the box shows which data file that is, and the
    // company's code and name stand beside it.
    m_text1->setReadOnly(true);
    m_text1->setMinimumWidth(boxWidth(m_text1, 30));
    ui::selectBlanksOnFocus(m_text1);
    auto* chosenLabel = plainLabel(QStringLiteral("Ditta selezionata"), central);
    chosenLabel->setBuddy(m_text1);
    m_chosenCompany = plainLabel(QString(), central, QStringLiteral("selectedCompany"));
    QFont bold = m_chosenCompany->font();
    bold.setBold(true);
    m_chosenCompany->setFont(bold);
    m_chosenCompany->setWordWrap(true);
    m_chosenCompany->setMinimumHeight(m_chosenCompany->fontMetrics().lineSpacing());
    chosen->addWidget(chosenLabel, 0, 0);
    chosen->addWidget(m_chosenCompany, 0, 1);
    chosen->addWidget(m_text1, 1, 1);
    chosen->setColumnStretch(1, 1);
    layout->addLayout(chosen);

    // How far the writing of a company has got: records of its data file looked at, of how many.
    m_progress = new ui::RunProgress(central);
    QSizePolicy keepPlace = m_progress->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_progress->setSizePolicy(keepPlace);
    layout->addWidget(m_progress);

    // The choices scroll on a screen too small for them; the buttons stay in view.
    auto* window = new QWidget(this);
    auto* windowLayout = new QVBoxLayout(window);
    windowLayout->setContentsMargins(0, 0, 0, 6);
    windowLayout->setSpacing(6);
    windowLayout->addWidget(new ui::WindowScroll(central, window), 1);
    QWidget* buttons = buildButtons();
    buttons->setContentsMargins(10, 0, 10, 0);
    windowLayout->addWidget(buttons);
    setCentralWidget(window);
    m_statusText = ui::addStatusLine(this);

    // The keyboard follows the work: month, company, what to do, confirm.
    QWidget* const order[] = {m_combo1,   m_indit,    m_text1,    m_option1,  m_option2, m_command1,
                              m_command3, m_command5, m_command2, m_command4, m_command6};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_combo1, &QComboBox::activated, this, &inditta::chooseMonth);
    // A company is chosen when its item is selected (a click, the arrow keys), not when the
    // list only marks an item as it takes the focus.
    connect(m_indit, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = m_indit->selectedItems();
        chooseCompany(selected.isEmpty() ? -1 : m_indit->row(selected.front()));
    });
    // Typing a company's code or the start of its name goes to it.
    ui::typeToFind(
        m_indit,
        [this](const QString& typed) {
            QStringList texts;
            for (int row = 0; row < m_indit->count(); ++row)
                texts << m_indit->item(row)->text();
            return ui::findCompanyRow(typed, texts);
        },
        [this](int row) { m_indit->setCurrentRow(row); });
    // The list marks its first company as it takes the focus, without choosing it: the first
    // arrow key chooses that company rather than the one after it.
    m_indit->installEventFilter(this);
    // Enter or a double click on a company leads on to "Conferma".
    connect(m_indit, &QListWidget::itemActivated, this, [this] { m_command1->setFocus(); });
    connect(m_option1, &QRadioButton::clicked, this, &inditta::chooseCreateDeclaration);
    connect(m_option2, &QRadioButton::clicked, this, &inditta::chooseEditEmployees);
    connect(m_command1, &QPushButton::clicked, this, &inditta::confirm);
    connect(m_command2, &QPushButton::clicked, this, &inditta::startCheckingProgram);
    connect(m_command3, &QPushButton::clicked, this, &inditta::goBack);
    connect(m_command4, &QPushButton::clicked, this, &inditta::showXmlListing);
    connect(m_command5, &QPushButton::clicked, this, &inditta::openInpsSite);
    connect(m_command6, &QPushButton::clicked, this, &inditta::startPayrollMenu);
}

QWidget* inditta::buildTitle()
{
    auto* banner = new QFrame(this);
    banner->setObjectName(QStringLiteral("titleBanner"));
    banner->setStyleSheet(QStringLiteral(
        "#titleBanner { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #163d6e, stop:1 #2b6cb0);"
        " border-radius: 4px; }"
        "#titleBanner QLabel { color: white; background: transparent; }"
        "#titleBanner QLabel#titleSubject { color: #c9d9ee; }"));
    QFont big = font();
    big.setPointSizeF(font().pointSizeF() * 1.6);
    big.setBold(true);
    auto* name = plainLabel(QStringLiteral("UNIEMENS"), banner, QStringLiteral("titleName"));
    name->setFont(big);
    auto* subject = plainLabel(QStringLiteral("Denuncia contributiva mensile all'INPS"), banner,
                               QStringLiteral("titleSubject"));
    auto* layout = new QHBoxLayout(banner);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(14);
    layout->addWidget(name);
    layout->addWidget(subject, 1, Qt::AlignBottom);
    return banner;
}

QWidget* inditta::buildMonthFrame()
{
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("monthFrame"));
    m_combo1 = new QComboBox(frame);
    m_combo1->setObjectName(QStringLiteral("combo1"));
    m_combo1->setMinimumContentsLength(10);
    m_combo1->setMaxVisibleItems(12);
    m_text2 = new QLineEdit(frame);
    m_text2->setObjectName(QStringLiteral("Text2"));
    // The working year comes from the year file; the window only shows it.
    m_text2->setReadOnly(true);
    m_text2->setFixedWidth(boxWidth(m_text2, 5));
    ui::selectBlanksOnFocus(m_text2);

    auto* monthLabel = plainLabel(QStringLiteral("Mese"), frame);
    monthLabel->setBuddy(m_combo1);
    auto* yearLabel = plainLabel(QStringLiteral("Anno"), frame);
    yearLabel->setBuddy(m_text2);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(monthLabel, 0, 0);
    grid->addWidget(m_combo1, 0, 1);
    grid->addWidget(yearLabel, 1, 0);
    grid->addWidget(m_text2, 1, 1, Qt::AlignLeft);
    return frame;
}

QWidget* inditta::buildChoice()
{
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("choiceFrame"));
    m_option1 = new QRadioButton(QStringLiteral(" Crea file Uniemens"), frame);
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option2 = new QRadioButton(QStringLiteral(" Modifica/Visualizza  Dati "), frame);
    m_option2->setObjectName(QStringLiteral("Option2"));
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(8);
    layout->addWidget(m_option1);
    layout->addWidget(m_option2);
    layout->addStretch(1);
    return frame;
}

QWidget* inditta::buildFilesFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("File dati gia' predisposti"), this);
    frame->setObjectName(QStringLiteral("filesFrame"));
    m_inditText = plainLabel(QString(), frame, QStringLiteral("inditText"));
    QFont bold = m_inditText->font();
    bold.setBold(true);
    m_inditText->setFont(bold);
    m_inditText->setStyleSheet(QStringLiteral("color: #1d4f91;"));
    // A long company name wraps instead of widening the window.
    m_inditText->setWordWrap(true);
    m_indit = new CompanyList(frame);
    m_indit->setObjectName(QStringLiteral("indit"));
    m_indit->setSelectionMode(QAbstractItemView::SingleSelection);
    // Company names line up under one another, as the payroll program writes them.
    m_indit->setFont(ui::fixedWidthFont());
    const QFontMetrics metrics(m_indit->font());
    m_indit->setMinimumWidth(metrics.horizontalAdvance(QString(40, QLatin1Char('N'))) + 30);
    m_indit->setMinimumHeight(metrics.lineSpacing() * 4);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(6);
    layout->addWidget(m_inditText);
    layout->addWidget(m_indit, 1);
    return frame;
}

QWidget* inditta::buildButtons()
{
    auto* frame = new QWidget(this);
    m_command1 = commandButton(QStringLiteral("Command1"), QStringLiteral("Conferma"),
                               QStringLiteral("Crea il file Uniemens o apre i dati della ditta selezionata"), frame);
    m_command3 = commandButton(QStringLiteral("Command3"), QStringLiteral("Indietro"),
                               QStringLiteral("Chiude la finestra"), frame);
    m_command5 = commandButton(QStringLiteral("Command5"), QStringLiteral("Sito INPS invio"),
                               QStringLiteral("Apre la pagina di accesso ai servizi INPS per le aziende"), frame);
    m_command6 = commandButton(QStringLiteral("Command6"), QStringLiteral("Accedi a Paghe"),
                               QStringLiteral("Avvia il menu del programma paghe"), frame);
    m_command4 = commandButton(QStringLiteral("Command4"), QStringLiteral("Visualizza XML"),
                               QStringLiteral("Mostra un file XML con le righe numerate"), frame);
    m_command2 = commandButton(QStringLiteral("Command2"), QStringLiteral("Controllo e validazione "),
                               QStringLiteral("Avvia il programma di controllo UniEmens dell'INPS"), frame);
    m_checkFile = commandButton(QStringLiteral("checkFile"), QStringLiteral("Verifica file"),
                                QStringLiteral("Controlla un file UniEmens prima dell'invio"), frame);
    m_checkFile->setIcon(QIcon(QStringLiteral(":/check/icons/verify.png")));
    m_checkFile->setEnabled(false);
    connect(m_checkFile, &QPushButton::clicked, this, &inditta::checkFile);
    QFont bold = m_command1->font();
    bold.setBold(true);
    m_command1->setFont(bold);

    auto* layout = new QGridLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(8);
    layout->addWidget(m_command1, 0, 0);
    layout->addWidget(m_checkFile, 0, 2);
    layout->addWidget(m_command3, 0, 1);
    layout->addWidget(m_command5, 1, 0);
    layout->addWidget(m_command2, 1, 1);
    layout->addWidget(m_command4, 1, 2);
    layout->addWidget(m_command6, 1, 3);
    return frame;
}

void inditta::refresh()
{
    // Filling the list moves its current row, which must not reach the form as a click.
    if (m_refreshing)
        return;
    m_refreshing = true;

    if (m_combo1->count() != static_cast<int>(m_form.months.size())) {
        m_combo1->clear();
        for (const std::string& month : m_form.months)
            m_combo1->addItem(toQt(month));
    }
    m_combo1->setCurrentIndex(m_form.monthIndex);
    m_text2->setText(toQt(m_form.workingYear));

    QStringList items;
    for (const std::string& item : m_form.companyItems)
        items.append(toQt(item));
    QStringList shown;
    for (int i = 0; i < m_indit->count(); ++i)
        shown.append(m_indit->item(i)->text());
    if (shown != items) {
        m_indit->clear();
        m_indit->addItems(items);
        m_indit->setCurrentRow(-1);
    }
    m_inditText->setText(m_form.monthIndex < 0 && m_form.companyListText.empty() ? kChooseMonth
                                                                                 : toQt(m_form.companyListText));

    m_text1->setText(toQt(m_form.chosenDataFile));
    m_text1->setCursorPosition(0);
    m_chosenCompany->setText(toQt(m_form.selectedCompany()));
    showInstalledPrograms();
    m_option1->setChecked(m_form.action == ConfirmAction::CreateDeclaration);
    m_option2->setChecked(m_form.action == ConfirmAction::EditEmployees);
    m_statusText->setText(toQt(m_form.statusText()));
    // While "Conferma" is at work the window is disabled and takes no focus: the request
    // waits for the refresh that follows.
    if (m_form.focusCompanyList && m_indit->isEnabled()) {
        m_indit->setFocus();
        m_form.focusCompanyList = false;
    }
    // No company chosen in the form (after one was written): none is marked in the list.
    if (m_form.selectedIndex == 0 && m_indit->currentRow() >= 0) {
        m_indit->setCurrentRow(-1);
        m_indit->clearSelection();
    }
    m_refreshing = false;
}

void inditta::showInstalledPrograms()
{
    // A button whose program is not installed says what to install, and where; it comes back
    // as soon as the program is there.
    const struct {
        QPushButton* button;
        InstalledProgram program;
        QString toolTip;
        QString missing;
    } buttons[] = {
        {m_command2, m_form.checkingProgram(), QStringLiteral("Avvia il programma di controllo UniEmens dell'INPS"),
         QStringLiteral("Non installato: installare il programma di controllo UniEmens dell'INPS "
                        "(\"UniEMensIndiv.exe\") in %1")},
        {m_command6, m_form.payrollMenu(), QStringLiteral("Avvia il menu del programma paghe"),
         QStringLiteral("Non installato: installare il menu del programma paghe (\"pmenu.exe\") in %1")},
    };
    for (const auto& entry : buttons) {
        entry.button->setEnabled(entry.program.installed && !m_confirming);
        entry.button->setToolTip(entry.program.installed
                                     ? entry.toolTip
                                     : entry.missing.arg(QDir::toNativeSeparators(
                                           QFileInfo(QString::fromStdString(entry.program.hostPath)).path())));
    }
}

void inditta::keyPressEvent(QKeyEvent* event)
{
    // Esc means "Indietro".
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !m_confirming) {
        goBack();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool inditta::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_indit && event->type() == QEvent::KeyPress) {
        const auto* pressed = static_cast<QKeyEvent*>(event);
        const bool arrow = pressed->key() == Qt::Key_Down || pressed->key() == Qt::Key_Up;
        if (arrow && pressed->modifiers() == Qt::NoModifier && m_indit->selectedItems().isEmpty()
            && m_indit->currentRow() >= 0) {
            m_indit->setCurrentRow(m_indit->currentRow());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool inditta::event(QEvent* event)
{
    // A program installed while the window was in the background is offered when it comes back.
    if (event->type() == QEvent::WindowActivate)
        showInstalledPrograms();
    return QMainWindow::event(event);
}

void inditta::chooseMonth(int index)
{
    m_form.chooseMonth(index);
    refresh();
}

void inditta::chooseCompany(int row)
{
    if (m_refreshing || row < 0)
        return;
    m_form.chooseCompany(row);
    refresh();
}

void inditta::chooseCreateDeclaration()
{
    m_form.chooseAction(ConfirmAction::CreateDeclaration);
    refresh();
}

void inditta::chooseEditEmployees()
{
    m_form.chooseAction(ConfirmAction::EditEmployees);
    refresh();
}

void inditta::confirm()
{
    // While a company is written the window takes no input: a second "Conferma" must not start.
    centralWidget()->setEnabled(false);
    m_confirming = true;
    const ConfirmOutcome outcome = m_form.confirm();
    m_confirming = false;
    // Clicks and keys that arrived meanwhile meet the disabled window and are dropped.
    QCoreApplication::processEvents();
    centralWidget()->setEnabled(true);
    m_progress->finish();
    refresh();
    // The file just stored can be checked before it is sent; its window outlives this one.
    if (outcome == ConfirmOutcome::FileStored && m_fileCheck && !m_form.storedHostPath().empty()
        && m_prompter.askYesNo(records::Question::CheckFileNow, "Verifica file", "Verificare il file adesso ?",
                               records::Icon::Question))
        m_fileCheck(m_form.storedHostPath());
    closeWhenAsked();
}

void inditta::goBack()
{
    m_form.goBack();
    closeWhenAsked();
}

void inditta::openInpsSite()
{
    m_form.openInpsSite();
}

void inditta::startPayrollMenu()
{
    m_form.startPayrollMenu();
}

void inditta::showXmlListing()
{
    m_form.showXmlListing();
}

void inditta::startCheckingProgram()
{
    m_form.startCheckingProgram();
}

void inditta::setFileCheck(FileCheck check)
{
    m_fileCheck = std::move(check);
    m_checkFile->setEnabled(static_cast<bool>(m_fileCheck));
}

void inditta::checkFile()
{
    if (!m_fileCheck)
        return;
    // The checking program's folder, where the declarations are stored.
    const std::string folder = m_form.paths().hostPath(kDeclarationFolder).string();
    const std::string choice = m_chooser.chooseFile("Verifica file", "*.xml", ".xml", folder);
    const std::size_t slash = choice.find_last_of("\\/");
    if (choice.empty() || choice.substr(slash == std::string::npos ? 0 : slash + 1) == "*.xml")
        return;
    m_fileCheck(choice.front() == '/' ? choice : m_form.paths().hostPath(choice).string());
}

void inditta::closeWhenAsked()
{
    if (m_form.closeRequested)
        close();
}

void inditta::closeEvent(QCloseEvent* event)
{
    // The window stays while a company is being written and its questions are open.
    if (m_confirming) {
        event->ignore();
        return;
    }
    // A window closed in the middle of a series abandons it, as "Indietro" does: no half
    // declaration is left for the checking program.
    if (!m_form.closeRequested)
        m_form.goBack();
    event->accept();
}

} // namespace uniemens
