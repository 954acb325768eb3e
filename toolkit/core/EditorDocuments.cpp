#include "toolkit/core/EditorDocuments.h"

std::vector<EditorDocumentRecord>& EditorDocumentTable() {
  static std::vector<EditorDocumentRecord> table;
  return table;
}

EditorDocumentRecord& EditorDocument(int32_t window, int32_t document) {
  return EditorDocumentTable().at(static_cast<size_t>(window * kEditorDocuments + document - 1));
}

void YYEditorTableCreate() {
  auto& table = EditorDocumentTable();
  if (!table.empty()) return;
  table.resize(static_cast<size_t>(kEditorWindows * kEditorDocuments));
}

void YYEditorTableRelease() {
  for (auto& d : EditorDocumentTable()) d = EditorDocumentRecord{};
}
