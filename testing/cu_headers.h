#pragma once

#include <string>

#include "payroll/cu_header.h"

// CU header data for the tests and the benchmark of the CU side; no test framework.
namespace cu::telematic::testing {

// The second header record: the certification kind in position 2, the employee count in 3-6.
inline std::string secondHeaderRecord(char kind, const std::string& employeeCount)
{
    return payroll::packSecondHeaderRecord(kind, employeeCount);
}

// The header of a company (not a person) that sends its own CU, two employees.
inline payroll::HeaderTable sampleHeader()
{
    payroll::HeaderTable h;
    h[2] = " ";
    h[3] = "01234567890";
    h[5] = "ROSSI COSTRUZIONI SRL";
    h[6] = "SEDE DI MILANO";
    h[7] = "0212345678";
    h[8] = "PAGHE@ROSSICOSTRUZIONI.EXAMPLE.IT";
    h[9] = "BNCLRA75B41F205Z";
    h[10] = "01";
    h[11] = "09876543210";
    h[12] = "BIANCHI";
    h[13] = "LAURA";
    h[14] = "2";
    h[16] = " ";
    h[19] = "10";
    h[20] = "VRDGPP60C03F205K";
    h[21] = "1";
    h[22] = "15022017";
    h[26] = "28022017";
    h[27] = "412000";
    h[28] = "MILANO";
    h[29] = "MI";
    h[30] = "20121";
    h[31] = "VIA DANTE 1";
    h[32] = "001";
    return h;
}

} // namespace cu::telematic::testing

namespace cu::testing {

// A CU header file as the createl window reads it: record 1 with the kind of supply stored
// with the archive, the withholding agent's name, the intermediary's fiscal code, the
// commitment and the intermediary's contacts; record 2 blank.
inline std::string headerFile(char kind, const std::string& name1, const std::string& name2)
{
    payroll::HeaderTable header;
    header[1] = std::string(1, kind);
    header[5] = name1;
    header[6] = name2;
    header[20] = "TRMNTN70A01F205X";
    header[21] = "1";
    header[22] = "15022017";
    header[39] = "3351234567";
    header[41] = "paghe@studiorossi.it";
    return payroll::packHeaderRecord(header) + std::string(payroll::kHeaderRecordLength, ' ');
}

} // namespace cu::testing
