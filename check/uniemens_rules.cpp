#include "check/uniemens_rules.h"

namespace check::uniemens {

namespace {

using enum Ground;

constexpr const char* kOtherFiles = "secondo i file di altri programmi, non secondo una regola nota dell'INPS";

// In the order of RuleId.
constexpr Rule kRules[] = {
    {"uniemens.xml", Framing, "XML ben formato nella codifica che dichiara"},
    {"uniemens.xml-warning", Plausibility, "avvertimenti del lettore XML"},
    {"uniemens.doctype", Unknown,
     "dichiarazione del tipo di documento (DOCTYPE) e delle sue entita': nominata, ne' letta ne' espansa; il resto del "
     "file si controlla senza"},
    {"uniemens.limit", Framing,
     "tag fino a 64 KB; testi, valori, commenti e dichiarazioni fino a 1 MB; elementi annidati fino a 100 livelli: "
     "nessuna denuncia va oltre, e oltre il resto del file non si controlla"},
    {"uniemens.root", Framing, "l'elemento principale e' DenunceMensili"},
    {"uniemens.nesting", Framing,
     "testo solo negli elementi di valore, elementi solo nei contenitori, ogni elemento non piu' volte di quante il "
     "suo contenitore ne ammette"},
    {"uniemens.alternatives", ThisProgram, "elementi che si escludono (NumGG o NumOre, GiorniContribuiti o "
                                           "OreContribuite, ...)",
     kAsThisProgramWrites},
    {"uniemens.order", ThisProgram, "ordine degli elementi nel loro contenitore", kAsThisProgramWrites, "U7"},
    {"uniemens.element-unknown", Unknown,
     "elemento che il tracciato noto al programma non prevede in quel contenitore: nominato, non controllato",
     nullptr, "U6"},
    {"uniemens.attribute-unknown", Unknown, "attributo che il tracciato noto al programma non prevede"},
    {"uniemens.required", Framing,
     "elementi e attributi obbligatori presenti e con un valore (dati di chi invia, azienda, matricola, "
     "lavoratore o collaboratore, contenuto di ogni blocco)"},
    {"uniemens.usual", ThisProgram, "elementi che questo programma scrive sempre, presenti e con un valore",
     kAsThisProgramWrites, "U6"},
    // The writers of this program write such an element empty too where the payroll data hold
    // nothing for it: an empty element says that a datum is missing, not that the file differs
    // from how the program writes it.
    {"uniemens.empty-optional", Plausibility, "un elemento facoltativo senza valore: di norma non si scrive"},
    {"uniemens.value-form", Framing,
     "forma del valore secondo il suo tipo: codice fiscale con il carattere di controllo, numero intero, importo, "
     "cifre, codice di lettere maiuscole e cifre, S o N, anno e mese, data, giorno, codice del comune, settimana",
     nullptr, "U1, U2, U8, U9"},
    {"uniemens.code-length", ThisProgram,
     "lunghezza di un codice secondo il campo dei dati di paga da cui lo scrive questo programma", kAsThisProgramWrites},
    {"uniemens.known-values", OtherSoftware, "valori noti di TipoPaga (M, G, H) e TipoCopertura (X, 1, 2)",
     "valori noti al programma da altri programmi e tabelle; l'INPS puo' ammetterne altri", "U6"},
    {"uniemens.amount-separators", OtherSoftware,
     "gli importi di un file con una sola forma, la virgola o il punto",
     "altri programmi scrivono la virgola, questo programma il punto; non e' nota una regola dell'INPS", "U1"},
    {"uniemens.zero-optional", ThisProgram, "un importo facoltativo nullo non si scrive", kAsThisProgramWrites},
    {"uniemens.future-date", Plausibility, "date e mese della denuncia non successivi a oggi"},
    {"uniemens.month", Plausibility, "le aziende di un file denunciano lo stesso mese"},
    {"uniemens.day-in-month", Framing, "giorni (Giorno GG, GiornoAssunzione, GiornoCessazione) del mese denunciato"},
    {"uniemens.day-order", ThisProgram, "giorni in ordine crescente, una volta ciascuno", kAsThisProgramWrites},
    {"uniemens.week-in-month", Framing,
     "IdSettimana e' una settimana dell'anno (da domenica a sabato, la prima e' quella del 1 gennaio) che tocca il "
     "mese denunciato",
     nullptr, "U3"},
    {"uniemens.week-order", ThisProgram, "settimane in ordine crescente, una volta ciascuna", kAsThisProgramWrites},
    {"uniemens.02580E", Authority, "GiorniRetribuiti sopra zero senza alcuna settimana coperta (errore INPS 02580E)",
     nullptr, "U4"},
    {"uniemens.02560E", Authority, "piu' settimane coperte che GiorniRetribuiti (errore INPS 02560E)", nullptr, "U4"},
    {"uniemens.02570E", Authority, "settimane coperte per 6 meno di GiorniRetribuiti (errore INPS 02570E)", nullptr,
     "U4"},
    {"uniemens.07780E", Authority, "un giorno lavorato in una settimana non coperta (errore INPS 07780E)", nullptr,
     "U4"},
    {"uniemens.worker-twice", Plausibility, "un lavoratore una volta per posizione contributiva"},
    {"uniemens.end-before-hire", Plausibility, "la cessazione non prima dell'assunzione"},
    {"uniemens.period", Plausibility, "il periodo del collaboratore (Dal, Al) non finisce prima di cominciare"},
    {"uniemens.declaration-count", Framing,
     "NumDenIndiv conta le denunce individuali della posizione contributiva, senza quelle con Elimina=\"S\""},
    {"uniemens.total-due", OtherSoftware,
     "TotaleADebito e' la somma arrotondata dei Contributo della posizione contributiva", kOtherFiles, "U9"},
    {"uniemens.matricola-twice", Framing, "una posizione contributiva per matricola: un'azienda e una matricola una "
                                          "volta nel file",
     nullptr, "U5"},
    {"uniemens.list-twice", Plausibility, "una lista dei collaboratori per azienda nel file"},
    {"uniemens.company-empty", Framing, "un'azienda ha una posizione contributiva o la lista dei collaboratori", nullptr,
     "U5"},
    {"uniemens.not-sought", Unknown,
     "oltre 100.000 posizioni contributive o liste dei collaboratori in un file, o lavoratori in una posizione, le "
     "ripetizioni non si cercano piu' e lo si dice"},
};

static_assert(std::size(kRules) == static_cast<std::size_t>(RuleId::Count));

} // namespace

const Rule& rule(RuleId id)
{
    return kRules[static_cast<std::size_t>(id)];
}

std::span<const Rule> rules()
{
    return kRules;
}

} // namespace check::uniemens
