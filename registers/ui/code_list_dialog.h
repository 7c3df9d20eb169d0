#pragma once

#include <QDialog>

#include "registers/fditta_form.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace registers {

// The small list window of the company register: shows one code list, lets the operator
// narrow it by typing part of a code or a description, and gives back the entry chosen
// (double click, Enter or "Scegli"). Headings of a list ("---Soggetti non residenti----")
// cannot be chosen. Control names: codeList, filterBox, Choose, Cancel, emptyNote.
class CodeListDialog : public QDialog, public CodeListWindow {
    Q_OBJECT
public:
    explicit CodeListDialog(QWidget* parent = nullptr);

    // Shows the list modally; the chosen entry, nothing when the operator closed the window.
    std::optional<std::string> choose(CodeList list, const std::vector<std::string>& entries) override;

    // The list, shown without waiting (for choose() and the tests).
    void showList(CodeList list, const std::vector<std::string>& entries);
    // The entry chosen in the list now, nothing when none is.
    std::optional<std::string> chosen() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void filter(const QString& text);
    void updateChoose();

    QLineEdit* m_filter = nullptr;
    QListWidget* m_list = nullptr;
    QLabel* m_empty = nullptr;
    QPushButton* m_choose = nullptr;
    std::vector<std::string> m_entries;
};

} // namespace registers
