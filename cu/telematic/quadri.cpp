#include "cu/telematic/quadri.h"

#include "payroll/cu_archive.h"
#include "cu/telematic/quadri_dc_df_dn.h"
#include "cu/telematic/quadro_db.h"
#include "cu/telematic/quadro_rows.h"

namespace cu::telematic {

void writeEmployeeQuadri(TelematicWriter& writer, payroll::CuEntries& fields, ReportTotals& totals)
{
    // Quadro DB, its spouse and dependants, then quadri DC, DF and DN, in the order of the form.
    for (const auto rows : {quadroDbRows(), dependantRows(), quadroDcRows(), quadroDfRows(), quadroDnRows()})
        writeRows(writer, fields, totals, rows);
}

} // namespace cu::telematic
