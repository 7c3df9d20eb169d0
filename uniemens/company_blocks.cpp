#include "uniemens/company_blocks.h"

#include <string>

#include "payroll/collaborator_record.h"
#include "payroll/company_record.h"
#include "uniemens/element_table.h"
#include "uniemens/xml_lines.h"

namespace uniemens {

namespace {

namespace company = payroll::company;
constexpr Form C = Form::Container;
constexpr Form Fixed = Form::Fixed;
constexpr Form T = Form::Text;

// ---------------------------------------------------------------- company totals

bool isCancellation(const BlockData& d)
{
    return d.header.number(payroll::company::kCancellation) == 1;
}
bool notCancellation(const BlockData& d)
{
    return !isCancellation(d);
}
// The interprofessional fund: "A" adhesion, "R" revocation, "E" both.
bool fundDeclared(const BlockData& d)
{
    const std::string_view code = d.fields[payroll::company::kInterprofessionalFund];
    return code == "A" || code == "R" || code == "E";
}
bool fundAdhesion(const BlockData& d)
{
    const std::string_view code = d.fields[payroll::company::kInterprofessionalFund];
    return code == "A" || code == "E";
}
bool fundRevocation(const BlockData& d)
{
    const std::string_view code = d.fields[payroll::company::kInterprofessionalFund];
    return code == "R" || code == "E";
}

// The content of DenunciaAziendale; the fields are those of the company header.
constexpr Node kCompanyTotalsTable[] = {
    {1, "TrattQuotaLav", 25, always(), T},
    {1, "NumLavoratori", 26, always(), T},
    {1, "ForzaAziendale", 26, always(), T},
    {1, "FondoInterprof", 0, rule(&fundDeclared), C},
    {2, "Adesione", 0, rule(&fundAdhesion), C},
    {3, "CodFondo", 42, always(), T},
    {3, "NumDip", 43, always(), T},
    {2, "Revoca", 41, rule(&fundRevocation), T},
    {1, "ContribAssistContrattuale", 0, positive(38), C},
    {2, "CodAssociazione", 39, always(), T},
    {2, "ImportoContributo", 38, always(), T},
    {1, "AziendaTFR", 0, sumPositive({27, 28, 69}), C},
    {2, "VersTFR", 0, positive(27), C},
    {3, "CausaleVersTFR", 29, always(), T},
    {3, "ImportoVersTFR", 27, always(), T},
    {2, "RecuperoTFR", 0, positive(28), C},
    {3, "CausaleRecTFR", 30, always(), T},
    {3, "ImportoRecTFR", 28, always(), T},
    {2, "RecuperoTFR", 0, positive(69), C},
    {3, "CausaleRecTFR", 70, always(), T},
    {3, "ImportoRecTFR", 69, always(), T},
    {1, "AltrePartiteADebito", 0, positive(31), C},
    {2, "CausaleADebito", 32, always(), T},
    {2, "NumDip", 33, positive(33), T},
    {2, "Retribuzione", 35, positive(35), T},
    {2, "SommaADebito", 31, always(), T},
    {1, "AltrePartiteADebito", 0, positive(62), C},
    {2, "CausaleADebito", 63, always(), T},
    {2, "NumDip", 64, positive(64), T},
    {2, "Retribuzione", 66, positive(66), T},
    {2, "SommaADebito", 62, always(), T},
    {1, "AltrePartiteACredito", 0, positive(36), C},
    {2, "CausaleACredito", 37, always(), T},
    {2, "SommaACredito", 36, always(), T},
    {1, "AltrePartiteACredito", 0, positive(67), C},
    {2, "CausaleACredito", 68, always(), T},
    {2, "SommaACredito", 67, always(), T},
    // A cancellation declares no individual declarations and no totals.
    {1, "DatiQuadraturaRetrContr", 0, always(), C},
    {2, "<NumDenIndiv>0</NumDenIndiv>", 0, rule(&isCancellation), Fixed},
    {2, "<TotaleADebito>0</TotaleADebito>", 0, rule(&isCancellation), Fixed},
    {2, "<TotaleACredito>0</TotaleACredito>", 0, rule(&isCancellation), Fixed},
    {2, "NumDenIndiv", 26, rule(&notCancellation), T},
    {2, "TotaleADebito", 22, rule(&notCancellation), T},
    {2, "TotaleACredito", 23, rule(&notCancellation), T},
};

// ---------------------------------------------------------------- collaborators

// The activity code belongs to the relations 6, 8 and 10 to 12.
bool declaresActivity(const BlockData& d)
{
    const double relation = d.number(payroll::collaborator::kRelation);
    return relation == 6 || relation == 8 || (relation >= 10 && relation <= 12);
}

// A period bound from its day, month and year fields: YYYY-MM-DD.
std::string periodDate(const BlockData& d, int dayField)
{
    std::string text(d.fields[dayField + 2]);
    text += '-';
    text += d.fields[dayField + 1];
    text += '-';
    text += d.fields[dayField];
    return text;
}

constexpr Node kCollaboratorTable[] = {
    {1, "CFCollaboratore", 1, always(), T},
    {1, "Cognome", 2, always(), T},
    {1, "Nome", 3, always(), T},
    {1, "CodiceComune", 4, always(), T},
    {1, "TipoRapporto", 5, always(), T},
    {1, "CodiceAttivita", 6, rule(&declaresActivity), T},
    {1, "Imponibile", 7, always(), T},
    {1, "Aliquota", 8, always(), T},
    {1, "AltraAss", 9, positive(9), T},
    {1, "Dal", payroll::collaborator::kStartDay, always(), Form::Computed, &periodDate},
    {1, "Al", payroll::collaborator::kEndDay, always(), Form::Computed, &periodDate},
    {1, "Agevolazione", 0, positive(18), C},
    {2, "CodCalamita", 16, always(), T},
    {2, "CodCertificazione", 17, always(), T},
    {2, "ImpAgevolazione", 18, always(), T},
    {2, "TipoAgevolazione", 19, always(), T},
};

bool cancellation(const payroll::RecordFields& header)
{
    return header.number(payroll::company::kCancellation) == 1;
}

} // namespace

void writeSenderBlock(const payroll::RecordFields& header, XmlLines& out)
{
    out.fixed("<DenunceMensili>");
    out.openWithAttribute("DatiMittente", "Tipo", header[payroll::company::kSenderType]);
    out.element("CFPersonaMittente", header[company::kSenderPersonFiscalCode]);
    out.element("RagSocMittente", header[company::kSenderName]);
    out.element("CFMittente", header[company::kSenderFiscalCode]);
    out.fixed("<CFSoftwarehouse>07777777771</CFSoftwarehouse>");
    out.element("SedeINPS", header[company::kInpsOffice]);
    out.fixed("</DatiMittente>");
}

void writeCompanyStart(const payroll::RecordFields& header, XmlLines& out)
{
    out.fixed("<Azienda>");
    std::string month(header[payroll::company::kYear]);
    month += '-';
    month += header[payroll::company::kMonth];
    out.element("AnnoMeseDenuncia", month);
    out.element("CFAzienda", header[company::kFiscalCode]);
    out.element("RagSocAzienda", header[payroll::company::kName]);
}

void writePositionStart(const payroll::RecordFields& header, XmlLines& out)
{
    out.openWithAttribute("PosContributiva", "Composizione", header[payroll::company::kComposition]);
    out.element("Matricola", header[company::kInpsNumber]);
}

void writeCompanyTotals(const payroll::RecordFields& header, XmlLines& out)
{
    if (header[payroll::company::kComposition] == "FP")
        return;
    out.open("DenunciaAziendale");
    static const ElementTable table(kCompanyTotalsTable);
    table.write(BlockData{header, header, {}, {}}, out);
    out.close("DenunciaAziendale");
}

void writeCollaboratorListStart(const payroll::RecordFields& header, XmlLines& out)
{
    out.fixed("<ListaCollaboratori>");
    out.element("CAP", header[company::kPostCode]);
    out.element("ISTAT", header[company::kIstatCode]);
}

void writeCollaboratorBlock(const payroll::RecordFields& collaborator, const payroll::RecordFields& header, XmlLines& out)
{
    if (cancellation(header))
        out.fixed("<Collaboratore Elimina=\"S\">");
    else
        out.open("Collaboratore");
    static const ElementTable table(kCollaboratorTable);
    table.write(BlockData{collaborator, header, {}, {}}, out);
    out.close("Collaboratore");
}

} // namespace uniemens
