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
        // Another clerk is saving into the file this very moment: "Il file " + its name +
        // " e' in uso da ... "; nothing was written.
        InUse,
        // The record on the disk is no longer the one that was read: another clerk saved it
        // (or deleted it) meanwhile. Nothing was written; `storedRecord` is the record as it is
        // on the disk now, for the operator to choose between it and the boxes. No message.
        ChangedOnDisk,
    };

    Outcome outcome = Outcome::Done;
    int error = 0; // the file's error number when FileFailed
    std::string message;
    std::string storedRecord; // ChangedOnDisk: the record's bytes as the disk holds them now

    bool ok() const { return outcome == Outcome::Done; }
    bool failed() const { return outcome != Outcome::Done; }

    // The failure of a record file, or Done when it holds none (error 0).
    static StoreResult ofFile(const records::FileResult& failure);
};

// Whether a save writes over a record that another clerk saved since it was read.
enum class SaveMode {
    // Only while the disk holds the record as it was read (or last saved) here.
    IfUnchanged,
    // Whatever the disk holds now: the operator has seen the other record and chose this one.
    Overwrite,
};

// Shows a result that is not Done as the register windows have always shown it: the file's
// failure in a box with no title and no icon, as the record files showed it; a missing file,
// a record not read whole and a file in use with the title "Accesso" and the stop icon. A
// record changed on the disk shows nothing: it is a question for the form to ask.
void showResult(records::Prompter& prompter, const StoreResult& result);
// Shows each result in turn.
void showResults(records::Prompter& prompter, const std::vector<StoreResult>& results);

} // namespace registers
