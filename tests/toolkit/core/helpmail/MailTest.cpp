// Mail: the recipient and attachment tables, the composer for the dialog
// case, a MIME message to sendmail otherwise (read back by Python's own
// mail parser), and the statuses. Processes are recorded, never run.
#include "tests/toolkit/core/windows/MainWindowFixture.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

#include "platform/os/Modules.h"
#include "platform/os/Os.h"
#include "toolkit/core/Mail.h"

namespace {

using wmtest::ToolkitTest;

class MailTest : public ToolkitTest {
 protected:
  void Open(std::vector<std::string> programs) {
    plat::test::recordSpawns(std::move(programs));
    OpenMainWindow();
  }
  struct Sent {
    int32_t status = 99;
    int32_t error = 99;
  };
  Sent Send(int32_t options, std::string_view subject = "Suite results", std::string_view text = "See attached.") {
    Sent s;
    YYMailSend(options, s.status, s.error, subject, text);
    return s;
  }
  void TwoRecipients() {
    YYMailRecipientCount(3);
    YYMailRecipientName(0, "Ann Example");
    YYMailRecipientAddress(0, "ann@example.org");
    YYMailRecipientAddress(1, "-cc@example.org");
    YYMailRecipientClass(1, 2);
    YYMailRecipientAddress(2, "hidden@example.org");
    YYMailRecipientClass(2, 3);
  }
};

TEST_F(MailTest, WithoutAMailProgramMailIsNotAvailable) {
  Open({"xdg-open"});
  EXPECT_EQ(WindowManagerState().MailAvailable, 0);
  TwoRecipients();
  const Sent s = Send(0);
  EXPECT_EQ(s.status, -1);
  EXPECT_EQ(s.error, 0);
  EXPECT_TRUE(plat::test::recordedSpawns().empty());
}

TEST_F(MailTest, RecordZeroIsToAndOtherClassesAreTo) {
  Open({"sendmail"});
  EXPECT_EQ(WindowManagerState().MailAvailable, 1);
  YYMailRecipientCount(0);
  ASSERT_NE(YYMailRecipient(0), nullptr);   // at least one record
  EXPECT_EQ(YYMailRecipient(0)->recipClass, 1u);
  EXPECT_EQ(YYMailRecipient(1), nullptr);
  YYMailRecipientCount(5);
  const std::pair<int32_t, uint32_t> classes[] = {{2, 2}, {3, 3}, {1, 1}, {0, 1}, {7, 1}};
  for (int32_t k = 0; k < 5; ++k) YYMailRecipientClass(k, classes[k].first);
  for (int32_t k = 0; k < 5; ++k) EXPECT_EQ(YYMailRecipient(k)->recipClass, classes[k].second) << k;
  EXPECT_EQ(YYMailRecipient(1)->name, nullptr);
}

TEST_F(MailTest, TheDialogCaseOpensTheUsersComposer) {
  Open({"xdg-email", "sendmail"});
  YYMailRecipientCount(4);
  YYMailRecipientName(0, "Ann Example");
  YYMailRecipientAddress(0, "ann@example.org");
  YYMailRecipientAddress(1, "-cc@example.org");
  YYMailRecipientClass(1, 2);
  YYMailRecipientAddress(2, "hidden@example.org");
  YYMailRecipientClass(2, 3);
  YYMailRecipientAddress(3, "-to@example.org");
  testsupport::WriteFile("curves.dat", "1 2 3\n");
  YYMailAttachmentCount(1);
  YYMailAttachmentPath(0, dir_ / "curves.dat");
  const Sent s = Send(1);
  EXPECT_EQ(s.status, 0);
  ASSERT_EQ(plat::test::recordedSpawns().size(), 1u);
  const plat::test::RecordedSpawn& r = plat::test::recordedSpawns()[0];
  EXPECT_EQ(r.argv, (std::vector<std::string>{"xdg-email", "--cc", "-cc@example.org", "--bcc", "hidden@example.org",
                                              "--subject", "Suite results", "--body", "See attached.", "--attach",
                                              dir_ / "curves.dat", "ann@example.org", "mailto:-to@example.org"}));
  EXPECT_FALSE(r.hasInput);
  // no recipients: the composer too
  YYMailRecipientCount(0);
  YYMailAttachmentCount(0);
  EXPECT_EQ(Send(0, "", "").status, 0);
  EXPECT_EQ(plat::test::recordedSpawns().back().argv, (std::vector<std::string>{"xdg-email"}));
}

TEST_F(MailTest, OtherwiseAMimeMessageGoesToSendmailAndReadsBackWhole) {
  Open({"sendmail"});
  TwoRecipients();
  std::string bytes;
  for (int i = 0; i < 300; ++i) bytes += static_cast<char>(i * 7 % 256);
  testsupport::WriteFile("model.bin", bytes);
  YYMailAttachmentCount(1);
  YYMailAttachmentPath(0, dir_ / "model.bin");
  const Sent s = Send(0, "R\xC3\xA9sultats\r\nBcc: evil@example.org", "Line one\r\nLine two");
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.error, 0);
  ASSERT_EQ(plat::test::recordedSpawns().size(), 1u);
  const plat::test::RecordedSpawn& r = plat::test::recordedSpawns()[0];
  EXPECT_EQ(r.argv, (std::vector<std::string>{"sendmail", "-oi", "--", "ann@example.org", "-cc@example.org",
                                              "hidden@example.org"}));
  ASSERT_TRUE(r.hasInput);
  EXPECT_TRUE(r.waited);
  testsupport::WriteFile("message.eml", r.input);
  testsupport::WriteFile("read.py",
                         "import email, email.policy, sys\n"
                         "m = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)\n"
                         "print('to', m['To'])\n"
                         "print('cc', m['Cc'])\n"
                         "print('bcc', m['Bcc'])\n"
                         "print('subject', m['Subject'])\n"
                         "print('text', repr(m.get_body(('plain',)).get_content()))\n"
                         "for a in m.iter_attachments():\n"
                         "    print('file', a.get_filename(), a.get_content().hex())\n"
                         "print('defects', len(m.defects))\n");
  const std::string command = "/usr/bin/python3 read.py message.eml > read.out 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << testsupport::ReadFile("read.out");
  std::string hex;
  for (unsigned char c : bytes) {
    char two[3];
    std::snprintf(two, sizeof two, "%02x", c);
    hex += two;
  }
  EXPECT_EQ(testsupport::ReadFile("read.out"),
            "to Ann Example <ann@example.org>\n"
            "cc -cc@example.org\n"
            "bcc None\n"
            "subject R\xC3\xA9sultats  Bcc: evil@example.org\n"
            "text 'Line one\\nLine two\\n'\n"
            "file model.bin " + hex + "\n"
            "defects 0\n");
}

TEST_F(MailTest, ARefusalGivesMinusTwoWithTheMailProgramsAnswer) {
  Open({"sendmail"});
  TwoRecipients();
  plat::test::answerSpawn({0, 75});
  Sent s = Send(0);
  EXPECT_EQ(s.status, -2);
  EXPECT_EQ(s.error, 75);
  plat::test::answerSpawn({ENOENT, 0});
  s = Send(0);
  EXPECT_EQ(s.status, -2);
  EXPECT_EQ(s.error, ENOENT);
  // an attachment that cannot be read stops the message before any start
  YYMailAttachmentCount(1);
  YYMailAttachmentPath(0, dir_ / "missing.dat");
  const size_t started = plat::test::recordedSpawns().size();
  s = Send(0);
  EXPECT_EQ(s.status, -2);
  EXPECT_EQ(s.error, ENOENT);
  EXPECT_EQ(plat::test::recordedSpawns().size(), started);
}

TEST_F(MailTest, RecipientsResolveByNameThenByAddress) {
  Open({"sendmail"});
  YYMailRecipientCount(3);
  YYMailRecipientName(0, "Ann Example");
  YYMailRecipientAddress(0, "ann@example.org");
  YYMailRecipientName(1, "bob@example.org");
  YYMailRecipientName(2, "Nobody");
  YYMailRecipientClass(1, 2);
  EXPECT_EQ(Send(4).status, 0);
  EXPECT_STREQ(YYMailRecipient(0)->name, "ann@example.org");
  EXPECT_STREQ(YYMailRecipient(1)->address, "bob@example.org");
  EXPECT_EQ(YYMailRecipient(1)->recipClass, 2u);
  EXPECT_STREQ(YYMailRecipient(2)->name, "Nobody");   // unresolved: kept as it was
  EXPECT_EQ(YYMailRecipient(2)->address, nullptr);
}

// A mail program that changes the current directory, as some do.
uint32_t WanderingSend(uintptr_t, uintptr_t, const plat::MapiMessage*, uint32_t, uint32_t) {
  return ::chdir("/") == 0 ? 0 : 1;
}

TEST_F(MailTest, TheCurrentDirectoryIsPutBack) {
  plat::registerModule("mapi32.dll", {{"MAPISendMail", reinterpret_cast<plat::ModuleEntry>(&WanderingSend)}});
  Open({});
  TwoRecipients();
  EXPECT_EQ(Send(0).status, 0);
  std::string now;
  plat::DirGet(now);
  EXPECT_EQ(now, dir_.path());
}

}  // namespace
