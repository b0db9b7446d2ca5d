#include <gtest/gtest.h>

#include <string>

#include "browser_command.h"
#include "link_fit.h"

namespace {

bool operator==(const LinkRect& a, const LinkRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Build(const char* registered, const char* target, size_t size = kBrowserCommandSize) {
    std::string out(size, 'x');
    if (!BuildBrowserCommandLine(registered, target, out.data(), size))
        return out[0] == '\0' ? "<refused>" : "<refused, but not emptied>";
    return out.c_str();
}

} // namespace

TEST(FitLinkToText, EachAlignmentKeepsItsEdgeOrItsMiddle) {
    const LinkRect rc{100, 50, 200, 70}; // 100 wide, 20 high
    // Left: the left edge stays; the height becomes the text's.
    EXPECT_TRUE(FitLinkToText(rc, 40, 13, {false, false, false}) == (LinkRect{100, 50, 140, 63}));
    // Right: the right edge stays.
    EXPECT_TRUE(FitLinkToText(rc, 40, 13, {false, false, true}) == (LinkRect{160, 50, 200, 63}));
    // Centred: equal shares off both sides, the odd pixel rounded toward zero.
    EXPECT_TRUE(FitLinkToText(rc, 41, 13, {false, true, false}) == (LinkRect{129, 50, 171, 63}));
    // Vertically centred: the top and bottom shrink alike.
    EXPECT_TRUE(FitLinkToText(rc, 40, 13, {true, false, false}) == (LinkRect{100, 53, 140, 67}));
    // A text wider than the control grows it the same ways.
    EXPECT_TRUE(FitLinkToText(rc, 120, 13, {false, true, false}) == (LinkRect{90, 50, 210, 63}));
    EXPECT_TRUE(FitLinkToText(rc, 120, 13, {false, false, true}) == (LinkRect{80, 50, 200, 63}));
}

TEST(BrowserCommandLine, ThePlaceholderMakesRoomForTheAddress) {
    // Quoted placeholder: cut at its opening quotation mark, so "path " gets two blanks.
    EXPECT_EQ(Build("\"C:\\b\\web.exe\" \"%1\"", "http://a.example/"),
              "\"C:\\b\\web.exe\"  http://a.example/");
    // Bare placeholder, with arguments after it that are dropped.
    EXPECT_EQ(Build("web.exe -nohome %1 -x", "http://a.example/"),
              "web.exe -nohome  http://a.example/");
    // None: the address is appended after a blank.
    EXPECT_EQ(Build("web.exe", "http://a.example/"), "web.exe http://a.example/");
}

TEST(BrowserCommandLine, ALineThatWouldNotFitIsRefusedNotCut) {
    const std::string program(400, 'p');
    const std::string target(119, 't'); // 400 + 1 + 119 + zero = 521
    EXPECT_EQ(Build(program.c_str(), target.c_str()), "<refused>");
    const std::string fits(118, 't'); // exactly 520 with the zero
    EXPECT_EQ(Build(program.c_str(), fits.c_str()), program + " " + fits);
    // The buffer size is honoured whatever it is.
    EXPECT_EQ(Build("web.exe %1", "abc", 12), "<refused>");
    EXPECT_EQ(Build("web.exe %1", "abc", 13), "web.exe  abc");
}

TEST(BrowserCommandLine, AnAddressThatCouldAddArgumentsIsNotSafe) {
    EXPECT_TRUE(IsSafeLinkTarget("http://www.example.org/dirscope/"));
    EXPECT_FALSE(IsSafeLinkTarget(""));
    EXPECT_FALSE(IsSafeLinkTarget(nullptr));
    EXPECT_FALSE(IsSafeLinkTarget("http://a.example/ -evil"));
    EXPECT_FALSE(IsSafeLinkTarget("http://a.example/\"x"));
}
