#include <filesystem>

#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "app/first_start.h"
#include "testing/temp_root.h"

using records::testing::TempRoot;

namespace fs = std::filesystem;

class FirstStartTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void aFolderWithoutTheDriveFileNeedsAFirstStart();
    void theDemoGoesOnlyIntoAFolderWithoutFiles();
    void demoIsWrittenIntoTheProposedFolder();
    void anExistingFolderMustHoldAnInstallation();
    void quittingCreatesNothing();
    void theChosenFolderIsRemembered();
};

void FirstStartTest::aFolderWithoutTheDriveFileNeedsAFirstStart()
{
    TempRoot base; // holds the drive folder "c"
    QVERIFY(app::needsFirstStart(base.path() / "nuova"));
    fs::create_directories(base.path() / "vuota");
    QVERIFY(app::needsFirstStart(base.path() / "vuota"));
    // A folder with the drive folder, and even with data, is no installation without its
    // drive file: the program would read an empty drive and find nothing.
    QVERIFY(app::needsFirstStart(base.path()));
    base.write("c/nolv/paghe/una00103.016", "dati");
    QVERIFY(app::needsFirstStart(base.path()));
    base.write("c/DISCO.UTE", "C:        ");
    QVERIFY(!app::needsFirstStart(base.path()));
}

void FirstStartTest::theDemoGoesOnlyIntoAFolderWithoutFiles()
{
    TempRoot base;
    // An installation that has lost its drive file: the demo would replace its archives.
    base.write("c/nolv/nv770/2016/dati/FCU1.017", "archivio vero");
    app::FirstStartDialog dialog(base.path());
    dialog.show();
    auto* demo = dialog.findChild<QPushButton*>(QStringLiteral("createDemo"));
    QVERIFY(!demo->isEnabled());
    auto* problem = dialog.findChild<QLabel*>(QStringLiteral("problem"));
    QVERIFY(problem->isVisible());
    QVERIFY(problem->text().contains(QStringLiteral("contiene già dei file")));
    QTest::mouseClick(demo, Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(base.read("c/nolv/nv770/2016/dati/FCU1.017"), std::string("archivio vero"));
    QVERIFY(!fs::exists(base.path() / "c/disco.ute"));

    // Empty folders left by an earlier start hold nothing of anybody's.
    TempRoot empty; // its drive folder "c" only
    fs::create_directories(empty.path() / "c/nolv");
    app::FirstStartDialog fresh(empty.path());
    fresh.show();
    QTest::mouseClick(fresh.findChild<QPushButton*>(QStringLiteral("createDemo")), Qt::LeftButton);
    QCOMPARE(fresh.result(), int(QDialog::Accepted));
    QVERIFY(fs::is_regular_file(empty.path() / "c/disco.ute"));
}

void FirstStartTest::demoIsWrittenIntoTheProposedFolder()
{
    TempRoot base;
    const fs::path proposed = base.path() / "telematico";
    app::FirstStartDialog dialog(proposed);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("createDemo")), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.root(), proposed);
    QVERIFY(fs::is_regular_file(proposed / "c/disco.ute"));
    QVERIFY(fs::is_regular_file(proposed / "c/nolv/nv770/2016/dati/FCU1.017"));
}

void FirstStartTest::anExistingFolderMustHoldAnInstallation()
{
    TempRoot base;
    base.write("ufficio/c/DISCO.UTE", "C:        ");
    fs::create_directories(base.path() / "altro");
    app::FirstStartDialog dialog(base.path() / "telematico");
    QString answer = QString::fromStdString((base.path() / "altro").string());
    dialog.chooseFolder = [&] { return answer; };
    dialog.show();
    auto* choose = dialog.findChild<QPushButton*>(QStringLiteral("chooseFolder"));

    QTest::mouseClick(choose, Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    auto* problem = dialog.findChild<QLabel*>(QStringLiteral("problem"));
    QVERIFY(problem->isVisible());
    QVERIFY(problem->text().contains(QStringLiteral("manca il file c\\disco.ute")));

    answer.clear(); // the folder dialog cancelled
    QTest::mouseClick(choose, Qt::LeftButton);
    QVERIFY(dialog.isVisible());

    answer = QString::fromStdString((base.path() / "ufficio").string());
    QTest::mouseClick(choose, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.root(), base.path() / "ufficio");
    QVERIFY(!fs::exists(base.path() / "telematico"));
}

void FirstStartTest::quittingCreatesNothing()
{
    TempRoot base;
    app::FirstStartDialog dialog(base.path() / "telematico");
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("quit")), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!fs::exists(base.path() / "telematico"));
}

void FirstStartTest::theChosenFolderIsRemembered()
{
    TempRoot base;
    app::rememberRoot(base.path());
    QCOMPARE(app::rememberedRoot(), std::optional<fs::path>(base.path()));
    app::rememberRoot(base.path() / "sparita");
    QVERIFY(!app::rememberedRoot()); // a folder that no longer exists is not offered
}

QTEST_MAIN(FirstStartTest)
#include "first_start_test.moc"
