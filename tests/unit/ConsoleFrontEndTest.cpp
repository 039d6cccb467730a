#include "app/console/ConsoleFrontEnd.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/console/JsonWriter.h"
#include "definitions/LineScramble.h"
#include "support/FakePlatform.h"

namespace qm::app {
namespace {

using test::FakeMachine;

class ConsoleFrontEndTest : public ::testing::Test {
  protected:
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        ConsoleEnvironment env{machine.platform, machine.settings, out, err};
        return RunConsole(args, env);
    }
    std::string DataFile(const std::string& name) const {
        return std::string(FakeMachine::kDataFolder) + "\\" + name;
    }

    FakeMachine machine;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ConsoleFrontEndTest, SmartScanOnACompleteSetEndsCompleteWithNothingFound) {
    machine.PutCompleteDefinitionSet();
    const int rc = Run({"--json", "--data-folder", FakeMachine::kDataFolder, "scan", "smart"});
    EXPECT_EQ(rc, kExitClean) << err.str();
    const std::string json = out.str();
    EXPECT_NE(json.find("\"kind\":\"smart\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"status\":\"Scanning complete.\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"started\":\"12/8/2026 8:46:21 PM\""), std::string::npos);
    for (const char* field :
         {"\"counters\":{\"processes\"", "\"registry\"", "\"files\"", "\"found\":\"0\"",
          "\"traces\":\"0\"", "\"live\":[]", "\"results\":[]", "\"worklists\":{\"files\":[]"}) {
        EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
    }
}

TEST_F(ConsoleFrontEndTest, OptionsMayComeInAnyOrderBeforeTheCommand) {
    machine.PutCompleteDefinitionSet();
    EXPECT_EQ(Run({"--data-folder", FakeMachine::kDataFolder, "--json", "scan", "smart"}),
              kExitClean);
    EXPECT_EQ(out.str().front(), '{');
    EXPECT_EQ(Run({"--server", "http://127.0.0.1:8080", "--data-folder", FakeMachine::kDataFolder,
                   "scan", "smart"}),
              kExitClean);
    EXPECT_NE(out.str().find("Status: Scanning complete."), std::string::npos) << out.str();
}

TEST_F(ConsoleFrontEndTest, MissingCookieListIsAnErrorAndRemovesTheIncompleteSet) {
    machine.PutCompleteDefinitionSet();
    machine.files.PutFile(DataFile("date.dat"), "1/2/2026 10:00:00 AM\r\n");
    machine.files.DeleteFile(DataFile("BlockedCookies.dat"));

    const int rc = Run({"--json", "--data-folder", FakeMachine::kDataFolder, "scan", "smart"});

    EXPECT_EQ(rc, kExitError);
    EXPECT_NE(err.str().find("Definition files are missing or they have been corrupted. Please "
                             "run Live Update."),
              std::string::npos)
        << err.str();
    for (const char* name : {"FileDefinition.dat", "DirectoryDefinition.dat",
                             "RegistryDefinition.dat", "ExeDefinition.dat", "date.dat"}) {
        EXPECT_FALSE(machine.files.Has(DataFile(name))) << name;
    }
}

TEST_F(ConsoleFrontEndTest, BadArgumentsAndUnusableDataFolderExitWithTwo) {
    machine.PutCompleteDefinitionSet();
    const std::string folder = FakeMachine::kDataFolder;
    EXPECT_EQ(Run({}), kExitError);
    EXPECT_NE(err.str().find("usage:"), std::string::npos);
    EXPECT_EQ(Run({"--data-folder"}), kExitError);
    EXPECT_EQ(Run({"--bogus", "scan", "smart"}), kExitError);
    EXPECT_EQ(Run({"--data-folder", folder, "scan"}), kExitError);
    EXPECT_EQ(Run({"--data-folder", folder, "scan", "deep"}), kExitError);
    EXPECT_EQ(Run({"--data-folder", folder, "scan", "file"}), kExitError);
    EXPECT_EQ(Run({"--data-folder", folder, "scan", "full", "--drives", "C,11"}), kExitError);
    EXPECT_EQ(Run({"--data-folder", folder, "frobnicate"}), kExitError);
    EXPECT_EQ(Run({"--data-folder", "C:\\nowhere\\at\\all", "scan", "smart"}), kExitError);
    EXPECT_NE(err.str().find("does not exist"), std::string::npos);
}

TEST_F(ConsoleFrontEndTest, DefaultDataFolderIsUnderTheUsersApplicationData) {
    // No --data-folder: "[appdata]AntiSpywareDAT" of the fake user, which exists.
    machine.PutCompleteDefinitionSet();
    EXPECT_EQ(Run({"scan", "smart"}), kExitClean) << err.str();
}

TEST_F(ConsoleFrontEndTest, FullScanTakesDriveLettersInEitherForm) {
    machine.PutCompleteDefinitionSet();
    machine.drives.drives.push_back({"D", platform::DriveKind::Fixed, true});
    EXPECT_EQ(Run({"--data-folder", FakeMachine::kDataFolder, "scan", "full", "--drives", "c:,D"}),
              kExitClean)
        << err.str();
    EXPECT_NE(out.str().find("Status: Scanning complete."), std::string::npos);
}

// A target written with forward slashes or extra separators is the same place; the scan finds
// what lies there in every form.
TEST_F(ConsoleFrontEndTest, ScanTargetsAreNormalisedLikeTheProgramsOwnPaths) {
    machine.PutCompleteDefinitionSet();
    machine.PutDefinitionFile("FileDefinition.dat",
                              {"adbar.exe=Demo AdBar|[progfil]Demo AdBar|Adware"});
    machine.files.PutFolder("C:\\Program Files\\Demo AdBar");
    machine.files.PutFile("C:\\Program Files\\Demo AdBar\\AdBar.exe", "MZ");
    for (const char* folder : {"C:\\Program Files\\Demo AdBar", "C:/Program Files/Demo AdBar",
                               "C:\\Program Files\\\\Demo AdBar\\\\\\"}) {
        EXPECT_EQ(Run({"--data-folder", FakeMachine::kDataFolder, "scan", "folder", folder}),
                  kExitFound)
            << folder << ": " << err.str();
    }
    EXPECT_EQ(Run({"--data-folder", FakeMachine::kDataFolder, "scan", "file",
                   "C:/Program Files/Demo AdBar/AdBar.exe"}),
              kExitFound)
        << err.str();
}

// A scan of nothing would report a clean machine: every such request is an error instead.
TEST_F(ConsoleFrontEndTest, TargetsThatAreNotThereAreRefused) {
    machine.PutCompleteDefinitionSet();
    machine.files.PutFolder("C:\\Downloads");
    machine.files.PutFile("C:\\Downloads\\setup.exe", "MZ");
    const std::string folder = FakeMachine::kDataFolder;
    const std::vector<std::vector<std::string>> refused = {
        {"--data-folder", folder, "scan", "folder", "C:\\Nowhere"},
        {"--data-folder", folder, "scan", "file", "C:\\Downloads\\missing.exe"},
        {"--data-folder", folder, "scan", "folder", "C:\\Downloads\\setup.exe"},
        {"--data-folder", folder, "scan", "file", "C:\\Downloads"},
        {"--data-folder", folder, "scan", "full", "--drives", "Q"},
        {"--data-folder", "", "scan", "smart"},
        {"--data-folder", folder, "exclude", "add", "C:\\a.exe\r\nC:\\b.exe"},
        {"--data-folder", folder, "exclude", "add", std::string("tab\there")},
    };
    for (const auto& args : refused) {
        EXPECT_EQ(Run(args), kExitError) << args[3] << " " << args.back();
        EXPECT_FALSE(err.str().empty()) << args.back();
        EXPECT_EQ(out.str().find("Scanning complete."), std::string::npos) << args.back();
    }
    EXPECT_FALSE(machine.files.Has(DataFile("ENoSignature.dat")));
}

TEST_F(ConsoleFrontEndTest, DecodeUndoesTheScrambleOfAnyText) {
    // Every code but the line ends themselves; 255 comes back as 0.
    std::string plain;
    for (int c = 0; c <= 255; ++c) {
        if (c != '\r' && c != '\n') plain += static_cast<char>(c);
    }
    machine.files.PutFile("C:\\work\\encoded.dat", defs::EncodeLine(plain) + "\r\n");
    ASSERT_EQ(Run({"defs", "decode", "C:\\work\\encoded.dat"}), kExitClean);
    std::string expected = plain;
    expected.back() = '\0';
    EXPECT_EQ(out.str(), expected + "\r\n");
}

TEST_F(ConsoleFrontEndTest, EncodeThenDecodeGivesTheLinesBack) {
    machine.files.PutFile("C:\\work\\plain.txt", "a.exe=Threat|[windir]|Adware\r\nsecond\r\n");
    ASSERT_EQ(Run({"defs", "encode", "C:\\work\\plain.txt"}), kExitClean);
    machine.files.PutFile("C:\\work\\scrambled.dat", out.str());
    ASSERT_EQ(Run({"defs", "decode", "C:\\work\\scrambled.dat"}), kExitClean);
    EXPECT_EQ(out.str(), "a.exe=Threat|[windir]|Adware\r\nsecond\r\n");
    EXPECT_EQ(Run({"defs", "decode", "C:\\work\\missing.dat"}), kExitError);
}

TEST_F(ConsoleFrontEndTest, CountReportsTheFourSignatureCountsAndTheirSum) {
    machine.PutDefinitionFile("BlockedCookies.dat", {"a.example", "b.example"});
    machine.PutDefinitionFile("FileDefinition.dat", {"x=1|", "", "y=2|"});
    machine.PutDefinitionFile("DirectoryDefinition.dat", {"d=1|c:\\d"});
    ASSERT_EQ(Run({"--json", "defs", "count"}), kExitClean);
    EXPECT_EQ(out.str(),
              "{\"counts\":{\"cookies\":2,\"files\":4,\"registry\":0,\"programs\":0,"
              "\"total\":6}}\r\n");
}

TEST_F(ConsoleFrontEndTest, ExcludeAddsListsAndTheNextScanHonoursIt) {
    machine.PutCompleteDefinitionSet();
    machine.PutDefinitionFile("FileDefinition.dat", {"bar.dll=Demo Bar|[progfil]Demo\\Bar|Adware"});
    machine.files.PutFile("C:\\Program Files\\Demo\\Bar\\bar.dll", "MZ");
    const std::string folder = FakeMachine::kDataFolder;
    ASSERT_EQ(Run({"--json", "--data-folder", folder, "exclude", "add",
                   " C:\\PROGRAM FILES\\Demo\\Bar\\bar.dll "}),
              kExitClean);
    EXPECT_EQ(out.str(),
              "{\"added\":\"C:\\\\PROGRAM FILES\\\\Demo\\\\Bar\\\\bar.dll\",\"exclusions\":"
              "[\"C:\\\\PROGRAM FILES\\\\Demo\\\\Bar\\\\bar.dll\"]}\r\n");
    ASSERT_EQ(Run({"--json", "--data-folder", folder, "exclude", "list"}), kExitClean);
    EXPECT_EQ(out.str(),
              "{\"exclusions\":[\"C:\\\\PROGRAM FILES\\\\Demo\\\\Bar\\\\bar.dll\"]}\r\n");
    EXPECT_EQ(Run({"--data-folder", folder, "scan", "smart"}), kExitClean);
    EXPECT_NE(out.str().find("EXCLUDED"), std::string::npos) << out.str();
    EXPECT_EQ(Run({"--data-folder", folder, "exclude", "add", "  "}), kExitError);
    EXPECT_EQ(Run({"--data-folder", folder, "exclude", "remove", "x"}), kExitError);
}

TEST_F(ConsoleFrontEndTest, QuarantineListShowsTheBackupsButNotTheLog) {
    const std::string q = std::string(FakeMachine::kDataFolder) + "\\quarantine";
    ASSERT_EQ(Run({"--data-folder", FakeMachine::kDataFolder, "quarantine", "list"}), kExitClean);
    EXPECT_EQ(out.str(), "");
    machine.files.PutFolder(q);
    machine.files.PutFolder(q + "\\Tool");
    machine.files.PutFile(q + "\\bar.dll", "x");
    machine.files.PutFile(q + "\\QuarantineLog.txt", "log");
    ASSERT_EQ(Run({"--data-folder", FakeMachine::kDataFolder, "quarantine", "list"}), kExitClean);
    EXPECT_EQ(out.str(), "Tool\\\r\nbar.dll\r\n");
    EXPECT_EQ(Run({"--data-folder", FakeMachine::kDataFolder, "quarantine", "empty"}), kExitError);
}

TEST(JsonString, EscapesAndConvertsTheAnsiCodePageToUtf8) {
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("\r\n\t"), "\"\\r\\n\\t\"");
    EXPECT_EQ(JsonString(std::string(1, '\x01')), "\"\\u0001\"");
    EXPECT_EQ(JsonString("\xE9"), "\"\xC3\xA9\"");      // é
    EXPECT_EQ(JsonString("\x80"), "\"\xE2\x82\xAC\"");  // €
    EXPECT_EQ(JsonString(std::string(1, '\0')), "\"\\u0000\"");
}

}  // namespace
}  // namespace qm::app
