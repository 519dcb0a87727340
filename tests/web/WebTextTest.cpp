// What the pages write of the store's texts, and the sessions and tokens behind sign-in.

#include "web/HtmlText.h"
#include "web/WebSessions.h"

#include <gtest/gtest.h>

namespace {

TEST(HtmlTextTest, TextNeverBecomesMarkup) {
    EXPECT_EQ(HtmlEscaped("<script>alert(1)</script>"), "&lt;script&gt;alert(1)&lt;/script&gt;");
    EXPECT_EQ(HtmlEscaped("a\" onmouseover='x' & b"), "a&quot; onmouseover=&#39;x&#39; &amp; b");
    EXPECT_EQ(HtmlEscaped("Балка-1 · ω"), "Балка-1 · ω");
    // Invalid UTF-8 and control bytes cannot smuggle anything through.
    EXPECT_EQ(HtmlEscaped("a\xC0<b\x01\x7F"), "a\xEF\xBF\xBD&lt;b\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(HtmlEscaped("\xD0"), "\xEF\xBF\xBD"); // a sequence cut short
}

TEST(HtmlTextTest, LinksCarryNamesAsOnePathSegment) {
    EXPECT_EQ(UrlSegment("Иванов"), "%D0%98%D0%B2%D0%B0%D0%BD%D0%BE%D0%B2");
    EXPECT_EQ(UrlSegment(".."), "%2E%2E");
    EXPECT_EQ(UrlSegment("a/b?c#d e"), "a%2Fb%3Fc%23d%20e");
    EXPECT_EQ(UrlSegment("Task-1_x~"), "Task-1_x~");
}

TEST(WebSessionsTest, SessionsEndAfterIdleTimeOrSignOut) {
    WebSessions sessions;
    const std::string id = sessions.Open("Учитель", 0);
    EXPECT_EQ(id.size(), 64u);
    ASSERT_NE(sessions.Use(id, 1000), nullptr);
    EXPECT_EQ(sessions.Use(id, 1000)->teacher, "Учитель");
    // Each use restarts the idle time.
    EXPECT_NE(sessions.Use(id, 1000 + WebSessions::IdleMs), nullptr);
    EXPECT_EQ(sessions.Use(id, 1001 + 2 * WebSessions::IdleMs), nullptr);
    EXPECT_EQ(sessions.Use(id, 1002 + 2 * WebSessions::IdleMs), nullptr);

    const std::string other = sessions.Open("Учитель", 0);
    EXPECT_NE(other, id);
    EXPECT_NE(sessions.Use(other, 1)->formToken, other);
    sessions.Close(other);
    EXPECT_EQ(sessions.Use(other, 2), nullptr);
    EXPECT_EQ(sessions.Use("", 2), nullptr);
}

TEST(WebSessionsTest, SignInTokensAreUsedOnceAndTablesStayBounded) {
    WebSessions sessions;
    const std::string browser = RandomToken(), other = RandomToken();
    const std::string token = sessions.IssueLoginToken(browser, "10.0.0.1", 0);
    EXPECT_FALSE(sessions.TakeLoginToken(token + "0", browser, 1));
    EXPECT_TRUE(sessions.TakeLoginToken(token, browser, 1));
    EXPECT_FALSE(sessions.TakeLoginToken(token, browser, 2));
    const std::string stale = sessions.IssueLoginToken(browser, "10.0.0.1", 0);
    EXPECT_FALSE(sessions.TakeLoginToken(stale, browser, WebSessions::IdleMs + 1));
    // A token goes only with the pre-session it was issued to, and is spent by a wrong one.
    for (const std::string& wrong : {other, std::string(), browser.substr(1)}) {
        const std::string mine = sessions.IssueLoginToken(browser, "10.0.0.1", 5);
        EXPECT_FALSE(sessions.TakeLoginToken(mine, wrong, 6));
        EXPECT_FALSE(sessions.TakeLoginToken(mine, browser, 7));
    }
    // A flood of forms from one address pushes out only that address's oldest ones.
    const std::string teachers = sessions.IssueLoginToken(browser, "10.0.0.1", 10);
    std::vector<std::string> flood;
    for (int i = 0; i < 10'400; ++i)
        flood.push_back(sessions.IssueLoginToken(other, "10.0.0.66", 11));
    EXPECT_TRUE(sessions.TakeLoginToken(teachers, browser, 12));
    EXPECT_FALSE(sessions.TakeLoginToken(flood[10'400 - 21], other, 12));
    EXPECT_TRUE(sessions.TakeLoginToken(flood[10'400 - 20], other, 12));
    EXPECT_TRUE(sessions.TakeLoginToken(flood.back(), other, 12));
    EXPECT_TRUE(IsToken(browser));
    EXPECT_FALSE(IsToken(browser.substr(1) + "g"));

    for (std::size_t i = 0; i < WebSessions::MaxSessions + 10; ++i)
        sessions.Open("t", static_cast<std::int64_t>(i));
    EXPECT_LE(sessions.Count(), WebSessions::MaxSessions);

    EXPECT_TRUE(SameToken("abc", "abc"));
    EXPECT_FALSE(SameToken("abc", "abd"));
    EXPECT_FALSE(SameToken("abc", "ab"));
}

} // namespace
