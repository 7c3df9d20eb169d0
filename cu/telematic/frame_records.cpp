#include "cu/telematic/frame_records.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "records/cu_edition.h"
#include "records/numeric.h"
#include "records/text.h"

namespace cu::telematic {

namespace {

constexpr const char* kModuleNumber = "00000001";
constexpr const char* kSoftwareProducer = "AAABBB00A01A000A";

const std::string& field(const payroll::HeaderTable& header, int number)
{
    return header[static_cast<std::size_t>(number)];
}

// Appends `text` cut or filled with blanks to `width`.
void put(std::string& body, std::string_view text, std::size_t width)
{
    const std::string_view kept = text.substr(0, width);
    body.append(kept);
    body.append(width - kept.size(), ' ');
}

void putCount(std::string& body, long long count)
{
    char digits[24];
    std::snprintf(digits, sizeof digits, "%09lld", count);
    put(body, digits, 9);
}

} // namespace

Operation operationOf(std::string_view letter)
{
    if (letter == "A")
        return Operation::Annulment;
    if (letter == "S")
        return Operation::Replacement;
    return Operation::Ordinary;
}

char operationCharacter(Operation operation)
{
    switch (operation) {
    case Operation::Annulment: return 'A';
    case Operation::Replacement: return 'S';
    case Operation::Ordinary: break;
    }
    return ' ';
}

std::string rightAligned16(std::string_view text)
{
    return records::padLeft(text, 16);
}

void writeDField(TelematicWriter& writer, std::string_view code, std::string_view value)
{
    char text[kFieldLength];
    const std::size_t codeLength = std::min<std::size_t>(code.size(), 8);
    std::memcpy(text, code.data(), codeLength);
    const std::size_t valueLength = std::min<std::size_t>(value.size(), kFieldLength - codeLength);
    std::memcpy(text + codeLength, value.data(), valueLength);
    writer.writeDField(std::string_view(text, codeLength + valueLength));
}

void writeRightAlignedDField(TelematicWriter& writer, std::string_view code, std::string_view text)
{
    constexpr std::size_t kWidth = 16;
    if (text.size() >= kWidth) {
        writeDField(writer, code, text); // kept whole, and cut with the field
        return;
    }
    char value[kWidth];
    std::memset(value, ' ', kWidth - text.size());
    std::memcpy(value + kWidth - text.size(), text.data(), text.size());
    writeDField(writer, code, std::string_view(value, kWidth));
}

void writeLongText(TelematicWriter& writer, std::string_view code, std::string_view text, std::size_t lastCharacter)
{
    const std::string_view t = records::trim(text);
    if (t.size() <= 16) {
        writeDField(writer, code, t);
        return;
    }
    writeDField(writer, code, t.substr(0, 16));
    writeDField(writer, code, "+" + std::string(records::mid(t, 17, 15)));
    const std::string_view third = lastCharacter >= 32 ? records::trim(records::mid(t, 32, lastCharacter - 31))
                                                       : std::string_view{};
    if (!third.empty())
        writeDField(writer, code, "+" + std::string(third));
}

void writeTwoChunkText(TelematicWriter& writer, std::string_view code, std::string_view text)
{
    writeDField(writer, code, records::mid(text, 1, 16));
    const std::string_view t = records::trim(text);
    if (t.size() > 16)
        writeDField(writer, code, "+" + std::string(records::mid(t, 17, 15)));
}

void writeRecordA(TelematicWriter& writer, const payroll::HeaderTable& header)
{
    std::string body;
    body.reserve(kTelematicRecordLength);
    body.push_back('A');
    body.append(14, ' ');
    body.append(records::kCuSupplyCode);
    put(body, field(header, 19), 2);
    put(body, field(header, 20), 16);
    body.resize(kBodyLength, ' ');
    writer.startRecord(std::move(body));
    writer.flush();
}

std::string writeRecordB(TelematicWriter& writer, const payroll::HeaderTable& header, Operation operation)
{
    const bool person = field(header, 2) == "D"; // surname and first name instead of a denomination
    const std::string_view employees = records::trim(field(header, 14));
    if (employees.empty())
        throw RunStopped("Grave !! Numero dipendenti pari a zero ");

    std::string body;
    body.reserve(kTelematicRecordLength);
    body.push_back('B');
    put(body, field(header, 3), 16);
    body.append(kModuleNumber);
    body.append(48, ' ');
    body.append(kSoftwareProducer);
    body.push_back(' ');
    body.push_back(operation == Operation::Annulment ? '1' : '0');
    body.push_back(operation == Operation::Replacement ? '1' : '0');
    if (person) {
        put(body, field(header, 5), 24);
        put(body, field(header, 6), 20);
        body.append(60, ' ');
    } else {
        body.append(44, ' ');
        put(body, field(header, 5), 24);
        put(body, field(header, 6), 24);
        body.append(12, ' ');
    }
    put(body, field(header, 8), 35);        // 197-231
    body.append(65, ' ');                   // 232-296
    put(body, field(header, 7), 12);        // 297-308
    body.push_back('0');                    // 309
    if (person) {
        body.append(16, ' ');               // 310-325
        body.append("00");                  // 326-327
        body.append(24 + 20, ' ');          // 328-371
        body.append("00000000000");         // 372-382
    } else {
        put(body, field(header, 9), 16);
        put(body, field(header, 10), 2);
        put(body, field(header, 12), 24);
        put(body, field(header, 13), 20);
        const std::string& vatNumber = field(header, 11);
        put(body, records::numericValue(vatNumber) != 0 ? std::string_view(vatNumber) : "00000000000", 11);
    }
    body.append(19, ' ');                   // 383-401
    put(body, records::padLeft(employees, 8, '0'), 8);
    body.push_back(field(header, 16) == "X" ? '1' : '0');
    body.push_back('1');
    put(body, field(header, 20), 16);       // 412-427
    put(body, field(header, 21), 1);        // 428
    put(body, field(header, 22), 8);        // 429-436
    body.push_back('1');                    // 437
    body.resize(kBodyLength, ' ');

    ++writer.countB;
    writer.startRecord(body);
    writer.flush();
    return body;
}

bool stateCertificationCount(std::string& recordB, int count)
{
    const std::string text = records::padLeft(std::to_string(count), kCertificationCountLength, '0');
    const std::size_t at = kCertificationCountPosition - 1;
    if (recordB.compare(at, kCertificationCountLength, text) == 0)
        return false;
    recordB.replace(at, kCertificationCountLength, text);
    return true;
}

void writeRecordC(TelematicWriter& writer, const payroll::HeaderTable& header)
{
    std::string positional;
    positional.reserve(kTelematicRecordLength);
    positional.push_back('C');
    put(positional, field(header, 3), 16);
    positional.append(kModuleNumber);
    positional.append(64, ' ');
    writer.startRecord(std::move(positional));

    writeDField(writer, "CT001001", field(header, 3));
    if (records::isAboveZero(field(header, 34)))
        writeDField(writer, "CT001002", field(header, 34));
    if (!records::trim(field(header, 8)).empty())
        writeLongText(writer, "CT001003", field(header, 8), 35);
    if (field(header, 33) != "B") {
        if (field(header, 35) == "X")
            writeDField(writer, "CT002001", rightAligned16("1"));
        else
            writeDField(writer, "CT002002", field(header, 37));
    } else {
        writeDField(writer, "CT003001", field(header, 20));
        writeDField(writer, "CT003002", field(header, 38));
        if (records::isAboveZero(field(header, 39)))
            writeDField(writer, "CT003003", field(header, 39));
        if (!records::trim(field(header, 41)).empty())
            writeLongText(writer, "CT003004", field(header, 41), 45);
        writeDField(writer, "CT003005", rightAligned16("1"));
    }
    ++writer.countC;
    writer.flush();
}

void writeRecordZ(TelematicWriter& writer)
{
    std::string body;
    body.reserve(kTelematicRecordLength);
    body.push_back('Z');
    body.append(14, ' ');
    putCount(body, writer.countB);
    putCount(body, writer.countC);
    putCount(body, writer.countD);
    putCount(body, writer.countG);
    body.append("000000000");
    body.resize(kBodyLength, ' ');
    writer.startRecord(std::move(body));
    writer.flush();
}

} // namespace cu::telematic
