#include "cu/ui/createl.h"

#include <algorithm>
#include <filesystem>

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "cu/telematic/run.h"
#include "records/cu_edition.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "ui/file_chooser.h"
#include "ui/keyboard.h"
#include "ui/phase_button.h"
#include "ui/run_progress.h"
#include "ui/ui_common.h"
#include "ui/window_frame.h"
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
    setWindowTitle(QStringLiteral("Seleziona CU ") + QString::fromLatin1(records::kCuIncomeYear));
    setWindowIcon(QIcon(QStringLiteral(":/createl/icons/cu.png")));
    buildControls();
    buildMenu();

    // The form reports changes in the middle of an event (the writer's progress text, the
    // help line) so that they are on screen before the next message box appears. The run
    // does not return to the event loop, so the label is painted at once.
    m_form.changed = [this] {
        refresh();
        m_progressText->repaint();
        m_statusText->repaint();
    };
    m_form.advanced = [this](std::int64_t done, double total) {
        m_progress->advance(static_cast<double>(done), total);
    };
    m_form.load();
    refresh();
    fitNarrowScreen();
    ui::resizeWithinScreen(this);
}

createl::~createl()
{
    // The boxes outlive the form while the window's children are destroyed; their last
    // focus events must not reach it.
    for (QLineEdit* edit : m_boxes)
        edit->removeEventFilter(this);
}

void createl::buildControls()
{
    // The frames scroll on a screen too small for them; the progress of a run stays in view
    // below them, beside the status line.
    auto* window = new QWidget(this);
    auto* content = new QWidget(window);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(10, 10, 10, 6);
    layout->setSpacing(8);

    layout->addWidget(buildTitle());
    layout->addWidget(buildSelectionFrame());
    layout->addWidget(buildInputFrame());
    layout->addStretch(1);
    layout->addWidget(buildDisclaimer());

    m_progressText = plainLabel(QString(), window, QStringLiteral("Label17"));
    m_progressText->setWordWrap(true);
    // One line kept for it, so that a run's text does not push the frames when it comes.
    m_progressText->setMinimumHeight(m_progressText->fontMetrics().lineSpacing());
    QFont progressFont = m_progressText->font();
    progressFont.setBold(true);
    m_progressText->setFont(progressFont);
    m_progressText->setStyleSheet(QStringLiteral("color: #1d4f91;"));

    // How far a run has got: archive records looked at, of how many.
    m_progress = new ui::RunProgress(window);
    // The bar keeps its place while hidden, so the window does not grow when a run starts.
    QSizePolicy keepPlace = m_progress->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_progress->setSizePolicy(keepPlace);

    m_scroll = new ui::WindowScroll(content, window);
    auto* windowLayout = new QVBoxLayout(window);
    windowLayout->setContentsMargins(0, 0, 0, 6);
    windowLayout->setSpacing(4);
    windowLayout->addWidget(m_scroll, 1);
    auto* progress = new QVBoxLayout;
    progress->setContentsMargins(10, 0, 10, 0);
    progress->setSpacing(4);
    progress->addWidget(m_progressText);
    progress->addWidget(m_progress);
    windowLayout->addLayout(progress);
    setCentralWidget(window);
    m_statusText = ui::addStatusLine(this);

    // The boxes filled from the archive are disabled, yet the operator must read them: their
    // text stays dark instead of the style's faint grey.
    QPalette readable = boxWidget(Box::ArchiveCode)->palette();
    readable.setColor(QPalette::Disabled, QPalette::Text, QColor(0x4a, 0x55, 0x63));
    for (int i = 0; i < kBoxCount; ++i) {
        QLineEdit* edit = m_boxes[static_cast<std::size_t>(i)];
        edit->setPalette(readable);
        ui::setTypingLimit(edit, m_form.box(static_cast<Box>(i)).maxLength);
        edit->installEventFilter(this);
        ui::selectBlanksOnFocus(edit);
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            m_form.box(static_cast<Box>(i)).text = fromQt(text);
        });
    }
    // The keyboard follows the work: choose, open, then the supply and commitment boxes in
    // their order.
    std::vector<QWidget*> order = {m_archiveList, boxWidget(Box::ArchiveCode), m_reportButton, m_openButton,
                                   m_runButton, m_endButton, m_supplyKinds};
    order.insert(order.end(), m_boxes.begin() + 1, m_boxes.end());
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_archiveList, &QComboBox::activated, this, &createl::chooseArchive);
    m_archiveList->installEventFilter(this);
    connect(m_supplyKinds, &QComboBox::activated, this, &createl::chooseSupplyKind);
    connect(m_openButton, &QToolButton::clicked, this, &createl::openArchive);
    connect(m_runButton, &QToolButton::clicked, this, &createl::run);
    connect(m_endButton, &QToolButton::clicked, this, &createl::finish);
    connect(m_reportButton, &QToolButton::clicked, this, &createl::askForReport);
    // Enter in "Codice" opens the archive typed there.
    connect(boxWidget(Box::ArchiveCode), &QLineEdit::returnPressed, this, &createl::openArchive);
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
    auto* year = plainLabel(QString::fromLatin1(records::kCuYear), banner, QStringLiteral("titleYear"));
    for (QLabel* label : {certificazione, unica, year})
        label->setFont(big);

    auto* law = plainLabel(QStringLiteral("CERTIFICAZIONE DI CUI ALL'ART.4 COMMI 6-ter e 6-quater        DEL D.P.R. "
                                          "22 LUGLIO 1998, n.322, RELATIVA ALL'ANNO"),
                           banner, QStringLiteral("titleLaw"));
    m_law = law;
    auto* lawYear = plainLabel(QStringLiteral("      ") + QString::fromLatin1(records::kCuIncomeYear), banner,
                               QStringLiteral("titleYear2"));
    QFont yearFont = medium;
    yearFont.setPointSizeF(font().pointSizeF() * 1.4);
    lawYear->setFont(yearFont);
    lawYear->setAlignment(Qt::AlignLeft | Qt::AlignBaseline);

    auto* version = plainLabel(QStringLiteral("Versione ") + QString::fromLatin1(records::kProgramVersion), banner,
                               QStringLiteral("titleVersion"));
    version->setAlignment(Qt::AlignRight | Qt::AlignTop);

    auto* names = new QHBoxLayout;
    names->setSpacing(12);
    names->addWidget(certificazione);
    names->addWidget(unica);
    names->addWidget(year);
    names->addStretch(1);
    names->addWidget(version, 0, Qt::AlignTop);

    auto* lawRow = new QHBoxLayout;
    m_lawRow = lawRow;
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

    m_archiveList = new ui::WrappingComboBox(48, frame, 1);
    m_archiveList->setObjectName(QStringLiteral("lista"));
    m_archiveList->setMaxVisibleItems(20);

    auto* code = new QLineEdit(frame);
    code->setObjectName(txName(0));
    code->setFixedWidth(boxWidth(code, 8));
    m_boxes[static_cast<std::size_t>(Box::ArchiveCode)] = code;

    auto* archiveLabel = plainLabel(QStringLiteral("Certificazione"), frame);
    archiveLabel->setBuddy(m_archiveList);
    auto* codeLabel = plainLabel(QStringLiteral("Codice"), frame);
    codeLabel->setBuddy(code);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    fields->addWidget(archiveLabel, 0, 0);
    fields->addWidget(m_archiveList, 0, 1, 1, 2);
    fields->addWidget(codeLabel, 1, 0);
    fields->addWidget(code, 1, 1);
    fields->setColumnStretch(2, 1);

    m_reportButton = new PhaseButton(QStringLiteral("Command5"), kCaptionReport,
                                     QStringLiteral(":/createl/icons/report.png"),
                                     QStringLiteral("Chiede se creare il report della memorizzazione"), frame);
    m_openButton = new PhaseButton(QStringLiteral("Command1"), kCaptionOpen, QStringLiteral(":/createl/icons/open.png"),
                                   QStringLiteral("Apre la CU del codice indicato"), frame);
    m_runButton = new PhaseButton(QStringLiteral("Command2"), kCaptionRun, QStringLiteral(":/createl/icons/run.png"),
                                  QStringLiteral("Crea file telematico della CU"), frame);
    m_endButton = new PhaseButton(QStringLiteral("Command3"), kCaptionEnd, QStringLiteral(":/createl/icons/end.png"),
                                  QStringLiteral("Esce"), frame);
    m_checkFile = new PhaseButton(QStringLiteral("checkFile"), QStringLiteral("Verifica file"),
                                  QStringLiteral(":/check/icons/verify.png"),
                                  QStringLiteral("Controlla un file telematico prima dell'invio"), frame);
    m_checkFile->setEnabled(false);
    // As tall as the phase buttons, whose captions take two lines.
    m_checkFile->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    connect(m_checkFile, &QToolButton::clicked, this, &createl::checkFile);

    m_phaseButtons = new QGridLayout;
    m_phaseButtons->setSpacing(10);
    int column = 0;
    for (QToolButton* button : {m_reportButton, m_openButton, m_runButton, m_checkFile, m_endButton})
        m_phaseButtons->addWidget(button, 0, column++);
    QGridLayout* buttons = m_phaseButtons;

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

    for (int i = 1; i < kBoxCount; ++i) {
        auto* edit = new QLineEdit(frame);
        edit->setObjectName(txName(i));
        m_boxes[static_cast<std::size_t>(i)] = edit;
    }
    m_supplyKinds = new QComboBox(frame);
    m_supplyKinds->setObjectName(QStringLiteral("Combo1"));

    // Widths follow what each box holds: protocol numbers, a record number, a path.
    const std::array<int, kBoxCount> widths = {8, 3, 20, 8, 5, 0, 14, 18, 3, 10, 14, 0};
    for (int i = 1; i < kBoxCount; ++i) {
        if (widths[static_cast<std::size_t>(i)] > 0)
            m_boxes[static_cast<std::size_t>(i)]->setFixedWidth(
                boxWidth(boxWidget(Box::ArchiveCode), widths[static_cast<std::size_t>(i)]));
    }
    boxWidget(Box::OutputFolder)->setMinimumWidth(boxWidth(boxWidget(Box::ArchiveCode), 18));
    boxWidget(Box::IntermediaryEmail)->setMinimumWidth(boxWidth(boxWidget(Box::ArchiveCode), 18));

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
    kind->addWidget(m_supplyKinds);
    kind->addWidget(boxWidget(Box::SupplyLetter));
    kind->addStretch(1);
    auto* kindLabel = plainLabel(QStringLiteral("Tipo Fornitura "), frame);
    kindLabel->setBuddy(m_supplyKinds);
    supply->addWidget(kindLabel, 0, 0);
    supply->addLayout(kind, 0, 1);
    addRow(supply, 1, QStringLiteral("1-Protocollo Identificativo della CU"), boxWidget(Box::ProtocolId), frame);
    addRow(supply, 2, QStringLiteral("2-Protocollo assegnato alla CU"), boxWidget(Box::ProtocolNumber), frame);
    addRow(supply, 3, QStringLiteral("Rk Archivio CU Lav.Dipendente"), boxWidget(Box::EmployeeRecord), frame);
    auto* pathLabel = plainLabel(QStringLiteral("Unita' e percorso del file"), frame);
    pathLabel->setBuddy(boxWidget(Box::OutputFolder));
    supply->addWidget(pathLabel, 4, 0);
    supply->addWidget(boxWidget(Box::OutputFolder), 4, 1);
    addRow(supply, 5, QStringLiteral("Nome del file telematico"), boxWidget(Box::OutputName), frame);
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
    for (Box which : {Box::IntermediaryFiscalCode, Box::CommitmentType, Box::CommitmentDate, Box::IntermediaryPhone,
                      Box::IntermediaryEmail})
        boxWidget(which)->setParent(commitment);
    addRow(intermediary, 0, QStringLiteral("Cod.fiscale Intermediario"), boxWidget(Box::IntermediaryFiscalCode),
           commitment);
    addRow(intermediary, 1, QStringLiteral("Tipo Impegno"), boxWidget(Box::CommitmentType), commitment);
    addRow(intermediary, 2, QStringLiteral("Data Impegno"), boxWidget(Box::CommitmentDate), commitment);
    addRow(intermediary, 3, QStringLiteral("N.Cellulare Intermediario"), boxWidget(Box::IntermediaryPhone), commitment);
    auto* mailLabel = plainLabel(QStringLiteral("Email Intermediario"), commitment);
    mailLabel->setBuddy(boxWidget(Box::IntermediaryEmail));
    intermediary->addWidget(mailLabel, 4, 0);
    intermediary->addWidget(boxWidget(Box::IntermediaryEmail), 4, 1);
    intermediary->setColumnStretch(1, 1);
    intermediary->setRowStretch(5, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(supply);
    left->addStretch(1);

    m_inputLayout = new QBoxLayout(QBoxLayout::LeftToRight, frame);
    m_inputLayout->setContentsMargins(12, 10, 12, 10);
    m_inputLayout->setSpacing(16);
    m_inputLayout->addLayout(left, 1);
    m_inputLayout->addWidget(commitment, 1);
    return frame;
}

void createl::fitNarrowScreen()
{
    // On a screen narrower than the window (a laptop at a large scale) the intermediary's
    // group goes under the supply's and the legal reference wraps, so that the window scrolls
    // down, never sideways.
    ensurePolished();
    const int room = ui::screenRoom(this).width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (centralWidget()->sizeHint().width() <= room)
        return;
    m_inputLayout->setDirection(QBoxLayout::TopToBottom);
    m_law->setWordWrap(true);
    m_lawRow->setStretchFactor(m_law, 1);
    const QWidget* content = m_scroll->widget();
    // The layouts measure afresh what the wrapped reference and the stacked groups need.
    for (QWidget* part : content->findChildren<QWidget*>())
        part->updateGeometry();
    for (QLayout* layout : content->findChildren<QLayout*>())
        layout->invalidate();
    if (content->minimumSizeHint().width() <= room)
        return;
    // Narrower still: the phase buttons two by two, the title smaller, an archive's name on
    // two lines.
    m_archiveList->setMinimumContentsLength(28);
    m_archiveList->setLines(2);
    int at = 0;
    for (QToolButton* button : {m_reportButton, m_openButton, m_runButton, m_checkFile, m_endButton}) {
        m_phaseButtons->removeWidget(button);
        m_phaseButtons->addWidget(button, at / 2, at % 2);
        ++at;
    }
    for (auto* label : findChildren<QLabel*>()) {
        const QString name = label->objectName();
        if (name == QStringLiteral("titleCertificazione") || name == QStringLiteral("titleUnica")
            || name == QStringLiteral("titleYear")) {
            QFont smaller = label->font();
            smaller.setPointSizeF(font().pointSizeF() * 1.4);
            label->setFont(smaller);
        }
    }
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
        QStringLiteral("telematico - Tutti i diritti riservati - ") + QString::fromLatin1(records::kProgramRelease),
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
        entries = {{QStringLiteral("inditta"), QStringLiteral("Selezione Ditta"), {}, {}},
                   {QStringLiteral("fDitta"), QStringLiteral("Gestione ditte"), {}, {}},
                   {QStringLiteral("Parteb1"), QStringLiteral("Dati Dipendenti - Parte anagrafica"), {}, {}}};
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
        for (int i = 0; i < kBoxCount; ++i) {
            const records::TextBox& state = m_form.box(static_cast<Box>(i));
            QLineEdit* edit = m_boxes[static_cast<std::size_t>(i)];
            const QString text = toQt(state.text);
            if (edit->text() != text) {
                edit->setText(text);
                // Archive texts are padded with blanks: show their start, not their tail.
                edit->setCursorPosition(0);
            }
            edit->setEnabled(state.enabled);
            if (edit->isReadOnly() != state.readOnly) {
                edit->setReadOnly(state.readOnly);
                // The style sheet's read-only look follows only when the box is polished again.
                edit->style()->unpolish(edit);
                edit->style()->polish(edit);
            }
        }

        QStringList items;
        for (const std::string& item : m_form.archiveItems)
            items.append(toQt(item));
        QStringList shown;
        for (int i = 0; i < m_archiveList->count(); ++i)
            shown.append(m_archiveList->itemText(i));
        if (shown != items) {
            m_archiveList->clear();
            m_archiveList->addItems(items);
        }
        // The list shows the archive chosen or opened; an archive opened by a number
        // that is not among the items shows its text all the same.
        const QString archiveShown = toQt(m_form.archiveShown);
        const int listed = archiveShown.isEmpty() ? -1 : static_cast<int>(items.indexOf(archiveShown));
        // Before any choice the list says what it holds, so an empty box is never mistaken
        // for an empty data folder.
        QString hint = archiveShown;
        if (hint.isEmpty()) {
            hint = items.isEmpty() ? QStringLiteral("Nessuna certificazione nella cartella dei dati")
                                   : QStringLiteral("Scegliere la certificazione dall'elenco (%1)").arg(items.size());
        }
        m_archiveList->setPlaceholderText(listed < 0 ? hint : QString());
        m_archiveList->setCurrentIndex(listed);

        QStringList kinds;
        for (const std::string& item : m_form.supplyKinds)
            kinds.append(toQt(item));
        QStringList kindsShown;
        for (int i = 0; i < m_supplyKinds->count(); ++i)
            kindsShown.append(m_supplyKinds->itemText(i));
        if (kindsShown != kinds) {
            m_supplyKinds->clear();
            m_supplyKinds->addItems(kinds);
            m_supplyKinds->setCurrentIndex(-1);
        }

        m_inputFrame->setVisible(m_form.inputFrameVisible);
        // " FASE 3" works on the archive chosen in the list or opened with " FASE 2": before
        // that it has nothing to work on, and says what comes first.
        m_runButton->setEnabled(m_form.archiveChosen());
        m_runButton->setToolTip(m_form.archiveChosen()
                                    ? QStringLiteral("Crea file telematico della CU")
                                    : QStringLiteral("Crea file telematico della CU: prima scegliere la CU "
                                                     "dall'elenco o indicarne il codice e premere FASE 2"));
        m_progressText->setText(toQt(m_form.progressText));
        m_statusText->setText(toQt(m_form.statusText));
    } while (m_refreshAgain);
    m_refreshing = false;
}

void createl::showStatus(std::string_view text)
{
    m_form.showStatus(text);
    refresh();
}

void createl::showHelp(int index)
{
    if (index >= 0 && index < kBoxCount)
        m_form.showHelp(static_cast<Box>(index));
    else
        m_form.showHelpAgain();
    refresh();
}

void createl::chooseArchive(int item)
{
    m_form.chooseArchive(item);
    refresh();
}

void createl::openArchive()
{
    m_form.openArchive();
    refresh();
}

void createl::chooseSupplyKind(int item)
{
    m_form.chooseSupplyKind(item);
    refresh();
}

void createl::askForReport()
{
    m_form.askForReport();
    refresh();
}

void createl::run()
{
    // While the run goes on the window takes no input: a second "FASE 3" must not start.
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    const telematic::RunResult result = m_form.run();
    // Clicks and keys that arrived during the run meet the disabled window and are dropped.
    QCoreApplication::processEvents();
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    m_progress->finish();
    if (result.outcome == telematic::RunOutcome::Completed || result.outcome == telematic::RunOutcome::Reported) {
        // The form has been loaded afresh for the next run; the kind of supply shown, which
        // only the window keeps, starts again empty too.
        m_supplyKinds->setCurrentIndex(-1);
        if (!result.telematicHostPath.empty())
            m_lastTelematicFile = result.telematicHostPath;
    }
    refresh();
    // The file just written can be checked before it is sent, after a run with its report as
    // after one without.
    const bool written
        = result.outcome == telematic::RunOutcome::Completed || result.outcome == telematic::RunOutcome::Reported;
    if (written && m_fileCheck && !result.telematicHostPath.empty()
        && m_form.prompter().askYesNo(records::Question::CheckFileNow, "Verifica file", "Verificare il file adesso ?",
                                      records::Icon::Question))
        m_fileCheck(result.telematicHostPath);
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
        folder = m_form.paths().hostPath(m_form.installation().dataDirectory).string();
    }
    const std::string choice = m_chooser->chooseFile("Verifica file", name, "", folder);
    if (choice.empty())
        return;
    m_fileCheck(choice.front() == '/' ? choice : m_form.paths().hostPath(choice).string());
}

void createl::finish()
{
    m_form.finish();
    if (m_form.closeRequested)
        close();
}

bool createl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_archiveList && event->type() == QEvent::KeyPress) {
        // Enter on the list opens the archive shown there, as choosing it and "FASE 2" do.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_archiveList->currentIndex() >= 0) {
            chooseArchive(m_archiveList->currentIndex());
            openArchive();
            return true;
        }
        return false;
    }
    // A box that takes the focus shows its help; leaving a box changes nothing.
    if (event->type() == QEvent::FocusIn) {
        const auto found = std::find(m_boxes.begin(), m_boxes.end(), watched);
        if (found != m_boxes.end())
            showHelp(static_cast<int>(found - m_boxes.begin()));
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace cu
