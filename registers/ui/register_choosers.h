#pragma once

#include <vector>

#include <QDialog>

#include "registers/company_files.h"
#include "registers/company_store.h"
#include "registers/employee_files.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace registers {

// Asks which company's master record the company register opens: the companies that the
// company scan found, by number and name, or the number (1 to 999) of a new one typed into
// companyCode. When the scan found none the window says so (emptyNote). Control names:
// companyList, companyCode, Open, Cancel, emptyNote.
class CompanyChooser : public QDialog {
    Q_OBJECT
public:
    // `folder` is where the company files were looked for (installation notation).
    CompanyChooser(const std::vector<CompanyChoice>& companies, const std::string& folder, QWidget* parent = nullptr);

    // The company chosen or typed; 0 while there is none.
    int company() const;

private:
    void codeEdited(const QString& text);

    std::vector<CompanyChoice> m_companies;
    QListWidget* m_list = nullptr;
    QLineEdit* m_code = nullptr;
    QPushButton* m_open = nullptr;
};

// Asks whose employee records the employee register opens: the employee data files of the
// working year, one per company and month. Control names: fileList, Open, Cancel.
class EmployeeFileChooser : public QDialog {
    Q_OBJECT
public:
    EmployeeFileChooser(const std::vector<EmployeeFileChoice>& files, QWidget* parent = nullptr);

    // Index of the file chosen, -1 while there is none.
    int chosen() const;

private:
    QListWidget* m_list = nullptr;
    QPushButton* m_open = nullptr;
};

} // namespace registers
