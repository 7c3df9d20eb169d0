#include "app/first_start.h"

#include <exception>
#include <system_error>

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "demo/demo_installation.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "ui/window_frame.h"

namespace app {

namespace fs = std::filesystem;

namespace {

const QString kRootKey = QStringLiteral("installazione/cartella");

QString shown(const fs::path& path)
{
    return QDir::toNativeSeparators(QString::fromStdString(path.string()));
}

} // namespace

bool needsFirstStart(const fs::path& root)
{
    // A folder that cannot be looked into is left to the program's first open, which says
    // what is wrong with it.
    return records::driveFileState(records::PathMapper(root)) == records::DriveFileState::Missing;
}

bool holdsFiles(const fs::path& folder)
{
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(folder, ec)))
        return false;
    if (!fs::is_directory(folder, ec))
        return true;
    fs::recursive_directory_iterator it(folder, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_directory(ec) || it->is_symlink(ec))
            return true;
    }
    return static_cast<bool>(ec); // a folder that cannot be read through may hold anything
}

FirstStartDialog::FirstStartDialog(fs::path proposedRoot, QWidget* parent)
    : QDialog(parent)
    , m_proposedRoot(std::move(proposedRoot))
    , m_problem(new QLabel(this))
{
    setObjectName(QStringLiteral("FirstStartDialog"));
    setWindowTitle(QStringLiteral("telematico - primo avvio"));

    auto* intro = new QLabel(
        QStringLiteral("Nella cartella %1 non c'è ancora un'installazione della procedura paghe.\n\n"
                       "Indicare la cartella dell'installazione esistente (quella che contiene le "
                       "cartelle delle unità, per esempio \"c\" con il file disco.ute), oppure creare "
                       "qui un'installazione dimostrativa per provare il programma.")
            .arg(shown(m_proposedRoot)),
        this);
    intro->setWordWrap(true);
    intro->setTextFormat(Qt::PlainText);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setStyleSheet(QStringLiteral("color: #a01010;"));
    m_problem->hide();

    auto* existing = new QPushButton(QStringLiteral("Scegli la cartella dell'installazione..."), this);
    existing->setObjectName(QStringLiteral("chooseFolder"));
    auto* demoButton = new QPushButton(QStringLiteral("Crea l'installazione dimostrativa"), this);
    demoButton->setObjectName(QStringLiteral("createDemo"));
    auto* quit = new QPushButton(QStringLiteral("Esci"), this);
    quit->setObjectName(QStringLiteral("quit"));
    // The demo never goes among files of somebody's: a folder with files but no drive file
    // may be an installation that has lost it, whose archives the demo's would replace.
    if (holdsFiles(m_proposedRoot)) {
        demoButton->setEnabled(false);
        m_problem->setText(QStringLiteral("La cartella %1 contiene già dei file: l'installazione dimostrativa si "
                                          "crea solo in una cartella vuota o nuova.")
                               .arg(shown(m_proposedRoot)));
        m_problem->show();
    }
    connect(existing, &QPushButton::clicked, this, &FirstStartDialog::useExistingFolder);
    connect(demoButton, &QPushButton::clicked, this, &FirstStartDialog::createDemo);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_problem);
    layout->addSpacing(8);
    layout->addWidget(existing);
    layout->addWidget(demoButton);
    layout->addWidget(quit);
    // The instructions wrap at a width of about seventy characters and the dialog stays as high
    // as they need, red error line included.
    ui::keepWholeHeight(this, QSize(fontMetrics().averageCharWidth() * 70, 0));

    chooseFolder = [this] {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Cartella dell'installazione"),
                                                 QDir::homePath());
    };
}

void FirstStartDialog::useExistingFolder()
{
    const QString chosen = chooseFolder ? chooseFolder() : QString();
    if (chosen.isEmpty())
        return;
    const fs::path folder = fs::absolute(fs::path(chosen.toStdString()));
    // An installation has its drive file: the program reads it first of all.
    if (records::driveFileState(records::PathMapper(folder)) != records::DriveFileState::Present) {
        m_problem->setText(QStringLiteral("La cartella %1 non contiene un'installazione: manca il file c\\disco.ute.")
                               .arg(shown(folder)));
        m_problem->show();
        return;
    }
    m_root = folder;
    accept();
}

void FirstStartDialog::createDemo()
{
    try {
        fs::create_directories(m_proposedRoot);
        demo::writeDemoInstallation(m_proposedRoot);
    } catch (const std::exception& error) {
        m_problem->setText(QStringLiteral("Impossibile creare l'installazione dimostrativa in %1: %2")
                               .arg(shown(m_proposedRoot), QString::fromLocal8Bit(error.what())));
        m_problem->show();
        return;
    }
    m_root = m_proposedRoot;
    accept();
}

std::optional<fs::path> rememberedRoot()
{
    const QString text = QSettings().value(kRootKey).toString();
    std::error_code ec;
    if (text.isEmpty() || !fs::is_directory(fs::path(text.toStdString()), ec))
        return std::nullopt;
    return fs::path(text.toStdString());
}

void rememberRoot(const fs::path& root)
{
    QSettings().setValue(kRootKey, QString::fromStdString(root.string()));
}

} // namespace app
