#include "ui/file_chooser.h"

#include <algorithm>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QSplitter>
#include <QTreeView>

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

// The name a dialog proposes: the one asked for, unless that is only a pattern ("*.xml") or
// none; then the newest file of the folder that the filter lists, the one a clerk most
// likely wants (the declaration just stored), or none.
QString proposedName(const QString& asked, const QString& folder, const QString& filter)
{
    if (!asked.isEmpty() && !asked.contains(QLatin1Char('*')))
        return asked;
    if (filter.isEmpty())
        return {};
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*") + filter}, QDir::Files, QDir::Time);
    return files.isEmpty() ? QString() : files.constFirst().fileName();
}

// Columns whole: the name takes the room the others leave, each other column as wide as its
// caption and its widest entry; the dialog as wide as that needs, within the screen. On a
// narrow screen (a laptop at 150 %) the places beside the files and then the kind of file
// (the filter says it) give their room to the name.
void showColumnsWhole(QFileDialog& dialog)
{
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!details)
        return;
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    const QFontMetrics metrics = details->fontMetrics();
    // A date such as "31/12/2016 23:59" and the caption, whichever is wider.
    const auto columnWidth = [&](int column) {
        return std::max(header->sectionSizeHint(column), metrics.horizontalAdvance(QStringLiteral("31/12/2016 23:59  ")));
    };
    int columns = 0;
    for (int column = 1; column < header->count(); ++column) {
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        columns += columnWidth(column);
    }
    const int name = metrics.horizontalAdvance(QString(24, QLatin1Char('n')));
    auto* sidebar = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    int places = sidebar ? sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth() + 8 : 0;
    const QSize room = screenRoom(&dialog);
    const int margins = 80;
    if (places + name + columns + margins > room.width())
        places = 0;
    constexpr int kKindColumn = 2;
    if (name + columns + margins > room.width() && header->count() > kKindColumn) {
        columns -= columnWidth(kKindColumn);
        header->hideSection(kKindColumn);
    }
    if (sidebar && places == 0)
        sidebar->hide();
    const int width = std::min(room.width(), places + name + columns + margins);
    const int height = std::min(room.height(), metrics.lineSpacing() * 28);
    dialog.resize(std::min(room.width(), std::max(width, dialog.minimumSizeHint().width())),
                  std::min(room.height(), std::max(height, dialog.minimumSizeHint().height())));
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({places, std::max(1, dialog.width() - places)});
}

} // namespace

std::string QtFileChooser::chooseFile(std::string_view title, std::string_view fileName, std::string_view filter,
                                      const std::string& hostFolder)
{
    const QString folder = existingFolder(QString::fromStdString(hostFolder));
    QFileDialog dialog(m_parent, toQt(title), folder);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The same dialog on every desktop, with its Italian texts.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    const QString pattern = QStringLiteral("*") + toQt(filter);
    dialog.setNameFilter(QStringLiteral("%1 (%2)").arg(toQt(filter), pattern));
    if (const QString name = proposedName(toQt(fileName), folder, toQt(filter)); !name.isEmpty())
        dialog.selectFile(name);
    showColumnsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace ui
