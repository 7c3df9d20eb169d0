#pragma once

#include <string_view>

#include "records/prompter.h"

// The questions of the company and employee registers, by identity: the command line and the
// tests answer them by these, never by their Italian text. Every one has the title "Modifica
// dei dati" and the question icon.
namespace registers {

// "Conferma ", before a record is saved or blanked.
inline constexpr records::Question kConfirmChange{"registers.confirm-change"};
// "Conferma ", the same words, before an employee record is deleted.
inline constexpr records::Question kConfirmDelete{"registers.confirm-delete"};
// "Il campo ... non ha superato il controllo (...). Salvare comunque ?", before a box whose
// code failed its check is stored; No is the default button, so that a hurried Enter does not
// store it.
inline constexpr records::Question kSaveDespiteCheck{"registers.save-despite-check", records::Question::Default::No};
// "Salvare le modifiche al record ?" with Si', No and Annulla, before edits are left behind.
inline constexpr records::Question kSaveEdits{"registers.save-edits"};
// "Il record e' stato salvato da un altro utente ..." with Si', No and Annulla, when a save
// finds the record on the disk changed since the window read it: Si' shows the record as
// stored now, No writes the boxes over it, Annulla keeps the boxes and saves nothing.
inline constexpr records::Question kRecordChanged{"registers.record-changed"};

// Asks "Conferma " before a change is stored; true means Yes.
bool confirmChange(records::Prompter& prompter);
// Asks "Conferma " before an employee record is deleted; true means Yes.
bool confirmDeletion(records::Prompter& prompter);
// Asks whether the box `boxLabel`, whose check said `checkMessage`, is to be stored all the
// same; true means Yes.
bool saveDespiteCheck(records::Prompter& prompter, std::string_view boxLabel, std::string_view checkMessage);
// Asks whether the edits of the record shown are to be saved before they are left behind.
records::Answer askToSaveEdits(records::Prompter& prompter);
// Asks what becomes of a record that another clerk saved since the window read it; `changes`
// tells what the record holds now (see record_changes.h).
records::Answer askAboutChangedRecord(records::Prompter& prompter, std::string_view changes);

} // namespace registers
