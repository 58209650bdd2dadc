#include "platform/ini_text.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Writes = std::vector<IniText::KeyValue>;

/// What the writes leave when applied one after the other, each on the text the previous left.
std::optional<std::string> OneByOne(const std::string& text, const Writes& writes)
{
    std::optional<std::string> content;
    for (const IniText::KeyValue& w : writes) {
        const IniText current(content ? *content : text);
        if (std::optional<std::string> next = current.WithValue(w.section, w.key, w.value))
            content = std::move(next);
    }
    return content;
}

// A batch of writes leaves exactly what the same writes made one by one leave, for texts and
// batches that take the one-pass way and for those that do not.
TEST(IniTextBatch, LeavesWhatWritesOneByOneLeave)
{
    const std::vector<std::string> texts = {
        "", "[Usercolor]\r\nUsercolcnt=2\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n",
        "[Usercolor]\r\nUsercolcnt=0\r\n",
        "[usercolor]\r\n; only a comment\r\n\r\n[Other]\r\nk=v\r\n",
        "[Usercolor]\r\n  usercolcnt = 1 \r\n1=AAAAAAa\r\n; note\r\n\r\n[Other]\r\nk=v\r\n",
        "[Usercolor]\nUsercolcnt=1\n1=AAAAAAa\n3=stale\n[Usercolor]\n2=second section\n",
        "top=1\r\n[Other]\r\nk=v", // no line end at the end
        "[Other]\r\nk=v\r\n[Usercolor]\r\nUsercolcnt=1\r\n1=AAAAAAa", // the same, in our section
        "[Usercolor]\r\nUsercolcnt=1\r\n1=\x83\x5E\r\n",
        "[Usercolor]", // the header is the last line, without a line end
        "[Usercolor]\r\nUsercolcnt=2\r\n1=AAAAAAa\r\n2=BBBBBBb", // the last key without one
        "[Usercolor]\r\nUsercolcnt=2\r\n; end", // a comment after the keys, without one
        "[Usercolor]\r\nUsercolcnt=", // the last key's value empty, without one
        "[Usercolor\nUsercolcnt=", // the same under a header that is never closed
    };
    const std::vector<Writes> batches = {
        { { "Usercolor", "Usercolcnt", "3" }, { "Usercolor", "2", "CCCCCCc" },
            { "Usercolor", "3", "DDDDDDd" } },
        { { "Usercolor", "3", "first" }, { "Usercolor", "Usercolcnt", "3" } },
        { { "Usercolor", "Usercolcnt", "1" } }, // the value some texts hold already
        { { "Other", "k", "w" }, { "Usercolor", "9", "x" }, { "Other", "new", "n" } },
        { { " USERCOLOR ", " Usercolcnt ", " 5" }, { "Usercolor", "4", "e" } },
        { { "New", "a", "1" }, { "Usercolor", "5", "x" }, { "new", "b", "2" } }, // one new section
        { { "New", "a", "1" }, { "Newer", "b", "2" }, { "New", "c", "3" } }, // two: one by one
        { { "Usercolor", "1", "x" }, { "Usercolor", "1", "y" } }, // a key twice: one by one
        { { "Other", "k", "" }, { "Usercolor", "1", "\x83\x5E" } },
    };
    for (const std::string& text : texts) {
        for (const Writes& writes : batches) {
            SCOPED_TRACE(testing::Message() << "text: " << text << " first write: "
                                            << writes.front().section << "/" << writes.front().key);
            EXPECT_EQ(IniText(text).WithValues(writes), OneByOne(text, writes));
        }
    }
}

// Thousands of new keys in one batch (an import) land in order after the section's keys.
TEST(IniTextBatch, ManyNewKeys)
{
    const std::string text = "[Usercolor]\r\nUsercolcnt=1\r\n1=AAAAAAa\r\n; end\r\n";
    std::vector<std::string> keys, values;
    for (int i = 2; i <= 5001; ++i) {
        keys.push_back(std::to_string(i));
        values.push_back("BBBBBB" + std::to_string(i));
    }
    Writes writes = { { "Usercolor", "Usercolcnt", "5001" } };
    std::string expected = "[Usercolor]\r\nUsercolcnt=5001\r\n1=AAAAAAa\r\n";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        writes.push_back({ "Usercolor", keys[i], values[i] });
        expected += keys[i] + "=" + values[i] + "\r\n";
    }
    EXPECT_EQ(IniText(text).WithValues(writes), expected + "; end\r\n");
}

} // namespace
