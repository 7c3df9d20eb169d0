#pragma once

#include <string>

#include "cu/telematic/header_table.h"

// CU header data for the tests and the benchmark of the telematic writer; no test framework.
namespace cu::telematic::testing {

// The second header record: the certification kind in position 2, the employee count in 3-6.
inline std::string secondHeaderRecord(char kind, const std::string& employeeCount)
{
    std::string record(1200, ' ');
    record[0] = '$';
    record[1] = kind;
    record.replace(2, 4, (std::string(4, ' ') + employeeCount).substr(employeeCount.size()));
    return record;
}

// The header of a company (not a person) that sends its own CU, two employees.
inline HeaderTable sampleHeader()
{
    HeaderTable h;
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
