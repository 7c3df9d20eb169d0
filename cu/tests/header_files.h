#pragma once

#include <string>

#include "cu/telematic/header_table.h"

namespace cu::testing {

// A CU header file as the createl window reads it: record 1 with the kind of supply stored
// with the archive, the withholding agent's name, the intermediary's fiscal code, the
// commitment and the intermediary's contacts; record 2 blank.
inline std::string headerFile(char kind, const std::string& name1, const std::string& name2)
{
    telematic::HeaderTable header;
    header[1] = std::string(1, kind);
    header[5] = name1;
    header[6] = name2;
    header[20] = "TRMNTN70A01F205X";
    header[21] = "1";
    header[22] = "15022017";
    header[39] = "3351234567";
    header[41] = "paghe@studiorossi.it";
    return telematic::packHeaderRecord(header) + std::string(telematic::kHeaderRecordLength, ' ');
}

} // namespace cu::testing
