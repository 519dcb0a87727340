// The limits the real server keeps on its clients, over real sockets.

#include "ServerProcess.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(ServerLimitsTest, ThirtyTwoConnectionsPerAddressAndNoOversizedFrames) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    std::vector<std::unique_ptr<ProtocolClient>> clients;
    for (int i = 0; i < 32; ++i) {
        clients.push_back(std::make_unique<ProtocolClient>(server.Port()));
        clients.back()->Send("GETQUESTLIST", "1");
        ASSERT_EQ(ReadTag(clients.back()->Next()), "RELOG") << i;
    }
    ProtocolClient extra(server.Port());
    EXPECT_TRUE(extra.ClosedByServer());

    // One leaves, and there is room again once the server has seen it go.
    clients.pop_back();
    std::unique_ptr<ProtocolClient> next;
    for (int attempt = 0; attempt < 100 && next == nullptr; ++attempt) {
        next = std::make_unique<ProtocolClient>(server.Port());
        next->Send("LOGIN", "Guest;wuzo");
        if (ReadTag(next->Next()) != "MESSAGE")
            next.reset();
    }
    ASSERT_NE(next, nullptr);
    next->Send("SETRESULTQUEST", std::string(2 << 20, 'x'));
    EXPECT_TRUE(next->ClosedByServer());
}
