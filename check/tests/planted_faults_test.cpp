#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "check/tests/program_files.h"

// Files written by the program on the demo installation (program_files.h tells what they
// hold and where), then damaged byte by byte: each fault is found, named and placed at the
// level its ground gives it, and nothing else is said.

namespace {

using namespace check::testing;

struct Fault {
    const char* rule;
    const char* file;
    Damage damage;
    std::vector<std::string> expected;
};

const std::string kDeclaration = "DenunceMensili/Azienda/PosContributiva/DenunciaIndividuale";

const Fault kCuFaults[] = {
    // Framing: 1900-byte records ending in "A" CR LF.
    {"record cut short", "TCU117", [](std::string& b) { b.pop_back(); },
     {"BLOCCANTE record 12 posizione 1: Ultimo record di 1899 byte: ogni record del file telematico e"
      "' lungo 1900 byte (il file e' troncato o ha byte in piu')",
      "BLOCCANTE record 13 posizione 1: Manca il record Z, con cui il file telematico si chiude"}},
    {"end of record", "TCU117", put(5, 1898, "B"),
     {"BLOCCANTE record 5 posizione 1898: Il record non termina con 'A', ritorno a capo e nuova riga (codici 65, 13, "
      "10) nelle posizioni 1898-1900: trovati i codici 66, 13, 10"}},
    {"records out of step", "TCU117", [](std::string& b) { b.erase(5 * kRecord + 100, 1); },
     {"BLOCCANTE record 6 posizione 1898: Il record non termina con 'A', ritorno a capo e nuova riga (codici 65, 13, "
      "10) nelle posizioni 1898-1900: trovati i codici 13, 10, 71",
      "BLOCCANTE record 7 posizione 1: Dal record 6 il file non e' piu' diviso in record di 1900 byte (manca o "
      "avanza qualche byte): i record seguenti non sono stati controllati"}},
    // Order and number of the records.
    {"record type", "TCU117", put(5, 1, "X"),
     {"AVVISO record 4 posizione 90 persona FRRLCU78E14L219A FERRARI LUCA: Certificazione senza record G: non "
      "riporta alcun reddito, ritenuta o dato previdenziale del percipiente",
      "BLOCCANTE record 5 posizione 1 persona FRRLCU78E14L219A FERRARI LUCA: Tipo record 'X' sconosciuto: i record "
      "sono di tipo A, B, C, D, G, H, Z",
      "BLOCCANTE record 12 posizione 43: Il record Z conta 4 record di tipo G (posizioni 43-51), il file ne contiene "
      "3"}},
    {"record after Z", "TCU117", [](std::string& b) { b += b.substr(11 * kRecord, kRecord); },
     {"BLOCCANTE record 13 posizione 1: Record dopo il record Z: il record Z chiude il file"}},
    // Whether the file has a record C is known at its end: said there, after record Z.
    {"record C missing", "TCU117", removeRecord(3),
     {"BLOCCANTE record 11 posizione 25: Il record Z conta 1 record di tipo C (posizioni 25-33), il file ne contiene "
      "0",
      "BLOCCANTE record 2 posizione 410: La casella del quadro CT (posizione 410) vale 1 ma il file non ha il record "
      "C"}},
    {"count of record Z", "TCU117", put(12, 42, "5"),
     {"BLOCCANTE record 12 posizione 34: Il record Z conta 5 record di tipo D (posizioni 34-42), il file ne contiene "
      "4"}},
    {"count of record B", "TCU117", put(2, 409, "3"),
     {"BLOCCANTE record 2 posizione 402: Il record B indica 3 certificazioni (posizioni 402-409), il file ne "
      "contiene 4"}},
    {"certification numbers", "TCU117", put(6, 46, "3"),
     {"AVVISO record 6 posizione 42 persona RMNGPP69S02G273A ROMANO GIUSEPPE: Progressivo certificazione '00003' "
      "fuori sequenza: atteso '00002' (diverso da come lo scrive questo programma, che numera le certificazioni da "
      "00001 senza salti)",
      "BLOCCANTE record 7 posizione 2 persona RMNGPP69S02G273A ROMANO GIUSEPPE: L"
      "'intestazione del record G (posizioni 2-46: sostituto, modulo, percipiente, progressivo) non e' quella del "
      "record D della sua certificazione (record 6)",
      "BLOCCANTE record 8 posizione 42 persona RCCLNE92A70L219Q RICCI ELENA: Progressivo certificazione '00003' "
      "ripetuto: ogni certificazione del file ha un progressivo suo"}},
    {"heading of a record G", "TCU117", put(9, 30, "M"),
     {"BLOCCANTE record 9 posizione 2 persona RCCLNE92A70L219Q RICCI ELENA: L"
      "'intestazione del record G (posizioni 2-46: sostituto, modulo, percipiente, progressivo) non e' quella del "
      "record D della sua certificazione (record 8)"}},
    {"record C of another withholding agent", "TCU117", put(3, 12, "2"),
     {"BLOCCANTE record 3 posizione 2: Codice fiscale del soggetto dichiarante (posizioni 2-17) '08534210012     ' "
      "errato: la cifra di controllo dovrebbe essere 1",
      "BLOCCANTE record 3 posizione 2: Codice fiscale del dichiarante '08534210012     ' diverso da quello del "
      "record B '08534210011     '"}},
    // Positional fields.
    {"supply code", "TCU117", put(1, 16, "CUR16"),
     {"BLOCCANTE record 1 posizione 16: Codice fornitura (posizioni 16-20) 'CUR16': atteso 'CUR17'"}},
    {"supplier type", "TCU117", put(1, 21, "11"),
     {"BLOCCANTE record 1 posizione 21: Tipo fornitore (posizioni 21-22) '11' non ammesso: valori ammessi 01, 10"}},
    {"unused positions", "TCU117", put(12, 100, "X"),
     {"BLOCCANTE record 12 posizione 61: Le posizioni 61-1897 non sono utilizzate e devono contenere spazi"}},
    {"number with a letter", "TCU117", put(4, 25, "A"),
     {"BLOCCANTE record 4 posizione 18 persona FRRLCU78E14L219A FERRARI LUCA: Progressivo modulo (posizioni 18-25) "
      "'0000000A': atteso un numero di 8 cifre, con gli zeri a sinistra",
      "BLOCCANTE record 5 posizione 2 persona FRRLCU78E14L219A FERRARI LUCA: L"
      "'intestazione del record G (posizioni 2-46: sostituto, modulo, percipiente, progressivo) non e' quella del "
      "record D della sua certificazione (record 4)"}},
    {"flag", "TCU117", put(2, 91, "2"),
     {"BLOCCANTE record 2 posizione 91: Comunicazione annullativa (posizione 91) '2': attesi 0 o 1"}},
    {"date that does not exist", "TCU117", put(2, 429, "30022017"),
     {"BLOCCANTE record 2 posizione 429: Data dell'impegno (posizioni 429-436) '30022017' errata: attesa una data "
      "ggmmaaaa esistente"}},
    {"date in the future", "TCU117", put(2, 429, "27022018"),
     {"AVVISO record 2 posizione 429: Data dell'impegno (posizioni 429-436) 27/02/2018 successiva alla data di oggi"}},
    {"check letter of a fiscal code", "TCU117", put(4, 41, "B"),
     {"BLOCCANTE record 4 posizione 26 persona FRRLCU78E14L219B FERRARI LUCA: Codice fiscale del percipiente "
      "(posizioni 26-41) 'FRRLCU78E14L219B' errato: il carattere di controllo dovrebbe essere A",
      "BLOCCANTE record 4 posizione 90 elemento DA002001 persona FRRLCU78E14L219B FERRARI LUCA: Il codice fiscale "
      "del percipiente in DA002001 'FRRLCU78E14L219A' e' diverso da quello delle posizioni 26-41 del record D '"
      "FRRLCU78E14L219B'",
      "BLOCCANTE record 5 posizione 2 persona FRRLCU78E14L219B FERRARI LUCA: L"
      "'intestazione del record G (posizioni 2-46: sostituto, modulo, percipiente, progressivo) non e' quella del "
      "record D della sua certificazione (record 4)"}},
    {"check digit of a company's code", "TCU117", put(2, 372, "12345678901"),
     {"BLOCCANTE record 2 posizione 372: Codice fiscale della societa' o ente dichiarante (posizioni 372-382) '"
      "12345678901' errato: la cifra di controllo dovrebbe essere 3 (00000000000 quando manca)"}},
    // The kind of supply and the protocol data.
    {"ordinary certifications in a cancellation", "TCU117", put(2, 91, "1"),
     {"BLOCCANTE record 4 posizione 84 persona FRRLCU78E14L219A FERRARI LUCA: Tipo di operazione (posizione 84) uno "
      "spazio in una fornitura annullativa: atteso 'A', come dicono le caselle delle posizioni 91 e 92 del record B",
      "BLOCCANTE record 6 posizione 84 persona RMNGPP69S02G273A ROMANO GIUSEPPE: Tipo di operazione (posizione 84) "
      "uno spazio in una fornitura annullativa: atteso 'A', come dicono le caselle delle posizioni 91 e 92 del "
      "record B",
      "BLOCCANTE record 8 posizione 84 persona RCCLNE92A70L219Q RICCI ELENA: Tipo di operazione (posizione 84) uno "
      "spazio in una fornitura annullativa: atteso 'A', come dicono le caselle delle posizioni 91 e 92 del record B",
      "BLOCCANTE record 10 posizione 84 persona RSSLRT58P08L219B ROSSI ALBERTO: Tipo di operazione (posizione 84) "
      "uno spazio in una fornitura annullativa: atteso 'A', come dicono le caselle delle posizioni 91 e 92 del "
      "record B"}},
    {"cancellation without its protocol", "ANN1", put(4, 47, "00000000000000000"),
     {"BLOCCANTE record 4 posizione 47 persona RMNGPP69S02G273A ROMANO GIUSEPPE: Annullamento senza il protocollo "
      "della certificazione da annullare: servono l'identificativo dell'invio (posizioni 47-63) e il progressivo "
      "della certificazione (posizioni 64-69)"}},
    // Characters.
    {"lower-case letter", "TCU117", put(4, 459, "e"),
     {"BLOCCANTE record 4 posizione 459 elemento DA002002 persona FRRLCU78E14L219A FeRRARI LUCA: Lettera minuscola "
      "'e' in posizione 459: i dati del file telematico si scrivono in maiuscolo"}},
    {"accented letter", "TCU117", put(4, 462, "\xC0"),
     {"BLOCCANTE record 4 posizione 462 elemento DA002002 persona FRRLCU78E14L219A FERRÀRI LUCA: Carattere 'À' "
      "(codice 192) in posizione 462 non ammesso: il file telematico ammette solo caratteri ASCII; le lettere "
      "accentate si scrivono con l'apostrofo (NICOLO')"}},
    {"control character", "TCU117", put(9, 100, "\t"),
     {"BLOCCANTE record 9 posizione 98 elemento DB001002 persona RCCLNE92A70L219Q RICCI ELENA: Redditi di lavoro "
      "dipendente con contratto a tempo determinato '  ?     16209,58' nella forma errata: atteso un importo con la "
      "virgola e due decimali, allineato a destra (es. '         1234,50')",
      "BLOCCANTE record 9 posizione 100 elemento DB001002 persona RCCLNE92A70L219Q RICCI ELENA: Carattere di "
      "controllo (codice 9) in posizione 100: il file telematico ammette solo caratteri stampabili"}},
    // Elements: codes, order, repetitions, continuations.
    {"code not in the format", "TCU117", put(4, 234, "DA001099"),
     {"AVVISO record 4 posizione 234 elemento DA001099 persona FRRLCU78E14L219A FERRARI LUCA: Elemento DA001099 non "
      "previsto nel tracciato noto al programma: il suo valore non e' controllato"}},
    {"code of the wrong shape", "TCU117", put(4, 234, "DA0010O6"),
     {"BLOCCANTE record 4 posizione 234 elemento DA0010O6 persona FRRLCU78E14L219A FERRARI LUCA: Codice elemento "
      "'DA0010O6' non valido: atteso un codice di 8 caratteri (quadro, rigo e colonna, es. DB001001)"}},
    {"element in another record's part", "TCU117", put(4, 402, "DB001010"),
     {"BLOCCANTE record 4 posizione 402 elemento DB001010 persona FRRLCU78E14L219A FERRARI LUCA: Elemento DB001010 "
      "(In forza al 31/12) fuori posto nel record D: il record D porta il quadro DA, i dati anagrafici",
      "BLOCCANTE record 4 posizione 410 elemento DB001010 persona FRRLCU78E14L219A FERRARI LUCA: In forza al 31/12 "
      "'412000          ' nella forma errata: una casella barrata vale '1' allineato a destra",
      "BLOCCANTE record 4 posizione 426 elemento DA002001 persona FRRLCU78E14L219A FERRARI LUCA: Elemento DA002001 "
      "(Codice fiscale del percipiente) fuori ordine dopo DB001010: gli elementi vanno in ordine crescente di codice"}},
    {"elements out of order", "TCU117",
     [](std::string& b) {
         const std::string first = b.substr(4 * kRecord + 89, 24), second = b.substr(4 * kRecord + 113, 24);
         b.replace(4 * kRecord + 89, 24, second);
         b.replace(4 * kRecord + 113, 24, first);
     },
     {"BLOCCANTE record 5 posizione 114 elemento DB001001 persona FRRLCU78E14L219A FERRARI LUCA: Elemento DB001001 "
      "(Dati fiscali, punto 1) fuori ordine dopo DB001006: gli elementi vanno in ordine crescente di codice"}},
    {"code twice", "TCU117", put(5, 186, "DB001021"),
     {"BLOCCANTE record 5 posizione 186 elemento DB001021 persona FRRLCU78E14L219A FERRARI LUCA: Elemento DB001021 "
      "(Ritenute IRPEF) ripetuto nella certificazione: ogni codice compare una volta sola (un testo che continua il "
      "precedente inizia con '+')"}},
    {"continuation of another code", "TCU117", put(4, 162, "DA001004"),
     {"BLOCCANTE record 4 posizione 162 elemento DA001004 persona FRRLCU78E14L219A FERRARI LUCA: Continuazione '+' "
      "senza l'elemento che continua: un valore che inizia con '+' segue un elemento con lo stesso codice"}},
    {"gap between elements", "TCU117", put(5, 138, std::string(24, ' ')),
     {"BLOCCANTE record 5 posizione 162 elemento DB001021 persona FRRLCU78E14L219A FERRARI LUCA: Elemento dopo uno "
      "spazio vuoto: gli elementi di un record sono consecutivi dalla posizione 90"}},
    // Values of the form their kind asks.
    {"amount with a full stop", "TCU117", put(5, 98, "        24881.94"),
     {"AVVISO record 5 posizione 98 elemento DB001001 persona FRRLCU78E14L219A FERRARI LUCA: Dati fiscali, punto 1 "
      "'        24881.94' nella forma errata: atteso un importo con la virgola e due decimali, allineato a destra "
      "(es. '         1234,50') (diverso da come lo scrive questo programma)"}},
    {"element on which the field list and the program's layouts disagree", "TCU117",
     put(5, 378, "DB001399          150,00"),
     {"AVVISO record 5 posizione 386 elemento DB001399 persona FRRLCU78E14L219A FERRARI LUCA: Bonus erogato da altri "
      "soggetti - codice fiscale '          150,00' non allineato a sinistra (su questo elemento l"
      "'elenco dei campi CU 2017 e il tracciato del programma non concordano: controllare prima dell'invio)"}},
    {"amount of zero", "TCU117", put(5, 98, "            0,00"),
     {"AVVISO record 5 posizione 98 elemento DB001001 persona FRRLCU78E14L219A FERRARI LUCA: Dati fiscali, punto 1: "
      "importo zero scritto, un importo nullo di norma non si indica (diverso da come lo scrive questo programma)"}},
    {"whole number with a blank", "TCU117", put(5, 122, "            36 5"),
     {"BLOCCANTE record 5 posizione 122 elemento DB001006 persona FRRLCU78E14L219A FERRARI LUCA: Numero di giorni "
      "per i quali spettano le detrazioni '            36 5' nella forma errata: atteso un numero intero allineato a "
      "destra, senza segni"}},
    {"box ticked on the left", "TCU117", put(5, 146, "1               "),
     {"BLOCCANTE record 5 posizione 146 elemento DB001010 persona FRRLCU78E14L219A FERRARI LUCA: In forza al 31/12 "
      "'1               ' nella forma errata: una casella barrata vale '1' allineato a destra"}},
    {"birth date that does not exist", "TCU117", put(4, 530, "        31021978"),
     {"AVVISO record 4 posizione 90 elemento DA002005 persona FRRLCU78E14L219A FERRARI LUCA: Data di nascita "
      "'31021978' diversa da quella del codice fiscale 'FRRLCU78E14L219A'",
      "BLOCCANTE record 4 posizione 530 elemento DA002005 persona FRRLCU78E14L219A FERRARI LUCA: Data di nascita "
      "'        31021978': data inesistente (attesa una data ggmmaaaa)"}},
    {"birth date against the fiscal code", "TCU117", put(4, 530, "        15051978"),
     {"AVVISO record 4 posizione 90 elemento DA002005 persona FRRLCU78E14L219A FERRARI LUCA: Data di nascita "
      "'15051978' diversa da quella del codice fiscale 'FRRLCU78E14L219A'"}},
    {"day and month", "TCU117", put(5, 578, "            3102"),
     {"BLOCCANTE record 5 posizione 578 elemento DC001073 persona FRRLCU78E14L219A FERRARI LUCA: Data inizio "
      "'            3102': giorno e mese inesistenti (atteso ggmm)"}},
    {"months", "TCU117", put(9, 530, "    110000000002"),
     {"AVVISO record 9 posizione 530 elemento DC001008 persona RCCLNE92A70L219Q RICCI ELENA: Dati previdenziali, "
      "punto 8 '    110000000002' nella forma errata: attesi dodici caratteri 0 o 1, uno per mese, allineati a "
      "destra (diverso da come lo scrive questo programma)"}},
    {"province", "TCU117", put(4, 218, "T0"),
     {"BLOCCANTE record 4 posizione 218 elemento DA001005 persona FRRLCU78E14L219A FERRARI LUCA: Provincia di "
      "residenza 'T0              ': attesa la sigla di due lettere della provincia (EE per uno Stato estero)"}},
    {"sex", "TCU117", put(4, 506, "X"),
     {"AVVISO record 4 posizione 90 elemento DA002004 persona FRRLCU78E14L219A FERRARI LUCA: Sesso 'X' diverso da "
      "quello del codice fiscale 'FRRLCU78E14L219A' (M)",
      "BLOCCANTE record 4 posizione 506 elemento DA002004 persona FRRLCU78E14L219A FERRARI LUCA: Sesso "
      "'X               ' non ammesso: valori ammessi M, F"}},
    {"fiscal code of a dependant", "TCU117", put(7, 497, "X"),
     {"BLOCCANTE record 7 posizione 482 elemento DB601004 persona RMNGPP69S02G273A ROMANO GIUSEPPE: Codice fiscale "
      "del familiare 'LRSCCT72B48G273X' errato: il carattere di controllo dovrebbe essere W"}},
    {"code of a deductible charge", "TCU117", put(7, 290, "              19"),
     {"AVVISO record 7 posizione 290 elemento DB001341 persona RMNGPP69S02G273A ROMANO GIUSEPPE: Codice onere "
      "detraibile '              19' sconosciuto: codici ammessi da 1 a 18, da 20 a 33, 35, 36, 37, 41, 42, 99 "
      "(codici dell'elenco dei campi CU 2017 di un altro programma)"}},
    {"bonus code", "TCU117", put(5, 362, "               3"),
     {"AVVISO record 5 posizione 362 elemento DB001391 persona FRRLCU78E14L219A FERRARI LUCA: Credito bonus IRPEF - "
      "codice bonus '               3' non ammesso: valori ammessi 1, 2 (codici dell'elenco dei campi CU 2017 di un "
      "altro programma)"}},
    {"months of dependency", "TCU717", put(4, 554, "              13"),
     {"BLOCCANTE record 4 posizione 554 elemento DB601005 persona DRSSVT75C05F839P DE ROSA SALVATORE: Mesi a carico "
      "'              13' oltre il massimo di 12"}},
    {"relationship", "TCU717", put(4, 578, "X"),
     {"AVVISO record 4 posizione 578 elemento DB602001 persona DRSSVT75C05F839P DE ROSA SALVATORE: Relazione di "
      "parentela 'X               ' non ammesso: valori ammessi F, A, D (codici dell'elenco dei campi CU 2017 di un "
      "altro programma)"}},
    {"percentage", "TCU717", put(4, 650, "          150,00"),
     {"BLOCCANTE record 4 posizione 650 elemento DB602A07 persona DRSSVT75C05F839P DE ROSA SALVATORE: Percentuale di "
      "detrazione spettante '          150,00' oltre il 100 per cento"}},
    // What a certification must hold.
    {"payee's fiscal code missing", "TCU117", removeElement(4, 426),
     {"BLOCCANTE record 4 posizione 90 elemento DA002001 persona FRRLCU78E14L219A FERRARI LUCA: Manca l'elemento "
      "DA002001, codice fiscale del percipiente"}},
    {"certification without records G", "TCU117", removeRecord(5),
     {"AVVISO record 4 posizione 90 persona FRRLCU78E14L219A FERRARI LUCA: Certificazione senza record G: non "
      "riporta alcun reddito, ritenuta o dato previdenziale del percipiente",
      "BLOCCANTE record 11 posizione 43: Il record Z conta 4 record di tipo G (posizioni 43-51), il file ne contiene "
      "3"}},
};

const Fault kXmlFaults[] = {
    // Well-formed XML in the encoding it declares.
    {"closing tag", "fc0010316.xml", replace("<Cognome>FERRARI</Cognome>", "<Cognome>FERRARI</Cognom>"),
     {"BLOCCANTE riga 18 elemento " + kDeclaration + "/Cognome persona FRRLCU78E14L219A: Il tag di chiusura non "
      "corrisponde all'elemento aperto (Opening and ending tag mismatch: Cognome line 18 and Cognom)"}},
    {"encoding", "uea0050416.xml", replace("CANNAV\xC3\x92", "CANNAV\xD2"),
     {"BLOCCANTE riga 30 elemento DenunceMensili/Azienda/ListaCollaboratori/Collaboratore/Cognome persona "
      "CNNGLI86R65C351S: Byte che non sono testo UTF-8, la codifica che il file dichiara (Input is not proper UTF-8, "
      "indicate encoding ! Bytes: 0xD2 0x3C 0x2F 0x43): una lettera accentata scritta in un'altra codifica?"}},
    {"ampersand", "fc0010316.xml", replace("FERRERO CONSULENTI", "FERRERO & CONSULENTI"),
     {"BLOCCANTE riga 5 elemento DenunceMensili/DatiMittente/RagSocMittente: Il carattere & non introduce un'entita' "
      "nota: nel testo si scrive &amp; (xmlParseEntityRef: no name)"}},
    {"file cut short", "fc0010316.xml", [](std::string& b) { b.resize(b.find("<TotaleADebito>")); },
     {"BLOCCANTE riga 189 elemento DenunceMensili/Azienda/PosContributiva/DenunciaAziendale/DatiQuadraturaRetrContr: "
      "Il file finisce prima di chiudere gli elementi aperti (l'ultimo aperto e' DatiQuadraturaRetrContr): file "
      "troncato?"}},
    {"content after the document", "fc0010316.xml", [](std::string& b) { b += "<Azienda/>\r\n"; },
     {"BLOCCANTE riga 196 elemento -: Testo dopo la fine del documento: dopo </DenunceMensili> non viene altro"}},
    // Nesting, order and number of the elements.
    {"element missing", "fc0010316.xml", removeLine(12),
     {"BLOCCANTE riga 12 elemento DenunceMensili/Azienda: Manca l'elemento CFAzienda (codice fiscale dell'azienda) "
      "in Azienda"}},
    {"element not in the table", "fc0010316.xml", replace("<Nome>LUCA</Nome>", "<Nomi>LUCA</Nomi>"),
     {"AVVISO riga 19 elemento " + kDeclaration + " persona FRRLCU78E14L219A FERRARI: Elemento Nomi non previsto in "
      "DenunciaIndividuale (denuncia individuale) nel tracciato noto al programma: non controllato",
      "BLOCCANTE riga 20 elemento " + kDeclaration + " persona FRRLCU78E14L219A FERRARI: Manca l'elemento Nome "
      "(nome) in DenunciaIndividuale"}},
    {"elements out of order", "fc0010316.xml", swapLines(18),
     {"AVVISO riga 19 elemento " + kDeclaration + " persona FRRLCU78E14L219A FERRARI LUCA: Elemento Cognome "
      "(cognome) fuori ordine in DenunciaIndividuale: va prima di Nome (nome) (diverso da come lo scrive questo "
      "programma)"}},
    {"alternatives together", "fc0030416.xml", replace("<NumGG>3</NumGG>", "<NumGG>3</NumGG>\r\n<NumOre>8</NumOre>"),
     {"AVVISO riga 181 elemento " + kDeclaration + "/DatiRetributivi/AltreADebito persona DNGNDR84P27H501H D'ANGELO "
      "ANDREA: Gli elementi NumGG (numero di giorni) e NumOre (numero di ore) si escludono: in AltreADebito va uno "
      "solo (diverso da come lo scrive questo programma)"}},
    {"text in a container", "fc0010316.xml", replace("<Assunzione>", "<Assunzione>xyz"),
     {"BLOCCANTE riga 144 elemento " + kDeclaration + "/Assunzione persona RCCLNE92A70L219Q RICCI ELENA: L"
      "'elemento Assunzione (assunzione nel mese) contiene altri elementi, non il testo 'xyz'"}},
    {"empty required element", "fc0010316.xml", replace("<CFLavoratore>FRRLCU78E14L219A<", "<CFLavoratore><"),
     {"BLOCCANTE riga 17 elemento " + kDeclaration + "/CFLavoratore persona FERRARI LUCA: Elemento CFLavoratore "
      "(codice fiscale del lavoratore) vuoto: e' obbligatorio e richiede un valore"}},
    {"empty optional element", "fc0010316.xml", replace("<RegimePost95>S<", "<RegimePost95><"),
     {"AVVISO riga 23 elemento " + kDeclaration + "/RegimePost95 persona FRRLCU78E14L219A FERRARI LUCA: Elemento "
      "RegimePost95 (primo iscritto dopo il 1995) vuoto: un elemento facoltativo senza valore di norma non si scrive"}},
    {"attribute not in the table", "fc0010316.xml", replace("<DenunciaIndividuale>", "<DenunciaIndividuale Tipo=\"1\">"),
     {"AVVISO riga 16 elemento " + kDeclaration + " persona FRRLCU78E14L219A FERRARI LUCA: Attributo Tipo dell'"
      "elemento DenunciaIndividuale (denuncia individuale) non previsto nel tracciato noto al programma"}},
    {"value of an attribute", "fc0060416.xml", replace("Elimina=\"S\"", "Elimina=\"X\""),
     {"BLOCCANTE riga 16 elemento " + kDeclaration + " persona RPTLRI93M61D969H REPETTO ILARIA: Attributo Elimina 'X'"
      ": valori ammessi S",
      "BLOCCANTE riga 160 elemento "
      "DenunceMensili/Azienda/PosContributiva/DenunciaAziendale/DatiQuadraturaRetrContr/NumDenIndiv: NumDenIndiv 0 "
      "non corrisponde alle denunce individuali della posizione contributiva: 1 (senza quelle con Elimina=\"S\")",
      "AVVISO riga 161 elemento "
      "DenunceMensili/Azienda/PosContributiva/DenunciaAziendale/DatiQuadraturaRetrContr/TotaleADebito: TotaleADebito "
      "'0' diverso dalla somma dei Contributo delle denunce individuali della posizione contributiva: 482,46 "
      "(secondo i file di altri programmi, non secondo una regola nota dell'INPS)"}},
    // Identification codes, dates, amounts, days.
    {"check letter of a worker's fiscal code", "fc0010316.xml", replace("FRRLCU78E14L219A", "FRRLCU78E14L219B"),
     {"BLOCCANTE riga 17 elemento " + kDeclaration + "/CFLavoratore persona FRRLCU78E14L219B FERRARI LUCA: "
      "CFLavoratore (codice fiscale del lavoratore) 'FRRLCU78E14L219B' errato: il carattere di controllo dovrebbe "
      "essere A"}},
    {"check digit of the company's code", "fc0010316.xml", replace("<CFAzienda>08534210011", "<CFAzienda>08534210012"),
     {"BLOCCANTE riga 12 elemento DenunceMensili/Azienda/CFAzienda: CFAzienda (codice fiscale dell'azienda) '"
      "08534210012' errato: la cifra di controllo dovrebbe essere 1"}},
    {"fiscal code cut short", "fc0010316.xml", replace("FRRGRG62H22L219H", "FRRGRG62H22L219"),
     {"BLOCCANTE riga 4 elemento DenunceMensili/DatiMittente/CFPersonaMittente: CFPersonaMittente (codice fiscale "
      "della persona che invia) 'FRRGRG62H22L219' non valido: atteso un codice fiscale di 16 caratteri (lettere "
      "maiuscole e cifre) o di 11 cifre"}},
    {"digits", "fc0010316.xml", replace("<SedeINPS>8100<", "<SedeINPS>810<"),
     {"BLOCCANTE riga 8 elemento DenunceMensili/DatiMittente/SedeINPS: SedeINPS (sede INPS) '810': attese 4 cifre"}},
    {"month of the declaration", "fc0010316.xml", replace("2016-03", "2016-13"),
     {"BLOCCANTE riga 11 elemento DenunceMensili/Azienda/AnnoMeseDenuncia: AnnoMeseDenuncia (anno e mese della "
      "denuncia) '2016-13': atteso anno e mese aaaa-mm"}},
    {"date that does not exist", "uea0050416.xml", replace("<Dal>2016-04-01", "<Dal>2016-04-31"),
     {"BLOCCANTE riga 25 elemento DenunceMensili/Azienda/ListaCollaboratori/Collaboratore/Dal persona "
      "LMBPLA71B03A944Q LOMBARDI PAOLO: Dal (inizio del periodo) '2016-04-31': attesa una data esistente aaaa-mm-gg"}},
    {"decimal comma", "fc0010316.xml", replace("695.64", "695,64"),
     {"AVVISO riga 61 elemento " + kDeclaration + "/GestioneTFR/MeseTFR/BaseCalcoloTFR persona FRRLCU78E14L219A "
      "FERRARI LUCA: BaseCalcoloTFR (base di calcolo del TFR) '2107.69' con il punto, mentre l"
      "'importo della riga 33 ha la virgola: un file scrive gli importi in una forma sola (detto una volta per il file) (altri programmi scrivono la virgola, questo programma il punto; non e' "
      "nota una regola dell'INPS)"}},
    {"taxable pay in cents", "fc0010316.xml", replace("<Imponibile>2108<", "<Imponibile>2108.50<"),
     {"BLOCCANTE riga 32 elemento " + kDeclaration + "/DatiRetributivi/Imponibile persona FRRLCU78E14L219A FERRARI "
      "LUCA: Imponibile (imponibile) '2108.50': atteso un numero intero, senza segni, decimali o spazi"}},
    {"choice of values", "fc0010316.xml", replace("<TipoPaga>M<", "<TipoPaga>m<"),
     {"AVVISO riga 27 elemento " + kDeclaration + "/TipoPaga persona FRRLCU78E14L219A FERRARI LUCA: TipoPaga (tipo "
      "di paga (mensile, giornaliera, oraria)) 'm': valore diverso da quelli noti al programma (M, G, H) (valori "
      "noti al programma da altri programmi e tabelle; l'INPS puo' ammetterne altri)"}},
    {"municipality code", "fc0010316.xml", replace("<CodiceComune>L219<", "<CodiceComune>L21<"),
     {"BLOCCANTE riga 25 elemento " + kDeclaration + "/CodiceComune persona FRRLCU78E14L219A FERRARI LUCA: "
      "CodiceComune (comune del luogo di lavoro) 'L21': atteso il codice del comune, una lettera e tre cifre (es. "
      "H501)"}},
    {"day beyond the month", "fc0030416.xml", replace("<Giorno GG=\"30\">", "<Giorno GG=\"31\">"),
     {"BLOCCANTE riga 297 elemento " + kDeclaration + "/DatiRetributivi/Giorno persona DNGNDR84P27H501H D'ANGELO "
      "ANDREA: Giorno 31 inesistente nel mese della denuncia 4/2016"}},
    {"day twice", "fc0030416.xml", replace("<Giorno GG=\"1\">", "<Giorno GG=\"2\">"),
     {"AVVISO riga 213 elemento " + kDeclaration + "/DatiRetributivi/Giorno persona DNGNDR84P27H501H D'ANGELO "
      "ANDREA: Giorno 2 dopo il giorno 2: i giorni vanno in ordine crescente, ognuno una volta (diverso da come lo "
      "scrive questo programma)"}},
    // Across the file.
    {"count of individual declarations", "fc0010316.xml", replace("<NumDenIndiv>3<", "<NumDenIndiv>4<"),
     {"BLOCCANTE riga 188 elemento "
      "DenunceMensili/Azienda/PosContributiva/DenunciaAziendale/DatiQuadraturaRetrContr/NumDenIndiv: NumDenIndiv 4 "
      "non corrisponde alle denunce individuali della posizione contributiva: 3 (senza quelle con Elimina=\"S\")"}},
    {"company twice", "fc0010316.xml",
     [](std::string& b) {
         const auto start = b.find("<Azienda>"), end = b.find("</DenunceMensili>");
         b.insert(end, b.substr(start, end - start));
     },
     {"BLOCCANTE riga 200 elemento DenunceMensili/Azienda/PosContributiva/Matricola: La matricola '8112345678' dell"
      "'azienda '08534210011' compare due volte nel file: una posizione contributiva per matricola"}},
};

// What the authorities are known to reject, or what a clerk should look at, that the check
// did not look for before: each one change to a file of the program, found at the level
// its ground gives it.
const Fault kRejectedOrDoubtful[] = {
    // INPS: weeks against paid and worked days.
    {"paid days without a covered week (02580E)", "fc0010316.xml",
     all({replace("<TipoCopertura>X<", "<TipoCopertura>1<"), replace("<TipoCopertura>X<", "<TipoCopertura>1<"),
          replace("<TipoCopertura>X<", "<TipoCopertura>1<"), replace("<TipoCopertura>X<", "<TipoCopertura>1<"),
          replace("<TipoCopertura>X<", "<TipoCopertura>1<")}),
     {"BLOCCANTE riga 55 elemento " + kDeclaration + "/DatiRetributivi/GiorniRetribuiti persona FRRLCU78E14L219A "
      "FERRARI LUCA: GiorniRetribuiti 26 senza alcuna settimana coperta (Settimana con TipoCopertura X o 2): errore "
      "INPS 02580E"}},
    {"more covered weeks than paid days (02560E)", "fc0010316.xml",
     replace("<GiorniRetribuiti>26<", "<GiorniRetribuiti>4<"),
     {"BLOCCANTE riga 55 elemento " + kDeclaration + "/DatiRetributivi/GiorniRetribuiti persona FRRLCU78E14L219A "
      "FERRARI LUCA: 5 settimane coperte e 4 giorni retribuiti: ogni settimana coperta ha almeno un giorno "
      "retribuito (errore INPS 02560E)"}},
    {"more paid days than six a covered week (02570E)", "fc0010316.xml",
     replace("<GiorniRetribuiti>26<", "<GiorniRetribuiti>31<"),
     {"BLOCCANTE riga 55 elemento " + kDeclaration + "/DatiRetributivi/GiorniRetribuiti persona FRRLCU78E14L219A "
      "FERRARI LUCA: 31 giorni retribuiti in 5 settimane coperte: al piu' 6 giorni retribuiti per settimana (errore "
      "INPS 02570E)"}},
    // Mancini's second week (15: Sunday 3 to Saturday 9 April) not paid, and her paid days
    // those of the other four; yet her Monday 4 is marked as worked.
    {"a worked day in a week not covered (07780E)", "fp0040416.xml",
     all({replace("<TipoCopertura>X<", "<TipoCopertura>1<", 2),
          replace("<GiorniRetribuiti>26<", "<GiorniRetribuiti>20<")}),
     {"BLOCCANTE riga 64 elemento " + kDeclaration + "/DatiRetributivi/Giorno persona MNCLCU79C70A944P MANCINI "
      "LUCIA: Giorno 4 lavorato nella settimana 15, che la denuncia non dichiara coperta: errore INPS 07780E"}},
    {"a week outside the month", "fc0010316.xml", replace("<IdSettimana>10<", "<IdSettimana>9<"),
     {"BLOCCANTE riga 36 elemento " + kDeclaration + "/DatiRetributivi/Settimana/IdSettimana persona "
      "FRRLCU78E14L219A FERRARI LUCA: Settimana 9 fuori dal mese della denuncia: 3/2016 ha le settimane dell'anno da "
      "10 a 14"}},
    {"a repeated Settimana", "fc0010316.xml", replace("<IdSettimana>11<", "<IdSettimana>10<"),
     {"AVVISO riga 40 elemento " + kDeclaration + "/DatiRetributivi/Settimana/IdSettimana persona FRRLCU78E14L219A "
      "FERRARI LUCA: Settimana 10 ripetuta: ogni settimana si dichiara una volta (diverso da come lo scrive questo "
      "programma)"}},
    // CU: record B's signatures and signer.
    {"an unsigned declarant", "TCU117", put(2, 411, "0"),
     {"AVVISO record 2 posizione 411: Firma del dichiarante (posizione 411) '0': il frontespizio firmato porta 1 "
      "(secondo i file di altri programmi, non secondo una regola nota dell'Agenzia)"}},
    {"a company as the representative", "TCU117", put(2, 310, "08534210011     "),
     {"AVVISO record 2 posizione 310: Codice fiscale del rappresentante (posizioni 310-325) '08534210011' di una "
      "societa' o di un ente: il rappresentante che firma e' una persona (codice fiscale di 16 caratteri); il codice "
      "della societa' dichiarante va nelle posizioni 372-382 (secondo le specifiche dell'Agenzia per una fornitura "
      "affine; quelle della CU 2017 possono differire)"}},
    {"a codice carica out of the table", "TCU117", put(2, 326, "13"),
     {"AVVISO record 2 posizione 326: Codice carica del rappresentante (posizioni 326-327) '13' fuori dalla tabella "
      "dei codici carica (da 01 a 12) (secondo le specifiche dell'Agenzia per una fornitura affine; quelle della CU "
      "2017 possono differire)"}},
    // CU: counts and amounts.
    {"record Z counting fewer records than the file holds", "TCU117", put(12, 42, "3"),
     {"BLOCCANTE record 12 posizione 34: Il record Z conta 3 record di tipo D (posizioni 34-42), il file ne contiene "
      "4"}},
    {"a zero amount whose last cent is not zero", "TCU117", put(5, 98, "            0,01"), {}},
};

// The lines of a check but the twenty warnings that April's restaurant file has of its own
// (see ProgramFiles): its entertainer's days without a coverage code.
std::vector<std::string> withoutTheEntertainersDays(const std::vector<std::string>& lines)
{
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        if (line.find("FABBRI CHIARA: Elemento TipoCoperturaGiorn (copertura del giorno) vuoto") == std::string::npos)
            kept.push_back(line);
    }
    return kept;
}

void expectFault(const Fault& fault)
{
    SCOPED_TRACE(std::string(fault.rule) + " in " + fault.file);
    const Checked checked = checkDamaged(fault.file, fault.damage);
    ASSERT_EQ(checked.error, "");
    EXPECT_EQ(joined(withoutTheEntertainersDays(checked.lines)), joined(fault.expected));
}

} // namespace

TEST(PlantedFaults, EachFaultOfACuFileIsFoundNamedAndPlaced)
{
    for (const Fault& fault : kCuFaults)
        expectFault(fault);
}

TEST(PlantedFaults, EachFaultOfAUniemensFileIsFoundNamedAndPlaced)
{
    for (const Fault& fault : kXmlFaults)
        expectFault(fault);
}

TEST(PlantedFaults, WhatTheAuthorityRejectsOrAClerkShouldSeeIsFound)
{
    for (const Fault& fault : kRejectedOrDoubtful)
        expectFault(fault);
}

TEST(PlantedFaults, TheUndamagedFilesSayNothing)
{
    for (const char* file : {"TCU117", "TCU717", "fc0010316.xml", "fp0040416.xml", "fc0060416.xml", "uea0050416.xml"})
        EXPECT_EQ(joined(checkDamaged(file, [](std::string&) {}).lines), "") << file;
}
