#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "check/tests/check_test_support.h"

using check::testing::Checked;
using check::testing::checkPath;
using check::testing::joined;
using check::testing::Office;

// A file larger than the pieces the check reads at a time (1024 records): the demo's first
// certification written 3000 times, numbered 00001 to 03000, with records B and Z that
// count them. Read across its pieces it is what it is: a file ready to be sent, or one that
// loses its record boundaries at the byte where it was cut.
namespace {

constexpr std::size_t kRecord = 1900;
constexpr int kCertifications = 3000;

std::string fiveDigits(int n)
{
    char text[8];
    std::snprintf(text, sizeof text, "%05d", n);
    return text;
}

std::string largeFile()
{
    Office office;
    cu::SupplyOptions ordinary;
    ordinary.kind = 'N';
    const std::string demo = records::testing::TempRoot::readFile(office.cuRun(1, ordinary));
    const auto record = [&](int n) { return demo.substr((static_cast<std::size_t>(n) - 1) * kRecord, kRecord); };
    std::string b = record(2);
    b.replace(401, 8, "0000" + std::to_string(kCertifications)); // positions 402-409
    std::string bytes = record(1) + b + record(3);
    for (int k = 1; k <= kCertifications; ++k) {
        for (const int n : {4, 5}) { // Ferrari's record D and record G
            std::string r = record(n);
            r.replace(41, 5, fiveDigits(k)); // positions 42-46
            bytes += r;
        }
    }
    std::string z = record(12);
    z.replace(15, 36, "000000001000000001000003000000003000"); // counts of B, C, D, G
    return bytes + z;
}

} // namespace

TEST(LargeFile, ReadPieceByPieceItIsCheckedWhole)
{
    const std::string bytes = largeFile();
    ASSERT_EQ(bytes.size(), (3 + 2 * kCertifications + 1) * kRecord); // 6004 records, about 11 MB
    records::testing::TempRoot root;
    EXPECT_EQ(joined(checkPath(root.write("GRANDE", bytes)).lines), "");

    // A byte lost in the third piece (record 2500): from there the records are out of step.
    std::string cut = bytes;
    cut.erase(2499 * kRecord + 700, 1);
    EXPECT_EQ(joined(checkPath(root.write("TAGLIATO", cut)).lines),
              "BLOCCANTE record 2500 posizione 1898: Il record non termina con 'A', ritorno a capo e nuova riga "
              "(codici 65, 13, 10) nelle posizioni 1898-1900: trovati i codici 13, 10, 71\n"
              "BLOCCANTE record 2501 posizione 1: Dal record 2500 il file non e' piu' diviso in record di 1900 byte "
              "(manca o avanza qualche byte): i record seguenti non sono stati controllati\n");

    // A certification number twice, in two different pieces: the second one is told, and
    // the certification after it is out of the sequence the program writes.
    std::string twice = bytes;
    twice.replace(2999 * kRecord + 41, 5, "00100"); // record 3000 is the record D of certification 1499
    twice.replace(3000 * kRecord + 41, 5, "00100");
    const Checked checked = checkPath(root.write("DOPPIO", twice));
    EXPECT_EQ(joined(checked.lines),
              "BLOCCANTE record 3000 posizione 42 persona FRRLCU78E14L219A FERRARI LUCA: Progressivo certificazione "
              "'00100' ripetuto: ogni certificazione del file ha un progressivo suo\n"
              "AVVISO record 3002 posizione 42 persona FRRLCU78E14L219A FERRARI LUCA: Progressivo certificazione "
              "'01500' fuori sequenza: atteso '00101' (diverso da come lo scrive questo programma, che numera le "
              "certificazioni da 00001 senza salti)\n");
}

// A check given up (its window closed) stops within the piece it is reading and says so,
// a CU file and an XML file alike.
TEST(LargeFile, ACheckGivenUpStopsWithinAPiece)
{
    Office office;
    std::string xml = records::testing::TempRoot::readFile(office.uniemensSeries(3, {"001"}));
    std::string comments;
    while (comments.size() < (3u << 20))
        comments += "<!-- nota -->\n";
    xml.insert(xml.find('>', xml.find("<DenunceMensili")) + 1, comments);
    const std::string cu = largeFile();
    for (const auto& [name, bytes] : {std::pair{"GRANDE", cu}, std::pair{"grande.xml", xml}}) {
        SCOPED_TRACE(name);
        const std::string path = office.root.write(name, bytes).string();
        const std::atomic<bool> givenUp{true};
        check::CheckProgress progress;
        progress.cancel = &givenUp;
        check::FindingCounter counter;
        const check::FileCheckResult result = check::checkFile(path, counter, {}, progress);
        EXPECT_EQ(result.error, "verifica interrotta");
        EXPECT_LT(result.bytes, bytes.size() / 2);
        // Not given up, the same file is checked to its end.
        progress.cancel = nullptr;
        EXPECT_EQ(check::checkFile(path, counter, {}, progress).bytes, bytes.size());
    }
}
