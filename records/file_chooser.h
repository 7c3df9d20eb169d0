#pragma once

#include <string>
#include <string_view>

namespace records {

// The operator's choice of a file to open: the file-open dialog of a window, a test's
// answer. Like the Prompter, it is lent to the forms that need it.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Lets the operator choose one file, in a dialog titled `title` that starts in the host
    // folder `hostFolder`, proposes the name `fileName` and lists the files whose names end
    // in `filter` (such as ".xml"); for a `fileName` that is a pattern ("*.xml"), or none, the
    // newest file of the folder that the filter lists is proposed. Returns the chosen file as a host path
    // (UTF-8, starting with "/") or in the installation's notation (Windows-1252, such as
    // "C:\wnolv\file.xml"); empty when the operator cancelled.
    virtual std::string chooseFile(std::string_view title, std::string_view fileName, std::string_view filter,
                                   const std::string& hostFolder) = 0;
};

// For programs without an operator who could choose: every choice is cancelled.
class NoFileChooser : public FileChooser {
public:
    std::string chooseFile(std::string_view, std::string_view, std::string_view, const std::string&) override
    {
        return {};
    }
};

} // namespace records
