#include "send/FtpClient.h"

#include "FtpTestFiles.h"
#include "PeerHelpers.h"
#include "send/FtpTestServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

namespace pq {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class FtpClient : public ::testing::Test {
protected:
    // A server in the given mode serving root; false (the test failed) when it cannot run.
    bool StartServer(const std::string& mode = "normal", const std::string& host = "127.0.0.1") {
        if (test::FtpServerMissing())
            return false;
        server = std::make_unique<test::CFtpTestServer>(root.Path().string(), mode, host);
        EXPECT_NE(server->Port(), 0) << "the FTP test server did not start";
        return server->Port() != 0;
    }
    bool ConnectAndLogin(CFtpClient& client, const std::string& host = "127.0.0.1") {
        EXPECT_TRUE(client.Connect(host, server->Port())) << client.GetLastError();
        EXPECT_TRUE(client.Login(test::kFtpUser, test::kFtpPassword)) << client.GetLastError();
        client.SetBinary();
        return client.IsConnected();
    }

    test::CTempFolder root, local;
    std::unique_ptr<test::CFtpTestServer> server;
};

TEST_F(FtpClient, UploadsAFileByteForByteWithProgressToTheEnd) {
    if (!StartServer())
        return;
    const std::string bytes = test::WriteRandomFile(local.File("drawing.bin"), 300 * 1024 + 17, 1);
    CFtpClient client;
    ASSERT_TRUE(ConnectAndLogin(client));
    std::vector<double> fractions;
    ASSERT_TRUE(client.Put(local.File("drawing.bin"), "/drawing.bin", [&](double f) {
        fractions.push_back(f);
        return true;
    })) << client.GetLastError();
    EXPECT_EQ(client.GetLastCode(), 226);
    EXPECT_EQ(test::ReadFileText(root.File("drawing.bin")), bytes);
    // 64 KiB blocks: five full ones and the rest, rising to exactly the whole file.
    ASSERT_EQ(fractions.size(), 5u);
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
    EXPECT_TRUE(client.Quit());
    EXPECT_FALSE(client.IsConnected());
}

// However the server logs in or opens the data connection, the file arrives whole and confirmed.
TEST_F(FtpClient, UploadsWhateverTheServersLoginAndDataConnection) {
    std::filesystem::create_directory(root.Path() / "incoming");
    const struct {
        const char* mode;
        const char* host;
        const char* user;
        const char* password;
        const char* remote;
    } cases[] = {
        {"normal", "localhost", "anonymous", "", "/incoming/a.bin"},
        {"user-230", "127.0.0.1", test::kFtpUser, "any", "b.bin"}, // USER answered by 230 is logged in
        {"no-epsv", "127.0.0.1", test::kFtpUser, test::kFtpPassword, "c.bin"}, // PASV instead
        // The PASV reply names a documentation address no one answers at.
        {"pasv-foreign-host", "127.0.0.1", test::kFtpUser, test::kFtpPassword, "d.bin"},
    };
    int seed = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        if (!StartServer(c.mode))
            return;
        const std::string bytes = test::WriteRandomFile(local.File("up.bin"), 70000, ++seed);
        CFtpClient client(CFtpClient::COptions{3000ms});
        ASSERT_TRUE(client.Connect(c.host, server->Port())) << client.GetLastError();
        ASSERT_TRUE(client.Login(c.user, c.password)) << client.GetLastError();
        EXPECT_EQ(client.GetLastCode(), 230);
        client.SetBinary();
        ASSERT_TRUE(client.Put(local.File("up.bin"), c.remote, {})) << client.GetLastError();
        EXPECT_EQ(client.GetLastCode(), 226);
        EXPECT_EQ(test::ReadFileText(root.File(c.remote[0] == '/' ? c.remote + 1 : c.remote)), bytes);
    }
}

TEST_F(FtpClient, ReadsAMultiLineGreetingWhole) {
    if (!StartServer("multiline-greeting"))
        return;
    CFtpClient client;
    ASSERT_TRUE(client.Connect("127.0.0.1", server->Port())) << client.GetLastError();
    EXPECT_EQ(client.GetLastCode(), 220);
    EXPECT_NE(client.GetLastReply().find("123 nor does this one"), std::string::npos);
    EXPECT_NE(client.GetLastReply().find("220 ready"), std::string::npos);
    // The next reply is USER's own, so the greeting left nothing behind.
    ASSERT_TRUE(client.Login(test::kFtpUser, test::kFtpPassword)) << client.GetLastError();
    EXPECT_EQ(client.GetLastCode(), 230);
}

TEST_F(FtpClient, RefusedLoginOrWrongPasswordFailsWithTheServersCode) {
    const std::pair<const char*, const char*> cases[] = {{"refuse-login", test::kFtpPassword},
                                                         {"normal", "wrong"}};
    for (const auto& [mode, password] : cases) {
        SCOPED_TRACE(mode);
        if (!StartServer(mode))
            return;
        CFtpClient client;
        ASSERT_TRUE(client.Connect("127.0.0.1", server->Port()));
        EXPECT_FALSE(client.Login(test::kFtpUser, password));
        EXPECT_EQ(client.GetLastCode(), 530);
        EXPECT_NE(client.GetLastError().find("refused the login"), std::string::npos)
            << client.GetLastError();
    }
}

TEST_F(FtpClient, AStalledServerTimesOutWithAMessage) {
    if (!StartServer("stall-greeting"))
        return;
    CFtpClient client(CFtpClient::COptions{300ms});
    const auto start = Clock::now();
    EXPECT_FALSE(client.Connect("127.0.0.1", server->Port()));
    EXPECT_LT(Clock::now() - start, 3s);
    EXPECT_EQ(client.GetLastCode(), CFtpClient::kTimedOut);
    EXPECT_NE(client.GetLastError().find("did not answer within 300 ms"), std::string::npos)
        << client.GetLastError();
}

TEST_F(FtpClient, AServerThatNeverConfirmsTheFileTimesOut) {
    if (!StartServer("stall-final"))
        return;
    test::WriteRandomFile(local.File("c.bin"), 10000, 4);
    CFtpClient client(CFtpClient::COptions{500ms});
    ASSERT_TRUE(ConnectAndLogin(client));
    const auto start = Clock::now();
    EXPECT_FALSE(client.Put(local.File("c.bin"), "c.bin", {}));
    EXPECT_LT(Clock::now() - start, 4s);
    EXPECT_EQ(client.GetLastCode(), CFtpClient::kTimedOut);
}

TEST_F(FtpClient, ADroppedDataConnectionFailsTheUpload) {
    if (!StartServer("drop-data"))
        return;
    test::WriteRandomFile(local.File("d.bin"), 8 * 1024 * 1024, 5);
    CFtpClient client(CFtpClient::COptions{5000ms});
    ASSERT_TRUE(ConnectAndLogin(client));
    EXPECT_FALSE(client.Put(local.File("d.bin"), "d.bin", {}));
    EXPECT_TRUE(client.GetLastCode() == CFtpClient::kConnectionLost || client.GetLastCode() / 100 == 4)
        << client.GetLastCode() << " " << client.GetLastError();
    EXPECT_FALSE(client.GetLastError().empty());
    EXPECT_LT(std::filesystem::file_size(root.File("d.bin")), 8u * 1024 * 1024);
}

TEST_F(FtpClient, TheSinkStopsTheUploadAndTheServerKeepsNoWholeFile) {
    if (!StartServer())
        return;
    test::WriteRandomFile(local.File("e.bin"), 4 * 1024 * 1024, 6);
    CFtpClient client;
    ASSERT_TRUE(ConnectAndLogin(client));
    int calls = 0;
    EXPECT_FALSE(client.Put(local.File("e.bin"), "e.bin", [&](double) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(client.GetLastCode(), CFtpClient::kStopped);
    std::error_code missing;
    EXPECT_LT(std::filesystem::file_size(root.File("e.bin"), missing), 4u * 1024 * 1024);
    // The control connection stays usable after the stop.
    test::WriteRandomFile(local.File("f.bin"), 100, 7);
    EXPECT_TRUE(client.Put(local.File("f.bin"), "f.bin", {})) << client.GetLastError();
}

TEST_F(FtpClient, TheCancelFlagEndsALongWaitAtOnce) {
    if (!StartServer("stall-greeting"))
        return;
    std::atomic<bool> cancel{false};
    CFtpClient client(CFtpClient::COptions{30000ms});
    client.SetCancelFlag(&cancel);
    std::thread canceller([&] {
        std::this_thread::sleep_for(200ms);
        cancel = true;
    });
    const auto start = Clock::now();
    EXPECT_FALSE(client.Connect("127.0.0.1", server->Port()));
    canceller.join();
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(client.GetLastCode(), CFtpClient::kStopped);
}

TEST_F(FtpClient, APasvReplyWithoutParenthesesFailsCleanly) {
    if (!StartServer("pasv-no-parens"))
        return;
    test::WriteRandomFile(local.File("g.bin"), 70000, 8);
    CFtpClient client;
    ASSERT_TRUE(ConnectAndLogin(client));
    EXPECT_FALSE(client.Put(local.File("g.bin"), "h.bin", {}));
    EXPECT_EQ(client.GetLastCode(), CFtpClient::kBadReply);
    EXPECT_FALSE(std::filesystem::exists(root.File("h.bin")));
}

TEST_F(FtpClient, UploadsOverIpv6Loopback) {
    if (!test::Ipv6LoopbackAvailable())
        GTEST_SKIP() << "this machine has no IPv6 loopback";
    if (!StartServer("normal", "::1"))
        return;
    const std::string bytes = test::WriteRandomFile(local.File("v6.bin"), 100000, 9);
    for (const char* host : {"::1", "[::1]"}) {
        CFtpClient client;
        ASSERT_TRUE(ConnectAndLogin(client, host));
        ASSERT_TRUE(client.Put(local.File("v6.bin"), "v6.bin", {})) << client.GetLastError();
        EXPECT_EQ(test::ReadFileText(root.File("v6.bin")), bytes);
    }
}

TEST_F(FtpClient, RefusesWhatItCannotSendAndFilesItCannotRead) {
    if (!StartServer())
        return;
    CFtpClient client;
    ASSERT_TRUE(ConnectAndLogin(client));
    test::WriteRandomFile(local.File("i.bin"), 10, 10);
    // A line break in the name would send a second command.
    EXPECT_FALSE(client.Put(local.File("i.bin"), "i.bin\r\nDELE other", {}));
    EXPECT_EQ(client.GetLastCode(), CFtpClient::kBadReply);
    // A missing local file leaves no empty file on the server.
    EXPECT_FALSE(client.Put(local.File("missing.bin"), "missing.bin", {}));
    EXPECT_EQ(client.GetLastCode(), CFtpClient::kLocalFileFailed);
    EXPECT_FALSE(std::filesystem::exists(root.File("missing.bin")));
    // Both left the connection in step.
    EXPECT_TRUE(client.Put(local.File("i.bin"), "i.bin", {})) << client.GetLastError();
}

TEST(FtpClientConnect, NamesTheReasonWhenNoServerListens) {
    // A port just freed: nothing listens there.
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    CFtpClient client;
    EXPECT_FALSE(client.Connect("127.0.0.1", ntohs(address.sin_port)));
    EXPECT_EQ(client.GetLastCode(), CFtpClient::kConnectFailed);
    EXPECT_NE(client.GetLastError().find("refused"), std::string::npos) << client.GetLastError();
    EXPECT_FALSE(client.Quit());

    CFtpClient unknown(CFtpClient::COptions{5000ms});
    EXPECT_FALSE(unknown.Connect("no-such-host.invalid", 21));
    EXPECT_NE(unknown.GetLastError().find("no-such-host.invalid"), std::string::npos)
        << unknown.GetLastError();
}

} // namespace
} // namespace pq
