#include "send/FtpReply.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pq {
namespace {

// Feeds the bytes in pieces of the given size and returns the replies completed, in order; a malformed
// reply ends the list with code -1.
std::vector<CFtpReply> ReadReplies(std::string_view bytes, std::size_t piece) {
    CFtpReplyReader reader;
    std::vector<CFtpReply> replies;
    std::string pending;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        pending += bytes.substr(at, piece);
        for (;;) {
            std::size_t used = 0;
            const auto status = reader.Feed(pending, used);
            pending.erase(0, used);
            if (status == CFtpReplyReader::Status::Complete) {
                replies.push_back(reader.Take());
                continue;
            }
            if (status == CFtpReplyReader::Status::Malformed) {
                replies.push_back({-1, reader.GetError()});
                return replies;
            }
            break;
        }
    }
    return replies;
}

// However the bytes arrive, each reply is read whole and the next is left for later: a line, several lines
// up to the one with the reply's own code (lines inside may start with blanks or other codes), bare line
// feeds, a code alone.
TEST(CFtpReplyReader, ReadsEachReplyWholeAndLeavesTheNextOneForLater) {
    const std::string greeting =
        "220-Welcome\r\n 220 indented\r\n123 other code\r\n220-more\r\n220 ready\r\n";
    const struct {
        std::string bytes, first;
        int next;
    } cases[] = {
        {"220 ready\r\n331 password please\r\n", "220 ready\r\n", 331},
        {greeting + "230 in\r\n", greeting, 230},
        {"220-a\n220 b\n200\r\n", "220-a\r\n220 b\r\n", 200},
    };
    for (const auto& c : cases) {
        for (std::size_t piece : {1u, 3u, 7u, 1000u}) {
            const auto replies = ReadReplies(c.bytes, piece);
            ASSERT_EQ(replies.size(), 2u) << c.bytes << " in pieces of " << piece;
            EXPECT_EQ(replies[0].code, 220);
            EXPECT_EQ(replies[0].text, c.first);
            EXPECT_EQ(replies[1].code, c.next);
        }
    }
}

TEST(CFtpReplyReader, RefusesWhatIsNotAnFtpReplyAndLinesAndRepliesPastTheirLimits) {
    std::string endless = "220-start\r\n";
    while (endless.size() <= CFtpReplyReader::kMaxReplyBytes)
        endless += "a continuation line that never ends the reply\r\n";
    for (const std::string& bytes :
         {std::string("HTTP/1.1 400 Bad Request\r\n"), std::string("22 short\r\n"),
          std::string("220x no separator\r\n"),
          "220 " + std::string(CFtpReplyReader::kMaxLineBytes, 'x') + "\r\n", endless}) {
        const auto replies = ReadReplies(bytes, 4096);
        ASSERT_FALSE(replies.empty()) << bytes.substr(0, 30);
        EXPECT_EQ(replies.back().code, -1) << bytes.substr(0, 30);
    }
}

TEST(ParsePasvReply, ReadsTheAddressBetweenTheParentheses) {
    const auto address = ParsePasvReply("227 Entering Passive Mode (192,168,1,20,195,80).\r\n");
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->host[0], 192);
    EXPECT_EQ(address->host[3], 20);
    EXPECT_EQ(address->port, 195 * 256 + 80);
    const auto spaced = ParsePasvReply("227 =( 127, 0, 0, 1, 4, 1 )");
    ASSERT_TRUE(spaced.has_value());
    EXPECT_EQ(spaced->port, 1025);
}

TEST(ParsePasvReply, FailsCleanlyOnMissingOrBadFields) {
    for (const char* reply :
         {"227 Entering Passive Mode 127,0,0,1,4,1", "227 (127,0,0,1,4,1", "227 (127,0,0,1,4)",
          "227 (127,0,0,1,4,1,9)", "227 (127,0,0,1,256,1)", "227 (127,0,0,-1,4,1)", "227 (127,0,0,1,4,x)",
          "227 (127,,0,1,4,1)", "227 (127,0,0,1,0,0)", "227 ()", "227 (99999999999,0,0,1,4,1)"})
        EXPECT_FALSE(ParsePasvReply(reply).has_value()) << reply;
}

TEST(ParseEpsvReply, ReadsThePortWithAnyDelimiter) {
    EXPECT_EQ(ParseEpsvReply("229 Entering Extended Passive Mode (|||6446|)\r\n"), 6446);
    EXPECT_EQ(ParseEpsvReply("229 ok (!!!65535!)"), 65535);
    for (const char* reply : {"229 (|||0|)", "229 (|||65536|)", "229 (||6446|)", "229 (|||64x6|)",
                              "229 (|||6446!)", "229 |||6446|", "229 (||||)", "229 (1111)"})
        EXPECT_FALSE(ParseEpsvReply(reply).has_value()) << reply;
}

} // namespace
} // namespace pq
