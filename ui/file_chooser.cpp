#include "ui/file_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "ui/ui_common.h"

namespace ui {

namespace {

// The folder itself when it exists, else the nearest one above it that does.
QString existingFolder(const QString& folder)
{
    QFileInfo info(folder);
    while (!info.isDir()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            return QDir::homePath();
        info = QFileInfo(parent);
    }
    return info.absoluteFilePath();
}

} // namespace

std::string QtFileChooser::chooseFile(std::string_view title, std::string_view fileName, std::string_view filter,
                                      const std::string& hostFolder)
{
    QFileDialog dialog(m_parent, toQt(title), existingFolder(QString::fromStdString(hostFolder)));
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The same dialog on every desktop, with its Italian texts.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QString pattern = QStringLiteral("*") + toQt(filter);
    dialog.setNameFilter(QStringLiteral("%1 (%2)").arg(toQt(filter), pattern));
    if (!fileName.empty())
        dialog.selectFile(toQt(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace ui
