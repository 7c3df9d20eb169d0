#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;

namespace ui {

// A read-only window that shows a Windows-1252 text file (the run report, a numbered XML
// listing) in a fixed-width font, as the payroll offices read their reports: columns line
// up. It prints, saves as PDF and finds text (Ctrl+F); Esc closes the find bar, then the
// viewer. It deletes itself when closed.
class TextFileViewer : public QWidget {
    Q_OBJECT
public:
    TextFileViewer(const QString& title, const QString& text, QWidget* parent = nullptr);

    QPlainTextEdit* textView() const { return m_text; }

    // Shows the find bar with the focus in its box.
    void showFindBar();
    // Selects the next occurrence of `text` after the cursor (before it when `backwards`),
    // going round the end of the text once; false, with the cursor left where it was, when
    // the text holds none.
    bool find(const QString& text, bool backwards = false);
    // Writes the text as a PDF file; false when the file cannot be written.
    bool saveAsPdf(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void print();
    void askAndSaveAsPdf();
    void printTo(QPrinter& printer);
    void findFromBar(bool backwards);

    QPlainTextEdit* m_text;
    QWidget* m_findBar;
    QLineEdit* m_findText;
    QLabel* m_findResult;
};

} // namespace ui
