#pragma once

#include <string>
#include <string_view>

#include "records/file_chooser.h"

class QWidget;

namespace ui {

// The file-open dialog of the windows: modal over `parent`, starting in the folder asked
// for (or, when that folder does not exist yet, in the nearest folder above it that does),
// listing the files whose names end in the filter with their size, kind and date in columns
// shown whole, and proposing the name asked for or, in place of a pattern, the newest file
// listed. The choice comes back as a host path.
class QtFileChooser : public records::FileChooser {
public:
    explicit QtFileChooser(QWidget* parent = nullptr)
        : m_parent(parent)
    {
    }
    std::string chooseFile(std::string_view title, std::string_view fileName, std::string_view filter,
                           const std::string& hostFolder) override;

private:
    QWidget* m_parent;
};

} // namespace ui
