#pragma once

#include "payroll/record_fields.h"

namespace uniemens {

class XmlLines;

// The parts of a UniEmens XML file that come from the company header record (fields as the
// writers read them) and the collaborator element.

// "<DenunceMensili>" and the sender block DatiMittente: once per file, by its first company.
void writeSenderBlock(const payroll::RecordFields& header, XmlLines& out);
// "<Azienda>" with the declared month, the company's fiscal code and name.
void writeCompanyStart(const payroll::RecordFields& header, XmlLines& out);
// "<PosContributiva Composizione=...>" and Matricola: the start of an employee company.
void writePositionStart(const payroll::RecordFields& header, XmlLines& out);
// DenunciaAziendale, the company totals; only for a composition other than "FP".
void writeCompanyTotals(const payroll::RecordFields& header, XmlLines& out);
// "<ListaCollaboratori>" with CAP and ISTAT: the start of a collaborator company.
void writeCollaboratorListStart(const payroll::RecordFields& header, XmlLines& out);
// The Collaboratore element of one collaborator record (fields 1 to 19).
void writeCollaboratorBlock(const payroll::RecordFields& collaborator, const payroll::RecordFields& header, XmlLines& out);

} // namespace uniemens
