// Mail: hands a message with recipients and file attachments to the user's
// mail program through the mail module ("mapi32.dll"), which the root
// window's opening looks up. The toolkit owns the recipient and attachment
// tables (records indexed from 0).
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/mail/Mapi.h"

void YYMailRecipientCount(int32_t n);
void YYMailRecipientName(int32_t k, std::string_view name);
void YYMailRecipientAddress(int32_t k, std::string_view address);
void YYMailRecipientClass(int32_t k, int32_t recipientClass);
void YYMailAttachmentCount(int32_t n);
void YYMailAttachmentPath(int32_t k, std::string_view path);
// Status 0 sent, -1 mail not available, -2 refused (mailError: the mail
// program's result). Option bit 1: the mail program's own compose dialog;
// bit 4: resolve the recipients first.
void YYMailSend(int32_t options, int32_t& status, int32_t& mailError, std::string_view subject,
                std::string_view text);

// The look-up at the root window's opening (MailAvailable), and the
// release at its close.
void YYMailLoad();
void YYMailUnload();

// The recipient record k as it stands (tests); null when out of range.
const plat::MapiRecipDesc* YYMailRecipient(int32_t k);
