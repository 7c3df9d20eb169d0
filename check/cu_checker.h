#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/cu_rules.h"
#include "check/finding.h"
#include "check/options.h"

namespace check::cu {

struct ElementRule;
struct PositionalField;

// Checks a CU 2017 telematic file as the Revenue Agency reads it, record by record: the
// framing of each record, the order and number of the records, the positional fields of
// records A, B, C, D, G and Z, the elements of records C, D and G, the heading of records H,
// and what only the whole file can tell (the counts of records B and Z, the numbering of
// the certifications). It keeps one certification at a time, never the file; the findings
// of a certification name its payee, whose name its record D holds.
class FileChecker {
public:
    FileChecker(FindingSink& sink, const CheckOptions& options);

    // The next record of the file: 1900 bytes, fewer for a last record cut short.
    void record(std::string_view bytes);
    // After the last record.
    void finish();

    // Set when the file has lost the 1900-byte boundaries of its records: what follows
    // is not checked, and record() may as well not be called.
    bool stopped() const { return m_stopped; }
    long long records() const { return m_number; }

private:
    // The certification being read: its record D and what its elements said.
    struct Certification {
        bool open = false;
        long long record = 0;       // its first record D
        std::string header;         // positions 2-46 of its record D
        char operation = ' ';       // position 84
        long long recordsG = 0;
        long long recordsH = 0;
        long long elementsG = 0;
        std::string agentCode;      // "DA001001"
        std::string payeeCode;      // "DA002001"
        char sex = 0;               // "DA002004"
        std::string birthDate;      // "DA002005", ddmmyyyy
        Day start = 0;              // "DB001008"
        Day end = 0;                // "DB001009"
        bool inForce = false;       // "DB001010"
        long long endRecord = 0;
        int endPosition = 0;
    };
    // The elements of one kind of record of a certification (D, or G, or the record C),
    // which continue from record to record in ascending order.
    struct Chain {
        int lastRank = -1;
        std::uint64_t lastCode = 0; // the 8 bytes of the last code
        bool lastIsText = false;
    };

    void emit(RuleId rule, int position, std::string element, std::string message);
    void emitAt(long long record, RuleId rule, int position, std::string element, std::string message);

    bool framing(std::string_view bytes);
    void order(char type);
    void characters(std::string_view bytes, char type);
    void positional(std::string_view bytes, char type);
    void positionalField(std::string_view bytes, const PositionalField& field);
    void elements(std::string_view bytes, char type, Chain& chain);
    void element(std::string_view slot, int position, char type, Chain& chain);
    void value(std::string_view value, int position, const ElementRule& rule, int rank);
    void remember(int rank, std::string_view value, int position);

    void recordA(std::string_view bytes);
    void recordB(std::string_view bytes);
    void representative(std::string_view bytes);
    void recordC(std::string_view bytes);
    void openCertification(std::string_view bytes);
    void certificationHeading(std::string_view bytes);
    bool incomeRecord(std::string_view bytes, char type, long long count);
    void recordD(std::string_view bytes);
    void recordG(std::string_view bytes);
    void recordH(std::string_view bytes);
    void recordZ(std::string_view bytes);
    void closeCertification();

    PlaceOrder m_order;
    CheckOptions m_options;
    long long m_number = 0; // the record being checked, from 1
    bool m_stopped = false;
    int m_badFraming = 0; // records in a row without their end marker
    char m_previousType = 0;
    bool m_afterZReported = false;
    std::array<long long, 128> m_counts{}; // records by type
    // Record A and record B.
    std::string m_supplierType;
    std::string m_supplierCode;
    std::string m_agentCode;
    long long m_recordB = 0;
    char m_annulment = '0';
    char m_replacement = '0';
    long long m_declared = -1;
    char m_quadroCt = '0';
    long long m_recordZ = 0;
    // Certifications.
    long long m_certifications = 0;
    long long m_lastNumber = 0;
    std::vector<bool> m_numbers; // the certification numbers used, 00000 to 99999
    bool m_recordsHNamed = false;
    bool m_recordsENamed = false;
    Certification m_cert;
    // The payee of the open certification, whom its findings name.
    std::string m_personCode;
    std::string m_personName;
    Chain m_chainC;
    Chain m_chainD;
    Chain m_chainG;
    // The certification in which each element was last seen, by rank: a code seen in the
    // current one is written twice.
    std::vector<long long> m_seenIn;
    std::span<const ElementRule> m_rules;
    std::span<const std::uint64_t> m_codeWords;
    const std::uint8_t* m_roles = nullptr; // what the end of a certification needs, by rank
};

} // namespace check::cu
