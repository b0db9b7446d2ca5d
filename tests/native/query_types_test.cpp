// File types: the extension rule and the colours that stay with a type.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "extension_ids.h"
#include "file_extension.h"
#include "name_pattern.h"
#include "type_colours.h"

TEST(FileExtension, LastDotUnlessFirstLowerCased) {
    EXPECT_EQ(ExtensionKey("photo.JPG"), "jpg");
    EXPECT_EQ(ExtensionKey("photo.jpg"), "jpg");
    EXPECT_EQ(ExtensionKey("archive.tar.GZ"), "gz");
    EXPECT_EQ(ExtensionKey(".bashrc"), "");
    EXPECT_EQ(ExtensionKey(".config.yml"), "yml");
    EXPECT_EQ(ExtensionKey("Makefile"), "");
    EXPECT_EQ(ExtensionKey("notes."), "");
    EXPECT_EQ(ExtensionKey("..."), "");
    EXPECT_EQ(ExtensionKey("r\xC3\xA9sum\xC3\xA9.\xC3\x89X"), "\xC3\x89x");
    EXPECT_EQ(ExtensionText(""), "(none)");

    ExtensionIds ids;
    const uint32_t jpg = ids.IdOf("a.jpg");
    EXPECT_EQ(ids.IdOf("B.JPG"), jpg);
    EXPECT_EQ(ids.IdOf(".jpg"), 0u);
    const uint32_t longer = ids.IdOf("x.VeryLongExtension");
    EXPECT_EQ(ids.IdOf("y.verylongextension"), longer);
    EXPECT_NE(ids.IdOf("z.verylongextensio"), longer);
    EXPECT_EQ(ids.Key(longer), "verylongextension");
    EXPECT_EQ(ids.Count(), 4u);
    // Many types: each keeps its id as the table grows.
    std::vector<uint32_t> many;
    for (int i = 0; i < 500; ++i)
        many.push_back(ids.IdOf(("f.e" + std::to_string(i)).c_str()));
    for (int i = 0; i < 500; ++i)
        EXPECT_EQ(ids.IdOf(("F.E" + std::to_string(i)).c_str()), many[i]) << i;
    EXPECT_EQ(ids.IdOf("B.JPG"), jpg);
    EXPECT_EQ(ids.Count(), 504u);
}

// A type keeps the colour it was first given; no colour is given twice, past the first
// hues and far past the stepped ones, also with threads asking at once.
TEST(TypeColours, OneColourPerTypeForGood) {
    TypeColourTable table;
    const uint32_t iso = table.ColourOf("iso");
    const uint32_t none = table.ColourOf("");
    EXPECT_NE(iso, none);
    EXPECT_EQ(iso & 0xFF000000u, 0xFF000000u);

    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&table, t] {
            for (int i = 0; i < 5000; ++i)
                table.ColourOf("t" + std::to_string((i * 7 + t * 1250) % 20000));
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(table.ColourOf("iso"), iso);
    EXPECT_EQ(table.ColourOf(""), none);

    std::set<uint32_t> colours;
    for (int i = 0; i < 20000; ++i)
        colours.insert(table.ColourOf("t" + std::to_string(i)));
    colours.insert(iso);
    colours.insert(none);
    EXPECT_EQ(table.Count(), 20002u);
    EXPECT_EQ(colours.size(), 20002u);
}

// Types given colours one after the other are far apart.
TEST(TypeColours, NeighboursLookApart) {
    TypeColourTable table;
    auto distance = [](uint32_t a, uint32_t b) {
        int sum = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const int d =
                static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
            sum += d * d;
        }
        return sum;
    };
    uint32_t previous = table.ColourOf("0");
    for (int i = 1; i < 200; ++i) {
        const uint32_t colour = table.ColourOf(std::to_string(i));
        EXPECT_GT(distance(previous, colour), 40 * 40) << i;
        previous = colour;
    }
}

// What the tree-based search tests cannot put on every disk: names beyond ASCII.
TEST(NamePattern, Utf8NamesAndKinds) {
    const char* const resume = "r\xC3\xA9sum\xC3\xA9.PDF";
    EXPECT_TRUE(WildcardMatchesFolded(resume, "r?sum?.pdf"));
    EXPECT_FALSE(WildcardMatchesFolded(resume, "r?sum??.pdf"));
    EXPECT_TRUE(WildcardMatchesFolded(resume, "*\xC3\xA9.*"));
    EXPECT_TRUE(ContainsFolded(resume, "sum\xC3\xA9.p"));
    NamePattern pattern;
    std::string error;
    ASSERT_TRUE(pattern.Compile("", false, error));
    EXPECT_EQ(pattern.GetKind(), NamePattern::Kind::Everything);
    ASSERT_TRUE(pattern.Compile("*.pdf", false, error));
    EXPECT_EQ(pattern.GetKind(), NamePattern::Kind::Wildcard);
    EXPECT_TRUE(pattern.Matches(resume));
    ASSERT_TRUE(pattern.Compile(".pdf", false, error));
    EXPECT_EQ(pattern.GetKind(), NamePattern::Kind::Substring);
    EXPECT_TRUE(pattern.Matches(resume));
    ASSERT_TRUE(pattern.Compile("^R.*PDF$", true, error));
    EXPECT_TRUE(pattern.Matches(resume));
}
