#include "ui/text_viewer.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/ui_common.h"

namespace ui {

TextFileViewer::TextFileViewer(const QString& title, const QString& text, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_text(new QPlainTextEdit(this))
    , m_findBar(new QWidget(this))
    , m_findText(new QLineEdit(m_findBar))
    , m_findResult(new QLabel(m_findBar))
{
    setObjectName(QStringLiteral("TextFileViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);

    m_text->setObjectName(QStringLiteral("TextFileViewerText"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(fixedWidthFont());
    // The suite's text files end their lines with CR LF.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setPlainText(lines);

    // Find bar, hidden until Ctrl+F: Enter finds the next occurrence, Shift+Enter the one before.
    m_findBar->setObjectName(QStringLiteral("findBar"));
    m_findText->setObjectName(QStringLiteral("findText"));
    m_findText->setPlaceholderText(QStringLiteral("Testo da cercare"));
    m_findText->setClearButtonEnabled(true);
    m_findResult->setObjectName(QStringLiteral("findResult"));
    auto* previous = new QPushButton(QStringLiteral("Precedente"), m_findBar);
    auto* next = new QPushButton(QStringLiteral("Successivo"), m_findBar);
    auto* hide = new QToolButton(m_findBar);
    hide->setText(QStringLiteral("Chiudi"));
    hide->setToolTip(QStringLiteral("Chiude la ricerca (Esc)"));
    auto* findLayout = new QHBoxLayout(m_findBar);
    findLayout->setContentsMargins(0, 0, 0, 0);
    findLayout->addWidget(new QLabel(QStringLiteral("Trova:"), m_findBar));
    findLayout->addWidget(m_findText, 1);
    findLayout->addWidget(previous);
    findLayout->addWidget(next);
    findLayout->addWidget(m_findResult);
    findLayout->addWidget(hide);
    m_findBar->hide();
    connect(m_findText, &QLineEdit::returnPressed, this, [this] { findFromBar(false); });
    connect(next, &QPushButton::clicked, this, [this] { findFromBar(false); });
    connect(previous, &QPushButton::clicked, this, [this] { findFromBar(true); });
    connect(hide, &QToolButton::clicked, m_findBar, &QWidget::hide);
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, &TextFileViewer::showFindBar);
    connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this, [this] { findFromBar(false); });
    connect(new QShortcut(QKeySequence::FindPrevious, this), &QShortcut::activated, this,
            [this] { findFromBar(true); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* printButton = buttons->addButton(QStringLiteral("Stampa..."), QDialogButtonBox::ActionRole);
    printButton->setObjectName(QStringLiteral("printButton"));
    auto* pdfButton = buttons->addButton(QStringLiteral("Salva come PDF..."), QDialogButtonBox::ActionRole);
    pdfButton->setObjectName(QStringLiteral("pdfButton"));
    auto* findButton = buttons->addButton(QStringLiteral("Trova..."), QDialogButtonBox::ActionRole);
    findButton->setObjectName(QStringLiteral("findButton"));
    connect(printButton, &QPushButton::clicked, this, &TextFileViewer::print);
    connect(pdfButton, &QPushButton::clicked, this, &TextFileViewer::askAndSaveAsPdf);
    connect(findButton, &QPushButton::clicked, this, &TextFileViewer::showFindBar);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    connect(new QShortcut(QKeySequence::Print, this), &QShortcut::activated, this, &TextFileViewer::print);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_findBar);
    layout->addWidget(buttons);

    // A hundred columns and 36 lines of the report, as far as the screen allows.
    const QFontMetrics metrics(m_text->font());
    resize(QSize(metrics.horizontalAdvance(QLatin1Char('0')) * 100, metrics.lineSpacing() * 36)
               .boundedTo(screenRoom(this))
               .expandedTo(minimumSizeHint()));
}

void TextFileViewer::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the find bar when it is open, and the viewer otherwise.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_findBar->isVisible()) {
            m_findBar->hide();
            m_text->setFocus();
        } else {
            close();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void TextFileViewer::showFindBar()
{
    m_findBar->show();
    m_findText->setFocus(Qt::ShortcutFocusReason);
    m_findText->selectAll();
}

bool TextFileViewer::find(const QString& text, bool backwards)
{
    if (text.isEmpty())
        return false;
    const QTextDocument::FindFlags flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (m_text->find(text, flags))
        return true;
    // Once round the end of the text.
    const QTextCursor kept = m_text->textCursor();
    QTextCursor restart = kept;
    restart.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
    m_text->setTextCursor(restart);
    if (m_text->find(text, flags))
        return true;
    m_text->setTextCursor(kept);
    return false;
}

void TextFileViewer::findFromBar(bool backwards)
{
    if (m_findBar->isHidden()) {
        showFindBar();
        return;
    }
    const bool found = find(m_findText->text(), backwards);
    m_findResult->setText(found || m_findText->text().isEmpty() ? QString() : QStringLiteral("Testo non trovato"));
}

void TextFileViewer::printTo(QPrinter& printer)
{
    // The report's columns need the fixed-width font on paper too.
    QTextDocument document;
    document.setDefaultFont(m_text->font());
    document.setPlainText(m_text->toPlainText());
    document.print(&printer);
}

void TextFileViewer::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    if (dialog.exec() == QDialog::Accepted)
        printTo(printer);
}

bool TextFileViewer::saveAsPdf(const QString& path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(windowTitle());
    printer.setPageOrientation(QPageLayout::Portrait);
    printTo(printer);
    return QFileInfo(path).isFile() && QFileInfo(path).size() > 0;
}

void TextFileViewer::askAndSaveAsPdf()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salva come PDF"),
                                                folder + QLatin1Char('/') + windowTitle() + QStringLiteral(".pdf"),
                                                QStringLiteral("Documenti PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (!saveAsPdf(path))
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Impossibile scrivere il file ") + path);
}

} // namespace ui
