// The mail module: a Simple-MAPI-shaped entry that hands a message to the
// user's mail program. With the dialog flag the message opens in the
// user's composer (xdg-email); otherwise it goes, as a MIME message, to
// `sendmail -oi --` with every recipient as an argument. Programs are
// started from argument vectors, never through a shell.
#pragma once

#include <cstdint>
#include <string>

namespace plat {

struct MapiRecipDesc {
  uint32_t reserved = 0;
  uint32_t recipClass = 0;     // 1 To, 2 Cc, 3 Bcc
  char* name = nullptr;
  char* address = nullptr;
  uint32_t entryIdSize = 0;
  void* entryId = nullptr;
};

struct MapiFileDesc {
  uint32_t reserved = 0;
  uint32_t flags = 0;
  uint32_t position = 0;
  char* pathName = nullptr;
  char* fileName = nullptr;
  void* fileType = nullptr;
};

struct MapiMessage {
  uint32_t reserved = 0;
  char* subject = nullptr;
  char* noteText = nullptr;
  char* messageType = nullptr;
  char* dateReceived = nullptr;
  char* conversationId = nullptr;
  uint32_t flags = 0;
  MapiRecipDesc* originator = nullptr;
  uint32_t recipCount = 0;
  MapiRecipDesc* recips = nullptr;
  uint32_t fileCount = 0;
  MapiFileDesc* files = nullptr;
};

constexpr uint32_t kMapiLogonUi = 1;
constexpr uint32_t kMapiDialog = 8;
constexpr uint32_t kMapiUnknownRecipient = 14;

// A program that can send mail is on PATH (xdg-email or sendmail).
bool MailProgramAvailable();

// 0 when the mail program took the message; otherwise its non-zero exit
// status, or the errno of a failed start or of an attachment that could
// not be read.
uint32_t mapiSendMail(uintptr_t session, uintptr_t uiParam, const MapiMessage* message, uint32_t flags,
                      uint32_t reserved);
// A name or address holding "@" resolves to itself (a record the caller
// frees with mapiFreeBuffer); any other gives kMapiUnknownRecipient.
uint32_t mapiResolveName(uintptr_t session, uintptr_t uiParam, const char* name, uint32_t flags, uint32_t reserved,
                         MapiRecipDesc** resolved);
uint32_t mapiFreeBuffer(void* buffer);

// The MIME message that goes to sendmail (no Bcc header); `error` is the
// errno of an attachment that could not be read, else 0.
std::string MailMimeMessage(const MapiMessage& message, int& error);

}  // namespace plat
