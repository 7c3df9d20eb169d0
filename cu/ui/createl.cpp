#include "cu/ui/createl.h"

#include <algorithm>
#include <filesystem>

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "cu/telematic/run.h"
#include "ui/file_chooser.h"
#include "ui/keyboard.h"
#include "ui/phase_button.h"
#include "ui/run_progress.h"
#include "ui/ui_common.h"
#include "ui/window_list.h"

namespace cu {

using ui::boxWidth;
using ui::fromQt;
using ui::PhaseButton;
using ui::plainLabel;
using ui::toQt;

namespace {

// Captions of the four phase buttons, blanks included: the classic window lets the
// blanks break each caption into the phase and what it does.
const QString kCaptionReport = QStringLiteral("     FASE 1          REPORT");
const QString kCaptionOpen = QStringLiteral(" FASE 2     APRE CU");
const QString kCaptionRun = QStringLiteral("           FASE 3            ELABORA TELEMATICO");
const QString kCaptionEnd = QStringLiteral("FASE 4     FINE");

QString txName(int index)
{
    return QStringLiteral("Tx_%1").arg(index);
}

} // namespace

createl::createl(records::Workplace workplace, const ui::WindowList* windows, QWidget* parent)
    : QMainWindow(parent)
    , m_windows(windows)
    , m_form(workplace)
{
    setObjectName(QStringLiteral("createl"));
    setWindowTitle(QStringLiteral("Seleziona CU 2016"));
    setWindowIcon(QIcon(QStringLiteral(":/createl/icons/cu.png")));
    buildControls();
    buildMenu();

    // The form reports changes in the middle of an event (the writer's progress text, the
    // help line) so that they are on screen before the next message box appears. The run
    // does not return to the event loop, so the label is painted at once.
    m_form.changed = [this] {
        refresh();
        m_label17->repaint();
        m_statusText->repaint();
    };
    m_form.advanced = [this](double done, double total) { m_progress->advance(done, total); };
    m_form.Form_Load();
    refresh();
    ui::resizeWithinScreen(this);
}

createl::~createl()
{
    // The boxes outlive the form while the window's children are destroyed; their last
    // focus events must not reach it.
    for (QLineEdit* box : m_tx)
        box->removeEventFilter(this);
}

void createl::buildControls()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(10, 10, 10, 6);
    layout->setSpacing(8);

    layout->addWidget(buildTitle());
    layout->addWidget(buildSelectionFrame());
    layout->addWidget(buildInputFrame());

    m_label17 = plainLabel(QString(), central, QStringLiteral("Label17"));
    m_label17->setWordWrap(true);
    m_label17->setMinimumHeight(m_label17->fontMetrics().lineSpacing() * 2);
    QFont progressFont = m_label17->font();
    progressFont.setBold(true);
    m_label17->setFont(progressFont);
    m_label17->setStyleSheet(QStringLiteral("color: #1d4f91;"));
    layout->addWidget(m_label17);

    // How far a run has got: archive records looked at, of how many.
    m_progress = new ui::RunProgress(central);
    layout->addWidget(m_progress);

    layout->addStretch(1);
    layout->addWidget(buildDisclaimer());
    setCentralWidget(central);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    m_statusText = plainLabel(QString(), status, QStringLiteral("StatusBar1Text"));
    m_statusText->setContentsMargins(4, 0, 4, 0);
    status->addWidget(m_statusText, 1);
    setStatusBar(status);

    // The boxes filled from the archive are disabled, yet the operator must read them: their
    // text stays dark instead of the style's faint grey.
    QPalette readable = m_tx[0]->palette();
    readable.setColor(QPalette::Disabled, QPalette::Text, QColor(0x4a, 0x55, 0x63));
    for (int i = 0; i < CreatelForm::kTxCount; ++i) {
        QLineEdit* box = m_tx[static_cast<std::size_t>(i)];
        box->setPalette(readable);
        ui::setTypingLimit(box, m_form.Tx[static_cast<std::size_t>(i)].maxLength);
        box->installEventFilter(this);
        ui::selectBlanksOnFocus(box);
        connect(box, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            m_form.Tx[static_cast<std::size_t>(i)].text = fromQt(text);
        });
    }
    // The keyboard follows the work: choose, open, then the supply and commitment boxes.
    QWidget* const order[] = {m_lista,  m_tx[0],  m_command5, m_command1, m_command2, m_command3, m_combo1,
                              m_tx[1],  m_tx[2],  m_tx[3],    m_tx[4],    m_tx[5],    m_tx[6],    m_tx[7],
                              m_tx[8],  m_tx[9],  m_tx[10],   m_tx[11]};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_lista, &QComboBox::activated, this, &createl::lista_Click);
    connect(m_combo1, &QComboBox::activated, this, &createl::Combo1_Click);
    connect(m_command1, &QToolButton::clicked, this, &createl::Command1_Click);
    connect(m_command2, &QToolButton::clicked, this, &createl::Command2_Click);
    connect(m_command3, &QToolButton::clicked, this, &createl::Command3_Click);
    connect(m_command5, &QToolButton::clicked, this, &createl::Command5_Click);
    // Enter in "Codice" opens the archive typed there.
    connect(m_tx[0], &QLineEdit::returnPressed, this, &createl::Command1_Click);
}

QWidget* createl::buildTitle()
{
    auto* banner = new QFrame(this);
    banner->setObjectName(QStringLiteral("titleBanner"));
    banner->setStyleSheet(QStringLiteral(
        "#titleBanner { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #163d6e, stop:1 #2b6cb0);"
        " border-radius: 4px; }"
        "#titleBanner QLabel { color: white; background: transparent; }"
        "#titleBanner QLabel#titleYear, #titleBanner QLabel#titleYear2 { color: #ffd35c; }"
        "#titleBanner QLabel#titleVersion { color: #c9d9ee; }"));

    auto* picture = new QLabel(banner);
    picture->setObjectName(QStringLiteral("titlePicture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/createl/icons/cu.png")));
    picture->setFixedSize(64, 64);
    picture->setScaledContents(true);

    QFont big = font();
    big.setPointSizeF(font().pointSizeF() * 1.9);
    big.setBold(true);
    QFont medium = font();
    medium.setBold(true);

    auto* certificazione = plainLabel(QStringLiteral("CERTIFICAZIONE"), banner, QStringLiteral("titleCertificazione"));
    auto* unica = plainLabel(QStringLiteral("UNICA"), banner, QStringLiteral("titleUnica"));
    auto* year = plainLabel(QStringLiteral("2017"), banner, QStringLiteral("titleYear"));
    for (QLabel* label : {certificazione, unica, year})
        label->setFont(big);

    auto* law = plainLabel(QStringLiteral("CERTIFICAZIONE DI CUI ALL'ART.4 COMMI 6-ter e 6-quater        DEL D.P.R. "
                                          "22 LUGLIO 1009, n.322, RELATIVA ALL'ANNO"),
                           banner, QStringLiteral("titleLaw"));
    auto* lawYear = plainLabel(QStringLiteral("      2016"), banner, QStringLiteral("titleYear2"));
    QFont yearFont = medium;
    yearFont.setPointSizeF(font().pointSizeF() * 1.4);
    lawYear->setFont(yearFont);
    lawYear->setAlignment(Qt::AlignLeft | Qt::AlignBaseline);

    auto* version = plainLabel(QStringLiteral("Versione 17.30"), banner, QStringLiteral("titleVersion"));
    version->setAlignment(Qt::AlignRight | Qt::AlignTop);

    auto* names = new QHBoxLayout;
    names->setSpacing(12);
    names->addWidget(certificazione);
    names->addWidget(unica);
    names->addWidget(year);
    names->addStretch(1);
    names->addWidget(version, 0, Qt::AlignTop);

    auto* lawRow = new QHBoxLayout;
    lawRow->setSpacing(0);
    lawRow->addWidget(law, 0, Qt::AlignBottom);
    lawRow->addWidget(lawYear, 0, Qt::AlignBottom);
    lawRow->addStretch(1);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addLayout(names);
    texts->addLayout(lawRow);

    auto* layout = new QHBoxLayout(banner);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(14);
    layout->addWidget(picture, 0, Qt::AlignVCenter);
    layout->addLayout(texts, 1);
    return banner;
}

QWidget* createl::buildSelectionFrame()
{
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("selectionFrame"));
    frame->setFrameShape(QFrame::StyledPanel);

    m_lista = new QComboBox(frame);
    m_lista->setObjectName(QStringLiteral("lista"));
    m_lista->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_lista->setMinimumContentsLength(48);
    m_lista->setMaxVisibleItems(20);

    auto* code = new QLineEdit(frame);
    code->setObjectName(txName(0));
    code->setFixedWidth(boxWidth(code, 8));
    m_tx[0] = code;

    auto* listaLabel = plainLabel(QStringLiteral("Certificazione"), frame);
    listaLabel->setBuddy(m_lista);
    auto* codeLabel = plainLabel(QStringLiteral("Codice"), frame);
    codeLabel->setBuddy(code);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    fields->addWidget(listaLabel, 0, 0);
    fields->addWidget(m_lista, 0, 1, 1, 2);
    fields->addWidget(codeLabel, 1, 0);
    fields->addWidget(code, 1, 1);
    fields->setColumnStretch(2, 1);

    m_command5 = new PhaseButton(QStringLiteral("Command5"), kCaptionReport,
                                 QStringLiteral(":/createl/icons/report.png"),
                                 QStringLiteral("Apre la CU del codice indicato"), frame);
    m_command1 = new PhaseButton(QStringLiteral("Command1"), kCaptionOpen, QStringLiteral(":/createl/icons/open.png"),
                                 QStringLiteral("Apre la CU del codice indicato"), frame);
    m_command2 = new PhaseButton(QStringLiteral("Command2"), kCaptionRun, QStringLiteral(":/createl/icons/run.png"),
                                 QStringLiteral("Crea file telematico della CU"), frame);
    m_command3 = new PhaseButton(QStringLiteral("Command3"), kCaptionEnd, QStringLiteral(":/createl/icons/end.png"),
                                 QStringLiteral("Esce"), frame);
    m_checkFile = new PhaseButton(QStringLiteral("checkFile"), QStringLiteral("Verifica file"),
                                  QStringLiteral(":/check/icons/verify.png"),
                                  QStringLiteral("Controlla un file telematico prima dell'invio"), frame);
    m_checkFile->setEnabled(false);
    // As tall as the phase buttons, whose captions take two lines.
    m_checkFile->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    connect(m_checkFile, &QToolButton::clicked, this, &createl::checkFile);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    for (QToolButton* button : {m_command5, m_command1, m_command2, m_checkFile, m_command3})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(10);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    return frame;
}

QWidget* createl::buildInputFrame()
{
    auto* frame = new QFrame(this);
    m_inputFrame = frame;
    frame->setObjectName(QStringLiteral("inputFrame"));
    frame->setFrameShape(QFrame::StyledPanel);
    // While hidden the frame keeps its place, so the window does not jump when it appears.
    QSizePolicy policy = frame->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    frame->setSizePolicy(policy);

    for (int i = 1; i < CreatelForm::kTxCount; ++i) {
        auto* box = new QLineEdit(frame);
        box->setObjectName(txName(i));
        m_tx[static_cast<std::size_t>(i)] = box;
    }
    m_combo1 = new QComboBox(frame);
    m_combo1->setObjectName(QStringLiteral("Combo1"));

    // Widths follow what each box holds: protocol numbers, a record number, a path.
    const std::array<int, CreatelForm::kTxCount> widths = {8, 3, 20, 8, 5, 0, 14, 18, 3, 10, 14, 0};
    for (int i = 1; i < CreatelForm::kTxCount; ++i) {
        if (widths[static_cast<std::size_t>(i)] > 0)
            m_tx[static_cast<std::size_t>(i)]->setFixedWidth(boxWidth(m_tx[0], widths[static_cast<std::size_t>(i)]));
    }
    m_tx[5]->setMinimumWidth(boxWidth(m_tx[0], 18));
    m_tx[11]->setMinimumWidth(boxWidth(m_tx[0], 18));

    auto addRow = [](QGridLayout* grid, int row, const QString& text, QWidget* box, QWidget* parent) {
        auto* label = plainLabel(text, parent);
        label->setBuddy(box);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1, Qt::AlignLeft);
    };

    auto* supply = new QGridLayout;
    supply->setHorizontalSpacing(10);
    supply->setVerticalSpacing(8);
    auto* kind = new QHBoxLayout;
    kind->setSpacing(6);
    kind->addWidget(m_combo1);
    kind->addWidget(m_tx[1]);
    kind->addStretch(1);
    auto* kindLabel = plainLabel(QStringLiteral("Tipo Fornitura "), frame);
    kindLabel->setBuddy(m_combo1);
    supply->addWidget(kindLabel, 0, 0);
    supply->addLayout(kind, 0, 1);
    addRow(supply, 1, QStringLiteral("1-Protocollo Identificativo della CU"), m_tx[2], frame);
    addRow(supply, 2, QStringLiteral("2-Protocollo assegnato alla CU"), m_tx[3], frame);
    addRow(supply, 3, QStringLiteral("Rk Archivio CU Lav.Dipendente"), m_tx[4], frame);
    auto* pathLabel = plainLabel(QStringLiteral("Unita' e percorso del file"), frame);
    pathLabel->setBuddy(m_tx[5]);
    supply->addWidget(pathLabel, 4, 0);
    supply->addWidget(m_tx[5], 4, 1);
    addRow(supply, 5, QStringLiteral("Nome del file telematico"), m_tx[6], frame);
    supply->setColumnStretch(1, 1);

    auto* commitment = new QFrame(frame);
    commitment->setObjectName(QStringLiteral("intermediaryGroup"));
    commitment->setFrameShape(QFrame::StyledPanel);
    // A commitment box that shows the archive's own value takes no typing, and looks it.
    commitment->setStyleSheet(
        QStringLiteral("#intermediaryGroup { background: palette(alternate-base); }"
                       "#intermediaryGroup QLineEdit:read-only { background: palette(window); }"));
    auto* intermediary = new QGridLayout(commitment);
    intermediary->setContentsMargins(10, 8, 10, 8);
    intermediary->setHorizontalSpacing(10);
    intermediary->setVerticalSpacing(8);
    for (int i = 7; i <= 11; ++i)
        m_tx[static_cast<std::size_t>(i)]->setParent(commitment);
    addRow(intermediary, 0, QStringLiteral("Cod.fiscale Intermediario"), m_tx[7], commitment);
    addRow(intermediary, 1, QStringLiteral("Tipo Impegno"), m_tx[8], commitment);
    addRow(intermediary, 2, QStringLiteral("Data Impegno"), m_tx[9], commitment);
    addRow(intermediary, 3, QStringLiteral("N.Cellulare Intermediario"), m_tx[10], commitment);
    auto* mailLabel = plainLabel(QStringLiteral("Email Intermediario"), commitment);
    mailLabel->setBuddy(m_tx[11]);
    intermediary->addWidget(mailLabel, 4, 0);
    intermediary->addWidget(m_tx[11], 4, 1);
    intermediary->setColumnStretch(1, 1);
    intermediary->setRowStretch(5, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(supply);
    left->addStretch(1);

    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(16);
    layout->addLayout(left, 1);
    layout->addWidget(commitment, 1);
    return frame;
}

QWidget* createl::buildDisclaimer()
{
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("disclaimerFrame"));
    frame->setFrameShape(QFrame::StyledPanel);
    const QString lines[] = {
        QStringLiteral("Il presente software è uno strumento di ausilio al lavoro dell'utente."),
        QStringLiteral("L'autore non si assume alcuna responsabilità per le sanzioni derivanti da dati elaborati non "
                       "corrispondenti a fatti reali o a fatti successivamente accertati dagli organi ispettivi."),
        QStringLiteral("L'utilizzo del software implica pertanto l'accettazione di tali condizioni."),
        QStringLiteral("telematico - Tutti i diritti riservati - Febbraio 2017"),
    };
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(2);
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.85);
    for (const QString& text : lines) {
        auto* label = plainLabel(text, frame);
        label->setWordWrap(true);
        label->setFont(small);
        label->setStyleSheet(QStringLiteral("color: #4a5563;"));
        layout->addWidget(label);
    }
    return frame;
}

void createl::buildMenu()
{
    QMenu* windows = menuBar()->addMenu(QStringLiteral("&Finestre"));
    windows->setObjectName(QStringLiteral("menuFinestre"));
    // The other windows of the program, in the order of the list; without a list the menu
    // still names them, disabled.
    std::vector<ui::WindowList::Entry> entries;
    if (m_windows)
        entries = m_windows->entries();
    else
        entries = {{QStringLiteral("inditta"), QStringLiteral("Selezione Ditta"), {}},
                   {QStringLiteral("fDitta"), QStringLiteral("Gestione ditte"), {}},
                   {QStringLiteral("Parteb1"), QStringLiteral("Dati Dipendenti - Parte anagrafica"), {}}};
    for (const ui::WindowList::Entry& entry : entries) {
        if (entry.name == QStringLiteral("createl"))
            continue;
        QAction* action = windows->addAction(entry.caption);
        action->setObjectName(QStringLiteral("open_") + entry.name);
        action->setEnabled(static_cast<bool>(entry.open));
        connect(action, &QAction::triggered, this, [open = entry.open] {
            if (open)
                open();
        });
    }
}

void createl::refresh()
{
    // A focus change caused by hiding or disabling a box reports back into the form while
    // the controls are being set; the controls are then set once more.
    if (m_refreshing) {
        m_refreshAgain = true;
        return;
    }
    m_refreshing = true;
    do {
        m_refreshAgain = false;
        for (int i = 0; i < CreatelForm::kTxCount; ++i) {
            const records::TextBox& state = m_form.Tx[static_cast<std::size_t>(i)];
            QLineEdit* box = m_tx[static_cast<std::size_t>(i)];
            const QString text = toQt(state.text);
            if (box->text() != text) {
                box->setText(text);
                // Archive texts are padded with blanks: show their start, not their tail.
                box->setCursorPosition(0);
            }
            box->setEnabled(state.enabled);
            if (box->isReadOnly() != state.readOnly) {
                box->setReadOnly(state.readOnly);
                // The style sheet's read-only look follows only when the box is polished again.
                box->style()->unpolish(box);
                box->style()->polish(box);
            }
        }

        QStringList items;
        for (const std::string& item : m_form.listaItems)
            items.append(toQt(item));
        QStringList shown;
        for (int i = 0; i < m_lista->count(); ++i)
            shown.append(m_lista->itemText(i));
        if (shown != items) {
            m_lista->clear();
            m_lista->addItems(items);
        }
        // The list shows the archive chosen or opened; an archive opened by a number
        // that is not among the items shows its text all the same.
        const QString listaText = toQt(m_form.listaText);
        const int listed = listaText.isEmpty() ? -1 : static_cast<int>(items.indexOf(listaText));
        // Before any choice the list says what it holds, so an empty box is never mistaken
        // for an empty data folder.
        QString hint = listaText;
        if (hint.isEmpty()) {
            hint = items.isEmpty() ? QStringLiteral("Nessuna certificazione nella cartella dei dati")
                                   : QStringLiteral("Scegliere la certificazione dall'elenco (%1)").arg(items.size());
        }
        m_lista->setPlaceholderText(listed < 0 ? hint : QString());
        m_lista->setCurrentIndex(listed);

        QStringList kinds;
        for (const std::string& item : m_form.combo1Items)
            kinds.append(toQt(item));
        QStringList kindsShown;
        for (int i = 0; i < m_combo1->count(); ++i)
            kindsShown.append(m_combo1->itemText(i));
        if (kindsShown != kinds) {
            m_combo1->clear();
            m_combo1->addItems(kinds);
            m_combo1->setCurrentIndex(-1);
        }

        m_inputFrame->setVisible(m_form.inputFrameVisible);
        m_label17->setText(toQt(m_form.label17));
        m_statusText->setText(toQt(m_form.statusText));
    } while (m_refreshAgain);
    m_refreshing = false;
}

void createl::Messaggio(std::string_view text)
{
    m_form.Messaggio(text);
    refresh();
}

void createl::messaggi(int index)
{
    m_form.messaggi(index);
    refresh();
}

void createl::lista_Click(int index)
{
    m_form.lista_Click(index);
    refresh();
}

void createl::Command1_Click()
{
    m_form.Command1_Click();
    refresh();
}

void createl::Combo1_Click(int index)
{
    m_form.Combo1_Click(index);
    refresh();
}

void createl::Command5_Click()
{
    m_form.Command5_Click();
    refresh();
}

void createl::Command2_Click()
{
    // While the run goes on the window takes no input: a second "FASE 3" must not start.
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    const telematic::RunResult result = m_form.Command2_Click();
    // Clicks and keys that arrived during the run meet the disabled window and are dropped.
    QCoreApplication::processEvents();
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    m_progress->finish();
    if (result.outcome == telematic::RunOutcome::Completed) {
        // The form has been loaded afresh for the next run; the kind of supply shown, which
        // only the window keeps, starts again empty too.
        m_combo1->setCurrentIndex(-1);
        if (!result.telematicHostPath.empty())
            m_lastTelematicFile = result.telematicHostPath;
    }
    refresh();
    // The file just written can be checked before it is sent.
    if (result.outcome == telematic::RunOutcome::Completed && m_fileCheck && !result.telematicHostPath.empty()
        && m_form.prompter().askYesNo(records::Question::CheckFileNow, "Verifica file", "Verificare il file adesso ?",
                                      records::Icon::Question))
        m_fileCheck(result.telematicHostPath);
    // After a run with a report the report viewer is open: it is the last window, and the
    // program ends with it.
    if (m_form.closeRequested)
        close();
}

void createl::setFileCheck(FileCheck check, records::FileChooser* chooser)
{
    m_fileCheck = std::move(check);
    if (!chooser && !m_ownChooser)
        m_ownChooser = std::make_unique<ui::QtFileChooser>(this);
    m_chooser = chooser ? chooser : m_ownChooser.get();
    m_checkFile->setEnabled(static_cast<bool>(m_fileCheck));
}

void createl::checkFile()
{
    if (!m_fileCheck)
        return;
    // The telematic file just written is proposed; any other file can be chosen.
    std::string folder;
    std::string name;
    if (!m_lastTelematicFile.empty()) {
        const std::filesystem::path last(m_lastTelematicFile);
        folder = last.parent_path().string();
        name = fromQt(QString::fromStdString(last.filename().string()));
    } else {
        folder = m_form.shared().paths.hostPath(m_form.shared().installation.dataDirectory).string();
    }
    const std::string choice = m_chooser->chooseFile("Verifica file", name, "", folder);
    if (choice.empty())
        return;
    m_fileCheck(choice.front() == '/' ? choice : m_form.shared().paths.hostPath(choice).string());
}

void createl::Command3_Click()
{
    m_form.Command3_Click();
    if (m_form.closeRequested)
        close();
}

void createl::Tx_GotFocus(int index)
{
    m_form.Tx_GotFocus(index);
    refresh();
}

void createl::Tx_LostFocus(int index)
{
    m_form.Tx_LostFocus(index);
    refresh();
}

bool createl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const auto found = std::find(m_tx.begin(), m_tx.end(), watched);
        if (found != m_tx.end()) {
            const int index = static_cast<int>(found - m_tx.begin());
            if (event->type() == QEvent::FocusIn)
                Tx_GotFocus(index);
            else
                Tx_LostFocus(index);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace cu
