#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include <QDialog>
#include <QString>

class QLabel;

namespace app {

// True when `root` holds no installation yet: it does not exist, or it has no drive file
// "c\disco.ute" (the program's first read).
bool needsFirstStart(const std::filesystem::path& root);
// True when `folder` holds a file (or a link, or anything but folders) at any depth; a
// folder that does not exist holds none.
bool holdsFiles(const std::filesystem::path& folder);

// The first start of the program on a folder that holds no installation: the operator
// chooses an existing installation folder, has the demo installation written into the
// proposed folder to try the program (only when that folder holds no files), or quits.
// Nothing is created until one is chosen.
class FirstStartDialog : public QDialog {
    Q_OBJECT
public:
    explicit FirstStartDialog(std::filesystem::path proposedRoot, QWidget* parent = nullptr);

    // The installation root chosen; set when the dialog is accepted.
    const std::filesystem::path& root() const { return m_root; }

    // Asks for an existing folder (a folder dialog by default; tests set their own).
    std::function<QString()> chooseFolder;

private:
    void useExistingFolder();
    void createDemo();

    std::filesystem::path m_proposedRoot;
    std::filesystem::path m_root;
    QLabel* m_problem;
};

// The installation root remembered from the last first start, when there is one and it
// still exists.
std::optional<std::filesystem::path> rememberedRoot();
void rememberRoot(const std::filesystem::path& root);

} // namespace app
