#include "check/excerpt.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "check/cu_format.h"
#include "records/cp1252.h"

namespace check {

namespace {

constexpr long long kLinesAround = 12;

// A value as the excerpt shows it: control characters as "?".
std::string printable(std::string_view bytes)
{
    std::string text(bytes);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = '?';
    }
    return text;
}

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string rightAligned(const std::string& text, std::size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

struct Builder {
    Excerpt excerpt;
    bool marked = false;

    // Adds a line; `mark` selects `from` characters on of it, `length` of them, as the place.
    void line(const std::string& text, bool mark = false, std::size_t from = 0, std::size_t length = 0)
    {
        if (mark && !marked) {
            marked = true;
            excerpt.lineStart = excerpt.text.size();
            excerpt.lineLength = text.size();
            excerpt.selectionStart = excerpt.text.size() + std::min(from, text.size());
            excerpt.selectionLength = std::min(length, text.size() - std::min(from, text.size()));
        }
        excerpt.text += text + "\n";
    }
};

Excerpt cuExcerpt(int descriptor, const std::string& name, const Finding& finding)
{
    Excerpt failed;
    if (finding.record < 1) {
        failed.error = "il rilievo non indica un record";
        return failed;
    }
    std::string record(cu::kRecordLength, '\0');
    const off_t offset = static_cast<off_t>(finding.record - 1) * cu::kRecordLength;
    const ssize_t n = ::pread(descriptor, record.data(), record.size(), offset);
    if (n <= 0) {
        failed.error = "il record " + std::to_string(finding.record) + " non e' nel file (il file finisce prima)";
        return failed;
    }
    record.resize(static_cast<std::size_t>(n));
    const char type = record[0];
    Builder b;
    b.excerpt.title = "Record " + std::to_string(finding.record) + " (" + printable(std::string(1, type)) + ") di " + name;
    const int position = finding.position;
    const auto value = [&](int from, int length) {
        if (from > static_cast<int>(record.size()))
            return std::string();
        return printable(std::string_view(record).substr(static_cast<std::size_t>(from - 1),
                                                         static_cast<std::size_t>(length)));
    };
    const auto rangeText = [](int from, int length) {
        return length == 1 ? std::to_string(from) : std::to_string(from) + "-" + std::to_string(from + length - 1);
    };
    const std::size_t valueColumn = 11 + 46 + 1;
    // The place is marked where the finding puts it: a whole field or value when the finding
    // is about it (its position is where the field starts), else the one character it names.
    const auto mark = [&](int from, int length, std::size_t column) {
        return position == from ? std::pair{column, static_cast<std::size_t>(length)}
                                : std::pair{column + static_cast<std::size_t>(position - from), std::size_t{1}};
    };
    b.line(padded("posizioni", 11) + padded("campo", 46) + " valore");
    b.line(padded("1", 11) + padded("Tipo record", 46) + " " + value(1, 1), position == 1 && finding.element.empty(),
           valueColumn, 1);
    int covered = 1;
    // Records G and H repeat the heading of their certification's record D.
    const std::string gap = type == 'G' || type == 'H' ? "Intestazione, come nel record D" : "(non descritto)";
    for (const cu::PositionalField& field : cu::recordFields(type)) {
        if (field.from > covered + 1) {
            const auto [column, length] = mark(covered + 1, field.from - covered - 1, valueColumn);
            b.line(padded(rangeText(covered + 1, field.from - covered - 1), 11) + padded(gap, 46) + " "
                       + value(covered + 1, field.from - covered - 1),
                   position > covered && position < field.from, column, length);
        }
        const bool here = position >= field.from && position < field.from + field.length && finding.element.empty();
        const auto [column, length] = mark(field.from, field.length, valueColumn);
        b.line(padded(rangeText(field.from, field.length), 11) + padded(field.name, 46) + " " + value(field.from, field.length),
               here, column, length);
        covered = field.from + field.length - 1;
    }
    // A record H has no fields of its own before its elements but the heading of its record D.
    if (type == 'H') {
        const auto [column, length] = mark(2, 45, valueColumn);
        b.line(padded(rangeText(2, 45), 11) + padded(gap, 46) + " " + value(2, 45), position >= 2 && position <= 46,
               column, length);
        covered = 46;
    }
    const bool elements = type == 'C' || type == 'D' || type == 'G' || type == 'H';
    if (elements) {
        if (covered < cu::kFieldArea - 1)
            b.line(padded(rangeText(covered + 1, cu::kFieldArea - 1 - covered), 11) + padded("(non descritto)", 46) + " "
                   + value(covered + 1, cu::kFieldArea - 1 - covered));
        b.line("");
        b.line(padded("posizione", 11) + "elemento valore");
        for (int k = 0; k < cu::kFieldsPerRecord; ++k) {
            const int at = cu::kFieldArea + k * cu::kFieldLength;
            const std::string slot = value(at, cu::kFieldLength);
            if (slot.find_first_not_of(' ') == std::string::npos && !(position >= at && position < at + cu::kFieldLength))
                continue;
            const bool here = position >= at && position < at + cu::kFieldLength;
            // The element when the finding is about it, its value when it is about the value,
            // else the one character of the code or the value that it names.
            const bool aboutValue = position >= at + cu::kCodeLength;
            const auto [column, length] = aboutValue ? mark(at + cu::kCodeLength, cu::kValueLength, 20)
                                                     : position == at ? std::pair{std::size_t{11}, std::size_t{25}}
                                                                      : mark(at, cu::kCodeLength, 11);
            const std::string text = padded(std::to_string(at), 11) + slot.substr(0, 8) + " " + slot.substr(std::min<std::size_t>(8, slot.size()));
            b.line(text, here, column, length);
        }
        b.line(padded(rangeText(cu::kFieldAreaEnd + 1, cu::kEndMarker - cu::kFieldAreaEnd - 1), 11)
                   + padded("(non utilizzato)", 46) + " " + value(cu::kFieldAreaEnd + 1, cu::kEndMarker - cu::kFieldAreaEnd - 1),
               position > cu::kFieldAreaEnd && position < cu::kEndMarker, valueColumn, 8);
    } else if (covered < cu::kEndMarker - 1) {
        b.line(padded(rangeText(covered + 1, cu::kEndMarker - 1 - covered), 11) + padded("(non utilizzato)", 46) + " "
               + value(covered + 1, cu::kEndMarker - 1 - covered));
    }
    std::string end;
    for (int p = cu::kEndMarker; p <= cu::kRecordLength && p <= static_cast<int>(record.size()); ++p) {
        char code[8];
        std::snprintf(code, sizeof code, "%s%d", end.empty() ? "" : " ", static_cast<unsigned char>(record[static_cast<std::size_t>(p - 1)]));
        end += code;
    }
    b.line(padded("1898-1900", 11) + padded("Fine record (codici 65 13 10)", 46) + " " + end,
           position >= cu::kEndMarker, valueColumn, end.size());
    return b.excerpt;
}

Excerpt xmlExcerpt(int descriptor, const std::string& name, const Finding& finding)
{
    Builder b;
    const long long first = std::max(1LL, finding.line - kLinesAround);
    const long long last = finding.line + kLinesAround;
    b.excerpt.title = "Riga " + std::to_string(finding.line) + " di " + name;
    std::vector<char> buffer(1 << 16);
    std::string current;
    long long line = 1;
    bool done = false;
    const auto emitLine = [&] {
        if (line >= first && line <= last) {
            if (!current.empty() && current.back() == '\r')
                current.pop_back();
            const std::string number = rightAligned(std::to_string(line), 7) + " | ";
            const std::string text = number + printable(records::utf8ToCp1252(current));
            // The column the XML reader gave, else the whole line.
            const std::size_t length = text.size() - number.size();
            if (finding.position > 0 && static_cast<std::size_t>(finding.position) <= length)
                b.line(text, line == finding.line, number.size() + static_cast<std::size_t>(finding.position) - 1, 1);
            else
                b.line(text, line == finding.line, number.size(), length);
        }
        current.clear();
        ++line;
        done = line > last;
    };
    ssize_t n = 0;
    while (!done && (n = ::read(descriptor, buffer.data(), buffer.size())) > 0) {
        for (ssize_t k = 0; k < n && !done; ++k) {
            if (buffer[static_cast<std::size_t>(k)] == '\n')
                emitLine();
            else if (line >= first && current.size() < 400)
                current += buffer[static_cast<std::size_t>(k)];
        }
    }
    if (!done && (!current.empty() || line == finding.line))
        emitLine();
    if (b.excerpt.text.empty()) {
        Excerpt failed;
        failed.error = "la riga " + std::to_string(finding.line) + " non e' nel file (il file finisce prima)";
        return failed;
    }
    return b.excerpt;
}

} // namespace

Excerpt excerptOf(const std::string& hostPath, FileKind kind, const Finding& finding)
{
    const int descriptor = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        Excerpt failed;
        failed.error = "il file non si puo' leggere";
        return failed;
    }
    const std::string name = records::utf8ToCp1252(std::filesystem::path(hostPath).filename().string());
    Excerpt excerpt = kind == FileKind::Cu ? cuExcerpt(descriptor, name, finding) : xmlExcerpt(descriptor, name, finding);
    ::close(descriptor);
    return excerpt;
}

} // namespace check
