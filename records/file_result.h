#pragma once

#include <string>
#include <vector>

namespace records {

class Prompter;

// What an operation on a file of the installation came to: error 0 and no message after a
// success; otherwise the classic error number ("Errore tipo  53 ...", see file_errors.h) and
// the message exactly as the operator is shown it, file name in installation notation.
// The file layer never shows it: the caller does, at the moment the operator is to learn it,
// so that messages keep the order of the work.
struct FileResult {
    int error = 0;
    std::string message;

    bool ok() const { return error == 0; }
    bool failed() const { return error != 0; }
};

// Shows the message of a failed result as the record files always showed their failures: a
// box with an OK button only, no icon, the program's default title. Nothing after a success.
void showFailure(Prompter& prompter, const FileResult& result);
// Shows each failed result in turn, in the order given.
void showFailures(Prompter& prompter, const std::vector<FileResult>& results);

} // namespace records
