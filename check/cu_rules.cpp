#include "check/cu_rules.h"

namespace check::cu {

namespace {

using enum Ground;

constexpr const char* kOtherFiles = "secondo i file di altri programmi, non secondo una regola nota dell'Agenzia";
constexpr const char* kNearbySupply
    = "secondo le specifiche dell'Agenzia per una fornitura affine; quelle della CU 2017 possono differire";

// In the order of RuleId.
constexpr Rule kRules[] = {
    {"cu.record", Framing, "ogni record e' lungo 1900 byte e termina con 'A', ritorno a capo e nuova riga"},
    {"cu.record-kind", Framing, "i record sono di tipo A, B, C, D, G, H, Z"},
    {"cu.record-kind-e", Unknown, "record di tipo E: altri programmi lo scrivono, questo programma non lo conosce",
     nullptr, "C3"},
    {"cu.record-order", Framing,
     "A per primo, un solo B subito dopo, C subito dopo B, D dopo B, G e H dopo il record D della loro "
     "certificazione, nulla dopo Z"},
    {"cu.record-counts", Framing,
     "A, B e Z presenti, almeno un record D; il record Z conta i record B, C, D, G (posizioni 16-51) e H "
     "(posizioni 52-60)",
     nullptr, "C3"},
    {"cu.b-certifications", Framing, "record B posizioni 402-409: il numero dei record D del file", nullptr, "C1"},
    {"cu.b-quadro-ct", Framing, "record B posizione 410: 1 quando il file ha il record C, 0 altrimenti", nullptr, "C1"},
    {"cu.characters", Framing, "solo caratteri ASCII stampabili, lettere maiuscole"},
    {"cu.positional", Framing, "forma di ogni campo posizionale secondo il suo tipo (numero, data, casella, codice "
                               "fiscale, testo allineato a sinistra, spazi dove il record non e' usato)",
     nullptr, "C2"},
    {"cu.positional-program", ThisProgram, "forma di un campo posizionale noto solo dai tracciati del programma",
     kAsThisProgramWrites},
    {"cu.b-declarant", Framing,
     "record B: dichiarante persona (cognome e nome, 93-136) o ente (denominazione, 137-196), uno dei due"},
    {"cu.b-intermediary", Framing,
     "record B: codice fiscale dell'intermediario (412-427), impegno (428) e data dell'impegno (429-436) vanno "
     "insieme; senza intermediario restano vuoti (spazi o zeri); un fornitore di tipo 10 e' un intermediario",
     nullptr, "C1, C2"},
    {"cu.b-signature", OtherSoftware, "record B posizione 411: la firma del dichiarante vale 1", kOtherFiles, "C1"},
    {"cu.b-intermediary-signature", OtherSoftware,
     "record B posizione 437: la firma dell'intermediario vale 1 quando c'e' l'intermediario", kOtherFiles, "C1, C2"},
    {"cu.b-signer-role", OtherSoftware,
     "record B posizioni 326-327: il codice carica del rappresentante e' nella tabella dell'Agenzia (da 1 a 12)",
     kNearbySupply, "C5"},
    {"cu.b-representative-person", OtherSoftware,
     "record B posizioni 310-325: il rappresentante e' una persona (codice fiscale di 16 caratteri)", kNearbySupply,
     "C5"},
    {"cu.a-supplier", Plausibility,
     "un fornitore di tipo 01 (chi invia le proprie certificazioni) ha il codice fiscale del dichiarante"},
    {"cu.same-declarant", Framing,
     "records C e D: il codice fiscale del dichiarante (posizioni 2-17) e' quello del record B"},
    {"cu.d-number", Framing, "record D posizioni 42-46: un progressivo certificazione per certificazione"},
    {"cu.d-sequence", ThisProgram, "record D posizioni 42-46: progressivi da 00001 senza salti",
     "diverso da come lo scrive questo programma, che numera le certificazioni da 00001 senza salti"},
    {"cu.d-operation", Framing,
     "record D posizione 84: tipo di operazione secondo le caselle 91-92 del record B; il protocollo della "
     "certificazione da annullare o sostituire (47-69) solo e sempre in annullamenti e sostituzioni"},
    {"cu.heading", Framing, "records G e H: l'intestazione (posizioni 2-46) del record D della loro certificazione",
     nullptr, "C3"},
    {"cu.annulment", Framing, "una certificazione annullata ha solo il record D"},
    {"cu.identity", Framing,
     "DA001001 e DA002001 presenti e uguali ai codici fiscali delle posizioni 2-17 e 26-41 del record D"},
    {"cu.no-income", Plausibility, "una certificazione senza record G o H, o con record G vuoti, non riporta redditi"},
    {"cu.birth-sex", Plausibility, "data di nascita (DA002005) e sesso (DA002004) come li porta il codice fiscale"},
    {"cu.employment-dates", Plausibility,
     "data fine rapporto (DB001009) non prima dell'inizio (DB001008) e non insieme a 'in forza al 31/12' (DB001010)"},
    {"cu.future-date", Plausibility, "una data non successiva a oggi"},
    {"cu.element-layout", Framing,
     "elementi di 24 caratteri consecutivi dalla posizione 90, codice di 8 caratteri, in ordine crescente, una "
     "volta per certificazione, nel record della loro parte (C: quadro CT, D: quadro DA, G: dal quadro DB in poi); "
     "continuazioni '+' dei soli testi; posizioni 1890-1897 vuote"},
    {"cu.element-unknown", Unknown, "elemento che il tracciato noto al programma non contiene: nominato, non "
                                    "controllato"},
    {"cu.element-form", Framing, "forma del valore di un elemento che l'elenco dei campi CU 2017 descrive"},
    {"cu.element-form-program", ThisProgram,
     "forma del valore di un elemento noto solo dai tracciati del programma", kAsThisProgramWrites},
    {"cu.element-form-disputed", OtherSoftware,
     "forma del valore di un elemento su cui l'elenco dei campi CU 2017 e i tracciati del programma non concordano",
     "su questo elemento l'elenco dei campi CU 2017 e il tracciato del programma non concordano: controllare prima "
     "dell'invio"},
    {"cu.element-code-table", OtherSoftware,
     "codici ammessi dalle tabelle dell'Agenzia (oneri detraibili, bonus, parentela, qualifica INAIL) come li da' "
     "l'elenco dei campi CU 2017",
     "codici dell'elenco dei campi CU 2017 di un altro programma"},
    {"cu.zero", ThisProgram, "un importo o numero nullo non si scrive", kAsThisProgramWrites},
    {"cu.empty-element", ThisProgram, "un elemento senza valore non si scrive", kAsThisProgramWrites},
    {"cu.h-not-checked", Unknown,
     "i quadri dei record H (lavoro autonomo, provvigioni, redditi diversi) non sono controllati: detto una volta",
     nullptr, "C3"},
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

} // namespace check::cu
