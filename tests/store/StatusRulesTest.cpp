#include "store/StatusRules.h"

#include <gtest/gtest.h>

using namespace plx;

namespace {

IssueState state(const char* status, const char* slip, const char* tag)
{
    return {QString::fromLatin1(status), QString::fromLatin1(slip), QString::fromLatin1(tag)};
}

std::string text(const std::optional<IssueState>& s)
{
    return s ? (s->status + s->slipIssued + s->tagIssued).toStdString() : std::string("left as it is");
}

} // namespace

TEST(StatusRules, Registration)
{
    const struct
    {
        const char* before;
        bool issue;
        const char* after;
    } cases[] = {
        {"000", false, "100"}, {"000", true, "800"}, // unprocessed: waits, or is marked
        {"111", false, "100"}, {"110", true, "800"}, // waiting: the marks start again
        {"810", false, "110"}, {"810", true, "810"}, // marked: 登録 takes the mark back, marks stay
        {"200", false, "811"}, {"211", true, "811"}, // issued: marked again, both documents issued
    };
    for (const auto& c : cases) {
        const IssueState before = state(std::string(c.before, 1).c_str(), std::string(c.before + 1, 1).c_str(),
                                        std::string(c.before + 2, 1).c_str());
        EXPECT_EQ(text(afterRegistration(before, c.issue)), c.after) << c.before << " issue " << c.issue;
    }
}

TEST(StatusRules, WritingBackAPrintedGroup)
{
    using D = OutputDocument;
    using M = UpdateMode;
    const struct
    {
        const char* before;
        D document;
        M mode;
        const char* outputKind;
        const char* after;
    } cases[] = {
        // A normal run: the document's mark, and 発行済 once the company's documents are all out.
        {"100", D::Slip, M::Normal, "1", "210"},
        {"100", D::Slip, M::Normal, "3", "110"},
        {"110", D::Tag, M::Normal, "3", "211"},
        {"100", D::Tag, M::Normal, "2", "201"},
        {"000", D::Slip, M::Normal, "1", "left as it is"}, // unprocessed
        {"211", D::Slip, M::Normal, "1", "left as it is"}, // issued
        {"100", D::Tag, M::Normal, "1", "left as it is"},  // a slips-only company has no tags
        // A marked run that printed.
        {"800", D::Slip, M::MarkedPrinted, "1", "210"},
        {"800", D::Slip, M::MarkedPrinted, "3", "810"},
        {"810", D::Tag, M::MarkedPrinted, "3", "211"},
        {"800", D::Tag, M::MarkedPrinted, "2", "201"},
        {"100", D::Slip, M::MarkedPrinted, "1", "left as it is"}, // not marked
        // A marked run declined: never-issued documents go back to waiting.
        {"800", D::Slip, M::MarkedCancelled, "1", "100"},
        {"811", D::Slip, M::MarkedCancelled, "1", "211"},
        {"800", D::Tag, M::MarkedCancelled, "3", "100"},
        {"811", D::Tag, M::MarkedCancelled, "3", "211"},
    };
    for (const auto& c : cases) {
        const IssueState before = state(std::string(c.before, 1).c_str(), std::string(c.before + 1, 1).c_str(),
                                        std::string(c.before + 2, 1).c_str());
        EXPECT_EQ(text(afterIssue(before, c.document, c.mode, QString::fromLatin1(c.outputKind))), c.after)
            << c.before << " document " << int(c.document) << " mode " << int(c.mode) << " kind " << c.outputKind;
    }
}
