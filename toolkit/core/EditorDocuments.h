// The text editor's documents: the table of documents that are not shown.
//
// Stand-in: only the table that start-up creates and shutdown releases is
// here yet; the editor completes this file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
  std::unique_ptr<std::string> FileName;         // 260 characters, made on first use
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
