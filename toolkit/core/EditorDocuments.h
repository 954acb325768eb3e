// The text editor's documents: the table of documents that are not shown
// (their text as the control streams it out, their selection, state and
// name), by window number and document number.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/CommonDialogs.h"

// Room the editor's open and save dialogs give a chosen name: the longest
// path the system takes, so no name the user can use is refused or cut.
inline constexpr size_t kEditorNameRoom = kFileNameRoom;

struct EditorDocumentRecord {
  int32_t KeptSize = 0;
  int32_t TextLength = 0;
  int32_t SelectionStart = 0;
  int32_t SelectionEnd = 0;
  int32_t NotModified = 0;
  int32_t Changed = 0;
  int32_t FirstLine = 0;
  int32_t NamePresent = 0;   // the file-name buffer exists
  int32_t TextPresent = 0;   // the kept-text buffer exists
  std::unique_ptr<std::string> FileName;         // the whole name, made on first use
  std::unique_ptr<std::vector<uint8_t>> KeptText;
};

constexpr int32_t kEditorWindows = 51;    // window numbers 0..50
constexpr int32_t kEditorDocuments = 20;  // document numbers 1..20

// Empty until YYEditorTableCreate.
std::vector<EditorDocumentRecord>& EditorDocumentTable();
// The record of window 0..50, document 1..20.
EditorDocumentRecord& EditorDocument(int32_t window, int32_t document);
// Allocates the table once, every buffer marked not allocated.
void YYEditorTableCreate();
// Releases every allocated buffer and clears the state words.
void YYEditorTableRelease();

// Keeps the control's text and state of window n's editor as document d.
void YYEditorKeepDocument(int32_t window, int32_t document);
// Puts document d back into the control and frees its kept text.
void YYEditorRestoreDocument(int32_t window, int32_t document);
// Keeps the current document and restores the new one (nothing when equal).
void YYEditorSwapDocument(int32_t window, int32_t current, int32_t next);
// Removes document d; the later ones move down.
void YYEditorRemoveDocument(int32_t window, int32_t document);
void YYEditorStoreName(int32_t window, int32_t document, const std::string& name);
void YYEditorDocumentName(int32_t window, int32_t document, std::string& name, int32_t length);
std::string YYEditorDocumentNameOf(int32_t window, int32_t document);
void YYEditorDocumentNotModified(int32_t window, int32_t document, int32_t& flag);
