// pqdraw-cli --settings FILE: the unattended export run as scripts run it, as a program with its exit
// status, against a real FTP server on loopback where it uploads.
#include "cli/Commands.h"

#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "model/ModelTestHelpers.h"

#include "PeerHelpers.h"
#include "send/FtpTestServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pq::cli {
namespace {

class SettingsExport : public ::testing::Test {
protected:
    void SetUp() override {
        CDrawing drawing;
        drawing.SetPageSize(1000, 500);
        drawing.Add(test::MakeRect({-100, 100, -50, 50}, 0x0000FF));
        ASSERT_TRUE(SaveDrawing(drawing, folder.File("sample.pdf"), 0, -1, -1, nullptr));
        std::filesystem::create_directories(folder.Path() / "out");
    }
    std::string WriteSettings(const std::string& lines) {
        const std::string path = folder.File("PQS.ini");
        std::ofstream(path) << lines;
        return path;
    }
    // Runs the program with the data folder in the test's folder; out and err are kept apart.
    int Run(const std::string& settings) {
        const std::string command = "(PQDRAW_HOME='" + folder.File("data") + "' " + PQ_CLI_PROGRAM +
                                    " --settings '" + settings + "' >'" + folder.File("stdout") + "' 2>'" +
                                    folder.File("stderr") + "')";
        std::string ignored;
        const int status = test::RunCommand(command, ignored);
        out = test::ReadFileText(folder.File("stdout"));
        err = test::ReadFileText(folder.File("stderr"));
        return status;
    }
    std::string Common() const {
        return "filename=plan\nopenfile=" + folder.File("sample.pdf") +
               "\nsize=320\nsavelocation=" + folder.File("out") + "/\nprintlocation=" + folder.File("out") +
               "\nfiletype=svg\n";
    }

    test::CTempFolder folder;
    std::string out, err;
};

TEST_F(SettingsExport, WritesEveryCopyAndSucceeds) {
    ASSERT_EQ(Run(WriteSettings(Common())), kExitOk) << err;
    for (const char* name : {"plan.emf", "plan.jpg", "plan.svg"}) {
        EXPECT_TRUE(std::filesystem::file_size(folder.File(std::string("out/") + name)) > 0) << name;
        EXPECT_NE(out.find("wrote " + folder.File(std::string("out/") + name)), std::string::npos) << out;
    }
    EXPECT_EQ(err, "");
    // No upload was asked for: no flag file.
    EXPECT_FALSE(std::filesystem::exists(folder.File("data/PQS.ftp")));
}

TEST_F(SettingsExport, FailsWithAMessageWhenTheDocumentOrTheSettingsCannotBeRead) {
    EXPECT_EQ(Run(WriteSettings("filename=plan\nopenfile=" + folder.File("missing.pdf") +
                                "\nprintlocation=" + folder.File("out") + "\nsize=100\n")),
              kExitFailed);
    EXPECT_NE(err.find("missing.pdf"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("out/plan.jpg")));

    std::ofstream(folder.File("broken.pdf")) << "not a drawing";
    EXPECT_EQ(Run(WriteSettings("filename=plan\nopenfile=" + folder.File("broken.pdf") + "\n")), kExitFailed);
    EXPECT_NE(err.find("broken.pdf"), std::string::npos) << err;

    EXPECT_EQ(Run(folder.File("nothing.ini")), kExitFailed);
    EXPECT_NE(err.find("nothing.ini"), std::string::npos) << err;
    EXPECT_EQ(Run(WriteSettings("openfile=" + folder.File("sample.pdf") + "\n")), kExitFailed);
    EXPECT_NE(err.find("\"filename\""), std::string::npos) << err;
    // A copy that cannot be written makes the run a failure even though the others were written.
    EXPECT_EQ(Run(WriteSettings(Common() + "filetype=doc\n")), kExitFailed);
    EXPECT_NE(err.find("\"doc\""), std::string::npos) << err;
    EXPECT_TRUE(std::filesystem::exists(folder.File("out/plan.jpg")));
}

TEST_F(SettingsExport, UploadsTheEmfAndJpegToTheServerOnItsPort) {
    if (test::FtpServerMissing())
        return;
    test::CTempFolder root;
    std::filesystem::create_directories(root.Path() / "drop");
    test::CFtpTestServer server(root.Path().string());
    ASSERT_NE(server.Port(), 0);
    const std::string upload = "ftpserver=127.0.0.1\nftpport=" + std::to_string(server.Port()) +
                               "\nusername=pq\npassword=secret\nftplocation=drop\n";
    ASSERT_EQ(Run(WriteSettings(Common() + upload)), kExitOk) << err;
    EXPECT_EQ(test::ReadFileText(root.File("drop/plan.emf")),
              test::ReadFileText(folder.File("out/plan.emf")));
    EXPECT_EQ(test::ReadFileText(root.File("drop/plan.jpg")),
              test::ReadFileText(folder.File("out/plan.jpg")));
    EXPECT_NE(out.find("uploaded /drop/plan.jpg"), std::string::npos) << out;
    EXPECT_EQ(test::ReadFileText(folder.File("data/PQS.ftp")), "&ftp=true");

    // The same with a password the server refuses: the files are written, the run fails and says why.
    const std::string refused =
        "ftpserver=127.0.0.1\nftpport=" + std::to_string(server.Port()) + "\nusername=pq\npassword=wrong\n";
    EXPECT_EQ(Run(WriteSettings(Common() + refused)), kExitFailed);
    EXPECT_NE(err.find("Authorization failed."), std::string::npos) << err;
    EXPECT_EQ(test::ReadFileText(folder.File("data/PQS.ftp")), "&ftp=false");
}

TEST(SettingsExportUsage, TakesExactlyOneFile) {
    const std::string program = PQ_CLI_PROGRAM;
    std::string output;
    EXPECT_EQ(test::RunCommand(program + " --settings", output), kExitUsage) << output;
    EXPECT_EQ(test::RunCommand(program + " --settings a.ini b.ini", output), kExitUsage) << output;
    EXPECT_EQ(test::RunCommand(program + " --settings=/nonexistent/x.ini", output), kExitFailed) << output;
    EXPECT_NE(output.find("x.ini"), std::string::npos) << output;
}

} // namespace
} // namespace pq::cli
