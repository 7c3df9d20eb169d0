#include "check/report.h"

#include <cstdio>

#include "records/cp1252.h"

namespace check {

namespace {

// A JSON string of UTF-8 text.
void appendJsonString(std::string& out, std::string_view utf8)
{
    out += '"';
    for (const char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace

std::string findingLine(const Finding& finding, FileKind kind)
{
    std::string line(levelText(finding.level));
    if (kind == FileKind::Cu) {
        line += " record " + std::to_string(finding.record) + " posizione " + std::to_string(finding.position);
        if (!finding.element.empty())
            line += " elemento " + finding.element;
    } else {
        line += " riga " + std::to_string(finding.line) + " elemento " + finding.element;
    }
    if (!finding.personCode.empty() || !finding.personName.empty()) {
        line += " persona";
        for (const std::string* part : {&finding.personCode, &finding.personName}) {
            if (!part->empty())
                line += " " + *part;
        }
    }
    return line + ": " + finding.message;
}

std::string summaryLine(std::string_view file, long long blocking, long long warnings)
{
    return "Verificato " + std::string(file) + ": " + std::to_string(blocking) + " bloccanti, "
        + std::to_string(warnings) + " avvisi";
}

std::string verdict(long long blocking)
{
    if (blocking == 0)
        return "pronto per l'invio";
    return blocking == 1 ? "un errore bloccante: il file sarebbe scartato"
                         : std::to_string(blocking) + " errori bloccanti: il file sarebbe scartato";
}

std::string jsonStart(std::string_view file, FileKind kind)
{
    std::string out = "{\"file\": ";
    appendJsonString(out, file);
    out += ", \"kind\": ";
    out += kind == FileKind::Cu ? "\"cu\"" : "\"uniemens\"";
    out += ", \"findings\": [";
    return out;
}

std::string jsonFinding(const Finding& finding, FileKind kind, bool first)
{
    std::string out = first ? "\n  " : ",\n  ";
    out += "{\"level\": ";
    appendJsonString(out, levelText(finding.level));
    if (kind == FileKind::Cu)
        out += ", \"record\": " + std::to_string(finding.record);
    else
        out += ", \"line\": " + std::to_string(finding.line);
    out += ", \"position\": " + (finding.position > 0 ? std::to_string(finding.position) : std::string("null"));
    out += ", \"element\": ";
    if (finding.element.empty())
        out += "null";
    else
        appendJsonString(out, records::cp1252ToUtf8(finding.element));
    out += ", \"person\": ";
    if (finding.personCode.empty() && finding.personName.empty()) {
        out += "null";
    } else {
        out += "{";
        const char* separator = "";
        for (const auto& [key, value] : {std::pair{"fiscal_code", &finding.personCode}, std::pair{"name", &finding.personName}}) {
            out += separator + std::string("\"") + key + "\": ";
            separator = ", ";
            if (value->empty())
                out += "null";
            else
                appendJsonString(out, records::cp1252ToUtf8(*value));
        }
        out += '}';
    }
    out += ", \"message\": ";
    appendJsonString(out, records::cp1252ToUtf8(finding.message));
    out += '}';
    return out;
}

std::string jsonEnd(bool any, long long blocking, long long warnings)
{
    return std::string(any ? "\n]" : "]") + ", \"blocking\": " + std::to_string(blocking)
        + ", \"warnings\": " + std::to_string(warnings) + "}\n";
}

} // namespace check
