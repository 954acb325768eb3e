#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mail/Mapi.h"
#include "platform/os/Os.h"

namespace plat {

namespace {

// Header texts keep to one line: a line break would start a header of its own.
std::string OneLine(const char* text) {
  std::string s = text != nullptr ? text : "";
  for (char& c : s) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return s;
}

bool Ascii(std::string_view s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

std::string Base64(std::string_view bytes, bool lines) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t column = 0;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const uint32_t b0 = static_cast<unsigned char>(bytes[i]);
    const uint32_t b1 = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    const uint32_t b2 = i + 2 < bytes.size() ? static_cast<unsigned char>(bytes[i + 2]) : 0;
    const uint32_t v = (b0 << 16) | (b1 << 8) | b2;
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[v & 63] : '=';
    column += 4;
    if (lines && column >= 76) {
      out += '\n';
      column = 0;
    }
  }
  if (lines && column > 0) out += '\n';
  return out;
}

// A header value: plain when it is ASCII, else an encoded word.
std::string HeaderText(const std::string& s) {
  return Ascii(s) ? s : "=?UTF-8?B?" + Base64(s, false) + "?=";
}

std::string AddressOf(const MapiRecipDesc& r) {
  const std::string address = OneLine(r.address);
  return address.empty() ? OneLine(r.name) : address;
}

std::string Mailbox(const MapiRecipDesc& r) {
  const std::string name = OneLine(r.name), address = AddressOf(r);
  if (name.empty() || name == address) return address;
  std::string quoted;
  for (char c : name) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return (Ascii(name) ? "\"" + quoted + "\"" : HeaderText(name)) + " <" + address + ">";
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int ReadWhole(const std::string& path, std::string& bytes) {
  int handle = -1;
  if (const int e = FileOpen(path, kOpenRead, handle); e != 0) return e;
  char buffer[65536];
  int status = 0;
  for (;;) {
    size_t got = 0;
    status = FileRead(handle, buffer, sizeof buffer, got);
    bytes.append(buffer, got);
    if (status != 0 || got < sizeof buffer) break;
  }
  FileClose(handle);
  return status;
}

std::string Text(const char* text) {
  std::string s = text != nullptr ? text : "";
  // line ends as the mail program expects them: line feeds only
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out += '\n';
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      out += s[i];
    }
  }
  if (!out.empty() && out.back() != '\n') out += '\n';
  return out;
}

}  // namespace

bool MailProgramAvailable() { return !FindProgram("xdg-email").empty() || !FindProgram("sendmail").empty(); }

std::string MailMimeMessage(const MapiMessage& m, int& error) {
  error = 0;
  std::string to, cc;
  for (uint32_t i = 0; i < m.recipCount && m.recips != nullptr; ++i) {
    const MapiRecipDesc& r = m.recips[i];
    if (AddressOf(r).empty() || r.recipClass == 3) continue;
    std::string& list = r.recipClass == 2 ? cc : to;
    list += (list.empty() ? "" : ", ") + Mailbox(r);
  }
  std::string out;
  if (!to.empty()) out += "To: " + to + "\n";
  if (!cc.empty()) out += "Cc: " + cc + "\n";
  out += "Subject: " + HeaderText(OneLine(m.subject)) + "\n";
  out += "MIME-Version: 1.0\n";
  const std::string body = Text(m.noteText);
  const std::string textHeaders = "Content-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: base64\n";
  if (m.fileCount == 0 || m.files == nullptr) {
    return out + textHeaders + "\n" + Base64(body, true);
  }
  const std::string boundary = "=_quillon_part_boundary_0";
  out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\n\n";
  out += "--" + boundary + "\n" + textHeaders + "\n" + Base64(body, true);
  for (uint32_t i = 0; i < m.fileCount; ++i) {
    const std::string path = m.files[i].pathName != nullptr ? m.files[i].pathName : "";
    std::string bytes;
    if (const int e = ReadWhole(path, bytes); e != 0) {
      error = e;
      return {};
    }
    std::string name = OneLine(m.files[i].fileName);
    if (name.empty()) name = BaseName(path);
    std::string quoted;
    for (char c : name) {
      if (c == '"' || c == '\\') quoted += '\\';
      quoted += c;
    }
    out += "--" + boundary + "\n";
    out += "Content-Type: application/octet-stream; name=\"" + quoted + "\"\n";
    out += "Content-Transfer-Encoding: base64\n";
    out += "Content-Disposition: attachment; filename=\"" + quoted + "\"\n\n";
    out += Base64(bytes, true);
  }
  out += "--" + boundary + "--\n";
  return out;
}

uint32_t mapiSendMail(uintptr_t, uintptr_t, const MapiMessage* message, uint32_t flags, uint32_t) {
  if (message == nullptr) return EINVAL;
  const MapiMessage& m = *message;
  std::vector<std::string> argv;
  SpawnOutcome outcome;
  int status = 0;
  if (flags & kMapiDialog) {
    argv.push_back("xdg-email");
    std::vector<std::string> to;
    for (uint32_t i = 0; i < m.recipCount && m.recips != nullptr; ++i) {
      const std::string address = AddressOf(m.recips[i]);
      if (address.empty()) continue;
      if (m.recips[i].recipClass == 2) {
        argv.insert(argv.end(), {"--cc", address});
      } else if (m.recips[i].recipClass == 3) {
        argv.insert(argv.end(), {"--bcc", address});
      } else {
        to.push_back(address);
      }
    }
    if (m.subject != nullptr && *m.subject != '\0') argv.insert(argv.end(), {"--subject", OneLine(m.subject)});
    if (m.noteText != nullptr && *m.noteText != '\0') argv.insert(argv.end(), {"--body", m.noteText});
    for (uint32_t i = 0; i < m.fileCount && m.files != nullptr; ++i) {
      const std::string path = m.files[i].pathName != nullptr ? m.files[i].pathName : "";
      FileStatus st;
      if (const int e = FileStat(path, st); e != 0) return static_cast<uint32_t>(e);
      argv.insert(argv.end(), {"--attach", path});
    }
    // The recipients come last; one that begins with "-" goes as a mail
    // address URI, so it cannot be read as an option.
    for (const std::string& address : to) argv.push_back(address.front() == '-' ? "mailto:" + address : address);
    if (FindProgram("xdg-email").empty()) return ENOENT;
    status = Spawn(argv, true, -1, outcome);
  } else {
    int error = 0;
    const std::string mime = MailMimeMessage(m, error);
    if (error != 0) return static_cast<uint32_t>(error);
    argv = {"sendmail", "-oi", "--"};
    for (uint32_t i = 0; i < m.recipCount && m.recips != nullptr; ++i) {
      const std::string address = AddressOf(m.recips[i]);
      if (!address.empty()) argv.push_back(address);
    }
    if (FindProgram("sendmail").empty()) return ENOENT;
    status = SpawnWithInput(argv, mime, outcome);
  }
  if (status != 0) return static_cast<uint32_t>(status);
  if (!outcome.ended) return 0;
  return outcome.exitStatus == 0 ? 0 : static_cast<uint32_t>(outcome.exitStatus < 0 ? EINTR : outcome.exitStatus);
}

namespace {
struct ResolvedBlock {
  MapiRecipDesc record;   // first, so the record's address is the block's
  std::string name;
  std::string address;
};
}  // namespace

uint32_t mapiResolveName(uintptr_t, uintptr_t, const char* name, uint32_t, uint32_t, MapiRecipDesc** resolved) {
  if (resolved == nullptr) return EINVAL;
  *resolved = nullptr;
  const std::string text = name != nullptr ? name : "";
  if (text.find('@') == std::string::npos) return kMapiUnknownRecipient;
  auto* block = new ResolvedBlock;
  block->name = text;
  block->address = text;
  block->record.recipClass = 1;
  block->record.name = block->name.data();
  block->record.address = block->address.data();
  *resolved = &block->record;
  return 0;
}

uint32_t mapiFreeBuffer(void* buffer) {
  delete static_cast<ResolvedBlock*>(buffer);
  return 0;
}

}  // namespace plat
