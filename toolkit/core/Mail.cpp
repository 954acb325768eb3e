#include "toolkit/core/Mail.h"

#include <algorithm>
#include <list>
#include <string>
#include <vector>

#include "platform/os/Modules.h"
#include "platform/os/Os.h"
#include "toolkit/core/RootWindow.h"

namespace {

using SendMailEntry = uint32_t (*)(uintptr_t, uintptr_t, const plat::MapiMessage*, uint32_t, uint32_t);
using ResolveNameEntry = uint32_t (*)(uintptr_t, uintptr_t, const char*, uint32_t, uint32_t, plat::MapiRecipDesc**);
using FreeBufferEntry = uint32_t (*)(void*);

struct MailStateRecord {
  plat::Hmodule Module = 0;
  SendMailEntry Send = nullptr;
  int32_t RecipientCount = 0;
  std::vector<plat::MapiRecipDesc> Recipients;
  int32_t AttachmentCount = 0;
  std::vector<plat::MapiFileDesc> Attachments;
  std::list<std::string> Texts;   // the texts the records point to
};

MailStateRecord& M() {
  static MailStateRecord s;
  return s;
}

char* Keep(std::string_view text) {
  M().Texts.emplace_back(text);
  return M().Texts.back().data();
}

// Frees the texts no record points to any more.
void DropUnusedTexts() {
  std::vector<const char*> used;
  for (const plat::MapiRecipDesc& r : M().Recipients) used.insert(used.end(), {r.name, r.address});
  for (const plat::MapiFileDesc& f : M().Attachments) used.push_back(f.pathName);
  M().Texts.remove_if([&](const std::string& s) {
    return std::find(used.begin(), used.end(), s.data()) == used.end();
  });
}

}  // namespace

void YYMailLoad() {
  YYMailUnload();
  MailStateRecord& s = M();
  s.Module = plat::loadLibrary("mapi32.dll");
  if (s.Module == 0) return;
  s.Send = reinterpret_cast<SendMailEntry>(plat::getProcAddress(s.Module, "MAPISendMail"));
  WindowManagerState().MailAvailable = s.Send != nullptr ? 1 : 0;
}

void YYMailUnload() {
  MailStateRecord& s = M();
  if (s.Module != 0) plat::freeLibrary(s.Module);
  s.Module = 0;
  s.Send = nullptr;
  WindowManagerState().MailAvailable = 0;
}

void YYMailRecipientCount(int32_t n) {
  MailStateRecord& s = M();
  s.Recipients.assign(static_cast<size_t>(std::max(n, 1)), plat::MapiRecipDesc{});
  s.Recipients[0].recipClass = 1;
  s.RecipientCount = n;
  DropUnusedTexts();
}

void YYMailRecipientName(int32_t k, std::string_view name) {
  if (k < 0 || static_cast<size_t>(k) >= M().Recipients.size()) return;
  M().Recipients[static_cast<size_t>(k)].name = Keep(name);
}

void YYMailRecipientAddress(int32_t k, std::string_view address) {
  if (k < 0 || static_cast<size_t>(k) >= M().Recipients.size()) return;
  M().Recipients[static_cast<size_t>(k)].address = Keep(address);
}

void YYMailRecipientClass(int32_t k, int32_t recipientClass) {
  if (k < 0 || static_cast<size_t>(k) >= M().Recipients.size()) return;
  M().Recipients[static_cast<size_t>(k)].recipClass =
      recipientClass == 2 || recipientClass == 3 ? static_cast<uint32_t>(recipientClass) : 1u;
}

void YYMailAttachmentCount(int32_t n) {
  MailStateRecord& s = M();
  s.Attachments.clear();
  if (n > 0) {
    plat::MapiFileDesc d;
    d.position = 0xFFFFFFFFu;   // -1: no place in the text
    s.Attachments.assign(static_cast<size_t>(n), d);
  }
  s.AttachmentCount = std::max(n, 0);
  DropUnusedTexts();
}

void YYMailAttachmentPath(int32_t k, std::string_view path) {
  if (k < 0 || static_cast<size_t>(k) >= M().Attachments.size()) return;
  M().Attachments[static_cast<size_t>(k)].pathName = Keep(path);
}

const plat::MapiRecipDesc* YYMailRecipient(int32_t k) {
  if (k < 0 || static_cast<size_t>(k) >= M().Recipients.size()) return nullptr;
  return &M().Recipients[static_cast<size_t>(k)];
}

void YYMailSend(int32_t options, int32_t& status, int32_t& mailError, std::string_view subject,
                std::string_view text) {
  MailStateRecord& s = M();
  mailError = 0;
  if (s.Send == nullptr) {
    status = -1;
    return;
  }
  // Mail programs may change the current directory: it is put back.
  std::string directory;
  const bool haveDirectory = plat::DirGet(directory) == 0;
  if (s.Recipients.empty()) YYMailRecipientCount(0);
  std::vector<plat::MapiRecipDesc*> resolved;
  FreeBufferEntry freeBuffer = reinterpret_cast<FreeBufferEntry>(plat::getProcAddress(s.Module, "MAPIFreeBuffer"));
  if (options & 4) {
    auto resolve = reinterpret_cast<ResolveNameEntry>(plat::getProcAddress(s.Module, "MAPIResolveName"));
    for (int32_t k = 0; k < s.RecipientCount && resolve != nullptr; ++k) {
      plat::MapiRecipDesc& r = s.Recipients[static_cast<size_t>(k)];
      plat::MapiRecipDesc* found = nullptr;
      uint32_t result = plat::kMapiUnknownRecipient;
      if (r.name != nullptr && *r.name != '\0') result = resolve(0, 0, r.name, 0, 0, &found);
      if ((r.name == nullptr || *r.name == '\0' || result == plat::kMapiUnknownRecipient) && r.address != nullptr) {
        result = resolve(0, 0, r.address, 0, 0, &found);
      }
      if (result == 0 && found != nullptr) {
        resolved.push_back(found);
        r.reserved = found->reserved;
        r.entryIdSize = found->entryIdSize;
        r.entryId = found->entryId;
        r.name = found->name;
        r.address = found->address;
      }
    }
  }
  std::string subjectText(subject), noteText(text);
  plat::MapiMessage message;
  message.subject = subjectText.data();
  message.noteText = noteText.data();
  message.recipCount = static_cast<uint32_t>(std::max(s.RecipientCount, 0));
  message.recips = s.RecipientCount > 0 ? s.Recipients.data() : nullptr;
  message.fileCount = static_cast<uint32_t>(s.AttachmentCount);
  message.files = s.AttachmentCount > 0 ? s.Attachments.data() : nullptr;
  uint32_t flags = plat::kMapiLogonUi;
  if ((options & 1) || s.RecipientCount <= 0) flags |= plat::kMapiDialog;
  const uint32_t result = s.Send(0, static_cast<uintptr_t>(WindowTables().Frame[0].value), &message, flags, 0);
  // The resolved records go; the recipients keep copies of their texts.
  for (plat::MapiRecipDesc& r : s.Recipients) {
    for (plat::MapiRecipDesc* f : resolved) {
      if (r.name == f->name) r.name = Keep(f->name);
      if (r.address == f->address) r.address = Keep(f->address);
      if (r.entryId == f->entryId) r.entryId = nullptr;
    }
  }
  if (freeBuffer != nullptr) {
    for (plat::MapiRecipDesc* f : resolved) freeBuffer(f);
  }
  if (haveDirectory) plat::DirSet(directory);
  status = result == 0 ? 0 : -2;
  mailError = static_cast<int32_t>(result);
}
