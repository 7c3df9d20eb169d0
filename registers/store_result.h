#pragma once

#include <string>
#include <vector>

#include "records/file_result.h"

namespace records {
class Prompter;
} // namespace records

namespace registers {

// What an operation of a register store came to. The stores show nothing: a caller with an
// operator shows the message (showResult()) at the moment the operator is to learn it, one
// without (the command line's check) prints it.
struct StoreResult {
    enum class Outcome {
        Done,
        // The file is not there, and is never made up: "Archivio inesistente " + its name.
        FileMissing,
        // The record was not read whole when it was shown, so its boxes must not replace what
        // is stored: "Il record della ditta (del dipendente) non e' stato letto per intero:
        // nessuna modifica salvata ".
        NotReadWhole,
        // The file could not be opened, read or written: the record files' error number and
        // message ("Errore di lettura tipo  62 nel file binario ... al record  3").
        FileFailed,
    };

    Outcome outcome = Outcome::Done;
    int error = 0; // the file's error number when FileFailed
    std::string message;

    bool ok() const { return outcome == Outcome::Done; }
    bool failed() const { return outcome != Outcome::Done; }

    // The failure of a record file, or Done when it holds none (error 0).
    static StoreResult ofFile(const records::FileResult& failure);
};

// Shows a result that is not Done as the register windows have always shown it: the file's
// failure in a box with no title and no icon, as the record files showed it; a missing file
// and a record not read whole with the title "Accesso" and the stop icon.
void showResult(records::Prompter& prompter, const StoreResult& result);
// Shows each result in turn.
void showResults(records::Prompter& prompter, const std::vector<StoreResult>& results);

} // namespace registers
