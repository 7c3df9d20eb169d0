#pragma once

#include <vector>

#include <QDialog>

#include "registers/parteb1_form.h"

class QTableWidget;
class QCheckBox;

namespace registers {

// The window of Command8 of the employee register: the fields of the record shown that no
// box of the register shows, read-only: each field's number, what it holds in words, the
// UniEmens element it fills and its content, amounts with a decimal comma (the positions in
// the record are a hover away). Fields left blank can be hidden. Control names: fieldTable,
// onlyFilled, Close.
class EmployeeRecordView : public QDialog {
    Q_OBJECT
public:
    EmployeeRecordView(const std::vector<Parteb1Form::OtherField>& fields, const QString& title,
                       QWidget* parent = nullptr);

private:
    void showFilledOnly(bool filledOnly);

    QTableWidget* m_table = nullptr;
    QCheckBox* m_onlyFilled = nullptr;
};

} // namespace registers
