#include "check/ui/findings_window.h"

#include <algorithm>

#include <QAbstractTableModel>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextBlock>
#include <QVBoxLayout>

#include "check/excerpt.h"
#include "check/file_check.h"
#include "check/report.h"
#include "check/rules.h"
#include "records/cp1252.h"
#include "ui/text_viewer.h"
#include "ui/ui_common.h"
#include "ui/window_frame.h"

namespace check {

using ::ui::toQt;

// The columns of the list.
enum Column { LevelColumn, PlaceColumn, PositionColumn, ElementColumn, PersonColumn, MessageColumn, ColumnCount };

// The findings as the list shows them: level, record or line, position, field or element,
// the person whose certification or declaration it is, message.
class FindingsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // `notListed`, when not empty, is a last row after the findings: how many more there
    // are, of which rules.
    void reset(const std::vector<Finding>* findings, FileKind kind, QString notListed = {})
    {
        beginResetModel();
        m_findings = findings;
        m_kind = kind;
        m_notListed = std::move(notListed);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() || !m_findings ? 0 : static_cast<int>(m_findings->size()) + (m_notListed.isEmpty() ? 0 : 1);
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        const bool cu = m_kind != FileKind::Uniemens;
        switch (section) {
        case LevelColumn: return QStringLiteral("Livello");
        case PlaceColumn: return cu ? QStringLiteral("Record") : QStringLiteral("Riga");
        case PositionColumn: return cu ? QStringLiteral("Posizione") : QStringLiteral("Colonna");
        case ElementColumn: return cu ? QStringLiteral("Campo") : QStringLiteral("Elemento");
        case PersonColumn: return QStringLiteral("Persona");
        default: return QStringLiteral("Messaggio");
        }
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || !m_findings)
            return {};
        if (index.row() >= static_cast<int>(m_findings->size())) {
            if (index.column() == MessageColumn && (role == Qt::DisplayRole || role == Qt::ToolTipRole))
                return m_notListed;
            return role == Qt::TextAlignmentRole ? QVariant::fromValue(Qt::AlignLeft | Qt::AlignTop) : QVariant();
        }
        const Finding& finding = (*m_findings)[static_cast<std::size_t>(index.row())];
        const bool blocking = finding.level == Level::Blocking;
        if (role == Qt::DisplayRole) {
            switch (index.column()) {
            case LevelColumn: return toQt(levelText(finding.level));
            case PlaceColumn: return QString::number(m_kind == FileKind::Cu ? finding.record : finding.line);
            case PositionColumn: return finding.position > 0 ? QString::number(finding.position) : QString();
            case ElementColumn: {
                // An element path may break after each "/" when the column is narrow.
                QString path = toQt(finding.element);
                path.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
                return path;
            }
            case PersonColumn: return person(finding);
            default:
                if (m_personInMessage && (!finding.personCode.empty() || !finding.personName.empty()))
                    return person(finding) + QLatin1Char('\n') + toQt(finding.message);
                return toQt(finding.message);
            }
        }
        if (role == Qt::ToolTipRole && index.column() >= ElementColumn)
            return index.column() == ElementColumn  ? toQt(finding.element)
                   : index.column() == PersonColumn ? person(finding)
                                                    : toQt(finding.message);
        if (role == Qt::DecorationRole && index.column() == LevelColumn)
            return QApplication::style()->standardIcon(blocking ? QStyle::SP_MessageBoxCritical
                                                                : QStyle::SP_MessageBoxWarning);
        if (role == Qt::ForegroundRole && index.column() == LevelColumn)
            return blocking ? QColor(0xb0, 0x1c, 0x1c) : QColor(0x8a, 0x5a, 0x00);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(index.column() == PlaceColumn || index.column() == PositionColumn
                                           ? Qt::AlignRight | Qt::AlignTop
                                           : Qt::AlignLeft | Qt::AlignTop);
        return {};
    }

    // Where the list is too narrow for a column of persons, each message names its person
    // on a line of its own above it.
    void setPersonInMessage(bool inMessage)
    {
        if (inMessage == m_personInMessage)
            return;
        m_personInMessage = inMessage;
        if (rowCount() > 0)
            emit dataChanged(index(0, MessageColumn), index(rowCount() - 1, MessageColumn));
    }

    // The person as the list shows it: fiscal code, then the name.
    static QString person(const Finding& finding)
    {
        QString text = toQt(finding.personCode);
        if (!finding.personName.empty())
            text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + toQt(finding.personName);
        return text;
    }

private:
    const std::vector<Finding>* m_findings = nullptr;
    FileKind m_kind = FileKind::Unknown;
    QString m_notListed;
    bool m_personInMessage = false;
};

// The list of findings, whose columns share its width so that the message always keeps at
// least two fifths of it: the place columns as wide as their headings and numbers, the
// element as wide as it is worth or down to a code, the person in a column of its own when
// there is room for a fiscal code on a line, else on the first line of its message.
class FindingsList : public QTableView {
public:
    FindingsList(FindingsModel* model, QWidget* parent)
        : QTableView(parent)
        , m_model(model)
    {
        setModel(model);
    }

    // Whether any finding names a person.
    void setPersons(bool persons)
    {
        m_persons = persons;
        fitColumns();
    }

    void fitColumns()
    {
        const QFontMetrics metrics(font());
        const auto headed = [&](int column, int content) {
            const QString title = model()->headerData(column, Qt::Horizontal).toString();
            return std::max(content, metrics.horizontalAdvance(title)) + metrics.averageCharWidth() + 8;
        };
        const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
        int used = 0;
        const auto set = [&](int column, int width) {
            setColumnWidth(column, width);
            if (!isColumnHidden(column))
                used += width;
        };
        set(LevelColumn, headed(LevelColumn, metrics.horizontalAdvance(QStringLiteral("BLOCCANTE")) + icon + 4));
        set(PlaceColumn, headed(PlaceColumn, metrics.horizontalAdvance(QStringLiteral("99999"))));
        set(PositionColumn, headed(PositionColumn, metrics.horizontalAdvance(QStringLiteral("9999"))));
        const int available = viewport()->width();
        const int left = available - used - available * 2 / 5;
        const int element = metrics.horizontalAdvance(QStringLiteral("DatiRetributivi/Settimana/")) + 8;
        const int leastElement = metrics.horizontalAdvance(QStringLiteral("DB001001")) + 16;
        const int person = metrics.horizontalAdvance(QStringLiteral("FRRLCU78E14L219A")) + 16;
        const bool personColumn = m_persons && left >= leastElement + person;
        setColumnHidden(PersonColumn, !personColumn);
        m_model->setPersonInMessage(m_persons && !personColumn);
        const int forElement = left - (personColumn ? person : 0);
        set(ElementColumn, std::clamp(forElement, leastElement, element));
        set(PersonColumn, std::clamp(left - element, person, person + element / 2));
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QTableView::resizeEvent(event);
        fitColumns();
    }

private:
    FindingsModel* m_model;
    bool m_persons = false;
};

namespace {

// Above this many findings the rows keep one line each: measuring every wrapped message
// of a very long list would keep the window busy.
constexpr int kWrappedRows = 2000;
// The findings the list holds; of a file damaged all through, the others are counted by
// the rule they break, so that the window's memory does not grow with the file.
constexpr std::size_t kListed = 10000;

// The level's icon at the top of its row, beside the level's word, however high the row.
class LevelDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->decorationAlignment = Qt::AlignLeft | Qt::AlignTop;
    }
};

QString counted(long long count, const char* one, const char* many)
{
    return QString::number(count) + QLatin1Char(' ') + QString::fromLatin1(count == 1 ? one : many);
}

} // namespace

FindingsWindow::FindingsWindow(std::string hostPath, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_hostPath(std::move(hostPath))
    , m_shownPath(QString::fromStdString(m_hostPath))
{
    setObjectName(QStringLiteral("FindingsWindow"));
    setWindowTitle(QStringLiteral("Verifica file - ") + QFileInfo(m_shownPath).fileName());
    build();
    start();
}

FindingsWindow::~FindingsWindow()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

void FindingsWindow::build()
{
    auto* header = new QFrame(this);
    header->setObjectName(QStringLiteral("verdictFrame"));
    header->setFrameShape(QFrame::StyledPanel);
    m_kindLabel = ::ui::plainLabel(QStringLiteral("Verifica in corso..."), header, QStringLiteral("kindLabel"));
    QFont bold = m_kindLabel->font();
    bold.setBold(true);
    m_kindLabel->setFont(bold);
    auto* path = ::ui::plainLabel(QDir::toNativeSeparators(m_shownPath), header, QStringLiteral("fileLabel"));
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    path->setWordWrap(true);
    m_verdict = ::ui::plainLabel(QString(), header, QStringLiteral("verdictLabel"));
    QFont large = m_verdict->font();
    large.setPointSizeF(large.pointSizeF() * 1.35);
    large.setBold(true);
    m_verdict->setFont(large);
    m_counts = ::ui::plainLabel(QString(), header, QStringLiteral("countsLabel"));
    // Long texts wrap rather than widen the window past a small screen.
    for (QLabel* label : {m_kindLabel, m_verdict, m_counts})
        label->setWordWrap(true);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(12, 10, 12, 10);
    headerLayout->setSpacing(4);
    headerLayout->addWidget(m_kindLabel);
    headerLayout->addWidget(path);
    headerLayout->addSpacing(4);
    headerLayout->addWidget(m_verdict);
    headerLayout->addWidget(m_counts);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("checkProgress"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);

    m_model = new FindingsModel(this);
    m_list = new FindingsList(m_model, this);
    m_list->setObjectName(QStringLiteral("findingsList"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setAlternatingRowColors(true);
    // Messages, element paths and names wrap onto further lines of their row: nothing is cut.
    m_list->setWordWrap(true);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->horizontalHeader()->setHighlightSections(false);
    const QFontMetrics metrics(font());
    m_list->verticalHeader()->setDefaultSectionSize(metrics.lineSpacing() + 8);
    m_list->setItemDelegateForColumn(LevelColumn, new LevelDelegate(m_list));
    // Enter on a finding, or a double click, shows its place.
    connect(m_list, &QTableView::activated, this, [this](const QModelIndex& index) { showPlace(index.row()); });

    // Esc closes the window, as it closes the program's other windows.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    m_hint = ::ui::plainLabel(QStringLiteral("Doppio clic o Invio su un rilievo per vederlo nel file."), this,
                              QStringLiteral("hintLabel"));
    m_hint->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    m_showPlace = buttons->addButton(QStringLiteral("Mostra nel file"), QDialogButtonBox::ActionRole);
    m_showPlace->setObjectName(QStringLiteral("showPlaceButton"));
    m_saveText = buttons->addButton(QStringLiteral("Salva come testo..."), QDialogButtonBox::ActionRole);
    m_saveText->setObjectName(QStringLiteral("saveTextButton"));
    m_print = buttons->addButton(QStringLiteral("Stampa o PDF..."), QDialogButtonBox::ActionRole);
    m_print->setObjectName(QStringLiteral("printButton"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setText(QStringLiteral("Chiudi"));
    close->setObjectName(QStringLiteral("closeButton"));
    for (QPushButton* button : {m_showPlace, m_saveText, m_print})
        button->setEnabled(false);
    connect(m_showPlace, &QPushButton::clicked, this, [this] { showPlace(selectedRow()); });
    connect(m_saveText, &QPushButton::clicked, this, &FindingsWindow::saveFromDialog);
    connect(m_print, &QPushButton::clicked, this, &FindingsWindow::showReport);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 10);
    layout->setSpacing(8);
    layout->addWidget(header);
    layout->addWidget(m_progress);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_hint);
    layout->addWidget(buttons);
    // As high as the wrapped texts need at the window's width.
    ::ui::keepWholeHeight(this, sizeHint());

}

QSize FindingsWindow::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(QLatin1Char('0')) * 150, metrics.lineSpacing() * 36};
}

void FindingsWindow::start()
{
    // The worker keeps its findings to itself and hands them over at the end; the window
    // hears of its progress a few hundred times at most.
    m_worker = std::thread([this] {
        FindingList findings(kListed);
        CheckOptions options;
        options.today = today();
        CheckProgress progress;
        progress.cancel = &m_cancel;
        int shown = -1;
        progress.advanced = [this, &shown](std::uint64_t done, std::uint64_t total) {
            const int permille = total == 0 ? 0 : static_cast<int>(done * 1000 / total);
            if (permille == shown)
                return;
            shown = permille;
            QMetaObject::invokeMethod(this, [this, permille] { m_progress->setValue(permille); }, Qt::QueuedConnection);
        };
        const FileCheckResult result = checkFile(m_hostPath, findings, options, progress);
        if (m_cancel)
            return;
        auto list = std::make_shared<FindingList>(std::move(findings));
        QMetaObject::invokeMethod(
            this, [this, list, kind = result.kind, error = result.error] { done(std::move(*list), kind, error); },
            Qt::QueuedConnection);
    });
}

void FindingsWindow::done(FindingList findings, FileKind kind, std::string error)
{
    m_findings = findings.findings();
    m_notKept = findings.notKept();
    m_kind = kind;
    const long long blocking = m_blocking = findings.blocking();
    const long long warnings = m_warnings = findings.warnings();
    m_finished = true;
    m_progress->hide();
    m_model->reset(&m_findings, kind, toQt(notKeptText()));
    // XML findings have a column only where the XML reader gave one; the persons have a
    // column when any finding names one and the list is wide enough.
    const bool columns = kind != FileKind::Uniemens
        || std::any_of(m_findings.begin(), m_findings.end(), [](const Finding& f) { return f.position > 0; });
    m_list->setColumnHidden(PositionColumn, !columns);
    m_list->setPersons(std::any_of(m_findings.begin(), m_findings.end(), [](const Finding& f) {
        return !f.personCode.empty() || !f.personName.empty();
    }));
    if (m_findings.size() <= kWrappedRows)
        m_list->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    else if (!m_notKept.empty())
        m_list->resizeRowToContents(static_cast<int>(m_findings.size())); // what is not listed, wrapped
    m_kindLabel->setText(kind == FileKind::Cu         ? QStringLiteral("File telematico della Certificazione Unica 2017")
                         : kind == FileKind::Uniemens ? QStringLiteral("Denuncia mensile UniEmens")
                                                      : QStringLiteral("File non verificato"));
    if (!error.empty()) {
        m_verdict->setText(QStringLiteral("Il file non si puo' verificare: ") + toQt(error));
        m_verdict->setStyleSheet(QStringLiteral("color: #8a5a00;"));
        m_counts->clear();
        m_hint->clear();
        emit checked();
        return;
    }
    const QString plural = blocking == 1 ? QStringLiteral("errore bloccante") : QStringLiteral("errori bloccanti");
    if (blocking == 0) {
        m_verdict->setText(QStringLiteral("Pronto per l'invio: nessun errore bloccante"));
        m_verdict->setStyleSheet(QStringLiteral("color: #1c7a3a;"));
    } else {
        m_verdict->setText(QStringLiteral("%1 %2: il file sarebbe scartato").arg(blocking).arg(plural));
        m_verdict->setStyleSheet(QStringLiteral("color: #b01c1c;"));
    }
    m_counts->setText(counted(blocking, "bloccante", "bloccanti") + QStringLiteral(", ")
                      + counted(warnings, "avviso", "avvisi")
                      + QStringLiteral(" (AVVISO: il file sarebbe accettato, ma il valore e' probabilmente un errore)")
                      + (m_notKept.empty() ? QString()
                                           : QStringLiteral("\nNell'elenco i primi %1 rilievi; gli altri, per regola, in "
                                                            "fondo all'elenco.")
                                                 .arg(m_findings.size())));
    m_hint->setText(m_findings.empty() ? QStringLiteral("Nessun rilievo.")
                                       : QStringLiteral("Doppio clic o Invio su un rilievo per vederlo nel file."));
    const bool any = !m_findings.empty();
    m_showPlace->setEnabled(any);
    m_saveText->setEnabled(true);
    m_print->setEnabled(true);
    if (any) {
        m_list->selectRow(0);
        m_list->setFocus();
    }
    emit checked();
}

int FindingsWindow::selectedRow() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

std::string FindingsWindow::notKeptText() const
{
    if (m_notKept.empty())
        return {};
    long long count = 0;
    for (const auto& [rule, n] : m_notKept)
        count += n;
    std::string text = "Nell'elenco i primi " + std::to_string(m_findings.size()) + " rilievi; gli altri "
        + std::to_string(count) + ":";
    auto byCount = m_notKept;
    std::stable_sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    constexpr std::size_t kRulesNamed = 4;
    for (std::size_t k = 0; k < byCount.size() && k < kRulesNamed; ++k)
        text += std::string(k == 0 ? " " : "; ") + std::to_string(byCount[k].second) + " ("
            + (byCount[k].first ? byCount[k].first->what : "altre regole") + ")";
    if (byCount.size() > kRulesNamed) {
        long long others = 0;
        for (std::size_t k = kRulesNamed; k < byCount.size(); ++k)
            others += byCount[k].second;
        text += "; " + std::to_string(others) + " (altre regole)";
    }
    return text + ".";
}

QString FindingsWindow::reportText() const
{
    std::string text;
    for (const Finding& finding : m_findings)
        text += findingLine(finding, m_kind) + "\n";
    if (!m_notKept.empty())
        text += notKeptText() + "\n";
    text += summaryLine(records::utf8ToCp1252(m_hostPath), m_blocking, m_warnings) + "\n";
    return toQt(text);
}

bool FindingsWindow::saveAsText(const QString& path) const
{
    std::string bytes = ::ui::fromQt(reportText());
    std::string lines;
    for (const char c : bytes) {
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(lines.data(), static_cast<qint64>(lines.size()));
    return file.commit();
}

void FindingsWindow::saveFromDialog()
{
    const QString proposed = QFileInfo(m_shownPath).dir().filePath(QFileInfo(m_shownPath).fileName()
                                                                   + QStringLiteral(".verifica.txt"));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salva come testo"), proposed,
                                                      QStringLiteral("Testo (*.txt)"));
    if (path.isEmpty())
        return;
    m_hint->setText(saveAsText(path) ? QStringLiteral("Rilievi salvati in ") + QDir::toNativeSeparators(path)
                                     : QStringLiteral("Impossibile scrivere il file ") + QDir::toNativeSeparators(path));
}

::ui::TextFileViewer* FindingsWindow::showPlace(int row)
{
    if (row < 0 || row >= static_cast<int>(m_findings.size()))
        return nullptr;
    const Excerpt excerpt = excerptOf(m_hostPath, m_kind, m_findings[static_cast<std::size_t>(row)]);
    if (!excerpt.error.empty()) {
        m_hint->setText(QStringLiteral("Il punto del rilievo non si puo' mostrare: ") + toQt(excerpt.error));
        return nullptr;
    }
    auto* viewer = new ::ui::TextFileViewer(toQt(excerpt.title), toQt(excerpt.text), this);
    QPlainTextEdit* text = viewer->textView();
    // The line of the place stands out; what the finding is about is selected in it.
    QTextEdit::ExtraSelection line;
    line.format.setBackground(QColor(0xff, 0xf1, 0xb8));
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    line.cursor = QTextCursor(text->document());
    line.cursor.setPosition(static_cast<int>(excerpt.lineStart));
    text->setExtraSelections({line});
    QTextCursor cursor(text->document());
    cursor.setPosition(static_cast<int>(excerpt.selectionStart));
    cursor.setPosition(static_cast<int>(excerpt.selectionStart + excerpt.selectionLength), QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    text->centerCursor();
    // The place's line from its start: positions and codes stand on the left.
    text->horizontalScrollBar()->setValue(0);
    viewer->show();
    return viewer;
}

::ui::TextFileViewer* FindingsWindow::showReport()
{
    auto* viewer = new ::ui::TextFileViewer(windowTitle(), reportText(), this);
    viewer->show();
    return viewer;
}

FindingsWindow* openFindingsWindow(const std::string& hostPath)
{
    auto* window = new FindingsWindow(hostPath);
    window->setAttribute(Qt::WA_DeleteOnClose);
    ::ui::resizeWithinScreen(window);
    window->show();
    return window;
}

} // namespace check
